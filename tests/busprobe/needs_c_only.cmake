# Fails when FILE (a program or a static library) needs anything of the C++
# runtime: an undefined C++ symbol (operators new and delete, std::, the
# exception and RTTI support) or, for a program, libstdc++ among its needed
# shared libraries.
#   cmake -DNM=<nm> -DFILE=<file> [-DREADELF=<readelf>] -P needs_c_only.cmake
foreach(var NM FILE)
  if(NOT ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()

execute_process(COMMAND ${NM} --undefined-only --format=posix ${FILE}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${FILE}")
endif()
string(REGEX MATCHALL "(^|\n)(_Z|__cxa_|__gxx_|_Unwind_)[^ \n]*" found "${symbols}")
set(cxx_symbols "")
foreach(symbol IN LISTS found)
  string(STRIP "${symbol}" symbol)
  # The C library's own: run-time exit handlers, or anything it versions.
  if(NOT symbol MATCHES "^__cxa_(finalize|atexit)($|@)" AND NOT symbol MATCHES "@GLIBC_")
    list(APPEND cxx_symbols "${symbol}")
  endif()
endforeach()
if(cxx_symbols)
  list(JOIN cxx_symbols "\n" cxx_symbols)
  message(FATAL_ERROR "${FILE} needs C++ runtime symbols:\n${cxx_symbols}")
endif()

if(READELF)
  execute_process(COMMAND ${READELF} -d ${FILE}
    OUTPUT_VARIABLE dynamic RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${READELF} failed on ${FILE}")
  endif()
  string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${dynamic}")
  message(STATUS "${FILE}: ${needed}")
  if(needed MATCHES "libstdc\\+\\+")
    message(FATAL_ERROR "${FILE} needs libstdc++")
  endif()
endif()
