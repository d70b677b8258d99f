// The birth line says 子正換日 where that convention kept a birth at 23:xx on
// its own date, and only there.
#include <gtest/gtest.h>

#include <string>

#include "chart/chart.hpp"

namespace qelm {
namespace {

TEST(DayChangeText, BirthLineNamesTheConventionWhereItMatters) {
  const struct {
    MomentInput birth;
    DayChange change;
    const char* lunar;  // the lunar part of the line
  } cases[] = {
      {{1986, 5, 4, 23, 0}, DayChange::AtMidnight, "(丙寅年三月廿六日子時 子正換日)"},
      {{1986, 5, 4, 23, 0}, DayChange::AtZiStart, "(丙寅年三月廿七日子時)"},
      {{1986, 5, 4, 22, 0}, DayChange::AtMidnight, "(丙寅年三月廿六日亥時)"},
      {{1986, 5, 5, 0, 30}, DayChange::AtMidnight, "(丙寅年三月廿七日子時)"},
  };
  for (const auto& c : cases) {
    const ChartState chart = LoadChart("甲", Sex::Male, *CalcMoment(c.birth, c.change).result);
    const std::string line = BirthDataLine(chart);
    EXPECT_TRUE(line.ends_with(c.lunar)) << line;
  }
}

}  // namespace
}  // namespace qelm
