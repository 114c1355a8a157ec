# Installs the build into a scratch prefix and checks what arrives there.
set(prefix "${BUILD_DIR}/install-check")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path bin/zarnet bin/zarnet-utf8 share/man/man1/zarnet.1 share/zarnet/patterns/en-us.pat
             share/zarnet/patterns/de-1996.pat share/zarnet/patterns/ru.pat share/zarnet/patterns/README.md)
  if(NOT EXISTS "${prefix}/${path}")
    message(FATAL_ERROR "missing after install: ${path}")
  endif()
endforeach()
# Every shipped set arrives byte for byte, with both of its alphabets.
file(GLOB sets RELATIVE "${SOURCE_DIR}/patterns" "${SOURCE_DIR}/patterns/*.pat")
list(LENGTH sets set_count)
if(set_count LESS 50)
  message(FATAL_ERROR "only ${set_count} pattern sets in the source tree")
endif()
foreach(set ${sets} charsets)
  string(REGEX REPLACE "\\.pat$" "" stem "${set}")
  set(files "${set}")
  if(NOT set STREQUAL "charsets")
    list(APPEND files "${stem}.small" "${stem}.large")
  endif()
  foreach(name ${files})
    if(NOT EXISTS "${prefix}/share/zarnet/patterns/${name}")
      message(FATAL_ERROR "missing after install: share/zarnet/patterns/${name}")
    endif()
    file(SHA256 "${SOURCE_DIR}/patterns/${name}" shipped)
    file(SHA256 "${prefix}/share/zarnet/patterns/${name}" installed)
    if(NOT shipped STREQUAL installed)
      message(FATAL_ERROR "installed ${name} differs from the shipped one")
    endif()
  endforeach()
endforeach()
# The installed alphabets work as documented, straight from the command line.
set(P "${prefix}/share/zarnet/patterns")
file(WRITE "${prefix}/fr.txt" "extraordinairement\n")
execute_process(COMMAND bash -c "'${prefix}/bin/zarnet' '${prefix}/fr.txt' '${prefix}/fr.out' '${P}/fr.pat' \"$(cat '${P}/fr.small')\" \"$(cat '${P}/fr.large')\""
                RESULT_VARIABLE code ERROR_VARIABLE err)
file(READ "${prefix}/fr.out" marked HEX)
# ex-tra-or-di-nai-re-ment, 0xAC after each break
if(NOT code EQUAL 0 OR NOT marked STREQUAL "6578ac747261ac6f72ac6469ac6e6169ac7265ac6d656e740a")
  message(FATAL_ERROR "installed fr set gave ${code} ${err}: ${marked}")
endif()
# The installed UTF-8 pipeline finds the program and the sets beside it.
file(WRITE "${prefix}/de.txt" "Betriebssystem\n")
execute_process(COMMAND env -u ZARNET -u ZARNET_PATTERNS PATH=/usr/bin:/bin
                        "${prefix}/bin/zarnet-utf8" de-1996 "${prefix}/de.txt" "${prefix}/de.out"
                RESULT_VARIABLE code ERROR_VARIABLE err)
file(READ "${prefix}/de.out" soft HEX)
# Be-triebs-sys-tem with U+00AD (C2 AD) at each break
if(NOT code EQUAL 0 OR NOT soft STREQUAL "4265c2ad747269656273c2ad737973c2ad74656d0a")
  message(FATAL_ERROR "installed zarnet-utf8 gave ${code} ${err}: ${soft}")
endif()
# The installed program runs and knows its usage.
execute_process(COMMAND "${prefix}/bin/zarnet" RESULT_VARIABLE code OUTPUT_VARIABLE usage)
if(NOT code EQUAL 1 OR NOT usage MATCHES "^Usage: zarnet.exe <in_file>")
  message(FATAL_ERROR "installed zarnet gave ${code}: ${usage}")
endif()
file(REMOVE_RECURSE "${prefix}")
