#include "cli/shell.hpp"

#include <CLI/CLI.hpp>
#include <charconv>
#include <ostream>
#include <string_view>

#include "cli/parse_errors.hpp"
#include "place/places.hpp"
#include "place/zone.hpp"

namespace qelm::cli {

namespace {

bool Shown(const CLI::App* s) { return !s->get_group().empty(); }

const CLI::App* SubcommandNamed(const CLI::App& app, std::string_view name) {
  for (const CLI::App* s : app.get_subcommands(Shown))
    if (s->get_name() == name) return s;
  return nullptr;
}

std::vector<std::string> OptionNames(const CLI::App& command) {
  std::vector<std::string> names;
  for (const CLI::Option* o : command.get_options()) {
    for (const std::string& n : o->get_lnames()) names.push_back("--" + n);
    for (const std::string& n : o->get_snames()) names.push_back("-" + n);
  }
  return names;
}

const CLI::Option* OptionOf(const CLI::App& command, std::string_view word) {
  for (const CLI::Option* o : command.get_options()) {
    for (const std::string& n : o->get_lnames())
      if (word.size() == n.size() + 2 && word.substr(0, 2) == "--" && word.substr(2) == n) return o;
    for (const std::string& n : o->get_snames())
      if (word.size() == n.size() + 1 && word[0] == '-' && word.substr(1) == n) return o;
  }
  return nullptr;
}

bool TakesArguments(const CLI::App& command) {
  for (const CLI::Option* o : command.get_options())
    if (o->get_lnames().empty() && o->get_snames().empty()) return true;
  return false;
}

std::vector<std::string> ValuesOf(const CLI::Option& o) {
  if (o.check_lname("place")) {
    std::vector<std::string> names;
    for (const KnownPlace& p : KnownPlaces()) names.emplace_back(p.name);
    return names;
  }
  if (o.check_lname("zone")) return ZoneIdList();
  return AcceptedValues(o);
}

std::vector<std::string> Candidates(const CLI::App& app, const std::vector<std::string>& words,
                                    std::size_t current) {
  const CLI::App* command = &app;
  for (std::size_t i = 1; i < current && command == &app; ++i)
    if (const CLI::App* s = SubcommandNamed(app, words[i])) command = s;
  const std::string_view word = words[current];
  // The value of an option: "--zone Asia/…", or "--zone=Asia/…", which bash
  // splits at the "=".
  std::size_t before = current - 1;
  if (before >= 2 && words[before] == "=") --before;
  if (const CLI::Option* o = before >= 1 ? OptionOf(*command, words[before]) : nullptr;
      o && o->get_items_expected_max() > 0)
    return ValuesOf(*o);
  if (command == &app) {
    std::vector<std::string> all;
    if (word.empty() || word.front() != '-')
      for (const CLI::App* s : app.get_subcommands(Shown)) all.push_back(s->get_name());
    if (word.empty() || word.front() == '-')
      for (std::string& n : OptionNames(app)) all.push_back(std::move(n));
    return all;
  }
  if ((!word.empty() && word.front() == '-') || (word.empty() && !TakesArguments(*command)))
    return OptionNames(*command);
  return {};
}

}  // namespace

std::string VersionText() { return std::string("qelm-report ") + QELM_VERSION; }

void AddVersionFlag(CLI::App& app) { app.set_version_flag("--version", VersionText(), "print the version and exit"); }

bool IsCompletionRequest(int argc, const char* const* argv) {
  return argc >= 2 && std::string_view(argv[1]) == kCompleteCommand;
}

std::vector<std::string> CompletionCandidates(const CLI::App& app, const std::vector<std::string>& words,
                                              std::size_t current) {
  if (current == 0 || current >= words.size()) return {};
  std::vector<std::string> found;
  for (std::string& c : Candidates(app, words, current))
    if (std::string_view(c).substr(0, words[current].size()) == words[current]) found.push_back(std::move(c));
  return found;
}

int Complete(const CLI::App& app, int argc, const char* const* argv, Streams& io) {
  if (argc < 4) return kBadInput;
  const std::string_view index = argv[2];
  std::size_t current = 0;
  if (std::from_chars(index.data(), index.data() + index.size(), current).ec != std::errc{}) return kBadInput;
  const std::vector<std::string> words(argv + 3, argv + argc);
  // bash leaves out the word under the cursor when it is empty at the line's end.
  std::vector<std::string> padded = words;
  if (current == padded.size()) padded.emplace_back();
  for (const std::string& c : CompletionCandidates(app, padded, current)) io.out << c << "\n";
  return kAllDone;
}

}  // namespace qelm::cli
