#include "place/places.hpp"

#include <geonames.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

namespace qelm {

namespace {

constexpr KnownPlace kPlaces[] = {
#include "place/places_data.inc"
};

// The base letter of each accented Latin letter from U+00C0 to U+017F ('\0'
// for × and ÷, which stay).
constexpr std::string_view kLatin1Base = std::string_view(
    "aaaaaaaceeeeiiiidnooooo\0ouuuuyts"
    "aaaaaaaceeeeiiiidnooooo\0ouuuuyty",
    64);
constexpr std::string_view kLatinExtendedABase =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkkllllllllllnnnnnnnnnoooooooorrrrrrssssssss"
    "ttttttuuuuuuuuuuuuwwyyyzzzzzzs";
static_assert(kLatin1Base.size() == 0x40 && kLatinExtendedABase.size() == 0x80);

// Decodes one UTF-8 character at s[i] (advancing i); U+FFFD for a bad byte.
char32_t NextCharacter(std::string_view s, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b = byte(i);
  const int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || i + static_cast<std::size_t>(length) > s.size()) {
    ++i;
    return U'\uFFFD';
  }
  char32_t c = length == 1 ? b : b & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + static_cast<std::size_t>(k)) & 0xC0) != 0x80) {
      ++i;
      return U'\uFFFD';
    }
    c = (c << 6) | (byte(i + static_cast<std::size_t>(k)) & 0x3F);
  }
  i += static_cast<std::size_t>(length);
  return c;
}

// A name as it is compared: see places.hpp.
std::string Key(std::string_view s) {
  std::string folded;
  folded.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t start = i;
    const char32_t c = NextCharacter(s, i);
    if (c >= 'A' && c <= 'Z') {
      folded += static_cast<char>(c - 'A' + 'a');
    } else if (c == '\'' || c == U'\u2019' || c == U'\u02BB') {
      // Xi'an, Ma’anshan: typed without the apostrophe as often as with it
    } else if (c == '-' || c == '\t' || c == ' ') {
      if (!folded.empty() && folded.back() != ' ') folded += ' ';
    } else if (c >= 0xC0 && c <= 0xFF && kLatin1Base[c - 0xC0] != '\0') {
      folded += kLatin1Base[c - 0xC0];
    } else if (c >= 0x100 && c <= 0x17F) {
      folded += kLatinExtendedABase[c - 0x100];
    } else if (c == U'台') {
      folded += "臺";
    } else {
      folded.append(s.substr(start, i - start));
    }
  }
  while (!folded.empty() && folded.back() == ' ') folded.pop_back();
  // "St" and "St." are "Saint", "Ste" "Sainte", as words; a last "St" may
  // still be the beginning of a word being typed ("Stockholm").
  std::string out;
  std::size_t at = 0;
  while (at <= folded.size()) {
    std::size_t end = folded.find(' ', at);
    if (end == std::string::npos) end = folded.size();
    std::string_view word = std::string_view(folded).substr(at, end - at);
    const bool last = end == folded.size();
    if (word == "st." || (word == "st" && !last)) word = "saint";
    if (word == "ste." || (word == "ste" && !last)) word = "sainte";
    if (!out.empty()) out += ' ';
    out += word;
    at = end + 1;
  }
  return out;
}

// Every name of each place of the built-in list, as compared.
const std::vector<std::vector<std::string>>& KnownKeys() {
  static const std::vector<std::vector<std::string>> keys = [] {
    std::vector<std::vector<std::string>> out;
    for (const KnownPlace& p : kPlaces) {
      std::vector<std::string> names{Key(p.name), Key(p.english)};
      for (std::size_t at = 0; at < p.others.size();) {
        std::size_t end = p.others.find('|', at);
        if (end == std::string_view::npos) end = p.others.size();
        names.push_back(Key(p.others.substr(at, end - at)));
        at = end + 1;
      }
      out.push_back(std::move(names));
    }
    return out;
  }();
  return keys;
}

