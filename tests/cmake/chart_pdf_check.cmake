# qelm-report chart --pdf writes the printed chart without a window: its text
# holds the person's name and the report's first line (as the text report of
# the same chart gives it), and it has the window page and the report page; a
# birth corrected for its place ends the report with the correction line; a
# path in a folder that does not exist fails with status 2, naming the path.
# Included by tests/CMakeLists.txt it registers the test; run with `cmake -P`
# it performs the check.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  if(QELM_BUILD_UI)
    find_program(QELM_PDFTOTEXT pdftotext REQUIRED)
    find_program(QELM_PDFINFO pdfinfo REQUIRED)
    add_test(NAME cli_chart_pdf
      COMMAND ${CMAKE_COMMAND}
        -DREPORT=$<TARGET_FILE:qelm-report>
        -DPDFTOTEXT=${QELM_PDFTOTEXT}
        -DPDFINFO=${QELM_PDFINFO}
        -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/chart_pdf_check.pdf
        -P ${CMAKE_CURRENT_LIST_FILE})
    # Qt's font handling keeps allocations until the process ends.
    set_tests_properties(cli_chart_pdf PROPERTIES TIMEOUT 120 ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  endif()
  return()
endif()

set(chart chart --name 林美 --sex 女 --birth "2001-02-03 04:05" --at "2024-06-15 10:30")
file(REMOVE "${OUTPUT}")
execute_process(COMMAND "${REPORT}" ${chart} --pdf "${OUTPUT}"
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT EXISTS "${OUTPUT}")
  message(FATAL_ERROR "qelm-report --pdf failed (${result}):\n${errors}")
endif()
execute_process(COMMAND "${REPORT}" ${chart} OUTPUT_VARIABLE report RESULT_VARIABLE result)
string(REGEX MATCH "^[^\n]+" first_line "${report}")
if(NOT result EQUAL 0 OR first_line STREQUAL "")
  message(FATAL_ERROR "qelm-report gave no text report (${result})")
endif()
execute_process(COMMAND "${PDFTOTEXT}" "${OUTPUT}" - OUTPUT_VARIABLE text RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pdftotext failed (${result})")
endif()
foreach(wanted 林美 "${first_line}")
  string(FIND "${text}" "${wanted}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the PDF's text lacks \"${wanted}\":\n${text}")
  endif()
endforeach()
execute_process(COMMAND "${PDFINFO}" "${OUTPUT}" OUTPUT_VARIABLE info)
if(NOT info MATCHES "Pages: +2\n")
  message(FATAL_ERROR "the PDF should have two pages:\n${info}")
endif()
# A birth corrected for its place: the report page ends with the correction
# line the text report ends with.
set(placed ${chart} --place 臺北市 --time solar)
execute_process(COMMAND "${REPORT}" ${placed} --pdf "${OUTPUT}" RESULT_VARIABLE result ERROR_VARIABLE errors)
execute_process(COMMAND "${REPORT}" ${placed} OUTPUT_VARIABLE report)
string(REGEX MATCH "[^\n]+\n$" last_line "${report}")
string(STRIP "${last_line}" last_line)
execute_process(COMMAND "${PDFTOTEXT}" "${OUTPUT}" - OUTPUT_VARIABLE text)
string(FIND "${text}" "${last_line}" at)
if(NOT result EQUAL 0 OR NOT last_line MATCHES "^真太陽時" OR at LESS 0)
  message(FATAL_ERROR "the corrected PDF (${result}) lacks \"${last_line}\":\n${errors}${text}")
endif()
# A folder that does not exist: one line on standard error naming the path,
# status 2 (bad arguments).
execute_process(COMMAND "${REPORT}" ${chart} --pdf "${OUTPUT}.missing/chart.pdf"
  RESULT_VARIABLE result ERROR_VARIABLE errors)
string(FIND "${errors}" "${OUTPUT}.missing" named)
if(NOT result EQUAL 2 OR named LESS 0)
  message(FATAL_ERROR "an unwritable --pdf path gave status ${result}:\n${errors}")
endif()
message(STATUS "qelm-report --pdf: text found, two pages")
