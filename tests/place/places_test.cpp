#include "place/places.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "place/zone.hpp"

namespace qelm {
namespace {

std::vector<std::string> Names(const std::vector<KnownPlace>& found) {
  std::vector<std::string> out;
  for (const KnownPlace& p : found) out.emplace_back(p.name);
  return out;
}

TEST(Places, EveryEntryHasAZoneTheSystemKnowsAndSaneCoordinates) {
  std::set<std::string_view> names;
  int abroad = 0;
  for (const KnownPlace& p : KnownPlaces()) {
    SCOPED_TRACE(std::string(p.name));
    EXPECT_TRUE(TimeZone::Find(p.zone).has_value());
    EXPECT_TRUE(names.insert(p.name).second) << "twice";
    EXPECT_LE(std::abs(p.longitude), 180.0);
    EXPECT_LE(std::abs(p.latitude), 90.0);
    if (p.country != "TW" && p.country != "HK" && p.country != "MO" && p.country != "CN") ++abroad;
  }
  EXPECT_GE(abroad, 60);
  EXPECT_GE(KnownPlaces().size(), 450u);
}

// Every county and city of Taiwan has its seat in the list, and every other
// place of a county or city lies near that seat: a record placed in the wrong
// town fails here. The list holds the towns whose position a compatible
// publication states, over ninety; fewer means the generator lost records.
TEST(Places, TaiwanSeatsArePresentAndTownsLieNearTheirSeat) {
  const std::map<std::string_view, std::string_view> seats = {
      {"臺北市", "臺北市"},       {"新北市", "新北市板橋區"}, {"桃園市", "桃園市"},
      {"臺中市", "臺中市"},       {"臺南市", "臺南市"},       {"高雄市", "高雄市"},
      {"基隆市", "基隆市"},       {"新竹市", "新竹市"},       {"嘉義市", "嘉義市"},
      {"新竹縣", "新竹縣竹北市"}, {"苗栗縣", "苗栗縣苗栗市"}, {"彰化縣", "彰化縣彰化市"},
      {"南投縣", "南投縣南投市"}, {"雲林縣", "雲林縣斗六市"}, {"嘉義縣", "嘉義縣太保市"},
      {"屏東縣", "屏東縣屏東市"}, {"宜蘭縣", "宜蘭縣宜蘭市"}, {"花蓮縣", "花蓮縣花蓮市"},
      {"臺東縣", "臺東縣臺東市"}, {"澎湖縣", "澎湖縣馬公市"}, {"金門縣", "金門縣金城鎮"},
      {"連江縣", "連江縣南竿鄉"},
  };
  std::map<std::string_view, const KnownPlace*> byName;
  for (const KnownPlace& p : KnownPlaces()) byName[p.name] = &p;
  for (const auto& [area, seat] : seats) {
    SCOPED_TRACE(std::string(seat));
    ASSERT_TRUE(byName.count(seat));
    EXPECT_EQ(byName[seat]->country, "TW");
    EXPECT_EQ(byName[seat]->zone, "Asia/Taipei");
  }
  int towns = 0;
  for (const KnownPlace& p : KnownPlaces()) {
    if (p.country != "TW") continue;
    SCOPED_TRACE(std::string(p.name));
    EXPECT_EQ(p.zone, "Asia/Taipei");
    const auto area = seats.find(p.name.substr(0, 9));  // three characters
    if (area == seats.end()) continue;                // a place named otherwise
    const KnownPlace& seat = *byName[area->second];
    EXPECT_LT(std::hypot(p.longitude - seat.longitude, p.latitude - seat.latitude), 0.75);
    ++towns;
  }
  EXPECT_GE(towns, 90);
}

TEST(Places, FindsByChineseOrEnglishPrefixFirstThenInside) {
  struct Case {
    const char* query;
    std::vector<std::string> first;  // the leading results, in order
  };
  const Case cases[] = {
      {"成都", {"成都"}},
      {"台北", {"臺北市"}},          // 台 is read as 臺
      {" new york ", {"紐約"}},       // case and blanks do not matter
      {"taizhou", {"泰州", "台州"}},  // both cities of the name
      {"板橋", {"新北市板橋區"}},     // inside the name
      {"suzhou", {"蘇州", "宿州"}},
  };
  for (const Case& k : cases) {
    const auto names = Names(FindPlaces(k.query));
    ASSERT_GE(names.size(), k.first.size()) << k.query;
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + k.first.size()), k.first) << k.query;
  }
  // A prefix match comes before a match inside a name.
  const auto sea = Names(FindPlaces("海"));
  const auto at = [&sea](std::string_view n) { return std::find(sea.begin(), sea.end(), n) - sea.begin(); };
  EXPECT_EQ(at("海口"), 0);
  EXPECT_LT(at("海口"), at("上海"));
  EXPECT_LT(at("上海"), static_cast<long>(sea.size()));
  EXPECT_TRUE(FindPlaces("").empty());
  EXPECT_TRUE(FindPlaces("Atlantis").empty());
  EXPECT_EQ(FindPlaces("a", 5).size(), 5u);
}

