#include "place/places.hpp"

#include <geonames.h>

#include <algorithm>
#include <array>
#include <memory>

namespace qelm {

namespace {

constexpr KnownPlace kPlaces[] = {
#include "place/places_data.inc"
};

// Names are compared with ASCII letters folded to lower case and 台 read as
// 臺, the way people write both.
std::string Folded(std::string_view s) {
  static constexpr std::string_view kTai = "台", kTaiFull = "臺";
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    if (s.substr(i, kTai.size()) == kTai) {
      out += kTaiFull;
      i += kTai.size();
      continue;
    }
    const char c = s[i++];
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

std::string_view TrimmedView(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::span<const KnownPlace> KnownPlaces() { return kPlaces; }

std::vector<KnownPlace> FindPlaces(std::string_view query, std::size_t limit) {
  const std::string q = Folded(TrimmedView(query));
  std::vector<KnownPlace> prefix, inside;
  if (q.empty()) return {};
  for (const KnownPlace& p : kPlaces) {
    const std::string name = Folded(p.name), english = Folded(p.english);
    if (name.starts_with(q) || english.starts_with(q))
      prefix.push_back(p);
    else if (name.find(q) != std::string::npos || english.find(q) != std::string::npos)
      inside.push_back(p);
  }
  prefix.insert(prefix.end(), inside.begin(), inside.end());
  if (prefix.size() > limit) prefix.resize(limit);
  return prefix;
}

std::vector<Place> SearchWorldCities(std::string_view query, std::size_t limit) {
  const std::string q(TrimmedView(query));
  std::vector<Place> out;
  if (q.empty()) return out;
  guint count = 0;
  std::unique_ptr<gint, decltype(&g_free)> found(
      geonames_query_cities_sync(q.c_str(), GEONAMES_QUERY_DEFAULT, &count, nullptr, nullptr), &g_free);
  if (!found) return out;
  for (guint i = 0; i < count && out.size() < limit; ++i) {
    std::unique_ptr<GeonamesCity, decltype(&geonames_city_free)> city(geonames_get_city(found.get()[i]),
                                                                       &geonames_city_free);
    if (!city) continue;
    const auto text = [](const gchar* s) { return std::string(s != nullptr ? s : ""); };
    std::string name = text(geonames_city_get_name(city.get()));
    const std::string state = text(geonames_city_get_state(city.get()));
    const std::string country = text(geonames_city_get_country(city.get()));
    if (!state.empty() && state != name) name += ", " + state;
    if (!country.empty()) name += ", " + country;
    out.push_back({std::move(name), geonames_city_get_longitude(city.get()),
                   geonames_city_get_latitude(city.get()), text(geonames_city_get_timezone(city.get()))});
  }
  return out;
}

}  // namespace qelm
