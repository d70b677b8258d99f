#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <ctime>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

Ran RunChart(std::vector<const char*> args, const std::string& input = {}) {
  args.insert(args.begin(), "chart");
  return RunReport(std::move(args), input);
}

// 庚辰 年 戊寅 月 壬辰 日 庚戌 時, born at the minute of 立春 2000.
const std::vector<const char*> kMan{"--name", "王小明", "--sex", "男", "--birth", "2000-02-04 20:35",
                                    "--at", "2030-06-15 12:00"};

std::vector<const char*> With(std::vector<const char*> args, std::initializer_list<const char*> more) {
  args.insert(args.end(), more);
  return args;
}

TEST(ChartCommand, ZiPingTextWithPlainLineEnds) {
  const Ran r = RunChart(kMan);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[0], "乾造 西元 2000年 2月 4日 20時 35分 (己卯年十二月廿九日戌時)");
  EXPECT_EQ(lines[5], "梟日殺梟");
  EXPECT_EQ(lines[12], "西元 2030年 6月 15日 12時 0分");
  EXPECT_EQ(lines[30], "戊子  2100年09月22日  2105年07月28日");
}

TEST(ChartCommand, SanMingTextWithCrLf) {
  const Ran r = RunChart(With(kMan, {"--school", "三命法", "--crlf"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 42u);
  for (const auto& l : lines) {
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l.back(), '\r');
  }
  EXPECT_EQ(lines[3], "命宮:辛巳 身宮:己丑 息元:丁酉 胎元:己巳\r");
  EXPECT_EQ(lines[5], "胎時日月年\r");
}

TEST(ChartCommand, JsonHoldsTheWholeChart) {
  const Ran r = RunChart(With(kMan, {"--json"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["format"], kJsonFormat);
  EXPECT_EQ(j["PersonName"], "王小明");
  EXPECT_EQ(j["Sex"], 1);
  EXPECT_EQ(j["YearStem"], 7);
  EXPECT_EQ(j["HourBranch"], 11);
  EXPECT_EQ(j["NewYearStem"], 6);
  // Names beside the numbers: 庚辰 戊寅 壬辰 庚戌, the lunar year 己卯.
  EXPECT_EQ(j["YearPillar"], "庚辰");
  EXPECT_EQ(j["HourPillar"], "庚戌");
  EXPECT_EQ(j["NewYearPillar"], "己卯");
  EXPECT_EQ(j["birth"]["pillars"]["day"], "壬辰");
  EXPECT_EQ(j["ChartKind"], "乾造");
  EXPECT_EQ(j["LifePalace"], (std::vector<int>{8, 6}));
  EXPECT_EQ(j["ConceptionPillar"], (std::vector<int>{6, 6}));
  EXPECT_EQ(j["LuckStems"], (std::vector<int>{6, 7, 8, 9, 10, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(j["LuckPillars"][0], "己卯");
  EXPECT_EQ(j["LuckStartAge"], 10);
  ASSERT_EQ(j["LuckChangeMinutes"].size(), 12u);
  EXPECT_EQ(j["LuckChangeMinutes"][0], 5141760);  // (立春 → 驚蟄) 42848 minutes × 120
  EXPECT_EQ(j["LuckChangeDates"][2], "2029年11月19日");
  EXPECT_EQ(j["CurrentLuckIndex"], 3);
  EXPECT_EQ(j["FlowAge"], 30);
  // Like the luck index and the age, the commanding stem is that of the shown
  // moment: 芒種 2030 plus 9 days in the 午 month is 丙, where the birth had 戊.
  EXPECT_EQ(j["CommandStem"], 3);
  EXPECT_EQ(j["CommandStemName"], "丙火");
  // The birth month's stands in the report, and no window text in the JSON.
  EXPECT_NE(j["Report"]["子平法"].get<std::string>().find("立春後第 0日 0時 0分 戊土用事"), std::string::npos);
  for (const char* key : {"ChartLoaded", "DateLabText", "CommandLineText", "PalaceLineText"})
    EXPECT_FALSE(j.contains(key)) << key;
  EXPECT_EQ(j["MomentPillars"], (std::vector<int>{7, 9, 8, 1, 7, 11, 7, 6, 7, 11}));
  EXPECT_EQ(j["FlowPillars"]["year"], "庚戌");
  EXPECT_EQ(j["NatalScores"], (std::vector<int>{14, 5, 22, 12, 7}));
  const int totals[] = {81, 94, 115, 128, 141};
  for (int level = 0; level < 5; ++level) {
    const auto scores = j["LevelScores"][level].get<std::vector<int>>();
    const auto pairs = j["PairSums"][level].get<std::vector<int>>();
    EXPECT_EQ(std::accumulate(scores.begin(), scores.end(), 0), totals[level]);
    EXPECT_EQ(std::accumulate(pairs.begin(), pairs.end(), 0), 2 * totals[level]);
  }
  EXPECT_EQ(j["SeasonNames"], (std::vector<std::string>{"木", "火", "土", "金", "水"}));
  // 壬 day: 長生 at 申; 壬辰 of the 甲申 decade: void 午未.
  EXPECT_EQ(j["Stars"]["子平法"][8]["Branch"], "申");
  EXPECT_EQ(j["Stars"]["子平法"][8]["GrowthStage"], "長生");
  EXPECT_EQ(j["Stars"]["子平法"][6]["VoidMarks"], "日柱空亡 ");
  EXPECT_EQ(j["Stars"]["子平法"][4]["YearGod"], "太歲");
  // 庚辰 is 白臘金: the 三命法 ring starts at 巳.
  EXPECT_EQ(j["Stars"]["三命法"][5]["GrowthStage"], "長生");
  EXPECT_EQ(j["Stars"]["三命法"].size(), 12u);
  EXPECT_EQ(j["Virtues"]["HeavenlyVirtue"], "天德   丁");
  EXPECT_EQ(j["Virtues"]["MonthlyVirtueCombination"], "月德合 辛");
  const std::string zi = j["Report"]["子平法"], san = j["Report"]["三命法"];
  EXPECT_EQ(zi.substr(zi.size() - 2), "\r\n");
  EXPECT_EQ(std::count(zi.begin(), zi.end(), '\n'), 31);
  EXPECT_EQ(std::count(san.begin(), san.end(), '\n'), 42);
}

TEST(ChartCommand, BatchGoesOnAfterABadLine) {
  const std::string input =
      "甲\t男\t2000-02-04 20:35\t2030-06-15 12:00\n"
      "乙\t不明\t2000-02-04 20:35\t2030-06-15 12:00\n"
      "丙\t女\t1900-12-31 12:00\t2030-06-15 12:00\n"
      "丁\t女\t2000-02-04 20:35\n"
      "己\t男\t2000-02-04 20:35\t\n"
      "戊\t女\t1984-02-02 12:00\t2024-01-01 00:00\r\n";
  const Ran r = RunChart({"--batch"}, input);
  ASSERT_EQ(r.status, 1) << r.err;  // done, with bad lines
  EXPECT_EQ(RunChart({"--batch"}, "甲\t男\t2000-02-04 20:35\t2030-06-15 12:00\n").status, 0);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 6u);
  const auto first = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(first["PersonName"], "甲");
  EXPECT_EQ(first["CurrentLuckIndex"], 3);
  // A line without its flow moment is bad too: the clock never stands in.
  for (int i : {1, 2, 3, 4}) {
    const auto bad = nlohmann::json::parse(lines[i]);
    ASSERT_EQ(bad.size(), 1u) << lines[i];
    EXPECT_TRUE(bad.contains("error")) << lines[i];
  }
  const auto last = nlohmann::json::parse(lines[5]);
  EXPECT_EQ(last["ChartKind"], "坤造");
  EXPECT_EQ(last["YearStem"], 10);    // 癸亥: before 立春 1984
  EXPECT_EQ(last["NewYearStem"], 1);  // 甲子 from the lunar New Year
}

TEST(ChartCommand, BadArgumentsExitWithStatusTwo) {
  const std::vector<std::vector<const char*>> cases{
      {"--name", "甲", "--sex", "X", "--birth", "2000-02-04 20:35"},
      {"--name", "甲", "--sex", "男"},
      {"--sex", "男", "--birth", "2000-02-04 20:35"},
      {"--name", "甲", "--sex", "女", "--birth", "2000-13-01 00:00"},
      {"--name", "甲", "--sex", "女", "--birth", "1900-06-01 00:00"},
      {"--name", "甲", "--sex", "女", "--birth", "2000/02/04 20:35"},
      {"--name", "甲", "--sex", "女", "--birth", "2000-02-04 20:35", "--at", "2100-01-01 00:00"},
      {"--name", "甲", "--sex", "女", "--birth", "2000-02-04 20:35", "--school", "紫微"},
      {"--batch", "--name", "甲"},
      {"--batch", "--jobs", "0"},
      {"--batch", "--jobs", "257"},
  };
  for (const auto& args : cases) {
    const Ran r = RunChart(args);
    EXPECT_EQ(r.status, 2) << args[args.size() - 1];
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
  }
}

TEST(ChartCommand, FlowMomentDefaultsToNow) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const Ran r = RunChart({"--name", "甲", "--sex", "女", "--birth", "1970-01-01 00:00"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[12].rfind("西元 " + std::to_string(local.tm_year + 1900) + "年", 0), 0u) << lines[12];
}

}  // namespace
}  // namespace qelm::cli
