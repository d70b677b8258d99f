// qelm-report compare: the two charts are the charts `chart` casts, the
// relations across them fit the pillars they name, and each person takes
// their own birthplace options.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "run_report.hpp"

namespace qelm::cli {
namespace {

// 六十甲子納音, two pillars a name, in the order of the cycle.
constexpr std::array<std::string_view, 30> kSounds{
    "海中金", "爐中火", "大林木", "路旁土", "劍鋒金", "山頭火", "澗下水", "城頭土", "白臘金", "楊柳木",
    "泉中水", "屋上土", "霹靂火", "松柏木", "長流水", "砂中金", "山下火", "平地木", "壁上土", "金箔金",
    "覆燈火", "天河水", "大驛土", "釵釧金", "桑拓木", "大溪水", "沙中土", "天上火", "石榴木", "大海水"};
constexpr std::string_view kStems = "甲乙丙丁戊己庚辛壬癸", kBranches = "子丑寅卯辰巳午未申酉戌亥";

// The place of a pillar in the cycle of sixty, 0 for 甲子.
int CycleIndex(const std::string& pillar) {
  const int s = static_cast<int>(kStems.find(pillar.substr(0, 3)) / 3);
  const int b = static_cast<int>(kBranches.find(pillar.substr(3, 3)) / 3);
  for (int i = 0; i < 60; ++i)
    if (i % 10 == s && i % 12 == b) return i;
  return -1;
}

std::string Moment(std::mt19937& random, int fromYear, int years) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", fromYear + static_cast<int>(random() % years),
                1 + static_cast<int>(random() % 12), 1 + static_cast<int>(random() % 28),
                static_cast<int>(random() % 24), static_cast<int>(random() % 60));
  return text;
}

