#include "calendar/moment.hpp"

#include <gtest/gtest.h>

#include <string>

#include "calendar/tables.hpp"

namespace qelm {
namespace {

constexpr auto kOrdinary = LunarMonthKind::Ordinary;

constexpr const char* kStems[] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
constexpr const char* kBranches[] = {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};

// The pillar's two characters, from tables of the test's own.
std::string Named(Pillar p) {
  const int s = p.stem.number(), b = p.branch.number();
  if (s < 1 || s > 10 || b < 1 || b > 12) return "?";
  return std::string(kStems[s - 1]) + kBranches[b - 1];
}

// Place of a pillar in the sixty cycle, 0 for 甲子.
int Cycle(Pillar pillar) {
  for (int p = 0; p < 60; ++p)
    if (p % 10 + 1 == pillar.stem.number() && p % 12 + 1 == pillar.branch.number()) return p;
  return -1;
}

MomentResult Calc(int year, int month, int day, int hour, int minute) {
  const MomentOutcome out = CalcMoment({year, month, day, hour, minute});
  if (!out) ADD_FAILURE() << "refused: " << MomentErrorText(out.error);
  return out ? *out.result : MomentResult{};
}

std::string Label(int year, int month, int day, int hour, int minute) {
  return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day) + " " +
         std::to_string(hour) + ":" + std::to_string(minute);
}

struct PillarCase {
  int y, m, d, hour, minute;
  const char *yearPillar, *monthPillar, *dayPillar, *hourPillar, *newYearPillar;
  int hourBranch;
  int ly, lm, ld;
  LunarMonthKind kind;
};

TEST(CalcMoment, PillarsAndLunarDate) {
  const PillarCase cases[] = {
      // 立春 2000 falls at 20:35: the year and the month turn at that minute.
      {2000, 2, 4, 20, 35, "庚辰", "戊寅", "壬辰", "庚戌", "己卯", 11, 1999, 12, 29, kOrdinary},
      {2000, 2, 4, 20, 34, "己卯", "丁丑", "壬辰", "庚戌", "己卯", 11, 1999, 12, 29, kOrdinary},
      // The lunar New Year before 立春 (1984/02/04 23:21).
      {1984, 2, 2, 12, 0, "癸亥", "乙丑", "丙寅", "甲午", "甲子", 7, 1984, 1, 1, kOrdinary},
      // 23:xx takes the next day's day pillar, 子 hour and lunar date, while
      // the year and month follow the clock time entered.
      {1984, 2, 4, 23, 10, "癸亥", "乙丑", "己巳", "甲子", "甲子", 1, 1984, 1, 4, kOrdinary},
      {1984, 2, 4, 23, 30, "甲子", "丙寅", "己巳", "甲子", "甲子", 1, 1984, 1, 4, kOrdinary},
      {1984, 2, 5, 0, 10, "甲子", "丙寅", "己巳", "甲子", "甲子", 1, 1984, 1, 4, kOrdinary},
      // January before 小寒 is still the 子 month of the year before.
      {2000, 1, 1, 12, 0, "己卯", "丙子", "戊午", "戊午", "己卯", 7, 1999, 11, 25, kOrdinary},
      {2000, 1, 1, 22, 59, "己卯", "丙子", "戊午", "癸亥", "己卯", 12, 1999, 11, 25, kOrdinary},
      {2000, 1, 1, 23, 0, "己卯", "丙子", "己未", "甲子", "己卯", 1, 1999, 11, 26, kOrdinary},
      // The ends of the range.
      {1901, 1, 1, 0, 0, "庚子", "戊子", "己卯", "甲子", "庚子", 1, 1900, 11, 11, kOrdinary},
      {2099, 12, 31, 12, 0, "己未", "丙子", "壬寅", "丙午", "己未", 7, 2099, 11, 20, kOrdinary},
      {2099, 12, 31, 23, 59, "己未", "丙子", "癸卯", "壬子", "己未", 1, 2099, 11, 21, kOrdinary},
      {2099, 12, 32, 0, 0, "己未", "丙子", "癸卯", "壬子", "己未", 1, 2099, 11, 21, kOrdinary},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Label(c.y, c.m, c.d, c.hour, c.minute));
    const MomentResult r = Calc(c.y, c.m, c.d, c.hour, c.minute);
    EXPECT_EQ(Named(r.MomentPillars.Year), c.yearPillar);
    EXPECT_EQ(Named(r.MomentPillars.Month), c.monthPillar);
    EXPECT_EQ(Named(r.MomentPillars.Day), c.dayPillar);
    EXPECT_EQ(Named(r.MomentPillars.Hour), c.hourPillar);
    EXPECT_EQ(Named(r.MomentPillars.NewYear), c.newYearPillar);
    EXPECT_EQ(r.MomentHourBranch, c.hourBranch);
    EXPECT_EQ(r.MomentPillars.Hour.branch.number(), c.hourBranch);
    EXPECT_EQ(r.MomentLunarYear, c.ly);
    EXPECT_EQ(r.MomentLunarMonth, c.lm);
    EXPECT_EQ(r.MomentLunarDay, c.ld);
    EXPECT_EQ(r.MomentMonthKind, c.kind);
  }
}

