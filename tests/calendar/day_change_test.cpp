// The two ways of starting a day: at 23:00 (子初換日) and at midnight (子正換日).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "calendar/moment.hpp"

namespace qelm {
namespace {

std::string Pillars(const MomentResult& r) {
  const MomentPillarSet& p = r.MomentPillars;
  return p.Year.name() + " " + p.Month.name() + " " + p.Day.name() + " " + p.Hour.name();
}

MomentResult Calc(const MomentInput& in, DayChange d) {
  const MomentOutcome out = CalcMoment(in, d);
  if (!out) ADD_FAILURE() << "refused: " << MomentErrorText(out.error);
  return out ? *out.result : MomentResult{};
}

TEST(DayChange, WorkedExample) {
  const struct {
    MomentInput in;
    DayChange change;
    const char* pillars;
    bool lateZi;
  } cases[] = {
      {{1986, 5, 4, 23, 0}, DayChange::AtZiStart, "丙寅 壬辰 己酉 甲子", false},
      {{1986, 5, 4, 23, 0}, DayChange::AtMidnight, "丙寅 壬辰 戊申 甲子", true},
      // Midnight is the same under both; so is an hour of 24 (0:00 of the next day).
      {{1986, 5, 5, 0, 0}, DayChange::AtMidnight, "丙寅 壬辰 己酉 甲子", false},
      {{1986, 5, 4, 24, 0}, DayChange::AtMidnight, "丙寅 壬辰 己酉 甲子", false},
      {{1986, 5, 4, 22, 59}, DayChange::AtMidnight, "丙寅 壬辰 戊申 癸亥", false},
  };
  for (const auto& c : cases) {
    const MomentResult r = Calc(c.in, c.change);
    EXPECT_EQ(Pillars(r), c.pillars) << c.in.InputDay << " " << c.in.InputHour << " " << DayChangeName(c.change);
    EXPECT_EQ(r.lateZi, c.lateZi);
    EXPECT_EQ(r.dayChange, c.change);
  }
  EXPECT_EQ(DayChangeOfHour(23), DayChange::AtZiStart);
  EXPECT_EQ(DayChangeOfHour(0), DayChange::AtMidnight);
  EXPECT_EQ(DayChangeOfHour(12), std::nullopt);
}

// The 23:xx hour of 200 days spread over the whole range (New Year's Eves,
// month ends and the days of 立春 among them, by chance and on purpose).
TEST(DayChange, LateHourOfManyDays) {
  std::uint32_t x = 86;
  const auto next = [&x](int bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<int>((x >> 8) % static_cast<std::uint32_t>(bound));
  };
  for (int i = 0; i < 200; ++i) {
    const Date day = MakeDate(1901, 1, 1) + std::chrono::days{next(199 * 365 + 48)};
    const CivilFields f = Fields(MakeMoment(day, 23, next(60)));
    const MomentInput late{f.year, f.month, f.day, 23, f.minute};
    const MomentInput before{f.year, f.month, f.day, 22, 59};
    const MomentResult zi = Calc(late, DayChange::AtZiStart), mid = Calc(late, DayChange::AtMidnight);
    const MomentResult eve = Calc(before, DayChange::AtMidnight);
    const std::string at = MomentText(zi.moment);

    // 子正換日: the day, the lunar date and the New-Year pillar of 22:59.
    EXPECT_EQ(mid.MomentPillars.Day, eve.MomentPillars.Day) << at;
    EXPECT_EQ(mid.MomentPillars.NewYear, eve.MomentPillars.NewYear) << at;
    EXPECT_EQ(mid.MomentLunarYear, eve.MomentLunarYear) << at;
    EXPECT_EQ(mid.MomentLunarMonth, eve.MomentLunarMonth) << at;
    EXPECT_EQ(mid.MomentLunarDay, eve.MomentLunarDay) << at;
    EXPECT_EQ(mid.MomentMonthKind, eve.MomentMonthKind) << at;
    EXPECT_EQ(mid.WeekdayNumber, eve.WeekdayNumber) << at;
    // The hour pillar, the year and month pillars and the terms as under 子初換日.
    EXPECT_EQ(mid.MomentPillars.Year, zi.MomentPillars.Year) << at;
    EXPECT_EQ(mid.MomentPillars.Month, zi.MomentPillars.Month) << at;
    EXPECT_EQ(mid.MomentPillars.Hour, zi.MomentPillars.Hour) << at;
    EXPECT_EQ(mid.MomentHourBranch, 1) << at;
    EXPECT_EQ(mid.JieIndex, zi.JieIndex) << at;
    EXPECT_EQ(mid.JieDays * 1440 + mid.JieHours * 60 + mid.JieMinutes,
              zi.JieDays * 1440 + zi.JieHours * 60 + zi.JieMinutes) << at;
    EXPECT_EQ(mid.LastTermName, zi.LastTermName) << at;
    EXPECT_EQ(mid.moment, zi.moment) << at;
    EXPECT_TRUE(mid.lateZi && !zi.lateZi) << at;

    // 子初換日: the day and the lunar date of the next midnight.
    const CivilFields n = Fields(MakeMoment(day + std::chrono::days{1}, 0, 0));
    if (n.year <= 2099) {
      const MomentResult midnight = Calc({n.year, n.month, n.day, 0, 0}, DayChange::AtZiStart);
      EXPECT_EQ(zi.MomentPillars.Day, midnight.MomentPillars.Day) << at;
      EXPECT_EQ(zi.MomentPillars.Hour, midnight.MomentPillars.Hour) << at;
      EXPECT_EQ(zi.MomentLunarDay, midnight.MomentLunarDay) << at;
    }

    // Any other hour is the same under both.
    const MomentInput other{f.year, f.month, f.day, next(23), next(60)};
    const MomentResult a = Calc(other, DayChange::AtZiStart), b = Calc(other, DayChange::AtMidnight);
    EXPECT_EQ(a.MomentPillars, b.MomentPillars) << at;
    EXPECT_EQ(a.MomentLunarDay, b.MomentLunarDay) << at;
  }
}

}  // namespace
}  // namespace qelm
