# Runs every program of build THIS and its twin in build OTHER (the same
# path below the build folder) the same way and fails unless everything they
# print is the same byte for byte: standard output, standard error, the exit
# status, the files they write and, for GoogleTest programs, every text the
# tests captured from the libraries (TOLVA_CAPTURE_DUMP). Each build's own
# folders are written <build> and <work>, and the random part of busprobe's
# temporary file names XXXXXX, before comparing.
#   cmake -DPREFIX=<emulator> -DTHIS=<build> -DOTHER=<build> -DLIST=<programs.txt>
#         -DLOG=<sample log> -DWORK=<folder> -P same_outputs.cmake
# programs.txt: one "kind|target|path|arguments (comma-separated)" per line.
cmake_policy(VERSION 3.25)
if(NOT IS_DIRECTORY "${OTHER}")
  message(FATAL_ERROR "no build to compare with in ${OTHER}: build it first (scripts/test builds both)")
endif()
file(REMOVE_RECURSE ${WORK})
file(STRINGS ${LIST} programs)

set(failures "")
set(compared 0)

# run(<side folder> <output variable> <command...>): the command's exit status,
# standard output and standard error as one text.
function(run dir out)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${dir}
    OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr RESULT_VARIABLE rc)
  set(${out} "exit status: ${rc}\n--- standard output\n${stdout}--- standard error\n${stderr}" PARENT_SCOPE)
endfunction()

# The outputs of one program on one side, into <side>.txt of its folder.
function(outputs side kind name program args)
  if(side STREQUAL "this")
    set(build ${THIS})
  else()
    set(build ${OTHER})
  endif()
  set(dir ${WORK}/${side}/${name})
  file(MAKE_DIRECTORY ${dir})
  set(all "")
  if(kind STREQUAL "gtest")
    run(${dir} text ${CMAKE_COMMAND} -E env TOLVA_CAPTURE_DUMP=${dir}/captured.txt
        ${PREFIX} ${program} --gtest_print_time=0 --gtest_color=no)
    set(captured "")
    if(EXISTS ${dir}/captured.txt)
      file(READ ${dir}/captured.txt captured)
    endif()
    string(APPEND all "${text}--- captured\n${captured}")
  elseif(kind STREQUAL "demo")
    # The demo as scripts/demo runs it, for each group of calls; then
    # capi-report on inputs it cannot read, for its error texts.
    get_filename_component(bin ${program} DIRECTORY)
    get_filename_component(bin ${bin} DIRECTORY)
    foreach(flags IN ITEMS "" "-M" "-S" "-E")
      set(run_dir ${dir}/run${flags})
      file(MAKE_DIRECTORY ${run_dir})
      file(COPY_FILE ${LOG} ${run_dir}/tolva.log)
      run(${run_dir} demo ${PREFIX} ${bin}/examples/capi_demo ${flags})
      run(${run_dir} probe ${PREFIX} ${bin}/examples/busprobe_demo)
      run(${run_dir} report ${PREFIX} ${bin}/report/capi-report --junit ${run_dir}/capi-report.xml
          --log ${run_dir}/checks.log ${run_dir}/capi.xls)
      string(APPEND all "== capi_demo ${flags}\n${demo}== busprobe_demo\n${probe}== capi-report\n${report}")
      foreach(f checks.log capi.xls capi-report.xml)
        set(content "(none)\n")
        if(EXISTS ${run_dir}/${f})
          file(READ ${run_dir}/${f} content)
        endif()
        string(APPEND all "== ${f}\n${content}")
      endforeach()
    endforeach()
    set(bad ${dir}/unreadable)
    file(MAKE_DIRECTORY ${bad}/a-folder)
    file(CREATE_LINK loop-b ${bad}/loop-a SYMBOLIC)
    file(CREATE_LINK loop-a ${bad}/loop-b SYMBOLIC)
    string(REPEAT "n" 300 long)
    foreach(input IN ITEMS missing.xls a-folder loop-a ${long}.xls)
      run(${bad} report ${PREFIX} ${bin}/report/capi-report --junit ${bad}/out.xml --log ${input} ${input})
      set(xml "(none)\n")
      if(EXISTS ${bad}/out.xml)
        file(READ ${bad}/out.xml xml)
        file(REMOVE ${bad}/out.xml)
      endif()
      string(APPEND all "== capi-report on ${input}\n${report}== JUnit\n${xml}")
    endforeach()
  else()
    string(REPLACE "," ";" args "${args}")
    run(${dir} all ${PREFIX} ${program} ${args})
  endif()
  # mkstemp's six random characters differ from run to run.
  string(REGEX REPLACE "(tmp_file\\.)[A-Za-z0-9][A-Za-z0-9][A-Za-z0-9][A-Za-z0-9][A-Za-z0-9][A-Za-z0-9]"
         "\\1XXXXXX" all "${all}")
  string(REPLACE "${dir}" "<work>" all "${all}")
  string(REPLACE "${build}" "<build>" all "${all}")
  file(WRITE ${WORK}/${side}/${name}.txt "${all}")
endfunction()

foreach(line IN LISTS programs)
  string(REPLACE "|" ";" fields "${line}")
  list(LENGTH fields n)
  list(GET fields 0 kind)
  list(GET fields 1 name)
  list(GET fields 2 program)
  set(args "")
  if(n GREATER 3)
    list(GET fields 3 args)
  endif()
  if(kind STREQUAL "unknown")
    list(APPEND failures "${name}: no way to run it is known: add it to tests/musl/CMakeLists.txt")
    continue()
  endif()
  if(kind STREQUAL "none" OR (kind STREQUAL "demo" AND NOT name STREQUAL "capi_demo"))
    continue()
  endif()
  file(RELATIVE_PATH relative ${THIS} ${program})
  set(twin ${OTHER}/${relative})
  if(NOT EXISTS ${twin})
    list(APPEND failures "${name}: ${twin} is missing")
    continue()
  endif()
  outputs(this ${kind} ${name} ${program} "${args}")
  outputs(other ${kind} ${name} ${twin} "${args}")
  file(READ ${WORK}/this/${name}.txt mine)
  file(READ ${WORK}/other/${name}.txt theirs)
  math(EXPR compared "${compared} + 1")
  if(NOT mine STREQUAL theirs)
    execute_process(COMMAND diff -u --label "${OTHER}" --label "${THIS}"
      ${WORK}/other/${name}.txt ${WORK}/this/${name}.txt OUTPUT_VARIABLE difference)
    list(APPEND failures "${name}: outputs differ\n${difference}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "${compared} programs: the same outputs in ${THIS} and ${OTHER}")
