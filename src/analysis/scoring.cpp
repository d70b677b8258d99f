#include "analysis/scoring.hpp"

namespace qelm {

namespace {

// A branch is worth 8 points, spread over the elements of its hidden stems
// (main, middle, residual). 午 and 亥 hold two stems and give 5 and 3.
struct BranchShare {
  int element;  // 1 木 … 5 水, 0 for an unused slot
  int points;
};
constexpr std::array<std::array<BranchShare, 3>, 12> kBranchPoints{{
    {{{5, 8}, {0, 0}, {0, 0}}},  // 子 水
    {{{3, 5}, {5, 2}, {4, 1}}},  // 丑 土 水 金
    {{{1, 5}, {2, 2}, {3, 1}}},  // 寅 木 火 土
    {{{1, 8}, {0, 0}, {0, 0}}},  // 卯 木
    {{{3, 5}, {1, 2}, {5, 1}}},  // 辰 土 木 水
    {{{2, 5}, {3, 2}, {4, 1}}},  // 巳 火 土 金
    {{{2, 5}, {3, 3}, {0, 0}}},  // 午 火 土
    {{{3, 5}, {2, 2}, {1, 1}}},  // 未 土 火 木
    {{{4, 5}, {5, 2}, {3, 1}}},  // 申 金 水 土
    {{{4, 8}, {0, 0}, {0, 0}}},  // 酉 金
    {{{3, 5}, {4, 2}, {2, 1}}},  // 戌 土 金 火
    {{{5, 5}, {1, 3}, {0, 0}}},  // 亥 水 木
}};

constexpr bool EveryRowIsEight() {
  for (const auto& row : kBranchPoints) {
    int sum = 0;
    for (const auto& share : row) sum += share.points;
    if (sum != 8) return false;
  }
  return true;
}
static_assert(EveryRowIsEight());

constexpr std::array<std::string_view, 5> kGroupNames{"比劫", "食傷", "財星", "官殺", "印星"};

// One period pillar: stem first, then the branch at the given weight.
void AddPillar(ElementCount& count, Pillar p, int weight) {
  count.AddStemPoints(p.stem);
  count.AddBranchPoints(p.branch, weight);
}

}  // namespace

void ElementCount::AddStemPoints(Stem s) {
  if (!s.valid()) return;
  scores[s.element().number() - 1] += 5;
}

void ElementCount::AddBranchPoints(Branch b, int BranchWeight) {
  if (!b.valid()) return;
  for (const auto& share : kBranchPoints[b.number() - 1]) {
    if (share.element != 0) scores[share.element - 1] += share.points * BranchWeight;
  }
}

int ElementCount::total() const {
  int sum = 0;
  for (int s : scores) sum += s;
  return sum;
}

ElementScores NatalScores(const ChartState& c) {
  ElementCount count;
  count.AddStemPoints(c.YearStem);
  count.AddStemPoints(c.MonthStem);
  count.AddStemPoints(c.DayStem);
  count.AddStemPoints(c.HourStem);
  count.AddBranchPoints(c.YearBranch);
  count.AddBranchPoints(c.MonthBranch, 2);  // the month branch commands the chart: double
  count.AddBranchPoints(c.DayBranch);
  count.AddBranchPoints(c.HourBranch);
  return count.scores;
}

std::array<ElementScores, 5> AllLevelScores(const ChartState& c, const FlowState& f) {
  ElementCount count;
  count.scores = NatalScores(c);
  // Before the first luck pillar there is no luck period to count.
  if (f.CurrentLuckIndex >= 1 && f.CurrentLuckIndex <= 12) {
    AddPillar(count, c.LuckPillar(f.CurrentLuckIndex), 2);
  }
  std::array<ElementScores, 5> levels;
  levels[0] = count.scores;
  AddPillar(count, f.YearPillar(), 1);
  levels[1] = count.scores;
  AddPillar(count, f.MonthPillar(), 2);
  levels[2] = count.scores;
  AddPillar(count, f.DayPillar(), 1);
  levels[3] = count.scores;
  AddPillar(count, f.HourPillar(), 1);
  levels[4] = count.scores;
  return levels;
}

ElementScores LevelScores(const ChartState& c, const FlowState& f, ScorePeriod period) {
  return AllLevelScores(c, f)[static_cast<std::size_t>(period)];
}

std::array<int, 5> PairSums(const ElementScores& s, Stem dayStem) {
  if (!dayStem.valid()) return {};
  const Element self = dayStem.element();
  // Score of the element standing k steps after the day master's own.
  auto at = [&](int k) { return s[self.after(k).number() - 1]; };
  return {at(4) + at(0),   // 印比
          at(0) + at(1),   // 比食
          at(1) + at(2),   // 食財
          at(2) + at(3),   // 財官
          at(3) + at(4)};  // 官印
}

std::string_view ElementGroupName(Element e, Stem dayStem) {
  if (!e.valid() || !dayStem.valid()) return {};
  int r = e.number() - dayStem.element().number();
  if (r < 0) r += 5;
  return kGroupNames[r];
}

SeasonRanking SeasonStates(Branch monthBranch, int birthJieDays) {
  SeasonRanking ranking;
  if (!monthBranch.valid()) return ranking;
  // 辰 未 戌 丑: the first twelve days still belong to the outgoing season,
  // from the thirteenth day earth rules.
  Element ruling = monthBranch.element();
  const bool earlyDays = birthJieDays <= 12;
  switch (monthBranch.number()) {
    case 5: ruling = Element{earlyDays ? 1 : 3}; break;   // 辰 木
    case 8: ruling = Element{earlyDays ? 2 : 3}; break;   // 未 火
    case 11: ruling = Element{earlyDays ? 4 : 3}; break;  // 戌 金
    case 2: ruling = Element{earlyDays ? 5 : 3}; break;   // 丑 水
    default: break;
  }
  // 旺 the ruler, 相 what it generates, 死 what it controls, 囚 what controls
  // it, 休 what generates it.
  for (int i = 0; i < 5; ++i) {
    ranking.SeasonElements[i] = ruling.after(i);
    ranking.SeasonNames[i] = ranking.SeasonElements[i].name();
  }
  return ranking;
}

}  // namespace qelm
