# A bounded libFuzzer run of the person-file loader. The fuzz targets are
# built by clang in a build of their own (see test.sh), whose folder is
# given in QELM_FUZZ_DIR when the tests run; without it the test is skipped.

set(_fuzz_root ${CMAKE_CURRENT_BINARY_DIR}/fuzz/person_file)
set(_fuzz_seeds ${_fuzz_root}/seeds)
file(MAKE_DIRECTORY ${_fuzz_seeds} ${_fuzz_root}/corpus)

# Seeds: Big5 bytes spelled out (張三, 陳美玲, 男, 女).
string(ASCII 9 _tab)
string(ASCII 13 10 _crlf)
string(ASCII 13 _cr)
string(ASCII 10 _lf)
string(ASCII 177 105 164 84 _zhang_san)
string(ASCII 179 175 172 252 172 194 _chen_mei_ling)
string(ASCII 168 107 _male)
string(ASCII 164 107 _female)
string(ASCII 255 254 128 164 _not_big5)
set(_line1 "${_zhang_san}${_tab}${_male}${_tab}1975${_tab}8${_tab}21${_tab}14${_tab}5")
set(_line2 "${_chen_mei_ling}${_tab}${_female}${_tab}2000${_tab}2${_tab}29${_tab}23${_tab}59")
file(WRITE ${_fuzz_seeds}/empty "")
file(WRITE ${_fuzz_seeds}/one_person "${_line1}${_crlf}")
file(WRITE ${_fuzz_seeds}/two_persons_no_last_end "${_line1}${_crlf}${_line2}")
file(WRITE ${_fuzz_seeds}/blank_and_odd_line_ends
     "${_crlf}${_line1}${_crlf}${_crlf}${_line2}${_lf}${_line1}${_cr}${_crlf}")
file(WRITE ${_fuzz_seeds}/extra_and_missing_fields
     "${_line1}${_tab}x${_tab}y${_crlf}${_zhang_san}${_tab}${_male}${_crlf}${_tab}${_tab}${_crlf}")
file(WRITE ${_fuzz_seeds}/not_big5 "${_not_big5}${_tab}${_male}${_crlf}${_line2}${_not_big5}${_crlf}")

add_test(NAME fuzz_person_file
  COMMAND sh -c [=[
if [ -z "${QELM_FUZZ_DIR:-}" ]; then
  echo "QELM_FUZZ_DIR is not set (test.sh sets it to the fuzz build): skipped"
  exit 77
fi
exec "$QELM_FUZZ_DIR/fuzz_person_file" -max_total_time=30 "$1" "$2"
]=] sh ${_fuzz_root}/corpus ${_fuzz_seeds})
set_tests_properties(fuzz_person_file PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180
  ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")

# The same for the birthplace file beside it (User.places, UTF-8).
set(_places_root ${CMAKE_CURRENT_BINARY_DIR}/fuzz/place_file)
file(MAKE_DIRECTORY ${_places_root}/seeds ${_places_root}/corpus)
set(_key "甲${_tab}男${_tab}1975${_tab}7${_tab}1${_tab}14${_tab}30")
set(_taipei "${_key}${_tab}臺北${_tab}121.5319${_tab}25.0478${_tab}Asia/Taipei${_tab}standard")
set(_by_hand "${_key}${_tab}${_tab}-74.006${_tab}40.7143${_tab}America/New_York${_tab}solar:later")
file(WRITE ${_places_root}/seeds/empty "")
file(WRITE ${_places_root}/seeds/two_places "${_taipei}${_lf}${_by_hand}${_lf}")
file(WRITE ${_places_root}/seeds/crlf_and_no_last_end "${_taipei}${_crlf}${_lf}${_by_hand}")
file(WRITE ${_places_root}/seeds/unreadable
     "${_key}${_tab}x${_tab}nan${_tab}1${_tab}UTC${_tab}clock${_lf}${_key}${_tab}x${_tab}1${_tab}91${_tab}UTC${_tab}lunar${_lf}${_taipei}${_cr}${_taipei}${_lf}")

add_test(NAME fuzz_place_file
  COMMAND sh -c [=[
if [ -z "${QELM_FUZZ_DIR:-}" ]; then
  echo "QELM_FUZZ_DIR is not set (test.sh sets it to the fuzz build): skipped"
  exit 77
fi
exec "$QELM_FUZZ_DIR/fuzz_place_file" -max_total_time=30 "$1" "$2"
]=] sh ${_places_root}/corpus ${_places_root}/seeds)
set_tests_properties(fuzz_place_file PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180
  ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
