// The command line's refusals in words: each kind of error the parser finds
// (an unknown option or subcommand, a missing or refused value, a missing or
// extra argument, options that need or exclude each other) has one Chinese
// wording, naming the option and what it accepts, read from the option's own
// type and checks. A subcommand added later gets the same wording unasked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
class Option;
class ParseError;
}  // namespace CLI

namespace qelm::cli {

// The message for an error the parser threw while reading `app`'s command
// line (without the program's name in front).
std::string ParseErrorText(const CLI::App& app, const CLI::ParseError& e);

// What an option's value may be, in words ("1901 至 2099 的整數", "23 或 0");
// empty when its type and checks say nothing more than "text".
std::string AcceptedText(const CLI::Option& option);

// The values an option lists as the only ones it takes (23 and 0 for
// --day-change); empty when it takes others too.
std::vector<std::string> AcceptedValues(const CLI::Option& option);

// A value the user typed, as a message quotes it: at most `characters`
// characters, whole ones, then "…".
inline constexpr std::size_t kEchoCharacters = 64;
std::string Echo(std::string_view typed, std::size_t characters = kEchoCharacters);

// The message with each 「quoted」 part cut as Echo cuts it, so that a refusal
// never repeats a long value whole; a full path (the program names files so)
// is cut only beyond the longest path the system takes.
inline constexpr std::size_t kPathCharacters = 4096;
std::string ShortQuotes(std::string_view message);

}  // namespace qelm::cli