TEST(CalcMoment, FullResultAtTheMinuteOfSpringStart2000) {
  const MomentResult r = Calc(2000, 2, 4, 20, 35);
  // 庚辰 戊寅 壬辰 庚戌, the lunar year 己卯.
  const auto P = [](int stem, int branch) { return Pillar{Stem{stem}, Branch{branch}}; };
  EXPECT_EQ(r.MomentPillars, (MomentPillarSet{P(7, 5), P(5, 3), P(9, 5), P(7, 11), P(6, 4)}));
  EXPECT_EQ(r.JieIndex, 2403);
  EXPECT_EQ(r.JieName, "立春");
  EXPECT_EQ(r.JieDays, 0);
  EXPECT_EQ(r.JieHours, 0);
  EXPECT_EQ(r.JieMinutes, 0);
  EXPECT_EQ(r.PastMidTerm, 0);
  EXPECT_EQ(r.LastTermName, "立春");
  EXPECT_EQ(r.LastTermDays, 0);
  EXPECT_EQ(r.LastTermHours, 0);
  EXPECT_EQ(r.LastTermMinutes, 0);
  EXPECT_EQ(r.WeekdayNumber, 6);
  EXPECT_EQ(r.WeekdayText, "金耀日(五)");
  EXPECT_EQ(r.moment, MakeMoment(2000, 2, 4, 20, 35));
  EXPECT_EQ(r.input, (MomentInput{2000, 2, 4, 20, 35}));
}

struct TermCase {
  int y, m, d, hour, minute;
  int jieIndex;
  const char* jieName;
  int days, hours, minutes;
  int pastMid;
  const char* lastName;
};

TEST(CalcMoment, SolarTermData) {
  const TermCase cases[] = {
      {2000, 2, 4, 21, 0, 2403, "立春", 0, 0, 25, 0, "立春"},
      // Days come from the hour count: from 20:35 to 20:10 the next day is
      // 23 h 35 min of minutes, yet a whole day of hour boundaries.
      {2000, 2, 5, 20, 10, 2403, "立春", 1, 23, 35, 0, "立春"},
      {2000, 2, 5, 20, 34, 2403, "立春", 1, 23, 59, 0, "立春"},
      {2000, 2, 5, 20, 35, 2403, "立春", 1, 0, 0, 0, "立春"},
      {2000, 2, 4, 20, 34, 2401, "小寒", -1, -1, -1, 1, "大寒"},
      {2000, 1, 1, 12, 0, 2399, "大雪", -1, -1, -1, 1, "冬至"},
      {1901, 1, 1, 0, 0, 23, "大雪", -1, -1, -1, 1, "冬至"},
      {2099, 12, 31, 23, 59, 4799, "大雪", -1, -1, -1, 1, "冬至"},
      // 23:10 and 23:30 of 1984-02-04 lie either side of 立春 at 23:21.
      {1984, 2, 4, 23, 10, 2017, "小寒", -1, -1, -1, 1, "大寒"},
      {1984, 2, 4, 23, 30, 2019, "立春", 0, 0, 9, 0, "立春"},
      {1984, 2, 5, 0, 21, 2019, "立春", 0, 1, 0, 0, "立春"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Label(c.y, c.m, c.d, c.hour, c.minute));
    const MomentResult r = Calc(c.y, c.m, c.d, c.hour, c.minute);
    EXPECT_EQ(r.JieIndex, c.jieIndex);
    EXPECT_EQ(r.JieName, c.jieName);
    if (c.days >= 0) {
      EXPECT_EQ(r.JieDays, c.days);
      EXPECT_EQ(r.JieHours, c.hours);
      EXPECT_EQ(r.JieMinutes, c.minutes);
    }
    EXPECT_EQ(r.PastMidTerm, c.pastMid);
    EXPECT_EQ(r.LastTermName, c.lastName);
    if (c.pastMid == 0) {
      EXPECT_EQ(r.LastTermDays, r.JieDays);
      EXPECT_EQ(r.LastTermHours, r.JieHours);
      EXPECT_EQ(r.LastTermMinutes, r.JieMinutes);
    }
  }
}

