#include "calendar/lunar.hpp"

#include "calendar/date.hpp"
#include "calendar/tables.hpp"

namespace qelm {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames{
    "正", "二", "三", "四", "五", "六", "七", "八", "九", "十", "十一", "十二"};

constexpr std::array<std::string_view, 30> kDayNames{
    "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
    "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十",
    "廿一", "廿二", "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十"};

// 日耀日 for Sunday, then the moon, fire, water, wood, metal and earth days.
constexpr std::array<std::string_view, 7> kWeekdayNames{
    "日耀日(日)", "月耀日(一)", "火耀日(二)", "水耀日(三)", "木耀日(四)", "金耀日(五)", "土耀日(六)"};

}  // namespace

std::optional<LunarDate> SolarToLunar(int year, int month, int day) {
  if (!InCalendarYears(year)) return std::nullopt;
  const Date target = MakeDate(year, month, day);

  // The lunar year is the one whose New Year is the last on or before the
  // target: that of the target's own Gregorian year or of the year before.
  int ly = static_cast<int>(std::chrono::year_month_day{target}.year());
  auto row = LunarYearRowOf(ly);
  if (row && DaysBetween(row->newYear, target) < 0) row = LunarYearRowOf(--ly);
  if (!row) return std::nullopt;

  // Walk whole months from the New Year; a leap month follows the ordinary
  // month of the same number and carries its number.
  int rest = DaysBetween(row->newYear, target);
  int lm = 1;
  bool inLeap = false;
  for (;;) {
    const int length = inLeap ? row->monthLength[0] : row->monthLength[lm];
    if (rest < length) break;
    rest -= length;
    if (!inLeap && row->leapMonth == lm) {
      inLeap = true;
    } else {
      inLeap = false;
      if (++lm > 12) return std::nullopt;  // a row whose months do not reach the next New Year
    }
  }

  LunarDate out;
  out.year = ly;
  out.month = lm;
  out.day = rest + 1;
  out.monthKind = inLeap ? LunarMonthKind::Leap : LunarMonthKind::Ordinary;
  out.weekdayNumber = WeekdayNumber(target);
  out.weekdayText = *WeekdayName(out.weekdayNumber);
  return out;
}

LunarNamesResult LunarNames(int month, int day, LunarMonthKind kind, LunarNamesResult previous) {
  LunarNamesResult out = previous;
  out.LeapMark = kind == LunarMonthKind::Leap ? "閏" : "";
  if (month >= 1 && month <= 12) out.LunarMonthName = kMonthNames[month - 1];
  if (day >= 1 && day <= 30) out.LunarDayName = kDayNames[day - 1];
  return out;
}

std::optional<std::string_view> WeekdayName(int weekdayNumber) {
  if (weekdayNumber < 1 || weekdayNumber > 7) return std::nullopt;
  return kWeekdayNames[weekdayNumber - 1];
}

}  // namespace qelm
