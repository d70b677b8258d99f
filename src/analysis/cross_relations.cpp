#include "analysis/cross_relations.hpp"

#include <algorithm>

namespace qelm {

namespace {

// The pillars of both charts (and a shared one) as one list, each with its
// side; the relations among them that `keep` accepts, given the sides joined.
template <class Keep>
std::vector<CrossRelation> Among(std::span<const PlacedPillar> a, std::span<const PlacedPillar> b,
                                 const PlacedPillar* shared, Keep keep) {
  std::vector<PlacedPillar> all(a.begin(), a.end());
  all.insert(all.end(), b.begin(), b.end());
  if (shared) all.push_back(*shared);
  const auto sideOf = [&](int i) {
    const auto index = static_cast<std::size_t>(i);
    return index < a.size() ? Side::A : index < a.size() + b.size() ? Side::B : Side::Shared;
  };
  std::vector<PillarIndices> joined;
  std::vector<Relation> found = FindRelations(all, &joined);
  std::vector<CrossRelation> out;
  for (std::size_t i = 0; i < found.size(); ++i) {
    CrossRelation r{std::move(found[i]), {}};
    for (std::size_t k = 0; k < static_cast<std::size_t>(r.relation.count); ++k) r.sides[k] = sideOf(joined[i][k]);
    const std::span<const Side> sides(r.sides.data(), static_cast<std::size_t>(r.relation.count));
    if (keep(sides)) out.push_back(std::move(r));
  }
  return out;
}

bool Holds(std::span<const Side> sides, Side s) { return std::ranges::find(sides, s) != sides.end(); }

}  // namespace

std::string SidedPositionName(SidedPosition p) {
  std::string out = p.side == Side::A ? "a." : p.side == Side::B ? "b." : "";
  out += PositionName(p.position);
  return out;
}

std::vector<CrossRelation> CrossRelations(std::span<const PlacedPillar> a, std::span<const PlacedPillar> b) {
  return Among(a, b, nullptr, [](std::span<const Side> s) { return Holds(s, Side::A) && Holds(s, Side::B); });
}

std::vector<CrossRelation> SharedRelations(std::span<const PlacedPillar> a, std::span<const PlacedPillar> b,
                                           PlacedPillar shared) {
  return Among(a, b, &shared, [](std::span<const Side> s) { return Holds(s, Side::Shared); });
}

std::vector<CrossRelation> CrossRelationsOf(const ChartState& a, const ChartState& b) {
  return CrossRelations(ChartPositions(a, nullptr), ChartPositions(b, nullptr));
}

std::vector<CrossRelation> FlowYearRelationsOf(const ChartState& a, const FlowState& fa, const ChartState& b,
                                               const FlowState& fb) {
  // Each chart's natal pillars and its luck pillar, without the flow ones.
  const auto own = [](const ChartState& c, const FlowState& f) {
    std::vector<PlacedPillar> out = ChartPositions(c, &f);
    std::erase_if(out, [](const PlacedPillar& p) { return p.position > Position::Luck; });
    return out;
  };
  return SharedRelations(own(a, fa), own(b, fb), {Position::FlowYear, fa.YearPillar()});
}

std::string CrossRelationPlaces(const CrossRelation& r) {
  std::string out;
  for (int i = 0; i < r.relation.count; ++i) {
    if (i > 0) out += "—";
    out += SidedPositionName(r.at(i));
    out += r.relation.onStems() ? "干" : "支";
  }
  return out;
}

std::string CrossRelationLine(const CrossRelation& r) {
  return RelationName(r.relation) + "　" + CrossRelationPlaces(r);
}

}  // namespace qelm