TEST(CalcMoment, ThePrincipalTermCountsFromTheMinuteAfterIt) {
  // 雨水 of 2000, whatever its minute in the table.
  const CivilFields f = Fields(*SolarTermAt(2404));
  const MomentResult at = Calc(f.year, f.month, f.day, f.hour, f.minute);
  EXPECT_EQ(at.JieIndex, 2403);
  EXPECT_EQ(at.PastMidTerm, 0);
  EXPECT_EQ(at.LastTermName, "立春");
  EXPECT_EQ((std::array{at.LastTermDays, at.LastTermHours, at.LastTermMinutes}),
            (std::array{at.JieDays, at.JieHours, at.JieMinutes}));

  const CivilFields g = Fields(*SolarTermAt(2404) + std::chrono::minutes{1});
  const MomentResult after = Calc(g.year, g.month, g.day, g.hour, g.minute);
  EXPECT_EQ(after.PastMidTerm, 1);
  EXPECT_EQ(after.LastTermName, "雨水");
  EXPECT_EQ((std::array{after.LastTermDays, after.LastTermHours, after.LastTermMinutes}),
            (std::array{0, 0, 1}));
  EXPECT_EQ(after.JieIndex, 2403);
}

TEST(CalcMoment, HourTwentyFourAndMinuteCorrectionsAreWrittenBack) {
  const MomentOutcome h24 = CalcMoment({2000, 1, 1, 24, 30});
  ASSERT_TRUE(h24);
  EXPECT_EQ(h24.result->entered, (MomentInput{2000, 1, 1, 24, 30}));
  EXPECT_EQ(h24.result->input, (MomentInput{2000, 1, 1, 0, 30}));
  EXPECT_EQ(h24.result->moment, MakeMoment(2000, 1, 2, 0, 30));
  const MomentResult next = Calc(2000, 1, 2, 0, 30);
  EXPECT_EQ(h24.result->MomentPillars, next.MomentPillars);
  EXPECT_EQ(h24.result->MomentLunarDay, next.MomentLunarDay);
  EXPECT_EQ(h24.result->WeekdayNumber, next.WeekdayNumber);

  const MomentOutcome m60 = CalcMoment({2000, 1, 1, 10, 60});
  ASSERT_TRUE(m60);
  EXPECT_EQ(m60.result->input, (MomentInput{2000, 1, 1, 10, 0}));
  EXPECT_EQ(m60.result->entered.InputMinute, 60);
  EXPECT_EQ(m60.result->moment, MakeMoment(2000, 1, 1, 10, 0));
  EXPECT_EQ(m60.result->MomentHourBranch, 6);

  const MomentOutcome mNeg = CalcMoment({2000, 1, 1, 10, -1});
  ASSERT_TRUE(mNeg);
  EXPECT_EQ(mNeg.result->input, (MomentInput{2000, 1, 1, 10, 59}));
  EXPECT_EQ(mNeg.result->moment, MakeMoment(2000, 1, 1, 10, 59));
  EXPECT_EQ(mNeg.result->MomentHourBranch, 6);
}

