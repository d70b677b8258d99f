#include "analysis/stars.hpp"

#include <gtest/gtest.h>

namespace qelm {
namespace {

constexpr Pillar P(int stem, int branch) { return {Stem{stem}, Branch{branch}}; }

// The year's polarity follows its stem.
ChartState Chart(Pillar year, Pillar month, Pillar day, Pillar hour, Sex sex = Sex::Male) {
  ChartState c;
  c.Sex = sex;
  c.YearStem = year.stem, c.YearBranch = year.branch;
  c.MonthStem = month.stem, c.MonthBranch = month.branch;
  c.DayStem = day.stem, c.DayBranch = day.branch;
  c.HourStem = hour.stem, c.HourBranch = hour.branch;
  c.YearPolarity = year.stem.yang() ? Polarity::Yang : Polarity::Yin;
  return c;
}

using Row12 = StarRow;

// Branch numbers at whose column the row holds name followed by a blank.
std::vector<int> Where(const Row12& row, std::string_view name) {
  std::vector<int> at;
  const std::string mark = std::string(name) + " ";
  for (int b = 1; b <= 12; ++b) {
    const std::string_view text = row[b - 1];
    for (size_t pos = text.find(mark); pos != std::string_view::npos; pos = text.find(mark, pos + 1)) {
      // A whole name: at the start or after the blank that ends the previous one.
      if (pos == 0 || text[pos - 1] == ' ') at.push_back(b);
    }
  }
  return at;
}

TEST(Stars, FullRowsOfAZiPingChart) {
  // 甲子 年, 丙寅 月, 戊午 日, 壬戌 時, a man (yang year: forward).
  const StarRows r = BuildStarRows(Chart(P(1, 1), P(3, 3), P(5, 7), P(9, 11)), School::ZiPing);
  //            子       丑       寅       卯       辰       巳       午       未       申       酉       戌       亥
  EXPECT_EQ(r.GrowthStages, (Row12{"胎", "養", "長生", "沐浴", "冠帶", "臨官", "帝旺", "衰", "病", "死", "墓", "絕"}));
  EXPECT_EQ(r.VoidMarks, (Row12{"日柱空亡 ", "日柱空亡 ", "", "", "", "", "", "", "", "", "年柱空亡 ", "年柱空亡 "}));
  EXPECT_EQ(r.StemStars, (Row12{"", "旦貴 ", "學堂 ", "羊刃 ", "紅豔 ", "日祿 流霞 ", "羊刃 ", "金輿 暮貴 ",
                          "文昌 天廚 ", "", "天官 ", ""}));
  EXPECT_EQ(r.BranchStars, (Row12{"將星 ", "", "驛馬 孤辰 ", "咸池 六厄 紅鑾 勾 ", "華蓋 ", "劫煞 金神 ", "災煞 ",
                          "元辰 ", "驛馬 ", "咸池 天喜 絞 ", "華蓋 寡宿 血刃 ", "亡神 "}));
  EXPECT_EQ(r.YearGods, (Row12{"太歲", "太陽", "喪門", "太陰", "官符", "死符", "歲破", "龍德", "白虎", "天德",
                          "弔客", "病符"}));
}

TEST(Stars, FullRowsOfASanMingChart) {
  const StarRows r = BuildStarRows(Chart(P(1, 1), P(3, 3), P(5, 7), P(9, 11)), School::SanMing);
  // 甲子 is 海中金: the ring starts at 巳.
  EXPECT_EQ(r.GrowthStages, (Row12{"死", "墓", "絕", "胎", "養", "長生", "沐浴", "冠帶", "臨官", "帝旺", "衰", "病"}));
  EXPECT_EQ(r.VoidMarks, (Row12{"", "", "", "", "", "", "", "", "", "", "六甲空亡 ", "六甲空亡 "}));
  EXPECT_EQ(r.StemStars, (Row12{"", "旦貴 ", "祿元 ", "羊刃 ", "金輿 ", "日祿 文昌 ", "", "暮貴 天官 ", "",
                          "唐符 ", "國印 ", "學堂 "}));
  EXPECT_EQ(r.BranchStars, (Row12{"", "", "驛馬 雷公 孤辰 ", "六厄 飛廉 紅鑾 勾 ", "華蓋 ", "劫煞 金神 ", "災煞 ",
                          "元辰 ", "", "咸池 天喜 絞 ", "寡宿 ", "亡神 "}));
  EXPECT_EQ(r.YearGods[0], "太歲");
  EXPECT_EQ(r.YearGods[6], "歲破");
}

TEST(Stars, VoidOfTheDayPillar) {
  struct Case {
    Pillar day;
    std::vector<int> expected;
  } cases[] = {
      {P(1, 1), {11, 12}},  // 甲子 旬: 戌亥
      {P(1, 11), {9, 10}},  // 甲戌 旬: 申酉
      {P(10, 10), {11, 12}},  // 癸酉 closes the 甲子 旬
      {P(3, 7), {3, 4}},   // 丙午 of the 甲辰 旬: 寅卯
      {P(2, 4), {1, 2}},   // 乙卯 of the 甲寅 旬: 子丑
  };
  for (const auto& c : cases) {
    const StarRows r = BuildStarRows(Chart(P(3, 3), P(3, 3), c.day, P(1, 1)), School::ZiPing);
    EXPECT_EQ(Where(r.VoidMarks, "日柱空亡"), c.expected) << c.day.name();
  }
}

TEST(Stars, GrowthRingStart) {
  // 子平法 by the day stem: 甲乙 亥, 丙丁戊己 寅, 庚辛 巳, 壬癸 申.
  const int ziPingStart[] = {12, 12, 3, 3, 3, 3, 6, 6, 9, 9};
  for (int s = 1; s <= 10; ++s) {
    const StarRows r = BuildStarRows(Chart(P(1, 1), P(3, 3), P(s, s), P(1, 1)), School::ZiPing);
    EXPECT_EQ(r.GrowthStages[ziPingStart[s - 1] - 1], "長生") << s;
    EXPECT_EQ(r.GrowthStages[Wrap(ziPingStart[s - 1] + 11, 12) - 1], "養") << s;
  }
  // 三命法 by the year's 納音: 木 亥, 火 寅, 金 巳, 土 申, 水 申.
  struct Case {
    Pillar year;
    int start;
  } cases[] = {
      {P(5, 5), 12},  // 戊辰 大林木
      {P(1, 5), 3},   // 甲辰 覆燈火
      {P(1, 1), 6},   // 甲子 海中金
      {P(7, 1), 9},   // 庚子 壁上土
      {P(3, 1), 9},   // 丙子 澗下水
      {P(10, 12), 9}, // 癸亥 大海水
  };
  for (const auto& c : cases) {
    const StarRows r = BuildStarRows(Chart(c.year, P(3, 3), P(1, 1), P(1, 1)), School::SanMing);
    EXPECT_EQ(r.GrowthStages[c.start - 1], "長生") << c.year.name();
    EXPECT_EQ(r.GrowthStages[Wrap(c.start + 7, 12) - 1], "死") << c.year.name();
  }
}

TEST(Stars, DirectionDependentStars) {
  struct Case {
    Pillar year;
    Sex sex;
    int yuanChen, gou, jiao;
  } cases[] = {
      {P(1, 1), Sex::Male, 8, 4, 10},     // 甲子, man: 元辰 未, 勾 卯, 絞 酉
      {P(1, 1), Sex::Female, 6, 10, 4},   // 甲子, woman: 元辰 巳, 勾 酉, 絞 卯
      {P(2, 2), Sex::Female, 9, 5, 11},   // 乙丑, woman (yin year, forward): 申, 辰, 戌
      {P(10, 12), Sex::Male, 5, 9, 3},    // 癸亥, man (yin year, backward): 辰, 申, 寅
  };
  for (const auto& c : cases) {
    for (School school : {School::ZiPing, School::SanMing}) {
      const StarRows r = BuildStarRows(Chart(c.year, P(3, 3), P(1, 1), P(1, 1), c.sex), school);
      EXPECT_EQ(Where(r.BranchStars, "元辰"), std::vector{c.yuanChen}) << c.year.name() << static_cast<int>(c.sex);
      EXPECT_EQ(Where(r.BranchStars, "勾"), std::vector{c.gou}) << c.year.name() << static_cast<int>(c.sex);
      EXPECT_EQ(Where(r.BranchStars, "絞"), std::vector{c.jiao}) << c.year.name() << static_cast<int>(c.sex);
    }
  }
}

TEST(Stars, YearBranchStars) {
  struct Case {
    int yearBranch;
    int guChen, guaSu, xueRen, jinShen, hongLuan, tianXi;
  } cases[] = {
      {12, 3, 11, 12, 10, 5, 11},  // 亥 counts with 子丑: 寅 戌; 血刃 亥; 金神 酉
      {1, 3, 11, 11, 6, 4, 10},    // 子
      {2, 3, 11, 10, 2, 3, 9},     // 丑
      {3, 6, 2, 9, 10, 2, 8},      // 寅: 金神 酉
      {9, 12, 8, 3, 10, 8, 2},     // 申
      {11, 12, 8, 1, 2, 6, 12},    // 戌
  };
  for (const auto& c : cases) {
    const int stem = c.yearBranch % 2 ? 1 : 2;
    const StarRows r = BuildStarRows(Chart(P(stem, c.yearBranch), P(3, 3), P(1, 1), P(1, 1)), School::ZiPing);
    EXPECT_EQ(Where(r.BranchStars, "孤辰"), std::vector{c.guChen}) << c.yearBranch;
    EXPECT_EQ(Where(r.BranchStars, "寡宿"), std::vector{c.guaSu}) << c.yearBranch;
    EXPECT_EQ(Where(r.BranchStars, "血刃"), std::vector{c.xueRen}) << c.yearBranch;
    EXPECT_EQ(Where(r.BranchStars, "金神"), std::vector{c.jinShen}) << c.yearBranch;
    EXPECT_EQ(Where(r.BranchStars, "紅鑾"), std::vector{c.hongLuan}) << c.yearBranch;
    EXPECT_EQ(Where(r.BranchStars, "天喜"), std::vector{c.tianXi}) << c.yearBranch;
  }
}

TEST(Stars, StarsTwiceOnOneBranchAreBothShown) {
  // 子平法: 驛馬 from the day branch 子 and again from the year branch 辰.
  const StarRows z = BuildStarRows(Chart(P(5, 5), P(3, 3), P(1, 1), P(1, 1)), School::ZiPing);
  EXPECT_EQ(Where(z.BranchStars, "驛馬"), (std::vector{3, 3}));
  EXPECT_EQ(z.BranchStars[2], "驛馬 驛馬 ");
  // 三命法: 日祿 and 祿元 on 寅 when day and year stem are both 甲.
  const StarRows s = BuildStarRows(Chart(P(1, 1), P(3, 3), P(1, 11), P(1, 1)), School::SanMing);
  EXPECT_EQ(s.StemStars[2], "日祿 祿元 ");
}

TEST(Stars, YearGodsStandOnTheYearBranch) {
  for (int b = 1; b <= 12; ++b) {
    for (School school : {School::ZiPing, School::SanMing}) {
      const StarRows r = BuildStarRows(Chart(P(b % 2 ? 1 : 2, b), P(3, 3), P(1, 1), P(1, 1)), school);
      EXPECT_EQ(r.YearGods[b - 1], "太歲") << b;
      EXPECT_EQ(r.YearGods[Wrap(b + 6, 12) - 1], "歲破") << b;
      EXPECT_EQ(r.YearGods[Wrap(b - 1, 12) - 1], "病符") << b;
    }
  }
}

TEST(Stars, MonthKeyedStarsOfSanMing) {
  // 飛廉 takes the 咸池 places and 雷公 its own, both by the month branch.
  struct Case {
    int monthBranch, feiLian, leiGong;
  } cases[] = {{1, 10, 9}, {6, 7, 6}, {7, 4, 3}, {12, 1, 12}};
  for (const auto& c : cases) {
    const StarRows r = BuildStarRows(Chart(P(1, 1), P(1, c.monthBranch), P(1, 1), P(1, 1)), School::SanMing);
    EXPECT_EQ(Where(r.BranchStars, "飛廉"), std::vector{c.feiLian}) << c.monthBranch;
    EXPECT_EQ(Where(r.BranchStars, "雷公"), std::vector{c.leiGong}) << c.monthBranch;
  }
}

TEST(Stars, UnsetChartPlacesNothing) {
  const StarRows r = BuildStarRows(ChartState{}, School::SanMing);
  for (const auto* row : {&r.GrowthStages, &r.StemStars, &r.BranchStars, &r.YearGods, &r.VoidMarks}) {
    for (const auto& text : *row) EXPECT_EQ(text, "");
  }
}

TEST(Virtues, CentreTextsByMonthBranch) {
  struct Case {
    int monthBranch;
    const char *heavenly, *heavenlyCombination, *monthly, *monthlyCombination;
  } cases[] = {
      {7, "天德   亥", "天德合 寅", "月德   丙", "月德合 辛"},  // 午
      {3, "天德   丁", "天德合 壬", "月德   丙", "月德合 辛"},  // 寅
      {1, "天德   巳", "天德合 申", "月德   壬", "月德合 丁"},  // 子
      {10, "天德   寅", "天德合 亥", "月德   庚", "月德合 乙"}, // 酉
      {12, "天德   乙", "天德合 庚", "月德   甲", "月德合 己"}, // 亥
      {0, "天德   ", "天德合 ", "月德   ", "月德合 "},
  };
  for (const auto& c : cases) {
    const Virtues v = BuildVirtues(Branch{c.monthBranch});
    EXPECT_EQ(v.HeavenlyVirtue, c.heavenly);
    EXPECT_EQ(v.HeavenlyVirtueCombination, c.heavenlyCombination);
    EXPECT_EQ(v.MonthlyVirtue, c.monthly);
    EXPECT_EQ(v.MonthlyVirtueCombination, c.monthlyCombination);
  }
}

// The rows copied from the pieces placed once per key are those of every
// star placed on its own: every day and year pillar of the cycle (parity
// kept or not), each month branch and both directions, and a chart with no
// pillars.
TEST(Stars, PlacedOnceAsPlacedOneByOne) {
  const auto same = [](const StarRows& a, const StarRows& b) {
    return a.GrowthStages == b.GrowthStages && a.StemStars == b.StemStars && a.BranchStars == b.BranchStars &&
           a.YearGods == b.YearGods && a.VoidMarks == b.VoidMarks;
  };
  int month = 0;
  for (int day = 0; day < 120; ++day) {
    for (int year = 0; year < 120; ++year) {
      month = month % 12 + 1;
      const Pillar d = P(day % 10 + 1, day / 10 + 1), y = P(year % 10 + 1, year / 10 + 1);
      const ChartState c = Chart(y, P(1, month), d, P(1, 1), (day + year) % 2 ? Sex::Male : Sex::Female);
      for (const School school : {School::ZiPing, School::SanMing})
        ASSERT_TRUE(same(BuildStarRows(c, school), StarRowsEntryByEntry(c, school))) << day << " " << year;
    }
  }
  for (const School school : {School::ZiPing, School::SanMing})
    EXPECT_TRUE(same(BuildStarRows(ChartState{}, school), StarRowsEntryByEntry(ChartState{}, school)));
}

}  // namespace
}  // namespace qelm
