# The manual page of qelm-report names every subcommand that
# `qelm-report --help` lists and every option that each subcommand's --help
# lists, so that the page cannot fall behind the program. Included by
# tests/CMakeLists.txt it registers the test; run with `cmake -P` (as the
# test does) it performs the check.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  add_test(NAME man_page_lists_every_option
    COMMAND ${CMAKE_COMMAND}
      -DREPORT=$<TARGET_FILE:qelm-report>
      -DPAGE=${CMAKE_SOURCE_DIR}/data/man/qelm-report.1
      -P ${CMAKE_CURRENT_LIST_FILE})
  return()
endif()

# The page's words as a reader sees them: roff's \- is a plain hyphen, font
# changes (\fB, \fR, \f(CW, \f[B]) and the zero-width \& vanish.
file(READ "${PAGE}" page)
string(REPLACE "\\-" "-" page "${page}")
string(REGEX REPLACE "\\\\f(\\([A-Za-z][A-Za-z]|\\[[A-Za-z]*\\]|[A-Za-z0-9])" "" page "${page}")
string(REPLACE "\\&" "" page "${page}")

# A help text's entries: in the lines of its section TITLE ("Options:",
# "Subcommands:"), each indented, the part of PATTERN's group GROUP.
function(help_entries help title pattern group out)
  set(entries)
  set(inside FALSE)
  string(REPLACE ";" "," help "${help}")
  string(REPLACE "\n" ";" lines "${help}")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[^ ]")
      set(inside FALSE)
      if(line STREQUAL "${title}")
        set(inside TRUE)
      endif()
    elseif(inside AND line MATCHES "^  ${pattern}")
      list(APPEND entries "${CMAKE_MATCH_${group}}")
    endif()
  endforeach()
  set(${out} ${entries} PARENT_SCOPE)
endfunction()

function(help_of out)
  execute_process(COMMAND "${REPORT}" ${ARGN} --help
    OUTPUT_VARIABLE help RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "qelm-report ${ARGN} --help failed (${result}):\n${errors}")
  endif()
  set(${out} "${help}" PARENT_SCOPE)
endfunction()

# An option counts when it stands in the page as a word of its own: not
# followed by more letters of a longer option.
function(page_has word out)
  string(REGEX REPLACE "([][.+*?^$()|\\\\])" "\\\\\\1" quoted "${word}")
  if(page MATCHES "(^|[^-A-Za-z0-9])${quoted}([^-A-Za-z0-9]|$)")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(option_pattern "(-[a-zA-Z],)?(--[a-z][-a-z0-9]*)")
set(missing)
help_of(top)
help_entries("${top}" "Subcommands:" "([a-z][-a-z0-9]*)" 1 commands)
if(NOT commands)
  message(FATAL_ERROR "qelm-report --help lists no subcommand:\n${top}")
endif()
help_entries("${top}" "Options:" "${option_pattern}" 2 options)
foreach(option IN LISTS options)
  page_has("${option}" found)
  if(NOT found)
    list(APPEND missing "${option}")
  endif()
endforeach()
foreach(command IN LISTS commands)
  page_has("qelm-report ${command}" synopsis)
  if(NOT synopsis)
    list(APPEND missing "the subcommand ${command} (\"qelm-report ${command}\")")
  endif()
  help_of(help ${command})
  help_entries("${help}" "Options:" "${option_pattern}" 2 options)
  if(NOT options)
    message(FATAL_ERROR "qelm-report ${command} --help lists no option:\n${help}")
  endif()
  foreach(option IN LISTS options)
    page_has("${option}" found)
    if(NOT found)
      list(APPEND missing "${command} ${option}")
    endif()
  endforeach()
endforeach()
# The exit statuses that --help states are in the page's own section.
if(NOT page MATCHES "\n\\.SH EXIT STATUS\n")
  list(APPEND missing "the section EXIT STATUS")
endif()

if(missing)
  list(JOIN missing "\n  " shown)
  message(FATAL_ERROR "data/man/qelm-report.1 does not document:\n  ${shown}")
endif()
list(LENGTH commands n)
message(STATUS "qelm-report(1) documents all ${n} subcommands and their options")
