# One demo run in a fresh folder DIR: the test program with the command text
# TEXT, then busprobe on the sample log LOG copied in as tolva.log, then
# capi-report on the sheet and the captured output. Passes when the program
# exits 0, the sheet holds exactly the rows of GROUPS (letters of rows.txt),
# in order, followed by busprobe's pass row, and the JUnit file names every
# case of a suite differently, each call after the row it was made for.
#   cmake -DPREFIX=<emulator or ""> -DPROGRAM=<capi_demo> -DBUSPROBE=<busprobe_demo>
#         -DREPORT=<capi-report> -DLOG=<log> -DROWS=<rows.txt> -DDIR=<folder>
#         -DGROUPS=<letters> -DTEXT=<command text> -P demo_run.cmake
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

# The report: status 1 where a fault's row is among the selected (the demo
# implies failures), else 0; in each suite no two cases of one name, and each
# call named after its row's heading.
execute_process(COMMAND ${PREFIX} ${REPORT} --junit ${DIR}/capi-report.xml --log ${DIR}/checks.log ${DIR}/capi.xls
  WORKING_DIRECTORY ${DIR} OUTPUT_VARIABLE report RESULT_VARIABLE rc)
string(FIND "${expected}" " \t failed" any_failed)
if(any_failed GREATER -1)
  set(want 1)
else()
  set(want 0)
endif()
if(NOT rc EQUAL want)
  message(FATAL_ERROR "capi-report: exit status ${rc} where ${want} is due\n${report}")
endif()
file(READ ${DIR}/capi-report.xml xml)
# Entities end in ";", which would split the list of suites below.
string(REPLACE ";" "," xml "${xml}")
string(REPLACE "<testsuite " ";" suites "${xml}")
list(REMOVE_AT suites 0)
foreach(suite IN LISTS suites)
  string(REGEX MATCHALL "<testcase classname=\"[^\"]*\" name=\"[^\"]*\"" cases "${suite}")
  set(names ${cases})
  list(REMOVE_DUPLICATES names)
  list(LENGTH cases count)
  list(LENGTH names distinct)
  if(NOT count EQUAL distinct)
    message(FATAL_ERROR "capi-report.xml: a suite has ${count} cases but ${distinct} names\n${suite}")
  endif()
endforeach()
string(REGEX MATCHALL "name=\"Check[A-Za-z_]*\"" bare "${xml}")
if(bare)
  message(FATAL_ERROR "capi-report.xml: calls without their heading: ${bare}")
endif()
