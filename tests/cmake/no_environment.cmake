# The program takes no command line and reads no environment variable: its
# executable calls none of the functions that read the environment. Included
# by tests/CMakeLists.txt it registers the test; run with `cmake -P` (as the
# test does) it performs the check.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  if(TARGET qelm)
    add_test(NAME program_reads_no_environment
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DPROGRAM=$<TARGET_FILE:qelm> -P ${CMAKE_CURRENT_LIST_FILE})
  endif()
  return()
endif()

execute_process(
  COMMAND "${NM}" -C --undefined-only "${PROGRAM}"
  OUTPUT_VARIABLE symbols
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} cannot read ${PROGRAM}")
endif()
string(REGEX MATCHALL "[^\n]*(getenv|qEnvironmentVariable|QProcessEnvironment|environ)[^\n]*" readers "${symbols}")
if(readers)
  list(JOIN readers "\n" shown)
  message(FATAL_ERROR "${PROGRAM} reads the environment:\n${shown}")
endif()
message(STATUS "${PROGRAM} reads no environment variable")