// Random pairs: each person's pillars and luck pillar are those of `chart`,
// the year's 納音 that of the cycle, and every relation joins both persons
// (the flow ones the flow year) with the characters of the pillars it names.
TEST(CompareCli, RandomPairsAgreeWithTheirCharts) {
  std::mt19937 random(31);
  for (int round = 0; round < 25; ++round) {
    const std::string aBirth = Moment(random, 1930, 70), bBirth = Moment(random, 1930, 70);
    const std::string at = Moment(random, 2000, 50);
    const Ran r = RunReport({"compare", "--a-name", "甲方", "--a-sex", "男", "--a-birth", aBirth.c_str(), "--b-name",
                             "乙方", "--b-sex", "女", "--b-birth", bBirth.c_str(), "--at", at.c_str(), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json j = Json::parse(r.out);
    // Pillar names by position, as the relations name them.
    std::map<std::string, std::string> pillars;
    for (const char* side : {"a", "b"}) {
      const bool isA = std::string_view(side) == "a";
      const Ran c = RunReport({"chart", "--json", "--name", "x", "--sex", isA ? "男" : "女", "--birth",
                               isA ? aBirth.c_str() : bBirth.c_str(), "--at", at.c_str()});
      ASSERT_EQ(c.status, 0) << c.err;
      const Json chart = Json::parse(c.out);
      const Json& person = j[side];
      const std::array<std::pair<const char*, const char*>, 4> names{
          {{"year", "YearPillar"}, {"month", "MonthPillar"}, {"day", "DayPillar"}, {"hour", "HourPillar"}}};
      const std::array<const char*, 4> positions{"年", "月", "日", "時"};
      for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(person["pillars"][names[i].first], chart[names[i].second]) << side << names[i].first;
        pillars[std::string(side) + "." + positions[i]] = person["pillars"][names[i].first];
      }
      EXPECT_EQ(person["yearSound"], kSounds[static_cast<std::size_t>(CycleIndex(chart["YearPillar"]) / 2)]);
      const int luck = chart["CurrentLuckIndex"];
      if (luck >= 1) {
        EXPECT_EQ(person["luck"], chart["LuckPillars"][static_cast<std::size_t>(luck - 1)]);
        pillars[std::string(side) + ".運"] = person["luck"];
      } else {
        EXPECT_TRUE(person["luck"].is_null());
      }
      EXPECT_EQ(j["flowYear"], chart["FlowPillars"]["year"]);
    }
    pillars["流年"] = j["flowYear"];

    const std::set<std::string> stemKinds{"天干五合", "天干相沖"};
    const auto check = [&](const Json& list, auto joins) {
      for (const Json& rel : list) {
        std::string chars;
        std::vector<std::string> at;
        for (const Json& p : rel["positions"]) {
          ASSERT_TRUE(pillars.contains(p)) << rel.dump();
          chars += pillars[p].substr(stemKinds.contains(rel["kind"]) ? 0 : 3, 3);
          at.push_back(p);
        }
        EXPECT_EQ(rel["chars"], chars) << rel.dump();
        EXPECT_TRUE(joins(at)) << rel.dump();
      }
    };
    const auto from = [](const std::vector<std::string>& at, std::string_view prefix) {
      return std::ranges::any_of(at, [prefix](const std::string& p) { return p.starts_with(prefix); });
    };
    check(j["Relations"], [&](const auto& at) { return from(at, "a.") && from(at, "b."); });
    check(j["FlowRelations"], [&](const auto& at) { return from(at, "流年"); });
  }
}

// The text: both persons, their pillars with ten gods and 納音, the
// relations by kind; a pair with nothing across says so.
TEST(CompareCli, TextShowsBothChartsAndTheRelations) {
  const Ran r = RunReport({"compare", "--a-name", "王小明", "--a-sex", "男", "--a-birth", "1990-05-17 14:30",
                           "--b-name", "李小華", "--b-sex", "女", "--b-birth", "1992-11-03 08:15"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_GE(lines.size(), 14u);
  EXPECT_EQ(lines[0], "合盤");
  EXPECT_EQ(lines[1], "a　王小明");
  // 庚午 to the day master 壬: 偏印; 庚午 is 路旁土.
  EXPECT_EQ(lines[3], "　年柱 庚午　偏印　路旁土");
  EXPECT_EQ(lines[5], "　日柱 壬午　日主　楊柳木");
  EXPECT_EQ(lines[7], "b　李小華");
  EXPECT_EQ(lines[14], "兩盤之間");
  EXPECT_EQ(lines[15], "天干五合");
  EXPECT_EQ(lines[16], "　丙辛合水　a.月干—b.時干");
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
  EXPECT_EQ(r.out.find("流年與兩盤"), std::string::npos);

  // At a flow moment: each one's luck pillar, then what the flow year forms.
  const Ran at = RunReport({"compare", "--a-name", "王小明", "--a-sex", "男", "--a-birth", "1990-05-17 14:30",
                            "--b-name", "李小華", "--b-sex", "女", "--b-birth", "1992-11-03 08:15", "--at",
                            "2024-06-15 10:30", "--crlf"});
  ASSERT_EQ(at.status, 0) << at.err;
  EXPECT_NE(at.out.find("流時 西元 2024年 6月 15日 10時 30分　流年 甲辰\r\na　大運 甲申（26 - 35 歲）\r\n"
                        "b　大運 丁未（29 - 38 歲）\r\n流年與兩盤\r\n天干相沖\r\n　甲庚沖　a.年干—流年干\r\n"),
            std::string::npos)
      << at.out;
}

// Each person's birthplace options are that person's alone; the messages
// name the prefixed options.
TEST(CompareCli, EachPersonTakesTheirOwnBirthplace) {
  const auto run = [](std::vector<const char*> extra) {
    std::vector<const char*> args{"compare",  "--json",   "--a-name", "甲", "--a-sex",   "男",
                                  "--a-birth", "1975-07-01 09:30", "--b-name", "乙", "--b-sex", "女",
                                  "--b-birth", "1975-07-01 09:30"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunReport(args);
  };
  const Ran plain = run({});
  ASSERT_EQ(plain.status, 0) << plain.err;
  const Ran placed = run({"--b-place", "臺北市", "--b-time", "solar"});
  ASSERT_EQ(placed.status, 0) << placed.err;
  const Json p = Json::parse(placed.out), q = Json::parse(plain.out);
  EXPECT_FALSE(p["a"].contains("BirthCorrection"));
  EXPECT_TRUE(p["b"].contains("BirthCorrection"));
  EXPECT_EQ(p["a"]["pillars"], q["a"]["pillars"]);
  // 09:30 in daylight saving at 臺北 is 07:xx solar: the hour moves to 辰.
  EXPECT_NE(p["b"]["pillars"]["hour"], q["b"]["pillars"]["hour"]);

  struct Refused {
    std::vector<const char*> args;
    const char* says;
  };
  const Refused refused[] = {
      {{"--a-time", "solar"}, "--a-time solar 需要 --a-place 或 --a-longitude 與 --a-zone"},
      {{"--b-overlap", "later"}, "--b-overlap 只用於"},
      {{"--a-place", "臺北市", "--a-longitude", "121"}, "--a-place"},
      {{"--b-place", "無此地方"}, "--b-longitude 與 --b-zone"},
  };
  for (const Refused& c : refused) {
    const Ran r = run(c.args);
    EXPECT_EQ(r.status, kBadInput) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
  for (const std::vector<const char*>& args :
       {std::vector<const char*>{"compare", "--a-name", "甲", "--a-sex", "男", "--a-birth", "1990-01-01 00:00"},
        std::vector<const char*>{"compare", "--a-name", "甲", "--a-sex", "男", "--a-birth", "1990-01-01 00:00",
                                 "--b-name", "乙", "--b-sex", "X", "--b-birth", "1990-01-01 00:00"},
        std::vector<const char*>{"compare", "--a-name", "甲", "--a-sex", "男", "--a-birth", "1990-02-30 00:00",
                                 "--b-name", "乙", "--b-sex", "女", "--b-birth", "1990-01-01 00:00"}}) {
    const Ran r = RunReport(args);
    EXPECT_EQ(r.status, kBadInput);
    EXPECT_FALSE(r.err.empty());
  }
}

}  // namespace
}  // namespace qelm::cli
