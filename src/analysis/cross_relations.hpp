// 合盤: the relations (刑沖合會) between two persons' charts, and what a
// pillar of the flow moment forms with both. The same tables and the same
// enumeration as the relations of one chart: the pillars of both charts are
// taken as one list, and the relations that join both kept.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "analysis/relations.hpp"

namespace qelm {

// Whose pillar a position is: person a's, person b's, or the flow moment's,
// which both share.
enum class Side { A, B, Shared };

struct SidedPosition {
  Side side = Side::A;
  Position position = Position::Year;
  friend bool operator==(const SidedPosition&, const SidedPosition&) = default;
};
// "a.年", "b.運"; a shared one by its own name, "流年".
std::string SidedPositionName(SidedPosition p);

struct CrossRelation {
  Relation relation;            // its positions are those within each chart
  std::array<Side, 3> sides{};  // whose each of them is
  SidedPosition at(int i) const {
    const auto k = static_cast<std::size_t>(i);
    return {sides[k], relation.positions[k]};
  }
  friend bool operator==(const CrossRelation&, const CrossRelation&) = default;
};

// Every relation among the pillars of a and of b that joins both: a pair takes
// one pillar of each, a triple at least one of each; each once. Grouped by
// kind as FindRelations groups them; within a kind by the positions, a's
// pillars before b's, each in the order given.
std::vector<CrossRelation> CrossRelations(std::span<const PlacedPillar> a, std::span<const PlacedPillar> b);

// Every relation among a's pillars, b's and one pillar both share (the flow
// year) that joins the shared one, whichever charts the others belong to;
// ordered as CrossRelations, the shared pillar last.
std::vector<CrossRelation> SharedRelations(std::span<const PlacedPillar> a, std::span<const PlacedPillar> b,
                                           PlacedPillar shared);

// The cross relations of two charts' natal pillars (年 月 日 時 of each).
std::vector<CrossRelation> CrossRelationsOf(const ChartState& a, const ChartState& b);
// What the flow year forms with both charts at one flow moment (each chart's
// flow state at it): with the natal pillars of each and the luck pillar
// current for each (while one is).
std::vector<CrossRelation> FlowYearRelationsOf(const ChartState& a, const FlowState& fa, const ChartState& b,
                                               const FlowState& fb);

// A cross relation as a line reads: RelationName, a full-width blank and the
// sided positions, "子午沖　a.年支—b.日支", "申子辰三合水　a.年支—b.月支—流年支".
std::string CrossRelationPlaces(const CrossRelation& r);
std::string CrossRelationLine(const CrossRelation& r);

}  // namespace qelm
