#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "calendar/lunar.hpp"
#include "chart/chart.hpp"

namespace qelm {
namespace {

// The names of the date joined in order, as the text is defined.
std::string Joined(Pillar year, int month, int day, LunarMonthKind kind, int hour) {
  const LunarNamesResult n = LunarNames(month, day, kind);
  return std::string(year.stem.name()) + std::string(year.branch.name()) + "年" + std::string(n.LeapMark) +
         std::string(n.LunarMonthName) + "月" + std::string(n.LunarDayName) + "日" +
         std::string(Branch{hour}.name()) + "時";
}

// The text from pieces made once is the names joined, for every year pillar
// (and none), every month of both kinds, day and double hour, and for the
// numbers just past them.
TEST(LunarDateText, IsTheNamesJoinedForEveryKey) {
  MomentResult m;
  const auto check = [&m] {
    const Pillar year = m.MomentPillars.NewYear;
    const std::string expected = Joined(year, m.MomentLunarMonth, m.MomentLunarDay, m.MomentMonthKind,
                                        m.MomentHourBranch);
    ASSERT_EQ(LunarDateText(m), expected) << m.MomentLunarMonth << "/" << m.MomentLunarDay;
    // Without the hour the text stops after the day's "日".
    ASSERT_EQ(LunarDateText(m, false), expected.substr(0, expected.rfind("日") + std::string_view("日").size()));
  };
  for (int s = 0; s <= 10; ++s) {
    for (int b = 0; b <= 12; ++b) {
      m.MomentPillars.NewYear = {Stem{s}, Branch{b}};
      check();
    }
  }
  m.MomentPillars.NewYear = {Stem{1}, Branch{1}};
  for (const LunarMonthKind kind : {LunarMonthKind::Ordinary, LunarMonthKind::Leap}) {
    m.MomentMonthKind = kind;
    for (int month = -1; month <= 13; ++month) {
      for (int day = -1; day <= 31; ++day) {
        for (int hour = 0; hour <= 12; ++hour) {
          m.MomentLunarMonth = month;
          m.MomentLunarDay = day;
          m.MomentHourBranch = hour;
          check();
        }
      }
    }
  }
}

}  // namespace
}  // namespace qelm
