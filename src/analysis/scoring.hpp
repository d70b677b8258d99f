// Element scoring: fixed points for stems and branches, natal and cumulative
// period counts, the ten-god group of an element and the seasonal ranking.
#pragma once

#include <array>
#include <string_view>

#include "chart/chart.hpp"

namespace qelm {

// Scores of 木 火 土 金 水 at indices 0..4.
using ElementScores = std::array<int, 5>;

// A running count. Stems are worth 5 to their element; branches 8, spread over
// the elements of their hidden stems and multiplied by the weight.
struct ElementCount {
  ElementScores scores{};
  void AddStemPoints(Stem s);
  void AddBranchPoints(Branch b, int BranchWeight = 1);
  int total() const;
};

ElementScores NatalScores(const ChartState& c);  // totals 60
// The period a cumulative count reaches down to, each counting those before
// it: the luck period, then the flow year, month, day and hour.
enum class ScorePeriod { Luck, FlowYear, FlowMonth, FlowDay, FlowHour };
inline constexpr std::array kScorePeriods{ScorePeriod::Luck, ScorePeriod::FlowYear, ScorePeriod::FlowMonth,
                                          ScorePeriod::FlowDay, ScorePeriod::FlowHour};
// Cumulative over the natal count, the luck pillar (branch doubled), the flow
// year, the flow month (branch doubled), the flow day and the flow hour of
// f.moment, down to `period`. With CurrentLuckIndex 0 the luck pillar is left
// out.
ElementScores LevelScores(const ChartState& c, const FlowState& f, ScorePeriod period);
// The counts down to each period, in kScorePeriods order.
std::array<ElementScores, 5> AllLevelScores(const ChartState& c, const FlowState& f);
// 印比, 比食, 食財, 財官, 官印 around the day master's element.
std::array<int, 5> PairSums(const ElementScores& s, Stem dayStem);
// "比劫" "食傷" "財星" "官殺" "印星".
std::string_view ElementGroupName(Element e, Stem dayStem);

struct SeasonRanking {
  std::array<Element, 5> SeasonElements{};   // ranks 旺 相 死 囚 休
  std::array<std::string_view, 5> SeasonNames{};
};
// An invalid month branch gives an empty ranking (elements 0, names empty).
SeasonRanking SeasonStates(Branch monthBranch, int birthJieDays);

}  // namespace qelm
