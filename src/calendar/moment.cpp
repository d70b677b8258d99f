#include "calendar/moment.hpp"

#include "calendar/lunar.hpp"
#include "calendar/tables.hpp"

namespace qelm {

namespace {

// Each solar month opens with a sectional term (節) and holds a principal
// term (中氣): 大雪 opens the 子 month and holds 冬至, 小寒 opens 丑 …
struct MonthTerms {
  std::string_view jie, principal;
};
constexpr std::array<MonthTerms, 12> kMonthTerms{{
    {"大雪", "冬至"}, {"小寒", "大寒"}, {"立春", "雨水"}, {"驚蟄", "春分"},
    {"清明", "穀雨"}, {"立夏", "小滿"}, {"芒種", "夏至"}, {"小暑", "大暑"},
    {"立秋", "處暑"}, {"白露", "秋分"}, {"寒露", "霜降"}, {"立冬", "小雪"},
}};

// 1900-02-20 is a 甲子 day.
constexpr Date kJiaZiDay = MakeDate(1900, 2, 20);

constexpr int StemOfCycle(int p) { return p % 10 == 0 ? 10 : p % 10; }
constexpr int BranchOfCycle(int p) { return p % 12 == 0 ? 12 : p % 12; }
// Place of a year in the sixty-year cycle; 1984 甲子 is 1.
constexpr int YearCycle(int year) { return ((year - 3) % 60 + 60) % 60; }

struct Elapsed {
  int days, hours, minutes;
};

// Whole days come from the count of hour boundaries, hours and minutes from
// the minute count, so a term at 10:50 and a moment at 10:10 on the next day
// give 1 day 23 hours 20 minutes.
Elapsed ElapsedSince(Moment term, Moment t) {
  const std::int64_t minutes = MinutesBetween(term, t);
  return {static_cast<int>(HourCount(term, t) / 24), static_cast<int>((minutes % 1440) / 60),
          static_cast<int>(minutes % 60)};
}

int LastDayOfMonth(int y, int m) {
  using namespace std::chrono;
  return static_cast<int>(static_cast<unsigned>((year{y} / month{static_cast<unsigned>(m)} / last).day()));
}

// The pillar step: effective date and moment, the year pillars, the month and
// its terms, the day and the hour. Reads the entered fields and the hour
// branch; writes the corrected hour and minute back into r.input. Fails only
// when a term lies outside the tables.
bool CalcPillars(const MomentInput& in, MomentResult& r) {
  const int Y = in.InputYear, M = in.InputMonth, D = in.InputDay, H = in.InputHour;
  int N = in.InputMinute;

  // 1. Hours 23 and 24 belong to the next day. Hour 24 is written back as 0;
  //    minute 60 as 0 and a negative minute as 59, neither carrying into the hour.
  const int De = H > 22 && !r.lateZi ? D + 1 : D;
  if (H == 24) r.input.InputHour = 0;
  if (N == 60) N = 0;
  if (N < 0) N = 59;
  r.input.InputMinute = N;
  const Date E = MakeDate(Y, M, De);
  // The moment compared with the terms is the clock time entered: hour 24 is
  // 0:N of the next day, hour 23 stays on the entered date.
  const Moment T = MakeMoment(Y, M, D, H, N);
  r.moment = T;

  // 2. The year counted from the lunar New Year.
  const auto row = LunarYearRowOf(Y);
  if (!row) return false;
  const int L = DaysBetween(E, row->newYear) > 0 ? Y - 1 : Y;
  r.MomentPillars[kNewYearStem] = StemOfCycle(YearCycle(L));
  r.MomentPillars[kNewYearBranch] = BranchOfCycle(YearCycle(L));

  // 3. The year pillar turns at the very minute of 立春.
  const auto springStart = SolarTermAt(SectionalTermIndex(Y, 2));  // 立春 opens February
  if (!springStart) return false;
  const int S = T < *springStart ? Y - 1 : Y;
  const int yearStem = StemOfCycle(YearCycle(S));
  const int yearBranch = BranchOfCycle(YearCycle(S));

  // 4. The month opened by the last sectional term at or before T.
  int m = M;
  int J = SectionalTermIndex(Y, m);
  auto TJ = SolarTermAt(J);
  if (!TJ) return false;
  if (T < *TJ) {
    m = m == 1 ? 12 : m - 1;
    J = M == 1 ? SectionalTermIndex(Y - 1, 12) : SectionalTermIndex(Y, m);
    TJ = SolarTermAt(J);
    if (!TJ) return false;
  }
  r.JieIndex = J;

  // 5. 小寒 opens the 丑 month, 立春 寅 … 大雪 子.
  const int monthBranch = m == 12 ? 1 : m + 1;
  r.JieName = kMonthTerms[monthBranch - 1].jie;

  // 6. 甲己之年丙作首: the 寅 month's stem follows from the year stem.
  const int q = m - 2 < 0 ? m - 2 + 12 : m - 2;
  int monthStem = FirstMonthStem(yearStem) + q;
  if (monthStem > 10) monthStem -= 10;

  // 7. Time since the sectional term.
  const Elapsed sinceJie = ElapsedSince(*TJ, T);
  r.JieDays = sinceJie.days;
  r.JieHours = sinceJie.hours;
  r.JieMinutes = sinceJie.minutes;

  // 8. The last term passed; the very minute of the principal term still
  //    counts from the sectional term.
  const auto TP = SolarTermAt(J + 1);
  if (!TP) return false;
  const bool pastMid = T > *TP;
  r.PastMidTerm = pastMid ? 1 : 0;
  r.LastTermName = pastMid ? kMonthTerms[monthBranch - 1].principal : r.JieName;
  const Elapsed sinceLast = pastMid ? ElapsedSince(*TP, T) : sinceJie;
  r.LastTermDays = sinceLast.days;
  r.LastTermHours = sinceLast.hours;
  r.LastTermMinutes = sinceLast.minutes;

  // 9. Days run on in the sixty-day cycle from 甲子 1900-02-20.
  const int dayCycle = DaysBetween(kJiaZiDay, E) % 60 + 1;
  const int dayStem = StemOfCycle(dayCycle);
  const int dayBranch = BranchOfCycle(dayCycle);

  // 10. 甲己還加甲: the 子 hour's stem follows from the day stem; a 夜子時
  //     takes the next day's.
  const int hourDayStem = r.lateZi ? StemOfCycle(dayCycle + 1) : dayStem;
  int hourStem = r.MomentHourBranch + FirstHourStem(hourDayStem) - 1;
  if (hourStem > 10) hourStem -= 10;
  if (hourStem < 1) hourStem += 10;

  // 11.
  r.MomentPillars[kYearStem] = yearStem;
  r.MomentPillars[kMonthStem] = monthStem;
  r.MomentPillars[kDayStem] = dayStem;
  r.MomentPillars[kHourStem] = hourStem;
  r.MomentPillars[kYearBranch] = yearBranch;
  r.MomentPillars[kMonthBranch] = monthBranch;
  r.MomentPillars[kDayBranch] = dayBranch;
  r.MomentPillars[kHourBranch] = r.MomentHourBranch;
  return true;
}


}  // namespace

std::string_view MomentErrorText(MomentError e) {
  switch (e) {
    case MomentError::YearOutOfRange: return "年份須在 1901 至 2099 之間";
    case MomentError::MonthOutOfRange: return "月份須在 1 至 12 之間";
    case MomentError::DayOutOfRange: return "日期超出該月的日數";
    case MomentError::HourOutOfRange: return "時須在 0 至 24 之間";
    case MomentError::MinuteOutOfRange: return "分須在 -1 至 60 之間";
  }
  return "時刻無效";
}

std::optional<DayChange> DayChangeOfHour(int hour) {
  if (hour == 23) return DayChange::AtZiStart;
  if (hour == 0) return DayChange::AtMidnight;
  return std::nullopt;
}

std::string_view DayChangeName(DayChange d) { return d == DayChange::AtMidnight ? "子正換日" : "子初換日"; }

MomentOutcome CalcMoment(const MomentInput& in, DayChange dayChange) {
  const auto refuse = [](MomentError e) { return MomentOutcome{std::nullopt, e}; };
  if (in.InputYear < 1901 || in.InputYear > 2099) return refuse(MomentError::YearOutOfRange);
  if (in.InputMonth < 1 || in.InputMonth > 12) return refuse(MomentError::MonthOutOfRange);
  // Day 0 (the last day of the month before) and the day one past the end are
  // how the date row asks for a carry; where it keeps them they roll over.
  if (in.InputDay < 0 || in.InputDay > LastDayOfMonth(in.InputYear, in.InputMonth) + 1)
    return refuse(MomentError::DayOutOfRange);
  if (in.InputHour < 0 || in.InputHour > 24) return refuse(MomentError::HourOutOfRange);
  if (in.InputMinute < -1 || in.InputMinute > 60) return refuse(MomentError::MinuteOutOfRange);

  MomentResult r;
  r.entered = in;
  r.input = in;
  r.dayChange = dayChange;
  r.lateZi = dayChange == DayChange::AtMidnight && in.InputHour == 23;

  // 子 hour runs from 23:00 and opens the next day (but for a 夜子時).
  int h = in.InputHour;
  int d = in.InputDay;
  if (h > 22) {
    if (!r.lateZi) d += 1;
    h = 0;
  }
  r.MomentHourBranch = (h + 1) / 2 + 1;

  const auto lunar = SolarToLunar(in.InputYear, in.InputMonth, d);
  if (!lunar || !CalcPillars(in, r)) return refuse(MomentError::YearOutOfRange);
  r.MomentLunarYear = lunar->year;
  r.MomentLunarMonth = lunar->month;
  r.MomentLunarDay = lunar->day;
  r.MomentLeapFlag = lunar->leapFlag;
  r.WeekdayNumber = lunar->weekdayNumber;
  r.WeekdayText = lunar->weekdayText;
  return MomentOutcome{std::move(r), {}};
}

std::string_view JieNameOfMonthBranch(int branch) {
  return branch >= 1 && branch <= 12 ? kMonthTerms[branch - 1].jie : std::string_view{};
}

std::string_view PrincipalTermNameOfMonthBranch(int branch) {
  return branch >= 1 && branch <= 12 ? kMonthTerms[branch - 1].principal : std::string_view{};
}

std::optional<MomentInput> ParseUserMoment(std::string_view text) {
  const auto f = ParseClockText(text, '-');
  if (!f) return std::nullopt;
  return MomentInput{f->year, f->month, f->day, f->hour, f->minute};
}

}  // namespace qelm
