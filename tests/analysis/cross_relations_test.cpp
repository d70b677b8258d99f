#include "analysis/cross_relations.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>


namespace qelm {
namespace {

constexpr std::array kNatal{Position::Year, Position::Month, Position::Day, Position::Hour};

struct Sided {
  Side side;
  PlacedPillar pillar;
};

// The lines a plain enumeration gives: every pair and every triple of the
// pillars, each taken alone through the one-chart relations, kept where
// `keep` accepts the sides it joins.
template <class Keep>
std::vector<std::string> BruteForce(const std::vector<Sided>& all, Keep keep) {
  std::vector<std::string> out;
  const auto add = [&](std::vector<std::size_t> at) {
    std::vector<PlacedPillar> chosen;
    std::vector<Side> sides;
    for (std::size_t i : at) {
      chosen.push_back(all[i].pillar);
      sides.push_back(all[i].side);
    }
    if (!keep(sides)) return;
    for (const Relation& r : FindRelations(chosen)) {
      if (r.count != static_cast<int>(at.size())) continue;
      CrossRelation c{r, {}};
      std::ranges::copy(sides, c.sides.begin());
      out.push_back(CrossRelationLine(c));
    }
  };
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = i + 1; j < all.size(); ++j) {
      add({i, j});
      for (std::size_t k = j + 1; k < all.size(); ++k) add({i, j, k});
    }
  std::ranges::sort(out);
  return out;
}

bool Has(const std::vector<Side>& s, Side side) { return std::ranges::count(s, side) > 0; }

std::vector<PlacedPillar> RandomPillars(std::mt19937& random, std::span<const Position> at) {
  std::vector<PlacedPillar> out;
  for (const Position p : at)
    out.push_back({p, Pillar{Stem{1 + static_cast<int>(random() % 10)}, Branch{1 + static_cast<int>(random() % 12)}}});
  return out;
}

std::vector<Sided> Both(const std::vector<PlacedPillar>& a, const std::vector<PlacedPillar>& b) {
  std::vector<Sided> all;
  for (const PlacedPillar& p : a) all.push_back({Side::A, p});
  for (const PlacedPillar& p : b) all.push_back({Side::B, p});
  return all;
}

std::vector<std::string> Lines(const std::vector<CrossRelation>& rs) {
  std::vector<std::string> out;
  for (const CrossRelation& r : rs) out.push_back(CrossRelationLine(r));
  return out;
}

// Grouped by kind, and within a kind a's pillars before b's before the shared
// one, each in its order: the order of the pillars as one list.
void ExpectOrdered(const std::vector<CrossRelation>& rs) {
  const auto key = [](const CrossRelation& r) {
    std::vector<int> k{static_cast<int>(r.relation.kind)};
    for (int i = 0; i < r.relation.count; ++i)
      k.push_back(static_cast<int>(r.at(i).side) * 16 + static_cast<int>(r.at(i).position));
    return k;
  };
  EXPECT_TRUE(std::ranges::is_sorted(rs, {}, key));
}

// Random pairs of charts (few stems and branches, so that many relations
// meet): the cross relations are exactly the mixed pairs and triples of the
// eight pillars, each once, in the chart's order.
TEST(CrossRelations, RandomPairsAgreeWithThePlainEnumeration) {
  std::mt19937 random(31);
  for (int round = 0; round < 200; ++round) {
    const auto a = RandomPillars(random, kNatal), b = RandomPillars(random, kNatal);
    const std::vector<CrossRelation> cross = CrossRelations(a, b);
    std::vector<std::string> lines = Lines(cross);
    std::ranges::sort(lines);
    ASSERT_EQ(lines, BruteForce(Both(a, b), [](const auto& s) { return Has(s, Side::A) && Has(s, Side::B); }))
        << "round " << round;
    ExpectOrdered(cross);
    for (const CrossRelation& r : cross) EXPECT_FALSE(r.relation.flowing()) << CrossRelationLine(r);

    // With the natal relations of each chart, they make up the relations of
    // all eight pillars: nothing lost, nothing counted twice.
    std::vector<PlacedPillar> eight(a);
    eight.insert(eight.end(), b.begin(), b.end());
    EXPECT_EQ(FindRelations(eight).size(), cross.size() + FindRelations(a).size() + FindRelations(b).size());

    // Swapping the persons swaps the sides and nothing else.
    const auto unordered = [](const CrossRelation& r) {
      std::vector<std::string> at;
      for (int i = 0; i < r.relation.count; ++i) at.push_back(SidedPositionName(r.at(i)));
      std::ranges::sort(at);
      return std::pair{RelationName(r.relation), at};
    };
    std::vector<std::pair<std::string, std::vector<std::string>>> swapped, direct;
    for (CrossRelation r : CrossRelations(b, a)) {
      for (Side& s : r.sides) s = s == Side::A ? Side::B : Side::A;
      swapped.push_back(unordered(r));
    }
    for (const CrossRelation& r : cross) direct.push_back(unordered(r));
    std::ranges::sort(swapped);
    std::ranges::sort(direct);
    EXPECT_EQ(swapped, direct);

    // What a flow year (with each one's luck pillar) forms: every relation
    // that joins the flow year, and only those.
    std::vector<PlacedPillar> aLuck(a), bLuck(b);
    aLuck.push_back(RandomPillars(random, std::array{Position::Luck})[0]);
    bLuck.push_back(RandomPillars(random, std::array{Position::Luck})[0]);
    const PlacedPillar year = RandomPillars(random, std::array{Position::FlowYear})[0];
    const std::vector<CrossRelation> shared = SharedRelations(aLuck, bLuck, year);
    std::vector<Sided> all = Both(aLuck, bLuck);
    all.push_back({Side::Shared, year});
    std::vector<std::string> sharedLines = Lines(shared);
    std::ranges::sort(sharedLines);
    ASSERT_EQ(sharedLines, BruteForce(all, [](const auto& s) { return Has(s, Side::Shared); })) << round;
    ExpectOrdered(shared);
  }
}

// A worked pair, checked by hand: 甲子 丙寅 戊午 庚申 beside 己丑 壬申 甲辰 丁亥.
TEST(CrossRelations, WorkedPairReadsAsLines) {
  const auto chart = [](std::array<const char*, 4> names) {
    std::vector<PlacedPillar> out;
    for (std::size_t i = 0; i < 4; ++i) {
      PlacedPillar p{kNatal[i], {}};
      for (int s = 1; s <= 10; ++s)
        if (std::string_view(names[i]).starts_with(Stem{s}.name())) p.pillar.stem = Stem{s};
      for (int b = 1; b <= 12; ++b)
        if (std::string_view(names[i]).ends_with(Branch{b}.name())) p.pillar.branch = Branch{b};
      out.push_back(p);
    }
    return out;
  };
  const auto a = chart({"甲子", "丙寅", "戊午", "庚申"}), b = chart({"己丑", "壬申", "甲辰", "丁亥"});
  // b's own 丁壬, 申辰 and 申亥 and a's 子午 stay out; 申子辰 is made twice,
  // once with each 申.
  EXPECT_EQ(Lines(CrossRelations(a, b)), (std::vector<std::string>{
                                             "甲己合土　a.年干—b.年干",
                                             "丙壬沖　a.月干—b.月干",
                                             "甲庚沖　a.時干—b.日干",
                                             "子丑合土　a.年支—b.年支",
                                             "寅亥合木　a.月支—b.時支",
                                             "申子辰三合水　a.年支—a.時支—b.日支",
                                             "申子辰三合水　a.年支—b.月支—b.日支",
                                             "申子半合水　a.年支—b.月支",
                                             "子辰半合水　a.年支—b.日支",
                                             "申辰拱合水　a.時支—b.日支",
                                             "亥子丑三會水　a.年支—b.年支—b.時支",
                                             "寅申沖　a.月支—b.月支",
                                             "寅申相刑（恃勢之刑）　a.月支—b.月支",
                                             "丑午害　a.日支—b.年支",
                                             "申亥害　a.時支—b.時支",
                                             "寅亥破　a.月支—b.時支",
                                         }));
}

}  // namespace
}  // namespace qelm
