# Runs the whole test program of interface.md: with "-M" and a sheet it
# prints its check's line, appends one pass row and exits 0; without the flag
# it writes no row.
# Usage: cmake "-DPROGRAM=<run prefix;program>" -DSHEET=<sheet> -P whole_program.cmake
file(REMOVE ${SHEET})
execute_process(COMMAND ${PROGRAM} -M ${SHEET} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "Check_return_result,ret=0,tar=0\n")
  message(FATAL_ERROR "with -M: exit status ${rc}, output \"${out}\"")
endif()
file(READ ${SHEET} rows)
if(NOT rows STREQUAL "main_function \t pass\n")
  message(FATAL_ERROR "the sheet holds \"${rows}\"")
endif()
file(REMOVE ${SHEET})
execute_process(COMMAND ${PROGRAM} -S ${SHEET} OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR EXISTS ${SHEET})
  message(FATAL_ERROR "with -S: exit status ${rc}, or a row was written")
endif()
