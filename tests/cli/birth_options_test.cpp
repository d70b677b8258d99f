#include "cli/birth_options.hpp"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <vector>

#include "cli/commands.hpp"

namespace qelm::cli {
namespace {

// Parses the options as a subcommand would and resolves them for a birth.
struct Parsed {
  bool parsed = false;
  std::optional<BirthCorrection> correction;
  std::string error;  // of the parse or of the resolution
};
Parsed Parse(std::vector<std::string> args, const MomentInput& birth) {
  CLI::App app;
  BirthPlaceOptions o;
  AddBirthPlaceOptions(app, o);
  Parsed r;
  std::reverse(args.begin(), args.end());
  try {
    app.parse(args);
    r.parsed = true;
    const Birth b = BirthOfOptions(o, birth, DayChange::AtZiStart);
    const ResolvedBirth resolved = ResolveBirthOrRefuse(b);
    if (const BirthCorrection* c = ReportedCorrection(b, resolved)) r.correction = *c;
  } catch (const CLI::ParseError& e) {
    r.error = e.what();
  } catch (const UsageError& e) {
    r.error = e.what();
  }
  return r;
}

TEST(BirthPlaceOptions, ResolveToACorrection) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    MomentInput birth;
    const char* line;   // the correction's line begins so; "" none
    const char* error;  // the message holds this; nullptr: no error
  };
  const Case cases[] = {
      {"no options: the clock", {}, {1975, 7, 1, 9, 30}, "", nullptr},
      {"a place in the clock mode", {"--place", "臺北"}, {1975, 7, 1, 9, 30}, "", nullptr},
      {"Taipei in daylight saving", {"--place", "臺北", "--time", "standard"}, {1975, 7, 1, 9, 30},
       "標準時間 8時 30分（臺北", nullptr},
      {"English name", {"--place", "chengdu", "--time", "solar"}, {1975, 7, 1, 14, 30}, "真太陽時 13時 22分（成都",
       nullptr},
      {"by hand", {"--longitude", "-74.006", "--latitude", "40.71", "--zone", "America/New_York", "--time", "standard"},
       {1990, 7, 1, 12, 0}, "標準時間 1990年 7月 2日 0時 0分（UTC－4", nullptr},
      {"a repeated hour, the later",
       {"--longitude", "-74", "--zone", "America/New_York", "--time", "standard", "--overlap", "later"},
       {1990, 10, 28, 1, 30}, "標準時間 14時 30分", nullptr},
      {"a skipped hour", {"--longitude", "-74", "--zone", "America/New_York", "--time", "standard"},
       {1990, 4, 1, 2, 30}, "", "並不存在"},
      {"unknown zone", {"--longitude", "100", "--zone", "Mars/Olympus", "--time", "solar"}, {1990, 1, 1, 0, 0}, "",
       "找不到時區"},
      {"unknown place", {"--place", "Qqqzzx", "--time", "solar"}, {1990, 1, 1, 0, 0}, "", "找不到地點"},
      {"solar without a place", {"--time", "solar"}, {1990, 1, 1, 0, 0}, "", "需要 --place"},
      {"place and longitude", {"--place", "成都", "--longitude", "100", "--zone", "Asia/Shanghai"}, {1990, 1, 1, 0, 0},
       "", "excludes"},
      {"longitude without zone", {"--longitude", "100"}, {1990, 1, 1, 0, 0}, "", "requires"},
      {"a mode not known", {"--time", "lunar"}, {1990, 1, 1, 0, 0}, "", "lunar"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Parsed r = Parse(c.args, c.birth);
    if (c.error) {
      EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
      continue;
    }
    EXPECT_TRUE(r.error.empty()) << r.error;
    const std::string line = r.correction ? CorrectionLine(*r.correction) : "";
    EXPECT_EQ(line.substr(0, std::string(c.line).size()), c.line) << line;
    if (!*c.line) {
      EXPECT_TRUE(line.empty()) << line;
    }
  }
}

}  // namespace
}  // namespace qelm::cli
