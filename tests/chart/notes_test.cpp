// Element colours, ten gods, hidden stems, the pillar drawing rule and the
// sound elements.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "chart/chart.hpp"

namespace qelm {
namespace {

constexpr Stem kJia{1}, kYi{2}, kBing{3}, kRen{9}, kGui{10};

// 木 0,192,0; 火 255,0,0; 土 128,64,0; 金 255,128,0; 水 0,0,255, red in the low byte.
TEST(ElementColour, RedGreenBlueOfEachElement) {
  const std::vector<std::tuple<int, int, int, int>> rows{
      {1, 0, 192, 0}, {2, 255, 0, 0}, {3, 128, 64, 0}, {4, 255, 128, 0}, {5, 0, 0, 255}};
  for (const auto& [element, r, g, b] : rows) {
    SCOPED_TRACE(element);
    const std::uint32_t c = Element{element}.colour();
    EXPECT_EQ(c, static_cast<std::uint32_t>(r | g << 8 | b << 16));
  }
  EXPECT_EQ(Element{}.colour(), 0u);
}

// Only its own numbers make a sign; 0 is none, anything else is refused.
TEST(StemsAndBranches, BuiltOnlyFromTheirOwnNumbers) {
  for (int n = -2; n <= 14; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(Stem::Of(n).has_value(), n >= 1 && n <= 10);
    EXPECT_EQ(Branch::Of(n).has_value(), n >= 1 && n <= 12);
    EXPECT_EQ(Element::Of(n).has_value(), n >= 1 && n <= 5);
    if (n < 0 || n > 10) {
      EXPECT_THROW(Stem{n}, std::out_of_range);
    }
    if (n < 0 || n > 12) {
      EXPECT_THROW(Branch{n}, std::out_of_range);
    }
    if (n < 0 || n > 10) {
      EXPECT_THROW(TenGod{n}, std::out_of_range);
    }
    if (n >= 0 && n <= 10) {
      EXPECT_EQ(Stem{n}.number(), n);
    }
  }
  EXPECT_FALSE(Stem{0}.valid());
  EXPECT_EQ(Stem::Of(3), Stem{3});
}

TEST(StemsAndBranches, PolarityAndElement) {
  EXPECT_FALSE(kGui.yang());
  EXPECT_EQ(kGui.element(), Element{5});
  EXPECT_TRUE(kJia.yang());
  EXPECT_EQ(kJia.element(), Element{1});
  for (int b : {2, 5, 8, 11}) EXPECT_EQ(Branch{b}.element(), Element{3}) << b;  // 丑辰未戌 土
  for (int b : {1, 12}) EXPECT_EQ(Branch{b}.element(), Element{5}) << b;        // 子亥 水
}

// The rows as the classics list them.
TEST(TenGodOf, RowsOfDayMastersJiaAndYi) {
  const std::vector<std::string_view> jia{"比", "劫", "食", "傷", "才", "財", "殺", "官", "梟", "印"};
  const std::vector<std::string_view> yi{"劫", "比", "傷", "食", "財", "才", "官", "殺", "印", "梟"};
  for (int s = 1; s <= 10; ++s) {
    EXPECT_EQ(TenGodOf(Stem{s}, kJia).shortName(), jia[s - 1]) << s;
    EXPECT_EQ(TenGodOf(Stem{s}, kYi).shortName(), yi[s - 1]) << s;
  }
  EXPECT_EQ(TenGodOf(kJia, kGui).shortName(), "傷");
  EXPECT_EQ(TenGodOf(kJia, kGui).name(), "傷官");
  EXPECT_EQ(TenGodOf(Stem{5}, kJia).name(), "偏財");
  EXPECT_EQ(TenGodOf(Stem{6}, kJia).name(), "正財");
}

// Every pair against the relation itself: 生我者印梟, 我生者食傷, 我克者財才,
// 克我者官殺, 同我者比劫; same polarity gives the 偏 member.
TEST(TenGodOf, EveryDayMasterFollowsTheElementRelation) {
  const auto expected = [](Stem s, Stem day) {
    const int se = s.element().number(), de = day.element().number();
    const bool same = s.yang() == day.yang();
    if (se == de) return same ? "比肩" : "劫財";
    if (se == day.element().after(1).number()) return same ? "食神" : "傷官";
    if (se == day.element().after(2).number()) return same ? "偏財" : "正財";
    if (de == s.element().after(2).number()) return same ? "七殺" : "正官";
    return same ? "偏印" : "正印";  // s generates the day master
  };
  for (int d = 1; d <= 10; ++d) {
    for (int s = 1; s <= 10; ++s) {
      EXPECT_EQ(TenGodOf(Stem{s}, Stem{d}).name(), expected(Stem{s}, Stem{d})) << s << " vs " << d;
    }
  }
}

TEST(HiddenStemsOf, TheTwelveBranches) {
  const std::vector<std::array<int, 3>> table{{10, 0, 0}, {6, 10, 8}, {1, 3, 5}, {2, 0, 0},
                                              {5, 2, 10}, {3, 5, 7}, {4, 6, 0}, {6, 4, 2},
                                              {7, 9, 5}, {8, 0, 0}, {5, 8, 4}, {9, 1, 0}};
  for (int b = 1; b <= 12; ++b) {
    const auto h = HiddenStemsOf(Branch{b});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(h[i], Stem::Of(table[b - 1][i])) << "branch " << b << " #" << i;
  }
  for (const auto& s : HiddenStemsOf(Branch{})) EXPECT_FALSE(s);
}

TEST(AnnotatePillar, ColoursAndTenGodsAgainstTheDayMaster) {
  // 辰 takes the colour of 戊 (brown), 亥 of 壬 (blue).
  EXPECT_EQ(AnnotatePillar({kBing, Branch{5}}, kJia).HiddenColour[0], 16512u);
  EXPECT_EQ(AnnotatePillar({Stem{8}, Branch{12}}, kJia).HiddenColour[0], 16711680u);

  // 丙 over 寅 for a 壬 day: 丙 is 才; 寅 holds 甲 食, 丙 才, 戊 殺.
  const PillarNotes n = AnnotatePillar({kBing, Branch{3}}, kRen);
  EXPECT_EQ(n.StemTenGod, "才");
  EXPECT_EQ(n.StemColour, 255u);
  EXPECT_EQ(n.Hidden, (std::array<std::optional<Stem>, 3>{kJia, kBing, Stem{5}}));
  EXPECT_EQ(n.HiddenTenGod, (std::array<std::string_view, 3>{"食", "才", "殺"}));
  EXPECT_EQ(n.HiddenColour, (std::array<std::uint32_t, 3>{49152, 255, 16512}));

}

TEST(DrawPillar, AbsentHiddenStemsDrawEmpty) {
  struct Row {
    Pillar pillar;
    std::array<std::string_view, 3> hidden, tenGods;
  };
  // Against a 甲 day master.
  const std::vector<Row> rows{
      {{kRen, Branch{1}}, {"癸", "", ""}, {"印", "", ""}},        // 子
      {{kJia, Branch{7}}, {"丁", "己", ""}, {"傷", "財", ""}},    // 午
      {{kYi, Branch{2}}, {"己", "癸", "辛"}, {"財", "印", "官"}},  // 丑
      {{kGui, Branch{12}}, {"壬", "甲", ""}, {"梟", "比", ""}},   // 亥
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pillar.name());
    const PillarDrawing d = DrawPillar(r.pillar, kJia);
    EXPECT_EQ(d.stem.text, r.pillar.stem.name());
    EXPECT_EQ(d.stem.colour, r.pillar.stem.element().colour());
    EXPECT_EQ(d.stemTenGod.colour, d.stem.colour);
    EXPECT_EQ(d.branch.text, r.pillar.branch.name());
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(d.hidden[i].text, r.hidden[i]) << i;
      EXPECT_EQ(d.hiddenTenGod[i].text, r.tenGods[i]) << i;
      EXPECT_EQ(d.hiddenTenGod[i].colour, d.hidden[i].colour) << i;
    }
    EXPECT_EQ(d.branch.colour, d.hidden[0].colour);
  }
  const PillarDrawing noChart = DrawPillar({kJia, Branch{7}}, std::nullopt);
  EXPECT_EQ(noChart.stemTenGod.text, "");
  EXPECT_EQ(noChart.hidden[1].text, "己");
  EXPECT_EQ(noChart.hiddenTenGod[1].text, "");
}

