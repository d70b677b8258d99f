# The apparent solar time against python3-ephem on 1,200 moments 1901-2099
# (tools/check_solar_time.py): within 10 seconds everywhere.
add_executable(solar_time_dump ${CMAKE_SOURCE_DIR}/tools/solar_time_dump.cpp)
target_link_libraries(solar_time_dump PRIVATE qelm_place)
add_test(NAME solar_time_matches_ephem
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/check_solar_time.py $<TARGET_FILE:solar_time_dump>)
set_tests_properties(solar_time_matches_ephem PROPERTIES TIMEOUT 300)
