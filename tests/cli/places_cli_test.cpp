#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "run_report.hpp"

namespace qelm::cli {
namespace {

TEST(PlacesCommand, ListsMatchingPlaces) {
  struct Case {
    std::vector<const char*> args;
    int status;
    const char* firstLine;  // prefix of the first line of output
  };
  const Case cases[] = {
      {{"places", "成都"}, 0, "成都\tChengdu, CN\t東經104°04′ 北緯30°40′\tAsia/Shanghai"},
      {{"places", "台北"}, 0, "臺北市\tTaipei, TW\t"},
      {{"places", "喀什"}, 0, "喀什\tKashgar, CN\t東經75°59′ 北緯39°28′\tAsia/Shanghai"},
      {{"places", "--world", "nairobi"}, 0, "Nairobi, Nairobi Area, Kenya\t東經36°49′ 南緯1°17′\tAfrica/Nairobi"},
      {{"places", "Atlantis"}, 1, ""},
      {{"places", " "}, 2, ""},
  };
  for (const Case& k : cases) {
    const Ran r = RunReport(k.args);
    EXPECT_EQ(r.status, k.status) << k.args.back() << r.err;
    const auto lines = Lines(r.out);
    if (*k.firstLine != '\0') {
      ASSERT_FALSE(lines.empty()) << k.args.back();
      EXPECT_EQ(lines.front().substr(0, std::string(k.firstLine).size()), k.firstLine);
    } else {
      EXPECT_TRUE(lines.empty());
      EXPECT_FALSE(r.err.empty());
    }
  }
}

TEST(PlacesCommand, JsonCarriesCoordinatesAndZone) {
  const Ran r = RunReport({"places", "--json", "--limit", "2", "taizhou"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0]["name"], "泰州");
  EXPECT_EQ(j[1]["name"], "台州");
  EXPECT_EQ(j[1]["zone"], "Asia/Shanghai");
  EXPECT_NEAR(j[1]["longitude"].get<double>(), 121.4, 0.2);
}

}  // namespace
}  // namespace qelm::cli

#include "cli/correction_json.hpp"

namespace qelm::cli {
namespace {

TEST(BirthCorrectionObject, NamesEveryPartOfTheCorrection) {
  const Place newYork{"紐約", -74.00597, 40.71427, "America/New_York"};
  const auto out = CorrectBirth({1990, 10, 28, 1, 30}, newYork, TimeMode::Solar, OverlapChoice::Later);
  ASSERT_TRUE(out);
  const Json j = ReadBack([&](JsonWriter& w) { WriteBirthCorrection(w, *out.correction); });
  EXPECT_EQ(j["mode"], "solar");
  EXPECT_EQ(j["place"], "紐約");
  EXPECT_EQ(j["zone"], "America/New_York");
  EXPECT_EQ(j["utcOffsetMinutes"], -300);
  EXPECT_EQ(j["dstMinutes"], 0);
  EXPECT_EQ(j["standardMoment"], "1990/10/28 14:30");
  EXPECT_EQ(j["otherStandardMoment"], "1990/10/28 13:30");
  EXPECT_EQ(j["clock"], "repeated");
  EXPECT_EQ(j["overlapChoice"], "later");
  // 06:30 UT less 4 h 56 min of longitude plus 16 min of the equation of time.
  EXPECT_EQ(j["solarMoment"], "1990/10/28 01:50");
  EXPECT_NEAR(j["equationOfTimeSeconds"].get<double>(), 960, 30);
}

}  // namespace
}  // namespace qelm::cli