// Where the world list says Asia/Urumqi (UTC+6, Xinjiang's own time), the
// clocks of officialdom, birth certificates included, keep Beijing time.
std::string CertificateZone(std::string zone) {
  if (zone == "Asia/Urumqi" || zone == "Asia/Kashgar") return "Asia/Shanghai";
  return zone;
}

struct WorldCity {
  std::string key;      // the city's own name, as compared
  std::string fullKey;  // "City, Region, Country", as compared
  Place place;
  unsigned population = 0;
};

// The world list read once, with every word start of every name sorted, so a
// search is a binary search for its prefix.
struct WorldIndex {
  std::vector<WorldCity> cities;
  struct Word {
    std::string_view rest;  // the key from a word's start to its end
    std::uint32_t city;
  };
  std::vector<Word> words;
  std::vector<Word> fullNames;  // every city by its fullKey, sorted

  WorldIndex() {
    const gint n = geonames_get_n_cities();
    cities.reserve(static_cast<std::size_t>(std::max(n, 0)));
    const auto text = [](const gchar* s) { return std::string(s != nullptr ? s : ""); };
    for (gint i = 0; i < n; ++i) {
      std::unique_ptr<GeonamesCity, decltype(&geonames_city_free)> city(geonames_get_city(i), &geonames_city_free);
      if (!city) continue;
      const std::string own = text(geonames_city_get_name(city.get()));
      std::string name = own;
      const std::string state = text(geonames_city_get_state(city.get()));
      const std::string country = text(geonames_city_get_country(city.get()));
      if (!state.empty() && state != name) name += ", " + state;
      if (!country.empty()) name += ", " + country;
      std::string fullKey = Key(name);
      cities.push_back({Key(own), std::move(fullKey),
                        {std::move(name), geonames_city_get_longitude(city.get()),
                         geonames_city_get_latitude(city.get()),
                         CertificateZone(text(geonames_city_get_timezone(city.get())))},
                        geonames_city_get_population(city.get())});
    }
    for (std::uint32_t c = 0; c < cities.size(); ++c) {
      const std::string_view key = cities[c].key;
      for (std::size_t at = 0; at < key.size(); ++at)
        if (at == 0 || key[at - 1] == ' ') words.push_back({key.substr(at), c});
    }
    const auto byText = [](const Word& a, const Word& b) { return a.rest < b.rest; };
    std::sort(words.begin(), words.end(), byText);
    for (std::uint32_t c = 0; c < cities.size(); ++c) fullNames.push_back({cities[c].fullKey, c});
    std::sort(fullNames.begin(), fullNames.end(), byText);
  }

  // The cities whose own name, or whole "City, Region, Country", is the key.
  std::vector<std::uint32_t> Named(std::string_view key) const {
    std::vector<std::uint32_t> found;
    for (std::uint32_t c : Find(key))
      if (cities[c].key == key) found.push_back(c);
    auto it = std::lower_bound(fullNames.begin(), fullNames.end(), key,
                               [](const Word& w, std::string_view k) { return w.rest < k; });
    for (; it != fullNames.end() && it->rest == key; ++it)
      if (std::find(found.begin(), found.end(), it->city) == found.end()) found.push_back(it->city);
    return found;
  }

  // The cities with a word beginning with the key, the largest first.
  std::vector<std::uint32_t> Find(std::string_view key) const {
    std::vector<std::uint32_t> found;
    if (key.empty()) return found;
    auto it = std::lower_bound(words.begin(), words.end(), key,
                               [](const Word& w, std::string_view k) { return w.rest < k; });
    for (; it != words.end() && it->rest.starts_with(key); ++it) found.push_back(it->city);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    std::stable_sort(found.begin(), found.end(), [this](std::uint32_t a, std::uint32_t b) {
      return cities[a].population > cities[b].population;
    });
    return found;
  }
};

const WorldIndex& World() {
  static const WorldIndex index;
  return index;
}

std::string_view TrimmedView(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

constexpr std::size_t kCandidates = 10;

}  // namespace

