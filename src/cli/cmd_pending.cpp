// Placeholder until the persons subcommand is written.
#include "cli/commands.hpp"

namespace qelm::cli {
void AddPersonsCommand(CLI::App&, Streams&) {}
}  // namespace qelm::cli
