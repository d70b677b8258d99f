#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {


TEST(MomentCommand, JsonOfSpringStart2000) {
  const Ran r = RunReport({"moment", "--json", "2000-02-04 20:35"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 1u);
  const auto j = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(nlohmann::ordered_json::parse(lines[0]).begin().key(), "format");
  EXPECT_EQ(j["format"], kJsonFormat);
  EXPECT_EQ(j["MomentLunarYear"], 1999);
  EXPECT_EQ(j["MomentLunarMonth"], 12);
  EXPECT_EQ(j["MomentLunarDay"], 29);
  EXPECT_EQ(j["MomentLeapFlag"], 1);
  EXPECT_EQ(j["MomentHourBranch"], 11);
  EXPECT_EQ(j["MomentPillars"], (std::vector<int>{7, 5, 9, 7, 6, 5, 3, 5, 11, 4}));
  EXPECT_EQ(j["JieIndex"], 2403);
  EXPECT_EQ(j["JieName"], "立春");
  EXPECT_EQ(j["JieDays"], 0);
  EXPECT_EQ(j["JieHours"], 0);
  EXPECT_EQ(j["JieMinutes"], 0);
  EXPECT_EQ(j["PastMidTerm"], 0);
  EXPECT_EQ(j["LastTermName"], "立春");
  EXPECT_EQ(j["LastTermDays"], 0);
  EXPECT_EQ(j["LastTermHours"], 0);
  EXPECT_EQ(j["LastTermMinutes"], 0);
  EXPECT_EQ(j["WeekdayNumber"], 6);
  EXPECT_EQ(j["pillars"], (nlohmann::json{{"year", "庚辰"}, {"month", "戊寅"}, {"day", "壬辰"},
                                          {"hour", "庚戌"}, {"newYear", "己卯"}}));
}

TEST(MomentCommand, TextNamesTheLunarDateAsTheWindowsDo) {
  const Ran a = RunReport({"moment", "2000-02-04 20:35"});
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_NE(a.out.find("陰曆 己卯年十二月廿九日戌時\n"), std::string::npos) << a.out;
  EXPECT_NE(a.out.find("庚辰年 戊寅月 壬辰日 庚戌時"), std::string::npos) << a.out;
  EXPECT_NE(a.out.find("金耀日(五)"), std::string::npos) << a.out;

  const Ran b = RunReport({"moment", "1984-12-01 12:00"});  // in the leap 10th month
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_NE(b.out.find("陰曆 甲子年閏十月初九日午時\n"), std::string::npos) << b.out;
}

TEST(MomentCommand, BatchGoesOnPastABadLine) {
  const Ran r = RunReport({"moment", "--batch"},
                        "2000-02-04 20:34\r\n2000-02-30 12:00\n\n1900-12-31 12:00\n2000-02-04 20:35\n");
  ASSERT_EQ(r.status, 1) << r.err;  // done, with bad lines
  EXPECT_EQ(RunReport({"moment", "--batch"}, "2000-02-04 20:34\n").status, 0);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 5u) << r.out;
  const auto first = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(first["pillars"]["year"], "己卯");
  EXPECT_EQ(first["pillars"]["month"], "丁丑");
  for (int i : {1, 2, 3}) {
    const auto bad = nlohmann::json::parse(lines[i]);
    ASSERT_TRUE(bad.contains("error")) << lines[i];
    EXPECT_EQ(bad.size(), 1u);
  }
  const auto last = nlohmann::json::parse(lines[4]);
  EXPECT_EQ(last["pillars"]["year"], "庚辰");
  EXPECT_EQ(last["JieIndex"], 2403);
}

TEST(MomentCommand, BadInputEndsWithStatusTwo) {
  const std::vector<std::vector<const char*>> cases = {
      {"moment", "2000-02-04"},       {"moment", "2000-02-04 20:61"}, {"moment", "2000-13-01 00:00"},
      {"moment", "1900-12-31 23:59"}, {"moment", "2100-01-01 00:00"}, {"moment", "--json", "not a moment"},
      {"moment"},                     {"moment", "--batch", "2000-02-04 20:35"},
  };
  for (const auto& args : cases) {
    const Ran r = RunReport(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_TRUE(r.out.empty()) << r.out;
    const auto lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 1u) << r.err;
    EXPECT_EQ(lines[0].rfind("qelm-report: ", 0), 0u) << lines[0];
  }
  EXPECT_EQ(RunReport({"moment", "1901-01-01 00:00"}).status, 0);
  EXPECT_EQ(RunReport({"moment", "2099-12-31 23:59"}).status, 0);
}

TEST(TablesCommand, PrintsBothTablesOneRowALine) {
  const Ran r = RunReport({"tables"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 201u + 4824u);
  EXPECT_EQ(lines[0], "010010111101080131");
  EXPECT_EQ(lines[84], "1011001001110A0202");
  EXPECT_EQ(lines[200], "110101010010000209");
  EXPECT_EQ(lines[201], "1900/01/06 02:13");
  EXPECT_EQ(lines[201 + 2402], "2000/02/04 20:35");
  EXPECT_EQ(lines.back(), "2100/12/22 04:02");
}

}  // namespace
}  // namespace qelm::cli
