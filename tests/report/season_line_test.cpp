#include "report/season_line.hpp"

#include <gtest/gtest.h>

#include <string>

#include "analysis/scoring.hpp"

namespace qelm {
namespace {

// The line made once is the line of the ranking, for every month branch
// (and none) and every day count, inside the month and past its ends.
TEST(SeasonLine, IsTheRankingOfEveryBranchAndDay) {
  for (int b = 0; b <= 12; ++b) {
    for (int d = -2; d <= 40; ++d) {
      const auto n = SeasonStates(Branch{b}, d).SeasonNames;
      const std::string expected = "旺相休囚: " + std::string(n[0]) + "旺 " + std::string(n[1]) + "相 " +
                                   std::string(n[2]) + "死 " + std::string(n[3]) + "囚 " + std::string(n[4]) + "休";
      std::string line(kSeasonLineRoom, '\0');
      line.resize(static_cast<std::size_t>(PutSeasonLine(line.data(), Branch{b}, d) - line.data()));
      EXPECT_EQ(line, expected) << "branch " << b << ", day " << d;
    }
  }
}

}  // namespace
}  // namespace qelm
