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

// Exit statuses, the same for every subcommand.
inline constexpr int kAllDone = 0;
inline constexpr int kDoneWithSkips = 1;  // lines skipped, or a file cut at its size caps
inline constexpr int kBadInput = 2;       // bad arguments, or a file that cannot be read
inline constexpr const char* kExitStatusHelp =
    "Exit status: 0 = all done; 1 = done, but lines were skipped or a file was cut at its size caps; "
    "2 = bad arguments or a file that cannot be read.";

struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  int status = kAllDone;  // set by a command that finishes with another status
  // Records that the command skipped a line (or stopped at a cap).
  void Skipped() {
    if (status == kAllDone) status = kDoneWithSkips;
  }
};

void AddMomentCommands(CLI::App& app, Streams& io);   // moment, tables
void AddChartCommand(CLI::App& app, Streams& io);     // chart
void AddPersonsCommand(CLI::App& app, Streams& io);   // persons
void AddPlacesCommand(CLI::App& app, Streams& io);    // places
void AddFindBirthCommand(CLI::App& app, Streams& io); // find-birth
void AddCandidatesCommand(CLI::App& app, Streams& io); // candidates
void AddDaysCommand(CLI::App& app, Streams& io);      // days
void AddCompareCommand(CLI::App& app, Streams& io);   // compare

// Runs qelm-report with the given arguments (argv[0] included); returns the
// exit status. Used by main and by the tests.
int Run(int argc, const char* const* argv, Streams& io);

}  // namespace qelm::cli
