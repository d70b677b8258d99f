// Symbolic stars (神煞) of both schools, the growth-stage and year-god rings
// and the virtue marks of the birth month.
#pragma once

#include <array>
#include <string>

#include "chart/chart.hpp"

namespace qelm {

enum class School { ZiPing, SanMing };  // 子平法, 三命法

// The text of each row of the star window per branch (index branch - 1):
// names each followed by one blank, repeats kept. The longest row any chart
// gives is 35 bytes; a row is held inline.
using StarText = InlineText<63>;
using StarRow = std::array<StarText, 12>;
struct StarRows {
  StarRow GrowthStages;  // the twelve growth stages, 長生 … 養
  StarRow StemStars;     // stars placed by a stem (日祿, 羊刃, the nobles …)
  StarRow BranchStars;   // stars placed by a branch (驛馬, 華蓋 …)
  StarRow YearGods;      // the ring of year gods, 太歲 … 病符
  StarRow VoidMarks;     // the void (空亡) branches
};
StarRows BuildStarRows(const ChartState& c, School school);

// A row's text at each branch within one run of stars placed by one key (or
// within a ring), made once for every value of the key: short enough to be
// moved whole.
using StarPiece = InlineText<31>;
using StarPieceRow = std::array<StarPiece, 12>;
// A chart's rows as the rows made once that they join: at each branch a
// row's text is the texts of its parts there, one after another. The parts
// live as long as the program.
struct StarParts {
  struct Parts {
    std::array<const StarPieceRow*, 3> rows{};
    int count = 0;
  };
  Parts GrowthStages, StemStars, BranchStars, YearGods, VoidMarks;
  int GrowthStart = 0;  // the branch of 長生 (0 none): GrowthStages is that ring
  int YearBranch = 0;   // the branch of 太歲 (0 none): YearGods is that ring
};
StarParts StarPartsOf(const ChartState& c, School school);
// The rings made once, from each start branch (none at 0).
const std::array<StarPieceRow, 13>& GrowthStageRings();
const std::array<StarPieceRow, 13>& YearGodRings();
// The same rows with every star placed on its own rather than copied from
// the pieces placed once per key; for checking those pieces.
StarRows StarRowsEntryByEntry(const ChartState& c, School school);

// The four centre labels: "天德   巳", "天德合 申", "月德   壬", "月德合 丁".
struct Virtues {
  using Text = InlineText<16>;
  Text HeavenlyVirtue;             // 天德
  Text HeavenlyVirtueCombination;  // 天德合
  Text MonthlyVirtue;              // 月德
  Text MonthlyVirtueCombination;   // 月德合
};
Virtues BuildVirtues(Branch monthBranch);

}  // namespace qelm
