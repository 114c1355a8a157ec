# The manual page renders without a warning from groff.
execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -z "${PAGE}"
                RESULT_VARIABLE result ERROR_VARIABLE warnings)
if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "groff: ${result}\n${warnings}")
endif()
