// qelm-report as the shell meets it: refusals of the command line in Chinese
// for every subcommand and option it defines, strict --day-change values,
// short echoes of long values, --version and the completion candidates.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "run_report.hpp"

namespace qelm::cli {
namespace {

struct HelpOption {
  std::string name;
  bool takesValue = false, checked = false;  // a number, or one of a list: checked by the parser
};

// The entries of a --help text's section ("Options:", "Subcommands:").
std::vector<std::smatch> HelpEntries(const std::string& help, const std::string& title, const std::regex& entry,
                                     std::vector<std::string>& lines) {
  lines = Lines(help);
  std::vector<std::smatch> found;
  bool inside = false;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] != ' ') inside = line == title;
    std::smatch m;
    if (inside && std::regex_search(line, m, entry)) found.push_back(m);
  }
  return found;
}

std::vector<std::string> Subcommands() {
  std::vector<std::string> lines, names;
  for (const std::smatch& m : HelpEntries(RunReport({"--help"}).out, "Subcommands:", std::regex("^  ([a-z][-a-z]*)"), lines))
    names.push_back(m[1]);
  return names;
}

std::vector<HelpOption> OptionsOf(const std::string& command) {
  std::vector<std::string> lines;
  std::vector<HelpOption> options;
  const std::regex entry("^  (-[a-z],)?(--[a-z][-a-z0-9]*)( ([A-Z]+)(:\\S+)?)?");
  for (const std::smatch& m : HelpEntries(RunReport({command.c_str(), "--help"}).out, "Options:", entry, lines))
    options.push_back({m[2], m[4].matched, m[4].matched && (m[4] != "TEXT" || m[5].str().find('{') != std::string::npos)});
  return options;
}

// The parser's own English, which must never reach the user.
bool SaysParserEnglish(const std::string& text) {
  for (const char* phrase : {"not in range", "not expected", "is required", "could not", "Could not", "Expected",
                             " requires ", " excludes ", "not in {", "required", "missing", "At Most", "At least"})
    if (text.find(phrase) != std::string::npos) return true;
  return false;
}

void ExpectChineseRefusal(const Ran& r, const std::string& names, const std::string& what) {
  EXPECT_EQ(r.status, 2) << what;
  EXPECT_EQ(r.err.rfind("qelm-report: ", 0), 0u) << what << ": " << r.err;
  EXPECT_NE(r.err.find(names), std::string::npos) << what << ": " << r.err;
  EXPECT_FALSE(SaysParserEnglish(r.err)) << what << ": " << r.err;
  EXPECT_TRUE(std::any_of(r.err.begin(), r.err.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xE4; }))
      << what << ": " << r.err;
}

// Every option of every subcommand: a missing value, a value its check
// refuses, an unknown option and a stray argument are refused in Chinese,
// naming the option.
TEST(CommandLineRefusals, EveryOptionOfEverySubcommandInChinese) {
  const std::vector<std::string> commands = Subcommands();
  ASSERT_GE(commands.size(), 6u);
  for (const std::string& c : commands) {
    const std::vector<HelpOption> options = OptionsOf(c);
    ASSERT_FALSE(options.empty()) << c;
    for (const HelpOption& o : options) {
      if (!o.takesValue) continue;
      ExpectChineseRefusal(RunReport({c.c_str(), o.name.c_str()}), o.name, c + " " + o.name);
      if (o.checked)
        ExpectChineseRefusal(RunReport({c.c_str(), o.name.c_str(), "不是值"}), o.name, c + " " + o.name + " 不是值");
    }
    ExpectChineseRefusal(RunReport({c.c_str(), "--no-such-option"}), "「--no-such-option」", c);
  }
  ExpectChineseRefusal(RunReport({"no-such-command"}), "「no-such-command」", "unknown subcommand");
  ExpectChineseRefusal(RunReport({}), "find-birth", "no subcommand");
}

TEST(CommandLineRefusals, EachKindNamesWhatIsAccepted) {
  const struct {
    std::vector<const char*> args;
    std::vector<const char*> says;
  } cases[] = {
      {{"find-birth", "己卯", "丙子", "戊午", "壬子", "--from", "1990.5"}, {"--from", "「1990.5」", "1901 至 2099 的整數"}},
      {{"find-birth"}, {"缺少", "pillars"}},
      {{"places", "成都", "臺北"}, {"「臺北」"}},
      {{"moment", "--longitude", "x", "--zone", "Asia/Taipei"}, {"--longitude", "-180 至 180 的數字"}},
      {{"moment", "--time", "x"}, {"--time", "clock、standard 或 solar"}},
      {{"moment", "--place", "臺北", "--longitude", "121", "--zone", "Asia/Taipei"}, {"--place", "不能同時"}},
      {{"moment", "--longitude", "121"}, {"--longitude", "--zone"}},
      {{"moment", "--batch=x"}, {"--batch", "不帶值"}},
      {{"chart", "--name", "甲", "--sex", "男", "--birth", "2000-01-01 12:00", "--pdf", ""}, {"--pdf", "檔名"}},
      {{"chart", "--name", "甲", "--sex", "男", "--birth", "2000-01-01 12:00", "--pdf", QELM_SOURCE_DIR "/data"},
       {"「" QELM_SOURCE_DIR "/data」", "資料夾"}},
  };
  for (const auto& c : cases) {
    const Ran r = RunReport(c.args);
    for (const char* s : c.says) ExpectChineseRefusal(r, s, c.args[0]);
  }
}

