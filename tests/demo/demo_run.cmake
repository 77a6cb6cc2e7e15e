# One demo run in a fresh folder DIR: the test program with the command text
# TEXT, then busprobe on the sample log LOG copied in as tolva.log. Passes
# when the program exits 0 and the sheet holds exactly the rows of GROUPS
# (letters of rows.txt), in order, followed by busprobe's pass row.
#   cmake -DPREFIX=<emulator or ""> -DPROGRAM=<capi_demo> -DBUSPROBE=<busprobe_demo>
#         -DLOG=<log> -DROWS=<rows.txt> -DDIR=<folder> -DGROUPS=<letters>
#         -DTEXT=<command text> -P demo_run.cmake
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
file(COPY_FILE ${LOG} ${DIR}/tolva.log)

separate_arguments(args UNIX_COMMAND "${TEXT}")
execute_process(COMMAND ${PREFIX} ${PROGRAM} ${args} WORKING_DIRECTORY ${DIR}
  OUTPUT_FILE ${DIR}/checks.log ERROR_VARIABLE console RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "capi_demo ${TEXT}: exit status ${rc}\n${console}")
endif()
execute_process(COMMAND ${PREFIX} ${BUSPROBE} WORKING_DIRECTORY ${DIR}
  OUTPUT_FILE ${DIR}/busprobe.out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "busprobe_demo: exit status ${rc}")
endif()

file(STRINGS ${ROWS} table REGEX "^[A-Z] ")
set(expected "")
foreach(line IN LISTS table)
  string(REPLACE " " ";" row "${line}")
  list(GET row 0 group)
  list(GET row 1 name)
  list(GET row 2 outcome)
  string(FIND "${GROUPS}" "${group}" at)
  if(at GREATER -1)
    string(APPEND expected "${name} \t ${outcome}\n")
  endif()
endforeach()
string(APPEND expected "signal_capi_function \t pass\n")

file(READ ${DIR}/capi.xls sheet)
if(NOT sheet STREQUAL expected)
  message(FATAL_ERROR "capi_demo ${TEXT}: sheet differs\n--- expected\n${expected}--- actual\n${sheet}---\n${console}")
endif()
