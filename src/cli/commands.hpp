// The subcommands of qelm-report. Each adds itself to the app; its callback
// writes to the given streams and throws UsageError for bad arguments.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>

namespace CLI {
class App;
}

namespace qelm::cli {

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  int status = 0;  // set by a command that finishes with a non-zero status
};

void AddMomentCommands(CLI::App& app, Streams& io);   // moment, tables
void AddChartCommand(CLI::App& app, Streams& io);     // chart
void AddPersonsCommand(CLI::App& app, Streams& io);   // persons
void AddPlacesCommand(CLI::App& app, Streams& io);    // places

// Runs qelm-report with the given arguments (argv[0] included); returns the
// exit status. Used by main and by the tests.
int Run(int argc, const char* const* argv, Streams& io);

}  // namespace qelm::cli