// The names people type: English, pinyin and older names, simplified
// characters, with or without accents; exact names first, then a single
// match; several are refused with the candidates; the world list last.
TEST(Places, ResolveTypedNames) {
  struct Case {
    const char* text;
    PlaceMatch match;
    const char* name;  // the place found, or one of the candidates
    const char* zone;  // of the place found
  };
  using M = PlaceMatch;
  const Case cases[] = {
      {"臺北市", M::Exact, "臺北市", "Asia/Taipei"},
      {"台北", M::Unique, "臺北市", "Asia/Taipei"},
      {"Urumqi", M::Exact, "烏魯木齊", "Asia/Shanghai"},
      {"Ürümqi", M::Exact, "烏魯木齊", "Asia/Shanghai"},
      {"乌鲁木齐", M::Exact, "烏魯木齊", "Asia/Shanghai"},
      {"Kashgar", M::Exact, "喀什", "Asia/Shanghai"},
      {"Kashi", M::Exact, "喀什", "Asia/Shanghai"},
      {"Xian", M::Exact, "西安", "Asia/Shanghai"},
      {"xi'an", M::Exact, "西安", "Asia/Shanghai"},
      {"Sao Paulo", M::Exact, "聖保羅", "America/Sao_Paulo"},
      {"Macao", M::Exact, "澳門", "Asia/Macau"},
      {"澳门", M::Exact, "澳門", "Asia/Macau"},
      {"Peking", M::Exact, "北京", "Asia/Shanghai"},
      {"广州", M::Exact, "廣州", "Asia/Shanghai"},
      {"拉萨", M::Exact, "拉薩", "Asia/Shanghai"},
      {"Zürich", M::Exact, "蘇黎世", "Europe/Zurich"},
      {"ZURICH", M::Exact, "蘇黎世", "Europe/Zurich"},
      {"馬祖", M::Exact, "連江縣南竿鄉", "Asia/Taipei"},
      {"連江縣", M::Exact, "連江縣南竿鄉", "Asia/Taipei"},
      {"南竿", M::Unique, "連江縣南竿鄉", "Asia/Taipei"},
      {"Nairobi", M::Exact, "Nairobi, Nairobi Area, Kenya", "Africa/Nairobi"},
      {"York", M::Ambiguous, "紐約", ""},
      {"York, England, United Kingdom", M::Exact, "York, England, United Kingdom", "Europe/London"},
      {"州", M::Ambiguous, "屏東縣潮州鎮", ""},
      {"San", M::Ambiguous, "新北市三重區", ""},
      {"taizhou", M::Ambiguous, "台州", ""},
      {"St Petersburg", M::Ambiguous, "Saint Petersburg, Russia", ""},
      {"Qqqzzx", M::None, "", ""},
      {"  ", M::None, "", ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    const PlaceResolution r = ResolvePlace(k.text);
    EXPECT_EQ(r.match, k.match);
    if (r.found()) {
      EXPECT_EQ(r.place.name, k.name);
      EXPECT_EQ(r.place.zone, k.zone);
      EXPECT_TRUE(PlaceResolutionText(k.text, r).empty());
      continue;
    }
    const std::string text = PlaceResolutionText(k.text, r);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.find(k.name), std::string::npos) << text;
    EXPECT_LE(r.candidates.size(), 10u);
  }
  // Kashiwa and Florida's St. Petersburg are candidates, never silent picks.
  const PlaceResolution st = ResolvePlace("St Petersburg");
  EXPECT_TRUE(std::any_of(st.candidates.begin(), st.candidates.end(),
                          [](const Place& p) { return p.name.find("Florida") != std::string::npos; }));
}

// Xinjiang keeps Beijing time on its certificates: the world list's cities
// there take Asia/Shanghai, as the built-in list's do.
TEST(Places, WorldSearchFollowsXinjiangsCertificateTime) {
  int xinjiang = 0;
  for (char letter = 'a'; letter <= 'z'; ++letter)
    for (const Place& p : SearchWorldCities(std::string(1, letter), 100000)) {
      EXPECT_NE(p.zone, "Asia/Urumqi") << p.name;
      EXPECT_NE(p.zone, "Asia/Kashgar") << p.name;
      if (p.name.find("Xinjiang") != std::string::npos) ++xinjiang;
    }
  EXPECT_GT(xinjiang, 0);
  const auto urumqi = SearchWorldCities("Urumqi", 1);
  ASSERT_EQ(urumqi.size(), 1u);
  EXPECT_EQ(urumqi.front().zone, "Asia/Shanghai");
}

TEST(Places, WorldSearchByEnglishName) {
  const auto found = SearchWorldCities("Nairobi");
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.front().name.substr(0, 7), "Nairobi");
  EXPECT_EQ(found.front().zone, "Africa/Nairobi");
  EXPECT_NEAR(found.front().longitude, 36.8, 0.2);
  EXPECT_TRUE(SearchWorldCities("").empty());
  // Any word of the name, without accents, the largest first.
  const auto york = SearchWorldCities("york");
  ASSERT_FALSE(york.empty());
  EXPECT_EQ(york.front().name.substr(0, 8), "New York");
  EXPECT_FALSE(SearchWorldCities("montreal").empty());
  // "St" on the way to Stockholm, "St." for Saint.
  EXPECT_EQ(SearchWorldCities("Stockholm").front().name, SearchWorldCities("St", 1000).front().name);
  EXPECT_EQ(SearchWorldCities("St. Pet", 1).front().name, SearchWorldCities("Saint Pet", 1).front().name);
  EXPECT_EQ(SearchWorldCities("montreal").front().name, SearchWorldCities("Montréal").front().name);
}

}  // namespace
}  // namespace qelm
