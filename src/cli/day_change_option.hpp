// --day-change 23|0: the hour a day begins at, for the commands that cast a
// birth (23 子初換日, the default; 0 子正換日).
#pragma once

#include "calendar/moment.hpp"

namespace CLI {
class App;
}

namespace qelm::cli {

// Adds the option to the subcommand, filling `hour` when it is parsed.
void AddDayChangeOption(CLI::App& command, int& hour);

// The convention an accepted hour names.
DayChange DayChangeOfOption(int hour);

}  // namespace qelm::cli
