// 命宮, 身宮, 胎元, 息元 and the stem in command of the month.
#include <gtest/gtest.h>

#include <vector>

#include "chart/chart.hpp"

namespace qelm {
namespace {

Pillar P(int stem, int branch) { return {Stem{stem}, Branch{branch}}; }

TEST(Palaces, LifeAndBodyBranches) {
  struct Row {
    int yearStem, monthBranch, pastMid, hourBranch;
    Pillar life, body;
  };
  // The month pillar's stem does not enter; the year stem heads the count.
  const std::vector<Row> rows{
      {1, 3, 0, 1, P(4, 4), P(4, 4)},    // 寅 month, 子 hour: 命 卯, 身 卯 (0 + 4 + 0)
      {1, 3, 1, 1, P(3, 3), P(4, 4)},    // past 雨水 counts as the 卯 month: 命 寅, with F 丙 丙寅
      {1, 3, 0, 3, P(4, 2), P(6, 6)},    // 命 丑: e = 11, 丙 + 11 - 10 = 丁, 丁丑
      {1, 2, 0, 12, P(6, 6), P(4, 2)},   // 丑 month, 亥 hour: 身 11 + 4 + 11 = 26, 丑
      {7, 3, 0, 11, P(8, 6), P(6, 2)},   // 庚 year, 寅 month, 戌 hour: 辛巳, 己丑
      {5, 1, 1, 7, P(9, 11), P(6, 8)},   // 戊 year (F 甲), 子 month past 冬至 counts as 丑, 午 hour
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.yearStem << " " << r.monthBranch << " " << r.pastMid << " " << r.hourBranch);
    const PalaceSet p = Palaces(Stem{r.yearStem}, P(1, r.monthBranch), P(1, 1), Branch{r.hourBranch}, r.pastMid);
    EXPECT_EQ(p.LifePalace.name(), r.life.name());
    EXPECT_EQ(p.BodyPalace.name(), r.body.name());
  }
}

TEST(Palaces, ConceptionAndBreath) {
  struct Row {
    Pillar month, day, conception, breath;
  };
  const std::vector<Row> rows{
      {P(3, 3), P(1, 1), P(4, 6), P(6, 2)},     // 丙寅 → 丁巳; 甲子 → 己丑
      {P(9, 11), P(1, 3), P(10, 2), P(6, 12)},  // 壬戌 → 癸丑; 甲寅 → 己亥 (3 - 3 = 0 → 亥)
      {P(10, 12), P(9, 5), P(1, 3), P(4, 10)},  // 癸亥 → 甲寅; 壬辰 → 丁酉
      {P(5, 3), P(6, 8), P(6, 6), P(1, 7)},     // 戊寅 → 己巳; 己未 → 甲午
  };
  for (const Row& r : rows) {
    const PalaceSet p = Palaces(Stem{1}, r.month, r.day, Branch{1}, 0);
    EXPECT_EQ(p.ConceptionPillar.name(), r.conception.name()) << r.month.name();
    EXPECT_EQ(p.BreathPillar.name(), r.breath.name()) << r.day.name();
  }
}

// Whatever the inputs, every palace is a pillar of the cycle: stem and branch
// in range and of equal parity, and the breath pillar combines with the day.
TEST(Palaces, AlwaysRealPillars) {
  for (int y = 1; y <= 10; ++y)
    for (int mb = 1; mb <= 12; ++mb)
      for (int past = 0; past <= 1; ++past)
        for (int hb = 1; hb <= 12; ++hb) {
          const Pillar month = P(mb % 2 == 1 ? 1 : 2, mb);
          const Pillar day = P(hb % 2 == 1 ? 3 : 4, hb);
          const PalaceSet p = Palaces(Stem{y}, month, day, Branch{hb}, past);
          for (Pillar q : {p.LifePalace, p.BodyPalace, p.ConceptionPillar, p.BreathPillar}) {
            ASSERT_TRUE(q.valid()) << y << " " << mb << " " << past << " " << hb;
            ASSERT_EQ(q.stem.yang(), q.branch.yang()) << q.name();
          }
          ASSERT_EQ((day.stem.number() + 5 - 1) % 10 + 1, p.BreathPillar.stem.number());
          ASSERT_EQ((day.branch.number() + p.BreathPillar.branch.number()) % 12, 3);
        }
}

TEST(CommandingStem, DayBoundaries) {
  struct Row {
    int branch, days, stem;
  };
  const std::vector<Row> rows{
      {7, 10, 3}, {7, 11, 6}, {7, 19, 6}, {7, 20, 4},   // 午: 丙 … 10, 己 11 … 19, 丁 20 …
      {1, 0, 9}, {1, 10, 9}, {1, 11, 10},               // 子: 壬, 癸
      {2, 9, 10}, {2, 10, 8}, {2, 12, 8}, {2, 13, 6},   // 丑: 癸, 辛, 己
      {5, 9, 2}, {5, 10, 10}, {5, 12, 10}, {5, 13, 5},  // 辰: 乙, 癸, 戊
      {8, 9, 4}, {8, 10, 2}, {8, 13, 6},                // 未: 丁, 乙, 己
      {11, 9, 8}, {11, 12, 4}, {11, 13, 5},             // 戌: 辛, 丁, 戊
      {3, 7, 5}, {3, 8, 3}, {3, 14, 3}, {3, 15, 1},     // 寅: 戊, 丙, 甲
      {4, 10, 1}, {4, 11, 2},                           // 卯
      {6, 7, 5}, {6, 8, 7}, {6, 15, 3},                 // 巳
      {9, 7, 5}, {9, 8, 9}, {9, 15, 7},                 // 申
      {10, 10, 7}, {10, 11, 8},                         // 酉
      {12, 7, 5}, {12, 8, 1}, {12, 15, 9}, {12, 31, 9}, // 亥
  };
  for (const Row& r : rows) {
    const auto s = CommandingStem(Branch{r.branch}, r.days);
    ASSERT_TRUE(s) << r.branch;
    EXPECT_EQ(s->number(), r.stem) << Branch{r.branch}.name() << " day " << r.days;
  }
  EXPECT_EQ(Stem{5}.nameWithElement(), "戊土");
  EXPECT_FALSE(CommandingStem(Branch{0}, 5));
}

}  // namespace
}  // namespace qelm
