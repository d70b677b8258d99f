// The birthplace options of `chart` and `moment`: the corrected moment's
// pillars, the correction line at the end of the text, BirthCorrection in
// the JSON, refusals, and the output without the options left as it was.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "run_report.hpp"

namespace qelm::cli {
namespace {

using nlohmann::json;

json JsonOf(const Ran& r) {
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  return json::parse(r.out);
}

std::vector<const char*> With(std::vector<const char*> args, const std::vector<const char*>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

constexpr const char* kPillarFields[] = {"YearStem",   "MonthStem",   "DayStem",   "HourStem",
                                         "YearBranch", "MonthBranch", "DayBranch", "HourBranch"};

TEST(BirthplaceOptions, CastTheCorrectedMoment) {
  struct Case {
    const char* what;
    const char* clock;                // as entered
    std::vector<const char*> place;   // the options
    const char* same;                 // the plain moment with the same pillars
    int utcOffset, dst;
  };
  const std::vector<Case> cases{
      {"Taipei under daylight saving", "1975-07-01 09:30", {"--place", "臺北市", "--time", "standard"},
       "1975-07-01 08:30", 540, 60},
      {"New York summer: the next day", "1990-07-01 20:00", {"--place", "New York", "--time", "standard"},
       "1990-07-02 08:00", -240, 60},
      {"New York winter, by coordinates", "1990-01-01 20:00",
       {"--longitude", "-74.006", "--zone", "America/New_York", "--time", "standard"}, "1990-01-02 09:00", -300, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // moment: its pillars are those of the standard moment.
    const json m = JsonOf(RunReport(With({"moment", "--json", c.clock}, c.place)));
    const json plain = JsonOf(RunReport({"moment", "--json", c.same}));
    EXPECT_EQ(m["pillars"], plain["pillars"]);
    EXPECT_EQ(m["MomentPillars"], plain["MomentPillars"]);
    EXPECT_EQ(m["BirthCorrection"]["utcOffsetMinutes"], c.utcOffset);
    EXPECT_EQ(m["BirthCorrection"]["dstMinutes"], c.dst);
    EXPECT_EQ(m["BirthCorrection"]["mode"], "standard");
    std::string standard = c.same;
    standard[4] = standard[7] = '/';
    EXPECT_EQ(m["BirthCorrection"]["standardMoment"], standard);

    // chart: the same pillars, the correction in the JSON and at the end of
    // both reports, in the JSON and as text.
    const std::vector<const char*> person{"chart", "--name", "測試", "--sex", "女", "--at", "2020-01-01 12:00"};
    const json j = JsonOf(RunReport(With(With(person, {"--json", "--birth", c.clock}), c.place)));
    const json p = JsonOf(RunReport(With(person, {"--json", "--birth", c.same})));
    for (const char* field : kPillarFields) EXPECT_EQ(j[field], p[field]) << field;
    EXPECT_EQ(j["BirthCorrection"], m["BirthCorrection"]);
    const std::string line = j["BirthCorrection"]["line"];
    ASSERT_FALSE(line.empty());
    for (const char* school : {"子平法", "三命法"}) {
      const std::string report = j["Report"][school];
      EXPECT_TRUE(report.ends_with("\r\n" + line + "\r\n")) << school;
      const Ran text = RunReport(With(With(person, {"--birth", c.clock, "--school", school}), c.place));
      ASSERT_EQ(text.status, 0) << text.err;
      EXPECT_TRUE(text.out.ends_with("\n" + line + "\n")) << school;
      EXPECT_EQ(text.out.find('\r'), std::string::npos);
    }
    const Ran momentText = RunReport(With({"moment", c.clock}, c.place));
    EXPECT_TRUE(momentText.out.ends_with("\n" + line + "\n")) << momentText.out;
  }
}

TEST(BirthplaceOptions, RefusalsAreOneLineWithStatus2) {
  const std::vector<std::vector<const char*>> cases{
      // New York put its clocks forward at 02:00 that day.
      {"moment", "1990-04-01 02:30", "--place", "New York", "--time", "standard"},
      {"chart", "--name", "甲", "--sex", "男", "--birth", "1990-04-01 02:30", "--place", "New York", "--time",
       "solar"},
      {"chart", "--batch", "--place", "臺北市"},
      {"moment", "--batch", "--time", "clock"},
      {"chart", "--name", "甲", "--sex", "男", "--birth", "1990-01-01 10:00", "--place", "無此地方ZZQ"},
      // A name that could be several places.
      {"moment", "1990-01-01 10:00", "--place", "州", "--time", "solar"},
      {"moment", "1990-01-01 10:00", "--place", "Kashiw", "--time", "solar"},
      // --overlap where nothing can occur twice.
      {"moment", "1990-01-01 10:00", "--overlap", "later"},
      {"moment", "1990-01-01 10:00", "--place", "紐約", "--overlap", "later"},
      // Not numbers, not zones.
      {"moment", "1990-01-01 10:00", "--longitude", "0x10", "--zone", "Asia/Taipei", "--time", "solar"},
      {"moment", "1990-01-01 10:00", "--longitude", "120abc", "--zone", "Asia/Taipei", "--time", "solar"},
      {"moment", "1990-01-01 10:00", "--longitude", "120", "--latitude", "1e1", "--zone", "Asia/Taipei"},
      {"moment", "1990-01-01 10:00", "--longitude", "120", "--zone", "localtime", "--time", "solar"},
      {"moment", "1990-01-01 10:00", "--longitude", "120", "--zone", "../../../etc/passwd", "--time", "solar"},
  };
  for (const auto& args : cases) {
    const Ran r = RunReport(args, "王小明\t男\t1990-01-01 10:00\t2020-01-01 12:00\n");
    SCOPED_TRACE(args[1]);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
  }
}

TEST(BirthplaceOptions, RefusalsNameWhatWasMeant) {
  const Ran several = RunReport({"moment", "1990-01-01 10:00", "--place", "州", "--time", "solar"});
  EXPECT_NE(several.err.find("可指多個地點：屏東縣潮州鎮、"), std::string::npos) << several.err;
  const Ran notNumber = RunReport({"moment", "1990-01-01 10:00", "--longitude", "0x10", "--zone", "Asia/Taipei"});
  EXPECT_NE(notNumber.err.find("不是數字"), std::string::npos) << notNumber.err;
  const Ran notZone = RunReport({"moment", "1990-01-01 10:00", "--longitude", "120", "--zone", "localtime"});
  EXPECT_NE(notZone.err.find("找不到時區「localtime」"), std::string::npos) << notZone.err;
}

// Standard time is checked on the standard moment only: the Sun at Kashgar
// is still in 1900, at Tokyo already in 2100.
TEST(BirthplaceOptions, StandardTimeNeedsOnlyItsOwnMomentInRange) {
  for (const auto& [clock, place] : {std::pair{"1901-01-01 00:30", "喀什"}, std::pair{"2099-12-31 23:50", "東京"}}) {
    EXPECT_EQ(RunReport({"moment", clock, "--place", place, "--time", "standard"}).status, 0) << place;
    EXPECT_EQ(RunReport({"moment", clock, "--place", place, "--time", "solar"}).status, 2) << place;
  }
}

TEST(BirthplaceOptions, WithoutThemTheOutputStaysAsItWas) {
  // The single chart's JSON is the batch line of the same person, which the
  // batch guard pins byte for byte; the text is its report.
  const std::vector<const char*> person{"chart", "--name", "王小明", "--sex", "男", "--birth",
                                        "1990-01-01 10:00", "--at", "2020-01-01 12:00"};
  const Ran single = RunReport(With(person, {"--json"}));
  const Ran batch = RunReport({"chart", "--batch", "--jobs", "1"}, "王小明\t男\t1990-01-01 10:00\t2020-01-01 12:00\n");
  ASSERT_EQ(single.status, 0) << single.err;
  EXPECT_EQ(single.out, batch.out);
  const Ran text = RunReport(person);
  std::string report = json::parse(single.out)["Report"]["子平法"];
  std::erase(report, '\r');
  EXPECT_EQ(text.out, report);

  // A place read by the clock changes nothing but adds the object.
  json clock = JsonOf(RunReport(With(person, {"--json", "--place", "臺北市", "--time", "clock"})));
  EXPECT_EQ(clock["BirthCorrection"]["mode"], "clock");
  EXPECT_EQ(clock["BirthCorrection"]["line"], "");
  // It states the place, and no offsets or moments it did not use.
  for (const char* unused : {"utcOffsetMinutes", "dstMinutes", "standardMoment", "solarMoment", "clock"})
    EXPECT_FALSE(clock["BirthCorrection"].contains(unused)) << unused;
  EXPECT_EQ(clock["BirthCorrection"]["zone"], "Asia/Taipei");
  clock.erase("BirthCorrection");
  EXPECT_EQ(clock, json::parse(single.out));
}

}  // namespace
}  // namespace qelm::cli
