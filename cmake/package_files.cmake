# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) on the files staged for the Debian
# package, before it is made: compresses the manual pages and adds the
# copyright file, the changelog and the lintian overrides from packaging/.
# gzip -9n: the best compression, no name or time stamp in the file.
set(usr "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${usr}/share/doc/${CPACK_PACKAGE_NAME}")
set(overrides "${usr}/share/lintian/overrides")
if(NOT IS_DIRECTORY "${usr}/bin")
  message(FATAL_ERROR "no staged files in ${usr}")
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${ARGN}: ${code}")
  endif()
endfunction()

file(GLOB pages "${usr}/share/man/man*/*.[1-9]")
foreach(page ${pages})
  run(gzip -9nf "${page}")
endforeach()

file(MAKE_DIRECTORY "${doc}" "${overrides}")
configure_file("${CPACK_ZARNET_PACKAGING_DIR}/copyright" "${doc}/copyright" COPYONLY)
configure_file("${CPACK_ZARNET_PACKAGING_DIR}/lintian-overrides" "${overrides}/${CPACK_PACKAGE_NAME}"
               COPYONLY)
run(gzip -9n -c "${CPACK_ZARNET_PACKAGING_DIR}/changelog" OUTPUT_FILE "${doc}/changelog.gz")
file(CHMOD "${doc}/copyright" "${doc}/changelog.gz" "${overrides}/${CPACK_PACKAGE_NAME}"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(CHMOD "${usr}/share/doc" "${doc}" "${usr}/share/lintian" "${overrides}"
     PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                 WORLD_READ WORLD_EXECUTE)
