# Install checks: the desktop entry, the AppStream metadata and the manual
# pages pass their validators without a remark, and an install into a staging
# folder (DESTDIR) holds exactly the expected files. Included by
# tests/CMakeLists.txt it registers the tests; run with `cmake -P` it performs
# the staging install.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  set(_data ${CMAKE_SOURCE_DIR}/data)
  # Each validator must succeed and say nothing (hints and warnings included).
  find_program(QELM_DESKTOP_VALIDATE desktop-file-validate REQUIRED)
  find_program(QELM_APPSTREAMCLI appstreamcli REQUIRED)
  find_program(QELM_MAN man REQUIRED)
  add_test(NAME install_desktop_entry_valid
    COMMAND sh -c [=[out=$("$1" "$2" 2>&1); rc=$?; printf '%s' "$out"; [ $rc -eq 0 ] && [ -z "$out" ]]=]
      sh ${QELM_DESKTOP_VALIDATE} ${_data}/io.github.qelm.QELM.desktop)
  add_test(NAME install_metainfo_valid
    COMMAND ${QELM_APPSTREAMCLI} validate --no-net ${_data}/io.github.qelm.QELM.metainfo.xml)
  # man exits 0 even when troff warns; the warnings go to standard error.
  add_test(NAME install_man_pages_clean
    COMMAND sh -c [=[
status=0
for page in "$@"; do
  err=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) || status=1
  if [ -n "$err" ]; then echo "$page: $err"; status=1; fi
done
exit $status]=] sh ${_data}/man/qelm.1 ${_data}/man/qelm-report.1)
  add_test(NAME install_staging_files
    COMMAND ${CMAKE_COMMAND}
      -DBUILD_DIR=${CMAKE_BINARY_DIR}
      -DSTAGE=${CMAKE_CURRENT_BINARY_DIR}/install_stage
      -DWITH_UI=${QELM_BUILD_UI}
      -P ${CMAKE_CURRENT_LIST_FILE})
  set_tests_properties(install_staging_files PROPERTIES TIMEOUT 120)
  return()
endif()

file(REMOVE_RECURSE "${STAGE}")
set(ENV{DESTDIR} "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${errors}")
endif()

set(expected
  usr/bin/qelm-report
  usr/share/applications/io.github.qelm.QELM.desktop
  usr/share/bash-completion/completions/qelm-report
  usr/share/doc/qelm/changelog.gz
  usr/share/doc/qelm/copyright
  usr/share/icons/hicolor/256x256/apps/io.github.qelm.QELM.png
  usr/share/icons/hicolor/scalable/apps/io.github.qelm.QELM.svg
  usr/share/man/man1/qelm-report.1.gz
  usr/share/man/man1/qelm.1.gz
  usr/share/metainfo/io.github.qelm.QELM.metainfo.xml
  usr/share/qelm/README.txt
  usr/share/qelm/qelm-report.schema.json)
if(WITH_UI)
  list(APPEND expected usr/bin/qelm)
endif()
list(SORT expected)
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT found)
if(NOT found STREQUAL expected)
  string(REPLACE ";" "\n  " e "${expected}")
  string(REPLACE ";" "\n  " f "${found}")
  message(FATAL_ERROR "installed files differ.\nexpected:\n  ${e}\nfound:\n  ${f}")
endif()

# The folder that marks an installed copy, and a 256 px icon (PNG header:
# width and height as 32-bit big-endian numbers at bytes 16 and 20).
if(NOT IS_DIRECTORY "${STAGE}/usr/share/qelm")
  message(FATAL_ERROR "share/qelm is missing")
endif()
file(READ "${STAGE}/usr/share/icons/hicolor/256x256/apps/io.github.qelm.QELM.png" size
  OFFSET 16 LIMIT 8 HEX)
if(NOT size STREQUAL "0000010000000100")
  message(FATAL_ERROR "the icon is not 256 x 256 px (header ${size})")
endif()
foreach(exe qelm qelm-report)
  if(EXISTS "${STAGE}/usr/bin/${exe}")
    execute_process(COMMAND test -x "${STAGE}/usr/bin/${exe}" RESULT_VARIABLE notx)
    if(notx)
      message(FATAL_ERROR "usr/bin/${exe} is not executable")
    endif()
  endif()
endforeach()
list(LENGTH found n)
message(STATUS "staging install holds the ${n} expected files")