// The date row keeps day 0 in 1901 (no carry below 1901): it is the last day
// of the month before, in every result, while the entered fields stay as shown.
TEST(CalcMoment, DayZeroIsTheLastDayOfTheMonthBefore) {
  const std::pair<MomentInput, MomentInput> cases[] = {
      {{1901, 3, 0, 12, 0}, {1901, 2, 28, 12, 0}},
      {{1901, 2, 0, 23, 30}, {1901, 1, 31, 23, 30}},  // 子 hour: the day pillar of 1 February
      {{1901, 12, 0, 24, -1}, {1901, 11, 30, 24, -1}},
  };
  for (const auto& [zero, last] : cases) {
    SCOPED_TRACE(Label(zero.InputYear, zero.InputMonth, zero.InputDay, zero.InputHour, zero.InputMinute));
    const MomentResult a = Calc(zero.InputYear, zero.InputMonth, zero.InputDay, zero.InputHour, zero.InputMinute);
    const MomentResult b = Calc(last.InputYear, last.InputMonth, last.InputDay, last.InputHour, last.InputMinute);
    EXPECT_EQ(a.entered, zero);
    EXPECT_EQ(a.moment, b.moment);
    EXPECT_EQ(a.MomentPillars, b.MomentPillars);
    EXPECT_EQ((std::array{a.MomentLunarYear, a.MomentLunarMonth, a.MomentLunarDay}),
              (std::array{b.MomentLunarYear, b.MomentLunarMonth, b.MomentLunarDay}));
    EXPECT_EQ(a.MomentMonthKind, b.MomentMonthKind);
    EXPECT_EQ(a.JieIndex, b.JieIndex);
    EXPECT_EQ((std::array{a.JieDays, a.JieHours, a.JieMinutes}), (std::array{b.JieDays, b.JieHours, b.JieMinutes}));
    EXPECT_EQ(a.LastTermName, b.LastTermName);
    EXPECT_EQ(a.WeekdayNumber, b.WeekdayNumber);
  }
}

TEST(CalcMoment, HourTwentyThreeKeepsTheEnteredMoment) {
  const MomentResult r = Calc(2000, 1, 1, 23, 15);
  EXPECT_EQ(r.moment, MakeMoment(2000, 1, 1, 23, 15));
  EXPECT_EQ(r.input, (MomentInput{2000, 1, 1, 23, 15}));
  EXPECT_EQ(r.WeekdayNumber, 1);  // Sunday 2 January
}

TEST(CalcMoment, HourBranchOfEveryHour) {
  const int want[] = {1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 1, 1};
  for (int h = 0; h <= 24; ++h) EXPECT_EQ(Calc(2010, 6, 15, h, 0).MomentHourBranch, want[h]) << h;
}

TEST(CalcMoment, RefusesInputsOutsideItsRanges) {
  const std::pair<MomentInput, MomentError> cases[] = {
      {{1900, 12, 31, 12, 0}, MomentError::YearOutOfRange},
      {{2100, 1, 1, 0, 0}, MomentError::YearOutOfRange},
      {{2000, 0, 1, 0, 0}, MomentError::MonthOutOfRange},
      {{2000, 13, 1, 0, 0}, MomentError::MonthOutOfRange},
      {{2000, 1, -1, 0, 0}, MomentError::DayOutOfRange},
      {{2000, 11, 32, 0, 0}, MomentError::DayOutOfRange},
      {{2001, 2, 30, 0, 0}, MomentError::DayOutOfRange},
      {{2000, 1, 1, -1, 0}, MomentError::HourOutOfRange},
      {{2000, 1, 1, 25, 0}, MomentError::HourOutOfRange},
      {{2000, 1, 1, 12, 61}, MomentError::MinuteOutOfRange},
      {{2000, 1, 1, 12, -2}, MomentError::MinuteOutOfRange},
  };
  for (const auto& [in, error] : cases) {
    const MomentOutcome out = CalcMoment(in);
    EXPECT_FALSE(out) << Label(in.InputYear, in.InputMonth, in.InputDay, in.InputHour, in.InputMinute);
    EXPECT_EQ(out.error, error);
    EXPECT_FALSE(MomentErrorText(out.error).empty());
  }
  // The day one past the end is allowed: 31 November, 29 February 2001.
  EXPECT_TRUE(CalcMoment({2000, 11, 31, 0, 0}));
  EXPECT_TRUE(CalcMoment({2000, 1, 0, 0, 0}));
  EXPECT_TRUE(CalcMoment({2001, 2, 29, 0, 0}));
  EXPECT_TRUE(CalcMoment({2099, 12, 32, 24, 60}));
}