std::span<const KnownPlace> KnownPlaces() { return kPlaces; }

std::vector<KnownPlace> FindPlaces(std::string_view query, std::size_t limit) {
  const std::string q = Key(TrimmedView(query));
  std::vector<KnownPlace> prefix, inside;
  if (q.empty()) return {};
  const auto& keys = KnownKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const auto& names = keys[i];
    if (std::any_of(names.begin(), names.end(), [&q](const std::string& n) { return n.starts_with(q); }))
      prefix.push_back(kPlaces[i]);
    else if (std::any_of(names.begin(), names.end(),
                         [&q](const std::string& n) { return n.find(q) != std::string::npos; }))
      inside.push_back(kPlaces[i]);
  }
  prefix.insert(prefix.end(), inside.begin(), inside.end());
  if (prefix.size() > limit) prefix.resize(limit);
  return prefix;
}

void PrepareWorldCities() { (void)World(); }

std::vector<Place> SearchWorldCities(std::string_view query, std::size_t limit) {
  std::vector<Place> out;
  const WorldIndex& world = World();
  for (std::uint32_t c : world.Find(Key(TrimmedView(query)))) {
    if (out.size() == limit) break;
    out.push_back(world.cities[c].place);
  }
  return out;
}

PlaceResolution ResolvePlace(std::string_view text) {
  PlaceResolution r;
  const std::string q = Key(TrimmedView(text));
  if (q.empty()) return r;
  const auto settle = [&r](std::vector<Place> places, PlaceMatch single) {
    if (places.size() == 1) {
      r.match = single;
      r.place = std::move(places.front());
    } else if (places.size() > 1) {
      r.match = PlaceMatch::Ambiguous;
      if (places.size() > kCandidates) places.resize(kCandidates);
      r.candidates = std::move(places);
    }
  };

  // Named so exactly in the built-in list ("Taizhou" is two cities).
  std::vector<Place> exact;
  const auto& keys = KnownKeys();
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (std::find(keys[i].begin(), keys[i].end(), q) != keys[i].end()) exact.push_back(kPlaces[i].place());
  settle(std::move(exact), PlaceMatch::Exact);
  if (r.match != PlaceMatch::None) return r;

  // Held in a name of the built-in list, or the name of cities of the world
  // list ("York": 紐約 and the Yorks of England and America; "San": 三重區,
  // San Francisco, … and San in Mali). The world's cities are named exactly
  // by "City, Region, Country", as the candidates are listed.
  const WorldIndex& world = World();
  std::vector<Place> candidates;
  for (const KnownPlace& k : FindPlaces(text, kCandidates + 1)) candidates.push_back(k.place());
  const std::vector<std::uint32_t> named = world.Named(q);
  for (std::uint32_t c : named) candidates.push_back(world.cities[c].place);
  const PlaceMatch single = candidates.size() == 1 && named.size() == 1 ? PlaceMatch::Exact : PlaceMatch::Unique;
  settle(std::move(candidates), single);
  if (r.match != PlaceMatch::None) return r;

  // A word of the names of the world list begins so.
  std::vector<Place> begun;
  for (std::uint32_t c : world.Find(q)) {
    if (begun.size() > kCandidates) break;
    begun.push_back(world.cities[c].place);
  }
  settle(std::move(begun), PlaceMatch::Unique);
  return r;
}

std::string PlaceResolutionText(std::string_view text, const PlaceResolution& r) {
  const std::string name(TrimmedView(text));
  switch (r.match) {
    case PlaceMatch::Exact:
    case PlaceMatch::Unique:
      return {};
    case PlaceMatch::None:
      return "找不到地點「" + name + "」";
    case PlaceMatch::Ambiguous:
      break;
  }
  std::string list;
  for (const Place& p : r.candidates) list += (list.empty() ? "" : "、") + p.name;
  return "「" + name + "」可指多個地點：" + list + (r.candidates.size() >= kCandidates ? "等" : "") +
         "，請輸入完整的名稱";
}

}  // namespace qelm
