# The committed src/calendar/tables_data.inc must be exactly what
# tools/gen_tables.py writes. Included by tests/CMakeLists.txt it registers the
# test; run with `cmake -P` (as the test does) it performs the check.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  # Debian's interpreter: it is the one with python3-ephem.
  add_test(NAME tables_generated_match
    COMMAND ${CMAKE_COMMAND}
      -DPYTHON=/usr/bin/python3
      -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
      -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/tables_data.generated.inc
      -P ${CMAKE_CURRENT_LIST_FILE})
  set_tests_properties(tables_generated_match PROPERTIES TIMEOUT 120)
  return()
endif()

file(REMOVE "${OUTPUT}")
execute_process(
  COMMAND "${PYTHON}" "${SOURCE_DIR}/tools/gen_tables.py" "${OUTPUT}"
  RESULT_VARIABLE result
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "tools/gen_tables.py failed (${result}):\n${errors}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E compare_files
    "${OUTPUT}" "${SOURCE_DIR}/src/calendar/tables_data.inc"
  RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "src/calendar/tables_data.inc differs from what "
    "tools/gen_tables.py writes (${OUTPUT}); regenerate it")
endif()
message(STATUS "src/calendar/tables_data.inc matches the generator")