// Over every day of the range at noon: the month lies between its sectional
// term and the next, the day, month and year pillars each run on through the
// sixty cycle, the month pillar turning with the sectional terms and the year
// pillar with 立春 only.
TEST(CalcMoment, PillarsRunOnThroughTheWholeRange) {
  // The sectional term that opens each month, 子月 (大雪) first.
  constexpr std::array<std::string_view, 12> kJieOfMonthBranch{
      "大雪", "小寒", "立春", "驚蟄", "清明", "立夏", "芒種", "小暑", "立秋", "白露", "寒露", "立冬"};
  MomentResult prev = Calc(1901, 1, 1, 12, 0);
  for (Date t = MakeDate(1901, 1, 2); t <= MakeDate(2099, 12, 31); t += std::chrono::days{1}) {
    const CivilFields f = Fields(MakeMoment(t, 12, 0));
    const MomentResult r = Calc(f.year, f.month, f.day, 12, 0);
    const auto& p = r.MomentPillars;
    const auto& q = prev.MomentPillars;
    const std::string label = MomentText(r.moment);

    ASSERT_EQ((r.JieIndex - 1) % 2, 0) << label;
    ASSERT_LE(*SolarTermAt(r.JieIndex), r.moment) << label;
    ASSERT_GT(*SolarTermAt(r.JieIndex + 2), r.moment) << label;
    const int k = (r.JieIndex - 1) % 24 + 1;
    ASSERT_EQ(p.Month.branch.number(), (k + 1) / 2 % 12 + 1) << label;
    ASSERT_EQ(r.JieName, kJieOfMonthBranch[p.Month.branch.number() - 1]) << label;

    ASSERT_EQ(Cycle(p.Day), (Cycle(q.Day) + 1) % 60) << label;

    const int monthStep = r.JieIndex == prev.JieIndex ? 0 : 1;
    ASSERT_EQ(Cycle(p.Month), (Cycle(q.Month) + monthStep) % 60) << label;
    const int yearStep = monthStep == 1 && p.Month.branch.number() == 3 ? 1 : 0;
    ASSERT_EQ(Cycle(p.Year), (Cycle(q.Year) + yearStep) % 60) << label;
    const int newYearStep = r.MomentLunarYear != prev.MomentLunarYear ? 1 : 0;
    ASSERT_EQ(Cycle(p.NewYear), (Cycle(q.NewYear) + newYearStep) % 60) << label;
    ASSERT_EQ(r.MomentLunarDay == 1 && r.MomentLunarMonth == 1 && r.MomentMonthKind == kOrdinary,
              newYearStep == 1)
        << label;
    prev = r;
  }
}

TEST(StemRules, FirstMonthAndHourStems) {
  // 甲己之年丙作首 … 戊癸甲寅; 甲己還加甲 … 戊癸壬子.
  const int month[] = {3, 5, 7, 9, 1, 3, 5, 7, 9, 1};
  const int hour[] = {1, 3, 5, 7, -1, 1, 3, 5, 7, -1};
  for (int s = 1; s <= 10; ++s) {
    EXPECT_EQ(FirstMonthStem(s), month[s - 1]) << s;
    EXPECT_EQ(FirstHourStem(s), hour[s - 1]) << s;
  }
}

TEST(ParseUserMoment, StrictForm) {
  EXPECT_EQ(ParseUserMoment("2000-02-04 20:35"), (MomentInput{2000, 2, 4, 20, 35}));
  EXPECT_EQ(ParseUserMoment("1901-01-01 00:00"), (MomentInput{1901, 1, 1, 0, 0}));
  EXPECT_EQ(ParseUserMoment("2000-02-29 23:59"), (MomentInput{2000, 2, 29, 23, 59}));
  for (const char* bad : {"", "2000-02-04", "2000-02-04 20:35:00", "2000/02/04 20:35", "2000-2-04 20:35",
                          "2000-02-04  20:35", " 2000-02-04 20:35", "2000-02-04T20:35", "2000-13-01 00:00",
                          "2000-00-01 00:00", "2001-02-29 00:00", "2000-04-31 00:00", "2000-01-00 00:00",
                          "2000-01-01 24:00", "2000-01-01 12:61", "2000-01-01 12:60", "2000-01-01 -1:00",
                          "20a0-01-01 00:00", "2000-01-01 12:5x"}) {
    EXPECT_FALSE(ParseUserMoment(bad)) << bad;
  }
}

}  // namespace
}  // namespace qelm
