// --luck-start table|exact|shichen: the school that dates the luck pillars,
// for the commands that cast a chart (table, the default).
#pragma once

#include <string>

#include "chart/chart.hpp"

namespace CLI {
class App;
}

namespace qelm::cli {

// Adds the option to the subcommand, filling `key` when it is parsed.
void AddLuckStartOption(CLI::App& command, std::string& key);

// The school an accepted key names.
LuckStart LuckStartOfOption(const std::string& key);

}  // namespace qelm::cli
