#include "analysis/relations.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "tests/chart/cast.hpp"

namespace qelm {
namespace {

// The classical entries, written out here as the classics give them: kind,
// the characters of the entry, the element formed ("" for none).
struct Entry {
  std::string_view kind, chars, element;
};
constexpr Entry kStemEntries[] = {
    {"天干五合", "甲己", "土"}, {"天干五合", "乙庚", "金"}, {"天干五合", "丙辛", "水"},
    {"天干五合", "丁壬", "木"}, {"天干五合", "戊癸", "火"},
    {"天干相沖", "甲庚", ""},   {"天干相沖", "乙辛", ""},   {"天干相沖", "丙壬", ""},
    {"天干相沖", "丁癸", ""},
};
constexpr Entry kBranchPairEntries[] = {
    {"六合", "子丑", "土"}, {"六合", "寅亥", "木"}, {"六合", "卯戌", "火"},
    {"六合", "辰酉", "金"}, {"六合", "巳申", "水"}, {"六合", "午未", "土"},
    {"半合", "申子", "水"}, {"半合", "子辰", "水"}, {"半合", "亥卯", "木"}, {"半合", "卯未", "木"},
    {"半合", "寅午", "火"}, {"半合", "午戌", "火"}, {"半合", "巳酉", "金"}, {"半合", "酉丑", "金"},
    {"拱合", "申辰", "水"}, {"拱合", "亥未", "木"}, {"拱合", "寅戌", "火"}, {"拱合", "巳丑", "金"},
    {"六沖", "子午", ""}, {"六沖", "丑未", ""}, {"六沖", "寅申", ""},
    {"六沖", "卯酉", ""}, {"六沖", "辰戌", ""}, {"六沖", "巳亥", ""},
    {"相刑", "寅巳", ""}, {"相刑", "寅申", ""}, {"相刑", "巳申", ""},
    {"相刑", "丑戌", ""}, {"相刑", "丑未", ""}, {"相刑", "戌未", ""}, {"相刑", "子卯", ""},
    {"自刑", "辰辰", ""}, {"自刑", "午午", ""}, {"自刑", "酉酉", ""}, {"自刑", "亥亥", ""},
    {"六害", "子未", ""}, {"六害", "丑午", ""}, {"六害", "寅巳", ""},
    {"六害", "卯辰", ""}, {"六害", "申亥", ""}, {"六害", "酉戌", ""},
    {"六破", "子酉", ""}, {"六破", "卯午", ""}, {"六破", "辰丑", ""},
    {"六破", "未戌", ""}, {"六破", "寅亥", ""}, {"六破", "巳申", ""},
};
constexpr Entry kBranchTripleEntries[] = {
    {"三合", "申子辰", "水"}, {"三合", "亥卯未", "木"}, {"三合", "寅午戌", "火"}, {"三合", "巳酉丑", "金"},
    {"三會", "寅卯辰", "木"}, {"三會", "巳午未", "火"}, {"三會", "申酉戌", "金"}, {"三會", "亥子丑", "水"},
    {"三刑", "寅巳申", ""},   {"三刑", "丑戌未", ""},
};

// Every character of a UTF-8 text of CJK characters (three bytes each).
std::vector<std::string> Split(std::string_view s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i + 3 <= s.size(); i += 3) out.emplace_back(s.substr(i, 3));
  return out;
}
bool SameCharacters(std::string_view a, std::string_view b) {
  return std::ranges::is_permutation(Split(a), Split(b));
}

using Found = std::tuple<std::string, std::string, std::string>;  // kind, entry, element
Found Describe(const Relation& r) {
  return {std::string(RelationKindName(r.kind)), r.entry, std::string(r.element.name())};
}
template <class Entries>
std::vector<Found> Expected(const Entries& entries, std::string_view chars) {
  std::vector<Found> out;
  for (const Entry& e : entries)
    if (SameCharacters(e.chars, chars)) out.emplace_back(e.kind, e.chars, e.element);
  std::ranges::sort(out);
  return out;
}

constexpr Pillar P(int stem, int branch) { return {Stem{stem}, Branch{branch}}; }
PlacedPillar At(Position p, int stem, int branch) { return {p, P(stem, branch)}; }
// A pillar given by its two characters, "甲子".
PlacedPillar At(Position p, std::string_view pillar) {
  PlacedPillar out{p, {}};
  for (int s = 1; s <= 10; ++s)
    if (pillar.starts_with(Stem{s}.name())) out.pillar.stem = Stem{s};
  for (int b = 1; b <= 12; ++b)
    if (pillar.ends_with(Branch{b}.name())) out.pillar.branch = Branch{b};
  EXPECT_TRUE(out.pillar.valid()) << pillar;
  return out;
}

std::vector<std::string> Lines(const std::vector<Relation>& rs) {
  std::vector<std::string> out;
  for (const Relation& r : rs) out.push_back(RelationLine(r));
  return out;
}

// Every ordered pair of stems and of branches gives exactly the entries made
// of its two characters: each entry is found, nothing else is (甲乙, 子寅 and
// the other pairs outside the tables give nothing).
TEST(Relations, EveryPairGivesExactlyItsEntries) {
  for (int x = 1; x <= 12; ++x) {
    for (int y = 1; y <= 12; ++y) {
      // Stems only where both exist; the branch pair under them.
      const int sx = (x - 1) % 10 + 1, sy = (y - 1) % 10 + 1;
      const std::array pillars{At(Position::Year, sx, x), At(Position::Day, sy, y)};
      std::vector<Found> stems, branches;
      for (const Relation& r : FindRelations(pillars)) {
        EXPECT_EQ(r.count, 2);
        EXPECT_EQ(r.positions[0], Position::Year);
        EXPECT_EQ(r.positions[1], Position::Day);
        const Pillar a = pillars[0].pillar, b = pillars[1].pillar;
        const std::string own = r.onStems() ? std::string(a.stem.name()) + std::string(b.stem.name())
                                            : std::string(a.branch.name()) + std::string(b.branch.name());
        EXPECT_EQ(r.chars, own);
        (r.onStems() ? stems : branches).push_back(Describe(r));
      }
      std::ranges::sort(stems);
      std::ranges::sort(branches);
      const std::string stemChars = std::string(Stem{sx}.name()) + std::string(Stem{sy}.name());
      const std::string branchChars = std::string(Branch{x}.name()) + std::string(Branch{y}.name());
      EXPECT_EQ(stems, Expected(kStemEntries, stemChars)) << stemChars;
      EXPECT_EQ(branches, Expected(kBranchPairEntries, branchChars)) << branchChars;
    }
  }
  EXPECT_TRUE(FindRelations(std::array{At(Position::Year, "甲寅"), At(Position::Month, "乙子")}).empty());
}

// Every triple of branches gives exactly the three-branch entries it makes up.
TEST(Relations, EveryTripleGivesExactlyItsEntries) {
  int found = 0;
  for (int x = 1; x <= 12; ++x)
    for (int y = 1; y <= 12; ++y)
      for (int z = 1; z <= 12; ++z) {
        const std::array pillars{At(Position::Year, 1, x), At(Position::Month, 1, y), At(Position::Hour, 1, z)};
        std::vector<Found> triples;
        for (const Relation& r : FindRelations(pillars)) {
          if (r.count != 3) continue;
          EXPECT_EQ(std::vector(r.joined().begin(), r.joined().end()),
                    (std::vector{Position::Year, Position::Month, Position::Hour}));
          triples.push_back(Describe(r));
        }
        std::ranges::sort(triples);
        const std::string chars = std::string(Branch{x}.name()) + std::string(Branch{y}.name()) +
                                  std::string(Branch{z}.name());
        EXPECT_EQ(triples, Expected(kBranchTripleEntries, chars)) << chars;
        found += static_cast<int>(triples.size());
      }
  // Ten entries, each in its 3! orders.
  EXPECT_EQ(found, 60);
}

// Nothing hides anything: the relations of nine pillars (or eleven, as two
// charts give) are those of their pairs and triples taken one at a time,
// grouped by kind.
TEST(Relations, AllPillarsTogetherAreTheirPairsAndTriples) {
  std::mt19937 random(21);
  for (int round = 0; round < 100; ++round) {
    std::vector<PlacedPillar> pillars;
    const int count = kPositionCount + (round % 2 == 0 ? 0 : 2);
    for (int p = 0; p < count; ++p) {
      const int stem = 1 + static_cast<int>(random() % 10), branch = 1 + static_cast<int>(random() % 12);
      // The two past nine stand as a second 運 and 流年.
      const int position = p < kPositionCount ? p : p - kPositionCount + static_cast<int>(Position::Luck);
      pillars.push_back(At(static_cast<Position>(position), stem, branch));
    }
    std::vector<std::string> oneAtATime;
    for (std::size_t i = 0; i < pillars.size(); ++i)
      for (std::size_t j = i + 1; j < pillars.size(); ++j) {
        for (const Relation& r : FindRelations(std::array{pillars[i], pillars[j]}))
          oneAtATime.push_back(RelationLine(r));
        for (std::size_t k = j + 1; k < pillars.size(); ++k)
          for (const Relation& r : FindRelations(std::array{pillars[i], pillars[j], pillars[k]}))
            if (r.count == 3) oneAtATime.push_back(RelationLine(r));
      }
    std::vector<PillarIndices> joined;
    const std::vector<Relation> all = FindRelations(pillars, &joined);
    std::vector<std::string> together = Lines(all);
    // Grouped by kind, each kind in the order of the pillars.
    ASSERT_EQ(joined.size(), all.size());
    for (std::size_t r = 1; r < all.size(); ++r)
      EXPECT_LT(std::tuple(all[r - 1].kind, joined[r - 1]), std::tuple(all[r].kind, joined[r])) << RelationLine(all[r]);
    std::ranges::sort(together);
    std::ranges::sort(oneAtATime);
    ASSERT_EQ(together, oneAtATime) << "round " << round;

    // Natal and flow split the whole: natal ones among 年 月 日 時 only.
    const ChartRelations split = RelationsOf(pillars);
    std::vector<Relation> natal, flow;  // the whole, split in its order
    for (const Relation& r : all) (r.flowing() ? flow : natal).push_back(r);
    EXPECT_EQ(split.natal, natal);
    EXPECT_EQ(split.flow, flow);
    for (const Relation& r : split.natal)
      EXPECT_TRUE(std::ranges::all_of(r.joined(), IsNatal)) << RelationLine(r);
    for (const Relation& r : split.flow)
      EXPECT_TRUE(std::ranges::any_of(r.joined(), [](Position p) { return !IsNatal(p); })) << RelationLine(r);
    const std::vector<PlacedPillar> natalOnly(pillars.begin(), pillars.begin() + 4);
    EXPECT_EQ(split.natal, FindRelations(natalOnly));
  }
}

// Charts as the classics would read them, each relation as its line.
TEST(Relations, ChartsReadAsLines) {
  using enum Position;
  struct Case {
    const char* what;
    std::vector<PlacedPillar> pillars;
    std::vector<std::string> natal, flow;
  };
  const Case cases[] = {
      {"two 午 beside one 子 give two 子午沖; 午午 punish themselves",
       {At(Year, "甲子"), At(Month, "庚午"), At(Day, "庚辰"), At(Hour, "壬午")},
       {"甲庚沖　年干—月干", "甲庚沖　年干—日干", "子辰半合水　年支—日支", "子午沖　年支—月支",
        "子午沖　年支—時支", "午午自刑　月支—時支"},
       {}},
      {"a 三合 completed by the flow year keeps its 半合 and 拱合",
       {At(Year, "丙申"), At(Month, "甲子"), At(Day, "乙卯"), At(Hour, "丁亥"), At(FlowYear, "庚辰")},
       {"申子半合水　年支—月支", "亥卯半合木　日支—時支", "子卯相刑（無禮之刑）　月支—日支",
        "申亥害　年支—時支"},
       {"乙庚合金　日干—流年干", "甲庚沖　月干—流年干", "申子辰三合水　年支—月支—流年支",
        "子辰半合水　月支—流年支", "申辰拱合水　年支—流年支", "卯辰害　日支—流年支"}},
      {"a 三會 completed by the luck pillar",
       {At(Year, "甲寅"), At(Month, "丁卯"), At(Luck, "戊辰")},
       {},
       {"寅卯辰三會木　年支—月支—運支", "卯辰害　月支—運支"}},
      {"寅巳申 across natal and flow: the 三刑 with its three 相刑, and all else the pairs make",
       {At(Year, "甲寅"), At(Day, "丁巳"), At(FlowDay, "庚申")},
       {"寅巳相刑（恃勢之刑）　年支—日支", "寅巳害　年支—日支"},
       {"甲庚沖　年干—流日干", "巳申合水　日支—流日支", "寅申沖　年支—流日支",
        "寅巳申三刑（恃勢之刑）　年支—日支—流日支", "寅申相刑（恃勢之刑）　年支—流日支",
        "巳申相刑（恃勢之刑）　日支—流日支", "巳申破　日支—流日支"}},
      {"丑戌未 completed by the flow hour",
       {At(Year, "己丑"), At(Month, "甲戌"), At(FlowHour, "辛未")},
       {"甲己合土　年干—月干", "丑戌相刑（無恩之刑）　年支—月支"},
       {"丑未沖　年支—流時支", "丑戌未三刑（無恩之刑）　年支—月支—流時支", "丑未相刑（無恩之刑）　年支—流時支",
        "戌未相刑（無恩之刑）　月支—流時支", "未戌破　月支—流時支"}},
  };
  for (const Case& c : cases) {
    const ChartRelations r = RelationsOf(c.pillars);
    EXPECT_EQ(Lines(r.natal), c.natal) << c.what;
    EXPECT_EQ(Lines(r.flow), c.flow) << c.what;
  }
}

// A relation keeps the characters in the order of its positions, and the
// entry in the order of the classics.
TEST(Relations, CharactersFollowThePositions) {
  const std::vector<Relation> r =
      FindRelations(std::array{At(Position::Year, "己午"), At(Position::FlowMonth, "甲子")});
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].kind, RelationKind::StemCombination);
  EXPECT_EQ(r[0].chars, "己甲");
  EXPECT_EQ(r[0].entry, "甲己");
  EXPECT_EQ(r[0].element, Element{3});
  EXPECT_EQ(r[1].kind, RelationKind::SixClash);
  EXPECT_EQ(r[1].chars, "午子");
  EXPECT_EQ(r[1].entry, "子午");
  EXPECT_FALSE(r[1].element.valid());
  EXPECT_TRUE(r[1].flowing());
}

