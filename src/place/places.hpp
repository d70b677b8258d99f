// Birthplaces: the built-in list of places with Traditional-Chinese names, a
// search over the world's cities by English name, and the one reading of a
// typed place name that the window and the report command share.
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
  std::string_view others;   // other names people type, "|" between them:
                             // English and pinyin ("Kashi", "Peking"), simplified ("乌鲁木齐")
  std::string_view country;  // ISO 3166 code
  std::string_view region;   // state or province in the world list
  double longitude, latitude;
  std::string_view zone;
  Place place() const { return {std::string(name), longitude, latitude, std::string(zone)}; }
};
std::span<const KnownPlace> KnownPlaces();

// Names are compared as people write them: letters without case or accents
// ("zurich" finds Zürich and "Zürich" Zurich), without apostrophes ("Xian"
// is Xi'an), "St" and "St." as "Saint", and 台 read as 臺.

// Places of the built-in list one of whose names holds the query; those
// with a name that begins with it come first, each group in list order. An
// empty query finds nothing.
std::vector<KnownPlace> FindPlaces(std::string_view query, std::size_t limit = 50);

// Cities of the world list with a word of the English name beginning with
// the query, the largest first, named "City, Region, Country". Xinjiang's
// cities take Beijing time (Asia/Shanghai), the time its certificates keep,
// as the built-in list does. The list is read once, at the first search
// (about 0.1 s); each search after that takes well under a millisecond.
std::vector<Place> SearchWorldCities(std::string_view query, std::size_t limit = 50);
// Reads the world list now, so that the first search need not: a window
// calls it once on a thread of its own at start (a search meanwhile waits).
void PrepareWorldCities();

// What a typed place name means: the place of the built-in list named so
// exactly; else the only place whose name in the built-in list holds it or
// whose name in the world list is it ("Nairobi", or "York, England, United
// Kingdom" as candidates are listed); else the only city of the world list
// with a word beginning so; else the places it could mean, for the user to
// choose; else nothing.
enum class PlaceMatch { Exact, Unique, Ambiguous, None };
struct PlaceResolution {
  PlaceMatch match = PlaceMatch::None;
  Place place;                    // for Exact and Unique
  std::vector<Place> candidates;  // for Ambiguous: the first few it could mean
  bool found() const { return match == PlaceMatch::Exact || match == PlaceMatch::Unique; }
};
PlaceResolution ResolvePlace(std::string_view text);

// Why a name gave no place: "找不到地點「X」" or "「州」可指多個地點：屏東縣潮州鎮、
// 潮州、…，請輸入完整的名稱"; empty when it gave one.
std::string PlaceResolutionText(std::string_view text, const PlaceResolution& r);

}  // namespace qelm
