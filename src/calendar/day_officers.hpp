// The almanac of a date: the twelve day officers (建除十二神) and the gods of
// the yellow and black paths (黃道黑道) of the day and of its hours, as
// 《欽定協紀辨方書》 gives them. Both count from the month of the solar terms
// (the 節 month) for a day and from the day's branch for an hour.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/date.hpp"
#include "calendar/moment.hpp"
#include "calendar/sexagenary.hpp"

namespace qelm {

// 1 建 2 除 3 滿 4 平 5 定 6 執 7 破 8 危 9 成 10 收 11 開 12 閉; 0 is none.
class DayOfficer {
 public:
  constexpr DayOfficer() = default;
  constexpr explicit DayOfficer(int n) : n_(detail::SignNumber(n, 12)) {}
  static constexpr std::optional<DayOfficer> Of(int n) {
    return n >= 1 && n <= 12 ? std::optional{DayOfficer{n}} : std::nullopt;
  }
  static std::optional<DayOfficer> Named(std::string_view name);
  constexpr int number() const { return n_; }
  constexpr bool valid() const { return n_ >= 1 && n_ <= 12; }
  constexpr std::string_view name() const { return valid() ? kNames[n_ - 1] : std::string_view{}; }
  constexpr DayOfficer next(int k = 1) const { return DayOfficer{Wrap(n_ + k, 12)}; }
  friend constexpr bool operator==(DayOfficer, DayOfficer) = default;

 private:
  static constexpr std::array<std::string_view, 12> kNames{"建", "除", "滿", "平", "定", "執",
                                                           "破", "危", "成", "收", "開", "閉"};
  int n_ = 0;
};

// 1 青龍 2 明堂 3 天刑 4 朱雀 5 金匱 6 天德 7 白虎 8 玉堂 9 天牢 10 玄武
// 11 司命 12 勾陳; 0 is none. Six walk the yellow path (黃道), six the black.
class PathGod {
 public:
  constexpr PathGod() = default;
  constexpr explicit PathGod(int n) : n_(detail::SignNumber(n, 12)) {}
  constexpr int number() const { return n_; }
  constexpr bool valid() const { return n_ >= 1 && n_ <= 12; }
  constexpr std::string_view name() const { return valid() ? kNames[n_ - 1] : std::string_view{}; }
  // 「道遠幾時通達，路遙何日還鄉」: the gods whose places the characters with
  // 辶 take (道 遠 通 達 遙 還) walk the yellow path: 青龍 明堂 金匱 天德 玉堂 司命.
  constexpr bool yellow() const { return valid() && kYellow[n_ - 1]; }
  constexpr PathGod next(int k = 1) const { return PathGod{Wrap(n_ + k, 12)}; }
  friend constexpr bool operator==(PathGod, PathGod) = default;

 private:
  static constexpr std::array<std::string_view, 12> kNames{"青龍", "明堂", "天刑", "朱雀", "金匱", "天德",
                                                           "白虎", "玉堂", "天牢", "玄武", "司命", "勾陳"};
  static constexpr std::array<bool, 12> kYellow{true,  true, false, false, true,  true,
                                                false, true, false, false, true, false};
  int n_ = 0;
};

// The officer of a day of branch `day` in the month of branch `month`.
DayOfficer OfficerOf(Branch month, Branch day);
// The god of a day of branch `day` in the month of branch `month`, and of the
// hour of branch `hour` on a day of branch `day`: one rule for both.
PathGod DayGodOf(Branch month, Branch day);
PathGod HourGodOf(Branch day, Branch hour);

// The 節 month a date lies in: the month of the last sectional term whose
// date (UTC+8, the tables' clock) is that date or earlier. A term's own date
// belongs wholly to the month it opens. Nothing outside 1901-02-20 … 2099-12-31.
struct SolarMonthOfDate {
  Branch branch;
  bool termDay = false;  // the date a sectional term falls on
  std::string_view termName;  // that term's name ("立春"), on a term's date only
  Moment termMoment{};        // and its moment
};
std::optional<SolarMonthOfDate> SolarMonthOf(Date d);

inline constexpr Date kFirstAlmanacDate = MakeDate(1901, 2, 20);
inline constexpr Date kLastAlmanacDate = MakeDate(2099, 12, 31);

// One date of the almanac.
struct AlmanacDay {
  Date date{};
  Pillar pillar;  // the day pillar of the date
  SolarMonthOfDate month;
  DayOfficer officer;
  PathGod god;
};
// Nothing outside kFirstAlmanacDate … kLastAlmanacDate.
std::optional<AlmanacDay> AlmanacDayOf(Date d);

// One 時 of a date: its branch, its first and last minute, its pillar and god.
struct AlmanacHour {
  Branch branch;
  Moment first{}, last{};
  Pillar pillar;
  PathGod god;
};
// The 時 of a date under a day change. 子初換日: twelve, the 子 hour from 23:00
// the evening before. 子正換日: thirteen, the 子 hour at 00:00 and again at
// 23:00 (夜子時, with the next day's 子 pillar), the god counted from the
// date's own day branch both times. Empty outside the almanac's dates.
std::vector<AlmanacHour> HoursOf(Date d, DayChange dayChange);

// "YYYY-MM-DD", and back (a real date, nothing around it).
std::string IsoDateText(Date d);
std::optional<Date> ParseIsoDate(std::string_view text);

}  // namespace qelm
