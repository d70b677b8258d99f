#include "calendar/moment.hpp"

#include "calendar/lunar.hpp"
#include "calendar/tables.hpp"

#include <string>

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
// The pillar at place p (1 甲子 … 60 癸亥, 0 also 癸亥) of the sixty-cycle.
constexpr Pillar CyclePillar(int p) { return {Stem{StemOfCycle(p)}, Branch{BranchOfCycle(p)}}; }
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

// The pillar step: effective date and moment, the year pillars, the month and
// its terms, the day and the hour. Reads the entered fields and the hour
// branch; writes the corrected hour and minute back into r.input. Fails only
// when a term lies outside the tables.
bool CalcPillars(const MomentInput& in, MomentResult& r) {
  const int year = in.InputYear, month = in.InputMonth, day = in.InputDay, hour = in.InputHour;

  // 1. Hours 23 and 24 belong to the next day. Hour 24 is written back as 0;
  //    minute 60 as 0 and a negative minute as 59, neither carrying into the hour.
  const int pillarDay = OpensNextDay(hour, r.dayChange) ? day + 1 : day;
  if (hour == 24) r.input.InputHour = 0;
  r.input.InputMinute = FoldMinute(in.InputMinute);
  const Date pillarDate = MakeDate(year, month, pillarDay);
  // The moment compared with the terms is the clock time entered: hour 24 is
  // 0:minute of the next day, hour 23 stays on the entered date.
  const Moment clock = MomentOf(in);
  r.moment = clock;

  // 2. The year counted from the lunar New Year.
  const auto row = LunarYearRowOf(year);
  if (!row) return false;
  const int lunarYear = DaysBetween(pillarDate, row->newYear) > 0 ? year - 1 : year;
  r.MomentPillars.NewYear = CyclePillar(YearCycle(lunarYear));

  // 3. The year pillar turns at the very minute of 立春.
  const auto springStart = SolarTermAt(SectionalTermIndex(year, 2));  // 立春 opens February
  if (!springStart) return false;
  const int solarYear = clock < *springStart ? year - 1 : year;
  const Pillar yearPillar = CyclePillar(YearCycle(solarYear));
  const int yearStem = yearPillar.stem.number();

  // 4. The month opened by the last sectional term at or before the clock time.
  int solarMonth = month;
  int jieIndex = SectionalTermIndex(year, solarMonth);
  auto jieMoment = SolarTermAt(jieIndex);
  if (!jieMoment) return false;
  if (clock < *jieMoment) {
    solarMonth = solarMonth == 1 ? 12 : solarMonth - 1;
    jieIndex = month == 1 ? SectionalTermIndex(year - 1, 12) : SectionalTermIndex(year, solarMonth);
    jieMoment = SolarTermAt(jieIndex);
    if (!jieMoment) return false;
  }
  r.JieIndex = jieIndex;

  // 5. 小寒 opens the 丑 month, 立春 寅 … 大雪 子.
  const int monthBranch = solarMonth == 12 ? 1 : solarMonth + 1;
  r.JieName = kMonthTerms[monthBranch - 1].jie;

  // 6. 甲己之年丙作首: the 寅 month's stem follows from the year stem.
  const int monthsSinceYin = solarMonth - 2 < 0 ? solarMonth - 2 + 12 : solarMonth - 2;
  int monthStem = FirstMonthStem(yearStem) + monthsSinceYin;
  if (monthStem > 10) monthStem -= 10;

  // 7. Time since the sectional term.
  const Elapsed sinceJie = ElapsedSince(*jieMoment, clock);
  r.JieDays = sinceJie.days;
  r.JieHours = sinceJie.hours;
  r.JieMinutes = sinceJie.minutes;

  // 8. The last term passed; the very minute of the principal term still
  //    counts from the sectional term.
  const auto principalMoment = SolarTermAt(jieIndex + 1);
  if (!principalMoment) return false;
  const bool pastMid = clock > *principalMoment;
  r.PastMidTerm = pastMid ? 1 : 0;
  r.LastTermName = pastMid ? kMonthTerms[monthBranch - 1].principal : r.JieName;
  const Elapsed sinceLast = pastMid ? ElapsedSince(*principalMoment, clock) : sinceJie;
  r.LastTermDays = sinceLast.days;
  r.LastTermHours = sinceLast.hours;
  r.LastTermMinutes = sinceLast.minutes;

  // 9. Days run on in the sixty-day cycle from 甲子 1900-02-20.
  const Pillar dayPillar = CyclePillar(DaysBetween(kJiaZiDay, pillarDate) % 60 + 1);
  const int dayStem = dayPillar.stem.number();

  // 10. 甲己還加甲: the 子 hour's stem follows from the day stem; a 夜子時
  //     takes the next day's.
  const int hourDayStem = r.lateZi ? dayPillar.stem.next().number() : dayStem;
  int hourStem = r.MomentHourBranch + FirstHourStem(hourDayStem) - 1;
  if (hourStem > 10) hourStem -= 10;
  if (hourStem < 1) hourStem += 10;

  // 11.
  r.MomentPillars.Year = yearPillar;
  r.MomentPillars.Month = {Stem{monthStem}, Branch{monthBranch}};
  r.MomentPillars.Day = dayPillar;
  r.MomentPillars.Hour = {Stem{hourStem}, Branch{r.MomentHourBranch}};
  return true;
}

}  // namespace

