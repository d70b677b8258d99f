// qelm-report days: the core's almanac and relations, the filters against the
// unfiltered lines, and the refusals.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "run_report.hpp"

namespace qelm::cli {
namespace {

std::vector<Json> JsonLines(const Ran& ran) {
  std::vector<Json> out;
  for (const std::string& line : Lines(ran.out)) out.push_back(Json::parse(line));
  return out;
}

TEST(DaysCommand, WorkedExample) {
  const Ran ran = RunReport({"days", "2024-02-03", "2024-02-04", "--birth", "1964-04-20 08:00", "--hours", "--json"});
  ASSERT_EQ(ran.status, 0) << ran.err;
  const std::vector<Json> days = JsonLines(ran);
  ASSERT_EQ(days.size(), 2u);
  const Json& d = days[1];
  EXPECT_EQ(d["date"], "2024-02-04");
  EXPECT_EQ(d["pillar"], "戊戌");
  EXPECT_EQ(d["officer"], "成");
  EXPECT_EQ(d["dayGod"], "司命");
  EXPECT_EQ(d["yellow"], true);
  EXPECT_EQ(d["term"], "立春");
  EXPECT_EQ(days[0]["officer"], "成");
  EXPECT_EQ(days[0]["dayGod"], "勾陳");
  EXPECT_EQ(days[0]["yellow"], false);
  EXPECT_FALSE(days[0].contains("term"));
  // 甲辰 戊辰 己亥 戊辰 against 戊戌: 辰戌 with three pillars.
  EXPECT_EQ(d["relations"].dump(),
            R"([{"kind":"六沖","positions":["流日","年"],"chars":"戌辰","element":null},)"
            R"({"kind":"六沖","positions":["流日","月"],"chars":"戌辰","element":null},)"
            R"({"kind":"六沖","positions":["流日","時"],"chars":"戌辰","element":null}])");
  EXPECT_EQ(d["hours"][0].dump(),
            R"({"branch":"子","first":"2024-02-03 23:00","last":"2024-02-04 00:59","pillar":"壬子",)"
            R"("hourGod":"天牢","yellow":false})");
  // Without --hours and a birth, neither key.
  const Json plain = JsonLines(RunReport({"days", "2024-02-04", "2024-02-04", "--json"})).at(0);
  EXPECT_FALSE(plain.contains("relations") || plain.contains("hours"));
  // The text: one line a date.
  const Ran text = RunReport({"days", "2024-02-01", "2024-02-29", "--birth", "1964-04-20 08:00"});
  ASSERT_EQ(Lines(text.out).size(), 29u);
  EXPECT_EQ(Lines(text.out)[3].substr(0, 42), "2024-02-04 戊戌 成 司命 黃道 立春");
}

// Each filter keeps exactly the unfiltered lines that satisfy it.
TEST(DaysCommand, FiltersAgainstTheUnfilteredLines) {
  const std::vector<const char*> base{"days", "2024-01-01", "2024-12-31", "--sex", "女", "--birth", "1975-07-01 09:30",
                                      "--json"};
  const Ran all = RunReport(base);
  ASSERT_EQ(all.status, 0) << all.err;
  const std::vector<Json> days = JsonLines(all);
  ASSERT_EQ(days.size(), 366u);
  const auto kinds = [](const Json& day) {
    std::set<std::string> out;
    for (const Json& r : day["relations"]) out.insert(r["kind"]);
    return out;
  };
  const struct {
    std::vector<const char*> extra;
    bool (*keeps)(const Json&, const std::set<std::string>&);
  } cases[] = {
      {{"--avoid", "六沖,三刑"}, [](const Json&, const std::set<std::string>& k) { return !k.count("六沖") && !k.count("三刑"); }},
      {{"--want", "六合、三合"}, [](const Json&, const std::set<std::string>& k) { return k.count("六合") + k.count("三合") > 0; }},
      {{"--officer", "成,開"}, [](const Json& d, const std::set<std::string>&) { return d["officer"] == "成" || d["officer"] == "開"; }},
      {{"--yellow"}, [](const Json& d, const std::set<std::string>&) { return d["yellow"] == true; }},
      {{"--yellow", "--avoid", "六沖", "--officer", "除,定,危"},
       [](const Json& d, const std::set<std::string>& k) {
         return d["yellow"] == true && !k.count("六沖") &&
                (d["officer"] == "除" || d["officer"] == "定" || d["officer"] == "危");
       }},
  };
  for (const auto& c : cases) {
    std::vector<const char*> args = base;
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const Ran filtered = RunReport(args);
    std::vector<Json> expected;
    for (const Json& d : days)
      if (c.keeps(d, kinds(d))) expected.push_back(d);
    ASSERT_FALSE(expected.empty()) << c.extra[0];
    EXPECT_EQ(filtered.status, 0);
    EXPECT_EQ(JsonLines(filtered), expected) << c.extra[0];
  }
}

TEST(DaysCommand, Refusals) {
  const struct {
    std::vector<const char*> args;
    int status;
    const char* message;
  } cases[] = {
      {{"days", "2024-02-30", "2024-03-01"}, 2, "2024-02-30"},
      {{"days", "1901-02-19", "1901-03-01"}, 2, "1901-02-20"},
      {{"days", "2099-12-01", "2100-01-01"}, 2, "2100-01-01"},
      {{"days", "2024-03-02", "2024-03-01"}, 2, "晚於"},
      {{"days", "2024-03-01", "2024-03-02", "--avoid", "六沖"}, 2, "--birth"},
      {{"days", "2024-03-01", "2024-03-02", "--sex", "男"}, 2, "--birth"},
      {{"days", "2024-03-01", "2024-03-02", "--place", "臺北市"}, 2, "--birth"},
      {{"days", "2024-03-01", "2024-03-02", "--birth", "1990-05-17 14:30", "--want", "六沖,沖"}, 2, "「沖」"},
      {{"days", "2024-03-01", "2024-03-02", "--officer", ""}, 2, "空項"},
      {{"days", "2024-03-01", "2024-03-02", "--birth", "1990-13-17 14:30"}, 2, "出生時刻"},
      {{"days", "2024-03-01", "2024-03-02", "--birth", "1990-05-17 14:30", "--sex", "男女"}, 2, "性別"},
      {{"days", "2024-03-01"}, 2, ""},
      // 2024-03-02 and 03-03 are 乙丑 閉 and 丙寅 建.
      {{"days", "2024-03-02", "2024-03-03", "--officer", "開"}, 1, "沒有合乎條件的日子"},
  };
  for (const auto& c : cases) {
    const Ran ran = RunReport(c.args);
    EXPECT_EQ(ran.status, c.status) << c.args.back();
    EXPECT_NE(ran.err.find(c.message), std::string::npos) << ran.err;
    EXPECT_TRUE(ran.out.empty()) << ran.out;
  }
}

// A birth is read as `chart` reads it: the same natal pillars under a
// birthplace and a day change.
TEST(DaysCommand, BirthAsChartTakesIt) {
  const std::vector<const char*> birth{"--birth", "1986-05-04 23:30", "--longitude", "121.5", "--zone", "Asia/Taipei",
                                       "--time", "solar", "--day-change", "0"};
  std::vector<const char*> chartArgs{"chart", "--name", "甲", "--sex", "男", "--at", "2024-02-04 12:00", "--json"};
  chartArgs.insert(chartArgs.end(), birth.begin(), birth.end());
  std::vector<const char*> daysArgs{"days", "2024-02-04", "2024-02-04", "--json"};
  daysArgs.insert(daysArgs.end(), birth.begin(), birth.end());
  const Json chart = Json::parse(RunReport(chartArgs).out);
  const Json day = JsonLines(RunReport(daysArgs)).at(0);
  std::multiset<std::string> fromChart, fromDays;
  for (const Json& r : chart["FlowRelations"]) {
    std::vector<std::string> p = r["positions"];
    const std::set<std::string> dayAndNatal{"流日", "年", "月", "日", "時"};
    if (std::ranges::all_of(p, [&](const std::string& s) { return dayAndNatal.count(s) > 0; }))
      fromChart.insert(r["kind"].get<std::string>() + std::to_string(p.size()));
  }
  for (const Json& r : day["relations"]) fromDays.insert(r["kind"].get<std::string>() + std::to_string(r["positions"].size()));
  EXPECT_EQ(fromDays, fromChart);
  EXPECT_EQ(fromDays.size(), 2u);  // 寅戌 with 丙寅, 辰戌 with 壬辰
  EXPECT_EQ(day["DayChange"], 0);
}

}  // namespace
}  // namespace qelm::cli
