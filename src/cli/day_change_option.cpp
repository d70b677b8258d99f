#include "cli/day_change_option.hpp"

#include <CLI/CLI.hpp>

namespace qelm::cli {

void AddDayChangeOption(CLI::App& command, int& hour) {
  command
      .add_option("--day-change", hour,
                  "the hour the day begins at: 23 (子初換日, default: a birth at 23:xx takes the next day) "
                  "or 0 (子正換日: it keeps its own day, with the 子 hour pillar)")
      // Checked as typed, before the number is read: "00", "-0", "0x17" or
      // an empty value are no hour the option names.
      ->check(CLI::IsMember(std::vector<std::string>{"23", "0"}));
}

DayChange DayChangeOfOption(int hour) { return DayChangeOfHour(hour).value_or(DayChange::AtZiStart); }

}  // namespace qelm::cli
