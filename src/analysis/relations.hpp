// 刑沖合會: the combinations, clashes, punishments, harms and breaks between
// the stems and branches of pillars, natal and flowing.
//
// Every pair and every triple of positions that fits a classical entry is a
// relation of its own; none hides another (a complete 三合 keeps its 半合
// pairs, two 午 beside one 子 give two 子午沖). Whether a combination
// transforms is a judgement left to the reader.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/chart.hpp"

namespace qelm {

// In the order a list of relations is grouped.
enum class RelationKind {
  StemCombination,    // 天干五合
  StemClash,          // 天干相沖
  SixCombination,     // 六合
  ThreeCombination,   // 三合, all three branches
  HalfCombination,    // 半合, two of a 三合 with its middle branch
  ArchedCombination,  // 拱合, the first and last of a 三合
  DirectionMeeting,   // 三會
  SixClash,           // 六沖
  ThreePunishment,    // 三刑, all of 寅巳申 or 丑戌未
  MutualPunishment,   // 相刑, two of those, or 子卯
  SelfPunishment,     // 自刑
  SixHarm,            // 六害
  SixBreak,           // 六破
};
inline constexpr int kRelationKindCount = 13;
// "天干五合" … "六破".
std::string_view RelationKindName(RelationKind kind);

// Where a pillar stands, natal ones first.
enum class Position { Year, Month, Day, Hour, Luck, FlowYear, FlowMonth, FlowDay, FlowHour };
inline constexpr int kPositionCount = 9;
// "年" "月" "日" "時" "運" "流年" "流月" "流日" "流時".
std::string_view PositionName(Position p);
constexpr bool IsNatal(Position p) { return p <= Position::Hour; }

struct PlacedPillar {
  Position position;
  Pillar pillar;
  friend bool operator==(const PlacedPillar&, const PlacedPillar&) = default;
};

struct Relation {
  RelationKind kind{};
  // The positions joined, in the order of the pillars given; two or three.
  std::array<Position, 3> positions{};
  int count = 2;
  // The characters at those positions, in the same order ("午子" when the
  // first holds 午).
  std::string chars;
  // The entry as the classics write it ("子午", "申子辰", "辰辰").
  std::string entry;
  // What the combination forms (天干五合, 六合, 三合, 半合, 拱合, 三會);
  // no element (not valid) for the others.
  Element element;
  // The classical name of a punishment: "恃勢", "無恩", "無禮", or empty.
  std::string_view classicalName;

  std::span<const Position> joined() const { return {positions.data(), static_cast<std::size_t>(count)}; }
  bool onStems() const { return kind == RelationKind::StemCombination || kind == RelationKind::StemClash; }
  // Joins at least one of 運 流年 流月 流日 流時.
  bool flowing() const;
  friend bool operator==(const Relation&, const Relation&) = default;
};

// A classical entry as the finder files it: what it is, how many characters
// it joins, what it forms, its name, and its characters in the classics'
// order (numbers of stems or branches).
struct RelationEntry {
  RelationKind kind;
  int count;
  Element element;
  std::string_view classicalName;
  std::array<std::int8_t, 3> chars;
  constexpr bool onStems() const { return kind == RelationKind::StemCombination || kind == RelationKind::StemClash; }
};
// Every entry, numbered as RelationHit gives them.
std::span<const RelationEntry> RelationEntries();
// A relation as it is found, before its texts are composed, packed in one
// number: its entry's number, the pillars it joins (indices into the
// pillars given, the entry's count of them, in their order) with their
// positions and, for a pair, whether they hold its characters the other way
// round.
struct RelationHit {
  // The entry (bits 0 to 7), the pillars (16 to 39), reversed (40), the
  // positions (44 to 55).
  std::uint64_t bits;
  std::size_t entryNumber() const { return bits & 0xff; }
  std::size_t at(int i) const { return bits >> (16 + 8 * i) & 0xff; }
  bool reversed() const { return (bits >> 40 & 1) != 0; }
  Position position(int i) const { return static_cast<Position>(bits >> (44 + 4 * i) & 0xf); }
};
// The most relations n pillars can hold: every pair one stem entry and up to
// four branch entries, every triple one.
constexpr std::size_t MostRelationHits(std::size_t n) {
  return n * (n - 1) / 2 * 5 + n * (n - 1) * (n - 2) / 6;
}
// The pillars of a chart at a flow moment as ChartPositions gives them, into
// room the caller holds; returns how many.
inline constexpr std::size_t kMaxChartPositions = 9;
std::size_t ChartPositionsInto(const ChartState& chart, const FlowState* flow,
                               std::array<PlacedPillar, kMaxChartPositions>& out);

// Room for the relations of a chart's pillars, reused without being cleared.
using ChartRelationHits = std::array<RelationHit, MostRelationHits(kMaxChartPositions)>;
struct HitCounts {
  std::size_t all = 0;
  std::size_t natal = 0;  // the first ones, those among 年 月 日 時 only
};
// The relations of at most kMaxChartPositions pillars into `out`: first those
// among the natal pillars, then those joining at least one of 運 流年 流月
// 流日 流時, each part in the order FindRelations gives.
HitCounts FindChartRelationHits(std::span<const PlacedPillar> pillars, ChartRelationHits& out);

// Every relation among the pillars, grouped by kind (in RelationKind order);
// within a kind by the positions, in the order the pillars are given. Pillars
// that are not valid take part in nothing.
std::vector<Relation> FindRelations(std::span<const PlacedPillar> pillars);
// The same, and for each relation in turn the indices (into `pillars`) of the
// pillars it joins, appended to `joined` (unused places 0).
using PillarIndices = std::array<int, 3>;
std::vector<Relation> FindRelations(std::span<const PlacedPillar> pillars, std::vector<PillarIndices>* joined);

// The pillars of a chart at a flow moment: 年 月 日 時, 運 while a luck
// pillar is current, 流年 流月 流日 流時. Without a flow moment, the natal four.
std::vector<PlacedPillar> ChartPositions(const ChartState& chart, const FlowState* flow);

struct ChartRelations {
  std::vector<Relation> natal;  // among 年 月 日 時
  std::vector<Relation> flow;   // those joining at least one of 運 流年 流月 流日 流時
};
ChartRelations RelationsOf(std::span<const PlacedPillar> pillars);
ChartRelations RelationsOf(const ChartState& chart, const FlowState& flow);

// A relation as a line reads: the entry with what it is, a full-width blank
// and the positions, "子午沖　年支—日支", "甲己合土　年干—月干",
// "申子辰三合水　年支—日支—流年支", "寅巳申三刑（恃勢之刑）　…".
std::string RelationName(const Relation& r);   // the part before the blank
std::string RelationPlaces(const Relation& r);  // the part after it
std::string RelationLine(const Relation& r);

}  // namespace qelm
