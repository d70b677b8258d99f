#include "report/season_line.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/scoring.hpp"
#include "chart/text.hpp"

namespace qelm {

namespace {

char* PutRanking(char* p, const SeasonRanking& r) {
  const auto& n = r.SeasonNames;
  return PutParts(p, "旺相休囚: ", n[0], "旺 ", n[1], "相 ", n[2], "死 ", n[3], "囚 ", n[4], "休");
}

// The line of every month branch and every day count a month can reach
// after its jie; the few lines that differ are held once.
struct SeasonLines {
  static constexpr int kDays = 32;
  std::array<std::array<std::uint8_t, kDays>, 12> lineOf{};  // by branch and day count
  std::vector<std::string> lines;
  SeasonLines() {
    for (int b = 1; b <= 12; ++b) {
      for (int d = 0; d < kDays; ++d) {
        std::string line(kSeasonLineRoom, '\0');
        line.resize(static_cast<std::size_t>(PutRanking(line.data(), SeasonStates(Branch{b}, d)) - line.data()));
        auto at = std::find(lines.begin(), lines.end(), line);
        if (at == lines.end()) at = lines.insert(at, std::move(line));
        lineOf[static_cast<std::size_t>(b - 1)][static_cast<std::size_t>(d)] =
            static_cast<std::uint8_t>(at - lines.begin());
      }
    }
  }
};

}  // namespace

char* PutSeasonLine(char* p, Branch monthBranch, int jieDays) {
  static const SeasonLines kLines;
  if (!monthBranch.valid() || jieDays < 0 || jieDays >= SeasonLines::kDays)
    return PutRanking(p, SeasonStates(monthBranch, jieDays));
  const auto b = static_cast<std::size_t>(monthBranch.number() - 1);
  return PutText(p, kLines.lines[kLines.lineOf[b][static_cast<std::size_t>(jieDays)]]);
}

}  // namespace qelm
