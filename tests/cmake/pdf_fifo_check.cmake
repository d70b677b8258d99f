# qelm-report chart --pdf onto a FIFO writes into it, as `cat > FIFO` would:
# the reader gets the whole PDF and the FIFO stays a FIFO; a reader that
# stops early makes a Chinese message and status 1, not the end of the
# program by SIGPIPE. Included by tests/CMakeLists.txt it registers the test;
# run with `cmake -P` it performs the check.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  if(QELM_BUILD_UI)
    add_test(NAME cli_chart_pdf_fifo
      COMMAND ${CMAKE_COMMAND}
        -DREPORT=$<TARGET_FILE:qelm-report>
        -DWORK=${CMAKE_CURRENT_BINARY_DIR}/pdf_fifo_check
        -P ${CMAKE_CURRENT_LIST_FILE})
    # Qt's font handling keeps allocations until the process ends.
    set_tests_properties(cli_chart_pdf_fifo PROPERTIES TIMEOUT 120 ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  endif()
  return()
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
# Each case: what the reader does with the FIFO, the status and what the
# error stream must hold.
set(script [=[
fifo=$1/chart.pdf; report=$2; reader=$3
mkfifo "$fifo" || exit 90
sh -c "$reader" sh "$fifo" > "$1/read" &
"$report" chart --name 林美 --sex 女 --birth "2001-02-03 04:05" --at "2024-06-15 10:30" --pdf "$fifo" 2> "$1/err"
status=$?
wait
[ -p "$fifo" ] || { echo "the FIFO was replaced"; exit 91; }
rm -f "$fifo"
exit $status
]=])
foreach(case "whole|cat \"$1\"|0|none" "early|head -c 4 < \"$1\"|1|無法寫入.*chart.pdf")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 reader)
  list(GET parts 2 want_status)
  list(GET parts 3 want_error)
  execute_process(COMMAND sh -c "${script}" sh "${WORK}" "${REPORT}" "${reader}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out)
  file(READ "${WORK}/err" err)
  file(READ "${WORK}/read" read LIMIT 4 HEX)
  if(NOT status STREQUAL want_status)
    message(FATAL_ERROR "${name}: status ${status}, not ${want_status}: ${out}${err}")
  endif()
  if(NOT read STREQUAL "25504446")  # %PDF
    message(FATAL_ERROR "${name}: the reader got \"${read}\", not a PDF")
  endif()
  if((want_error STREQUAL "none" AND err MATCHES "qelm-report:") OR
     (NOT want_error STREQUAL "none" AND NOT err MATCHES "${want_error}"))
    message(FATAL_ERROR "${name}: the error stream says \"${err}\"")
  endif()
endforeach()
message(STATUS "a FIFO gets the PDF and stays a FIFO")
