# The committed src/place/places_data.inc must be exactly what
# tools/gen_places.py writes from the system's libgeonames, r-cran-maps and
# zoneinfo.
# Included by tests/CMakeLists.txt it registers the test; run with `cmake -P`
# (as the test does) it performs the check.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  add_test(NAME places_generated_match
    COMMAND ${CMAKE_COMMAND}
      -DPYTHON=/usr/bin/python3
      -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
      -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/places_data.generated.inc
      -P ${CMAKE_CURRENT_LIST_FILE})
  set_tests_properties(places_generated_match PROPERTIES TIMEOUT 120)
  return()
endif()

file(REMOVE "${OUTPUT}")
execute_process(
  COMMAND "${PYTHON}" "${SOURCE_DIR}/tools/gen_places.py" "${OUTPUT}"
  RESULT_VARIABLE result
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "tools/gen_places.py failed (${result}):\n${errors}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E compare_files
    "${OUTPUT}" "${SOURCE_DIR}/src/place/places_data.inc"
  RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "src/place/places_data.inc differs from what "
    "tools/gen_places.py writes (${OUTPUT}); regenerate it")
endif()
message(STATUS "src/place/places_data.inc matches the generator")
