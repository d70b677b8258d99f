// The seasonal-ranking line of the reports: "旺相休囚: 木旺 火相 土死 金囚 水休".
#pragma once

#include <cstddef>

#include "calendar/sexagenary.hpp"

namespace qelm {

// The most bytes the line takes: its title and five elements of one
// character (three bytes) each with its rank and a blank between two.
inline constexpr std::size_t kSeasonLineRoom = (sizeof("旺相休囚: ") - 1) + 5 * 3 + 4 * (sizeof("旺 ") - 1) +
                                               (sizeof("休") - 1);

// The line of the ranking of a month of that branch, `jieDays` whole days
// after its jie (as SeasonStates ranks it), written at p, which has room for
// kSeasonLineRoom bytes; returns its end. The lines of the days a month can
// have are made once.
char* PutSeasonLine(char* p, Branch monthBranch, int jieDays);

}  // namespace qelm
