# The zone clocks of every zone and link against Python's zoneinfo, 2037-2099
# (tools/check_zones.py): offsets, gaps and overlaps past the zone files'
# listed changes, where each file's closing rule applies.
add_executable(zone_dump ${CMAKE_SOURCE_DIR}/tools/zone_dump.cpp)
target_link_libraries(zone_dump PRIVATE qelm_place)
add_test(NAME zones_match_tzdata
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/check_zones.py $<TARGET_FILE:zone_dump>)
set_tests_properties(zones_match_tzdata PROPERTIES TIMEOUT 600)
