# The UTF-8 pattern sets, for reference: every set's patterns, its
# exceptions where it has any, and the table of the sets (languages, minima,
# tags, licences, sources), as patterns/utf8/ holds them.  Included from the
# top CMakeLists.txt, before the tests; they read ZARNET_INSTALLS_UTF8_SETS
# to know that these files must arrive.
include(GNUInstallDirs)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/patterns/utf8/"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zarnet/patterns/utf8
        FILES_MATCHING PATTERN "*.pat" PATTERN "*.hyp" PATTERN "sets.tsv")
set(ZARNET_INSTALLS_UTF8_SETS ON)
