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
  StarRow NB;   // growth stage
  StarRow SS1;  // stem-keyed stars
  StarRow SS2;  // branch-keyed stars
  StarRow SS3;  // year god
  StarRow VAC;  // void marks
};
StarRows BuildStarRows(const ChartState& c, School school);

// The four centre labels: "天德   巳", "天德合 申", "月德   壬", "月德合 丁".
struct Virtues {
  std::string TED, TEDHER, UED, UEDHER;
};
Virtues BuildVirtues(Branch monthBranch);

}  // namespace qelm
