# The Debian package: `cpack -G DEB` in the build folder makes
# zarnet_<version>_<arch>.deb of what `cmake --install` puts in place, with
# the binaries stripped, and package_files.cmake adds to it what Debian asks
# of a package beyond that (compressed manual pages, the copyright file, the
# changelog, the lintian overrides), so that an install stays as it was.
set(ZARNET_PACKAGING_DIR "${CMAKE_CURRENT_LIST_DIR}/../packaging")
cmake_path(NORMAL_PATH ZARNET_PACKAGING_DIR)

# The package's version is the project's, and its changelog must say so.
file(STRINGS "${ZARNET_PACKAGING_DIR}/changelog" changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^zarnet \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with \"${changelog_top}\", "
                      "not with an entry for version ${PROJECT_VERSION}")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarnet)
set(CPACK_PACKAGE_CONTACT "zarnet developers <zarnet@zarnet.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mark the places where words may be broken across lines")
set(CPACK_PACKAGE_DESCRIPTION [=[
zarnet reads a text and writes it back unchanged except for a mark (the
byte 0xAC) after each letter where a word may be broken across two lines.
The break points come from TeX hyphenation patterns (Liang's method),
matched with a compiled automaton, so that large files are marked at close
to the speed of a copy. The output file is only ever replaced whole.

The package holds every pattern set of TeX's hyph-utf8 collection whose
letters fit a single-byte code page, converted to that code page, with the
alphabets each set needs, and zarnet-utf8, which marks text in UTF-8 with
soft hyphens.]=])
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Read by package_files.cmake, which cpack runs on the staged files.
set(CPACK_ZARNET_PACKAGING_DIR "${ZARNET_PACKAGING_DIR}")
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/package_files.cmake")
include(CPack)
