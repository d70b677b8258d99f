// What the shell sees of qelm-report beyond its subcommands: --version, and
// the candidates its bash completion asks the program for, read from the
// command line's own definition so that they never fall behind it.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.hpp"

namespace CLI {
class App;
}

namespace qelm::cli {

// Adds --version, which writes "qelm-report VERSION".
void AddVersionFlag(CLI::App& app);
std::string VersionText();

// The completion script runs `qelm-report __complete CWORD WORD…` with bash's
// COMP_CWORD and COMP_WORDS (the program's name first).
inline constexpr const char* kCompleteCommand = "__complete";
bool IsCompletionRequest(int argc, const char* const* argv);

// The candidates for the word at `current` of `words`, those that begin with
// it, in order: subcommands, a subcommand's options (a word beginning with
// "-", or any word where the subcommand takes no argument), the values an
// option lists (--day-change 23 0), the built-in places for --place, the
// zones for --zone. Nothing where a file name or free text is asked for.
std::vector<std::string> CompletionCandidates(const CLI::App& app, const std::vector<std::string>& words,
                                              std::size_t current);

// Answers a completion request: the candidates, one a line.
int Complete(const CLI::App& app, int argc, const char* const* argv, Streams& io);

}  // namespace qelm::cli
