#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.hpp"
#include "cli/parse_errors.hpp"
#include "cli/shell.hpp"

namespace qelm::cli {

int Run(int argc, const char* const* argv, Streams& io) {
  CLI::App app{"qelm-report: Four Pillars charts and the calendar behind them, as text or JSON"};
  app.require_subcommand(1);
  app.footer(kExitStatusHelp);
  AddVersionFlag(app);
  AddMomentCommands(app, io);
  AddChartCommand(app, io);
  AddPersonsCommand(app, io);
  AddPlacesCommand(app, io);
  AddFindBirthCommand(app, io);
  AddCandidatesCommand(app, io);
  AddDaysCommand(app, io);
  AddCompareCommand(app, io);
  if (IsCompletionRequest(argc, argv)) return Complete(app, argc, argv, io);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    io.out << app.help();
    return kAllDone;
  } catch (const CLI::CallForAllHelp&) {
    io.out << app.help("", CLI::AppFormatMode::All);
    return kAllDone;
  } catch (const CLI::CallForVersion& e) {
    io.out << e.what() << "\n";
    return kAllDone;
  } catch (const CLI::ParseError& e) {
    io.err << "qelm-report: " << ParseErrorText(app, e) << "\n";
    return kBadInput;
  } catch (const UsageError& e) {
    io.err << "qelm-report: " << ShortQuotes(e.what()) << "\n";
    return kBadInput;
  }
  return io.status;
}

}  // namespace qelm::cli
