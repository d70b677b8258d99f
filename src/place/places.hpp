// Birthplaces: the built-in list of places with Traditional-Chinese names and
// a search over the world's cities by English name.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qelm {

// A place as a birth needs it. The name is the one shown ("臺北", "Nairobi")
// and is empty for a longitude typed in by hand.
struct Place {
  std::string name;
  double longitude = 0;  // degrees, east positive
  double latitude = 0;   // degrees, north positive
  std::string zone;      // zoneinfo id, "Asia/Taipei"
  friend bool operator==(const Place&, const Place&) = default;
};

// One entry of the built-in list.
struct KnownPlace {
  std::string_view name;     // Traditional Chinese
  std::string_view english;  // the city's name in the world list
  std::string_view country;  // ISO 3166 code
  std::string_view region;   // state or province in the world list
  double longitude, latitude;
  std::string_view zone;
  Place place() const { return {std::string(name), longitude, latitude, std::string(zone)}; }
};
std::span<const KnownPlace> KnownPlaces();

// Places of the built-in list whose Chinese or English name holds the query
// (letters compared without case); those whose name begins with it come
// first, each group in list order. An empty query finds nothing.
std::vector<KnownPlace> FindPlaces(std::string_view query, std::size_t limit = 50);

// Cities of the world list whose English name matches the query, the largest
// first, named "City, Region, Country".
std::vector<Place> SearchWorldCities(std::string_view query, std::size_t limit = 50);

}  // namespace qelm
