#include "cli/luck_start_option.hpp"

#include <CLI/CLI.hpp>

namespace qelm::cli {

void AddLuckStartOption(CLI::App& command, std::string& key) {
  command
      .add_option("--luck-start", key,
                  "the school that dates the luck pillars: table (default: each pillar at its own 節), "
                  "exact (三日為一歲 to the minute) or shichen (命理探源: whole days and 時辰)")
      ->check(CLI::IsMember({"table", "exact", "shichen"}));
}

LuckStart LuckStartOfOption(const std::string& key) { return ParseLuckStart(key).value_or(LuckStart::Table); }

}  // namespace qelm::cli
