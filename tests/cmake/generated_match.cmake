# Generated data files are committed; each must be exactly what its generator
# writes: tools/gen_tables.py (python3-ephem) for the calendar tables,
# tools/gen_places.py (the system's libgeonames, zoneinfo and ICU's uconv) for
# the place list. Included by tests/CMakeLists.txt it registers one test per
# file; run with `cmake -P` (as the tests do) it performs one check.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  function(qelm_generated_match name generator committed)
    get_filename_component(_file ${committed} NAME)
    # Debian's interpreter: it is the one with the generators' modules.
    add_test(NAME ${name}
      COMMAND ${CMAKE_COMMAND}
        -DPYTHON=/usr/bin/python3
        -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
        -DGENERATOR=${generator}
        -DCOMMITTED=${committed}
        -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/${_file}.generated
        -P ${CMAKE_CURRENT_LIST_FILE})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
  endfunction()
  qelm_generated_match(tables_generated_match tools/gen_tables.py src/calendar/tables_data.inc)
  qelm_generated_match(places_generated_match tools/gen_places.py src/place/places_data.inc)
  return()
endif()

file(REMOVE "${OUTPUT}")
execute_process(
  COMMAND "${PYTHON}" "${SOURCE_DIR}/${GENERATOR}" "${OUTPUT}"
  RESULT_VARIABLE result
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed (${result}):\n${errors}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}" "${SOURCE_DIR}/${COMMITTED}"
  RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${COMMITTED} differs from what ${GENERATOR} writes (${OUTPUT}); regenerate it")
endif()
message(STATUS "${COMMITTED} matches the generator")
