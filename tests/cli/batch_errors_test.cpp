// A batch names each line it skips on the error stream, with its number and
// the reason its {"error": …} object gives, in input order, on one thread or
// several; the status is then 1.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "run_report.hpp"

namespace qelm::cli {
namespace {

TEST(BatchErrors, EachSkippedLineIsNamedWithItsNumber) {
  const struct {
    std::vector<const char*> args;
    const char* good;
    const char* bad;
  } cases[] = {
      {{"moment", "--batch"}, "2000-01-01 12:00", "2000-13-01 12:00"},
      {{"chart", "--batch", "--jobs", "1"}, "甲\t男\t2000-01-01 12:00\t2020-01-01 12:00", "甲\t男\t2000-01-01"},
      {{"chart", "--batch", "--jobs", "4"}, "甲\t男\t2000-01-01 12:00\t2020-01-01 12:00", "乙\t貓\t2000-01-01 12:00\t2020-01-01 12:00"},
  };
  std::mt19937 random(27);
  for (const auto& c : cases) {
    std::string input;
    std::vector<std::size_t> badLines;
    for (std::size_t n = 1; n <= 150; ++n) {
      const bool bad = random() % 5 == 0;
      if (bad) badLines.push_back(n);
      input += std::string(bad ? c.bad : c.good) + "\n";
    }
    const Ran r = RunReport(c.args, input);
    EXPECT_EQ(r.status, badLines.empty() ? 0 : 1);
    const std::vector<std::string> out = Lines(r.out), err = Lines(r.err);
    ASSERT_EQ(out.size(), 150u);
    ASSERT_EQ(err.size(), badLines.size()) << r.err;
    for (std::size_t i = 0; i < badLines.size(); ++i) {
      const std::string reason = Json::parse(out[badLines[i] - 1])["error"].get<std::string>();
      EXPECT_EQ(err[i], "qelm-report: 第 " + std::to_string(badLines[i]) + " 行:" + reason) << c.args[0];
    }
  }
}

}  // namespace
}  // namespace qelm::cli