// --day-change takes the two hours as written, nothing else that a number
// reader would take for them.
TEST(CommandLineRefusals, DayChangeTakesExactly23Or0) {
  for (const char* bad : {"", "00", "-0", "+0", "0x17", "023", " 0", "23.0", "12"})
    ExpectChineseRefusal(RunReport({"moment", "2000-01-01 23:30", "--day-change", bad}), "23 或 0",
                         std::string("--day-change '") + bad + "'");
  for (const char* good : {"23", "0"}) {
    const Ran r = RunReport({"moment", "2000-01-01 23:30", "--json", "--day-change", good});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out)["DayChange"].get<int>(), std::stoi(good));
  }
}

// A long refused value is quoted by its start only.
TEST(CommandLineRefusals, LongValuesAreCutWhenEchoed) {
  const std::string huge(128 << 10, 'x');
  const std::vector<std::vector<const char*>> cases = {
      {"moment", "2000-01-01 12:00", "--place", huge.c_str()},
      {"moment", "2000-01-01 12:00", "--longitude", "121", "--zone", huge.c_str()},
      {"moment", "2000-01-01 12:00", "--day-change", huge.c_str()},
      {"moment", huge.c_str()},
      {"chart", "--name", "甲", "--sex", huge.c_str(), "--birth", "2000-01-01 12:00"},
      {"places", huge.c_str()},
      {"find-birth", huge.c_str(), "甲子", "甲子"},
  };
  for (const auto& args : cases) {
    const Ran r = RunReport(args);
    EXPECT_NE(r.status, 0);
    EXPECT_LT(r.err.size(), 400u) << args[0] << " " << args[2];
    EXPECT_NE(r.err.find("xxx…"), std::string::npos) << r.err.substr(0, 200);
  }
}

TEST(Version, SaysTheProgramAndItsVersion) {
  const Ran r = RunReport({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(std::regex_match(r.out, std::regex("qelm-report [0-9]+(\\.[0-9]+)+\n"))) << r.out;
}

std::vector<std::string> Completions(std::vector<std::string> words) {
  std::vector<const char*> args{"__complete"};
  const std::string current = std::to_string(words.size());
  args.push_back(current.c_str());
  args.push_back("qelm-report");
  for (const std::string& w : words) args.push_back(w.c_str());
  const Ran r = RunReport(args);
  EXPECT_EQ(r.status, 0);
  return Lines(r.out);
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// Every subcommand and option --help lists is offered.
TEST(Completion, OffersEverySubcommandAndOption) {
  const std::vector<std::string> top = Completions({""});
  for (const std::string& c : Subcommands()) {
    EXPECT_TRUE(Has(top, c)) << c;
    const std::vector<std::string> options = Completions({c, "-"});
    for (const HelpOption& o : OptionsOf(c)) EXPECT_TRUE(Has(options, o.name)) << c << " " << o.name;
  }
  EXPECT_TRUE(Has(Completions({"--"}), "--version"));
}

TEST(Completion, OffersTheValuesAnOptionTakes) {
  const auto all = [](const std::vector<std::string>& list, const std::string& prefix) {
    return std::all_of(list.begin(), list.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
  };
  EXPECT_EQ(Completions({"chart", "--day-change", ""}), (std::vector<std::string>{"23", "0"}));
  for (const char* command : {"chart", "persons", "compare"})
    EXPECT_EQ(Completions({command, "--luck-start", ""}), (std::vector<std::string>{"table", "exact", "shichen"}));
  EXPECT_EQ(Completions({"moment", "--time", "s"}), (std::vector<std::string>{"standard", "solar"}));
  EXPECT_EQ(Completions({"moment", "--zone", "Asia/Taip"}), (std::vector<std::string>{"Asia/Taipei"}));
  EXPECT_EQ(Completions({"chart", "--zone", "=", "Asia/Taip"}), (std::vector<std::string>{"Asia/Taipei"}));
  const std::vector<std::string> places = Completions({"moment", "--place", "臺北"});
  EXPECT_TRUE(Has(places, "臺北市"));
  EXPECT_TRUE(all(places, "臺北"));
  EXPECT_GT(Completions({"moment", "--place", ""}).size(), 100u);
  EXPECT_TRUE(Completions({"persons", ""}).empty());  // a file name: bash's own completion
  EXPECT_TRUE(Completions({"chart", "--name", ""}).empty());
}

}  // namespace
}  // namespace qelm::cli