std::string_view MomentErrorText(MomentError e) {
  switch (e) {
    case MomentError::YearOutOfRange: {
      static const std::string text =
          "年份須在 " + std::to_string(kFirstYear) + " 至 " + std::to_string(kLastYear) + " 之間";
      return text;
    }
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

std::optional<MomentError> CheckMomentInput(const MomentInput& in) {
  if (!InCalendarYears(in.InputYear)) return MomentError::YearOutOfRange;
  if (in.InputMonth < 1 || in.InputMonth > 12) return MomentError::MonthOutOfRange;
  // Day 0 (the last day of the month before) and the day one past the end are
  // how the date row asks for a carry; where it keeps them they roll over.
  if (in.InputDay < 0 || in.InputDay > DaysInMonth(in.InputYear, in.InputMonth) + 1)
    return MomentError::DayOutOfRange;
  if (in.InputHour < 0 || in.InputHour > 24) return MomentError::HourOutOfRange;
  if (in.InputMinute < -1 || in.InputMinute > 60) return MomentError::MinuteOutOfRange;
  return std::nullopt;
}

MomentOutcome CalcMoment(const MomentInput& in, DayChange dayChange) {
  const auto refuse = [](MomentError e) { return MomentOutcome{std::nullopt, e}; };
  if (const std::optional<MomentError> e = CheckMomentInput(in)) return refuse(*e);

  MomentResult r;
  r.entered = in;
  r.input = in;
  r.dayChange = dayChange;
  r.lateZi = LateZi(in.InputHour, dayChange);

  // 子 hour runs from 23:00 and opens the next day (but for a 夜子時).
  const int hour = in.InputHour > 22 ? 0 : in.InputHour;
  const int day = OpensNextDay(in.InputHour, dayChange) ? in.InputDay + 1 : in.InputDay;
  r.MomentHourBranch = (hour + 1) / 2 + 1;

  const auto lunar = SolarToLunar(in.InputYear, in.InputMonth, day);
  if (!lunar || !CalcPillars(in, r)) return refuse(MomentError::YearOutOfRange);
  r.MomentLunarYear = lunar->year;
  r.MomentLunarMonth = lunar->month;
  r.MomentLunarDay = lunar->day;
  r.MomentMonthKind = lunar->monthKind;
  r.WeekdayNumber = lunar->weekdayNumber;
  r.WeekdayText = lunar->weekdayText;
  return MomentOutcome{std::move(r), {}};
}

std::string_view JieNameOfMonthBranch(int branch) {
  return branch >= 1 && branch <= 12 ? kMonthTerms[branch - 1].jie : std::string_view{};
}

std::optional<MomentInput> ParseUserMoment(std::string_view text) {
  const auto f = ParseClockText(text, '-');
  if (!f) return std::nullopt;
  return MomentInput{f->year, f->month, f->day, f->hour, f->minute};
}

}  // namespace qelm
