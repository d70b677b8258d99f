// The calendar engine: the lunar date, the four pillars and the solar-term
// data of one moment.
#pragma once

#include <optional>
#include <string_view>

#include "calendar/date.hpp"
#include "calendar/lunar.hpp"
#include "calendar/sexagenary.hpp"

namespace qelm {

// The moment as entered: hour 0..23 (24 means 0 of the next day), minute 0..59
// (60 is read as 0 and a negative minute as 59, without a carry).
struct MomentInput {
  int InputYear = 0, InputMonth = 0, InputDay = 0, InputHour = 0, InputMinute = 0;
  friend constexpr bool operator==(const MomentInput&, const MomentInput&) = default;
};

// Where one day ends and the next begins. 子初換日: at 23:00, so that the 子
// hour opens the next day. 子正換日: at midnight, so that an hour of 23 (夜子時)
// keeps the day pillar, the lunar date and the New-Year pillar of its own
// date, with the 子 hour pillar of the next day.
enum class DayChange { AtZiStart, AtMidnight };
// The clock hour the day begins at: 23 or 0; and back.
constexpr int DayChangeHour(DayChange d) { return d == DayChange::AtMidnight ? 0 : 23; }
std::optional<DayChange> DayChangeOfHour(int hour);
std::string_view DayChangeName(DayChange d);  // "子初換日", "子正換日"

// The minute as the engine reads it: 60 is 0 and a negative minute 59,
// neither carrying into the hour.
constexpr int FoldMinute(int minute) { return minute == 60 ? 0 : minute < 0 ? 59 : minute; }
// 子時 opens the next day: at 23:00 (and an hour of 24 is 0 of the next day);
// under 子正換日 an hour of 23 (夜子時) keeps its own date.
constexpr bool LateZi(int hour, DayChange d) { return d == DayChange::AtMidnight && hour == 23; }
constexpr bool OpensNextDay(int hour, DayChange d) { return hour > 22 && !LateZi(hour, d); }

// The pillars of a moment: year, month, day and hour, the year and month
// turning at the solar terms, and the year counted from the lunar New Year.
struct MomentPillarSet {
  Pillar Year, Month, Day, Hour, NewYear;
  friend constexpr bool operator==(const MomentPillarSet&, const MomentPillarSet&) = default;
};

// How a birth moment was read: the clock as entered, as UTC+8; converted to
// UTC+8 standard time for a birthplace; or, in addition, with the lunar
// date, the day and hour pillars and the weekday taken at the apparent solar
// time (place/correction.hpp).
enum class TimeMode { Clock, Standard, Solar };

struct MomentResult {
  MomentInput entered;  // as given
  MomentInput input;    // as written back: hour 24 -> 0, minute 60 -> 0, -1 -> 59
  int MomentLunarYear = 0, MomentLunarMonth = 0, MomentLunarDay = 0;
  LunarMonthKind MomentMonthKind = LunarMonthKind::Ordinary;
  int MomentHourBranch = 0;
  MomentPillarSet MomentPillars;
  int JieIndex = 0;
  std::string_view JieName;
  int JieDays = 0, JieHours = 0, JieMinutes = 0;
  int PastMidTerm = 0;
  std::string_view LastTermName;
  int LastTermDays = 0, LastTermHours = 0, LastTermMinutes = 0;
  int WeekdayNumber = 0;
  std::string_view WeekdayText;
  Moment moment{};  // the point compared with the solar terms
  DayChange dayChange = DayChange::AtZiStart;  // the convention it was computed under
  bool lateZi = false;  // an hour of 23 kept on its own date (子正換日)
  TimeMode reading = TimeMode::Clock;
};

enum class MomentError { YearOutOfRange, MonthOutOfRange, DayOutOfRange, HourOutOfRange, MinuteOutOfRange };
std::string_view MomentErrorText(MomentError e);

// Computes everything for one moment. Years kFirstYear..kLastYear, months
// 1..12, a day of the month, 0 (the last day of the month before) or one past
// its end, hours 0..24, minutes -1..60; anything else is refused (the windows
// never pass it).
struct MomentOutcome {
  std::optional<MomentResult> result;
  MomentError error{};
  explicit operator bool() const { return result.has_value(); }
};
MomentOutcome CalcMoment(const MomentInput& in, DayChange dayChange = DayChange::AtZiStart);
// The first field of `in` outside those ranges, if any.
std::optional<MomentError> CheckMomentInput(const MomentInput& in);
// The clock time the fields name (hour 24 is 0 of the next day, the minute
// folded), as the engine compares it with the solar terms.
constexpr Moment MomentOf(const MomentInput& in) {
  return MakeMoment(in.InputYear, in.InputMonth, in.InputDay, in.InputHour, FoldMinute(in.InputMinute));
}

// The stem of the 寅 month in a year of stem s (never 0).
constexpr int FirstMonthStem(int yearStem) { return ((yearStem % 5) * 2 + 1) % 10; }
// The base from which hour stems are counted (-1 for 戊 and 癸 days).
constexpr int FirstHourStem(int dayStem) { return (dayStem % 5) * 2 - 1; }

// Parses "YYYY-MM-DD HH:MM" (the user's form of a moment).
std::optional<MomentInput> ParseUserMoment(std::string_view text);
// The sectional term that opens the month of a branch 1..12 (大雪 for 子).
std::string_view JieNameOfMonthBranch(int branch);

}  // namespace qelm
