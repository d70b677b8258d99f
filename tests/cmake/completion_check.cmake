# The bash completion of qelm-report, run in bash as bash-completion runs
# it: the function the script registers fills COMPREPLY from the program
# with subcommands, the values an option takes, zones and places; where the
# program names nothing (a file name), bash's own completion is left to act.
# Included by tests/CMakeLists.txt it registers the test; run with `cmake -P`
# it performs the check.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  find_program(QELM_BASH bash REQUIRED)
  add_test(NAME cli_bash_completion
    COMMAND ${CMAKE_COMMAND}
      -DBASH=${QELM_BASH}
      -DREPORT=$<TARGET_FILE:qelm-report>
      -DSCRIPT=${CMAKE_SOURCE_DIR}/data/qelm-report.bash-completion
      -P ${CMAKE_CURRENT_LIST_FILE})
  return()
endif()

# Each case: the words after the program (the last one under the cursor) and
# the candidates, "|" between them ("" for none).
set(cases
  "find-birth --day-change ''=>23|0"
  "chart --time s=>standard|solar"
  "moment --zone Asia/Taip=>Asia/Taipei"
  "moment --place 臺北市=>臺北市"
  "find=>find-birth"
  "--vers=>--version"
  "persons ''=>")
foreach(case IN LISTS cases)
  string(FIND "${case}" "=>" at)
  string(SUBSTRING "${case}" 0 ${at} words)
  math(EXPR at "${at} + 2")
  string(SUBSTRING "${case}" ${at} -1 want)
  execute_process(COMMAND "${BASH}" --norc --noprofile -c [=[
source "$1" || exit 90
complete -p qelm-report > /dev/null || exit 91
eval "COMP_WORDS=(\"\$2\" $3)"
COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
_qelm_report
IFS='|'; printf '%s' "${COMPREPLY[*]}"]=] sh "${SCRIPT}" "${REPORT}" "${words}"
    RESULT_VARIABLE result OUTPUT_VARIABLE got ERROR_VARIABLE errors)
  if(NOT result EQUAL 0 OR NOT got STREQUAL want)
    message(FATAL_ERROR "qelm-report ${words}<TAB>: got \"${got}\" (${result}), not \"${want}\"\n${errors}")
  endif()
endforeach()
list(LENGTH cases n)
message(STATUS "the bash completion answers all ${n} cases")