using testing::ChartOf;
using testing::FlowAt;

// The luck pillar takes part only while one is current.
TEST(Relations, ChartPositionsHoldTheLuckPillarOnlyWhileCurrent) {
  // A man born 1984-06-15 12:00: 甲子 庚午 庚辰 壬午, first luck 辛未 from 7.
  const ChartState c = ChartOf(Sex::Male, {1984, 6, 15, 12, 0});
  const auto names = [](const std::vector<PlacedPillar>& ps) {
    std::vector<std::string> out;
    for (const PlacedPillar& p : ps) out.push_back(std::string(PositionName(p.position)) + p.pillar.name());
    return out;
  };
  const FlowState before = FlowAt(c, {1986, 3, 1, 12, 0});
  ASSERT_EQ(before.CurrentLuckIndex, 0);
  EXPECT_EQ(names(ChartPositions(c, &before)),
            (std::vector<std::string>{"年甲子", "月庚午", "日庚辰", "時壬午", "流年丙寅",
                                      "流月庚寅", "流日" + before.DayPillar().name(),
                                      "流時" + before.HourPillar().name()}));
  const FlowState during = FlowAt(c, {2000, 3, 1, 12, 0});
  ASSERT_EQ(during.CurrentLuckIndex, 1);
  const std::vector<PlacedPillar> withLuck = ChartPositions(c, &during);
  ASSERT_EQ(withLuck.size(), 9u);
  EXPECT_EQ(names(withLuck)[4], "運辛未");
  EXPECT_EQ(names(ChartPositions(c, nullptr)).size(), 4u);

  // The natal relations of the chart itself are those of its four pillars.
  const ChartRelations r = RelationsOf(c, during);
  EXPECT_EQ(Lines(r.natal)[3], "子午沖　年支—月支");
  EXPECT_EQ(r.natal, FindRelations(ChartPositions(c, nullptr)));
  // 運 未 with the two natal 午: two 午未合土.
  EXPECT_EQ(std::ranges::count(Lines(r.flow), std::string("午未合土　月支—運支")), 1);
  EXPECT_EQ(std::ranges::count(Lines(r.flow), std::string("午未合土　時支—運支")), 1);
}

}  // namespace
}  // namespace qelm
