// Symbolic stars (神煞) of both schools, the growth-stage and year-god rings
// and the virtue marks of the birth month.
#pragma once

#include <array>
#include <string>

#include "chart/chart.hpp"

namespace qelm {

enum class School { ZiPing, SanMing };  // 子平法, 三命法

// The text of each row of the star window per branch (index branch - 1):
// names each followed by one blank, repeats kept.
struct StarRows {
  std::array<std::string, 12> NB;   // growth stage
  std::array<std::string, 12> SS1;  // stem-keyed stars
  std::array<std::string, 12> SS2;  // branch-keyed stars
  std::array<std::string, 12> SS3;  // year god
  std::array<std::string, 12> VAC;  // void marks
};
StarRows BuildStarRows(const ChartState& c, School school);

// The four centre labels: "天德   巳", "天德合 申", "月德   壬", "月德合 丁".
struct Virtues {
  std::string TED, TEDHER, UED, UEDHER;
};
Virtues BuildVirtues(Branch monthBranch);

}  // namespace qelm