// 六十甲子納音, in the order of the cycle: 甲子乙丑海中金, 丙寅丁卯爐中火 …
TEST(SoundElementOf, AllThirtyNamesInCycleOrder) {
  const std::vector<std::string_view> names{
      "海中金", "爐中火", "大林木", "路旁土", "劍鋒金", "山頭火", "澗下水", "城頭土", "白臘金", "楊柳木",
      "泉中水", "屋上土", "霹靂火", "松柏木", "長流水", "砂中金", "山下火", "平地木", "壁上土", "金箔金",
      "覆燈火", "天河水", "大驛土", "釵釧金", "桑拓木", "大溪水", "沙中土", "天上火", "石榴木", "大海水"};
  const std::vector<std::string_view> elementChars{"木", "火", "土", "金", "水"};
  Pillar p{kJia, Branch{1}};
  for (int i = 0; i < 60; ++i, p = p.next()) {
    SCOPED_TRACE(p.name());
    const SoundElement s = SoundElementOf(p);
    EXPECT_EQ(s.SoundName, names[i / 2]);
    EXPECT_EQ(std::string(s.SoundChar1) + std::string(s.SoundChar2) + std::string(s.SoundChar3),
              std::string(s.SoundName));
    ASSERT_GE(s.SoundElementIndex, 1);
    ASSERT_LE(s.SoundElementIndex, 5);
    EXPECT_EQ(s.SoundChar3, elementChars[s.SoundElementIndex - 1]);
  }
}

TEST(SoundElementOf, PairKeysAndOutOfRange) {
  const auto jiaZi = SoundElementOf(1, 1);
  ASSERT_TRUE(jiaZi);
  EXPECT_EQ(jiaZi->SoundName, "海中金");
  EXPECT_EQ(jiaZi->SoundElementIndex, 4);
  const SoundElement wuZi = SoundElementOf(Pillar{Stem{5}, Branch{1}});  // 戊子 霹靂火
  EXPECT_EQ(wuZi.SoundName, "霹靂火");
  EXPECT_EQ(Element{wuZi.SoundElementIndex}.colour(), 255u);
  for (auto [p, q] : {std::pair{0, 1}, {6, 1}, {1, 0}, {1, 7}}) EXPECT_FALSE(SoundElementOf(p, q)) << p << "," << q;
}

}  // namespace
}  // namespace qelm
