// 八字反查: from the four pillars back to the moments that have them.
//
// The year pillar turns at 立春, the month pillar at each sectional term (節),
// the day pillar at 23:00 (子初換日) or midnight (子正換日), and the hour
// pillars run on through the sixty-cycle two hours each, whatever the day
// convention. A moment has the four pillars asked for exactly when it lies
// in the solar month, the day and the double hour they name, so the moments
// fall into stretches: one for each solar year of the year pillar (one year
// in sixty) whose month holds a day of the day pillar (one in sixty).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/moment.hpp"
#include "calendar/sexagenary.hpp"

namespace qelm {

// The four pillars of a birth; the hour may be left open.
struct EightCharacters {
  Pillar year, month, day;
  std::optional<Pillar> hour;
  friend constexpr bool operator==(const EightCharacters&, const EightCharacters&) = default;
};

// "甲子" as a pillar of any stem and branch (checked by CheckPillars); nothing
// for any other text.
std::optional<Pillar> ParsePillar(std::string_view text);

// The place of a valid pillar in the sixty-cycle, 0 for 甲子 … 59 for 癸亥.
constexpr int CycleIndex(Pillar p) {
  return ((6 * (p.stem.number() - 1) - 5 * (p.branch.number() - 1)) % 60 + 60) % 60;
}
constexpr Pillar PillarOfCycle(int index) { return {Stem{index % 10 + 1}, Branch{index % 12 + 1}}; }

// 五虎遁: the stem of a month branch in a year of the given stem.
constexpr Stem MonthStemOf(Stem yearStem, Branch monthBranch) {
  return Stem{Wrap(FirstMonthStem(yearStem.number()) + (monthBranch.number() + 9) % 12, 10)};
}
// 五鼠遁: the stem of an hour branch on a day of the given stem.
constexpr Stem HourStemOf(Stem dayStem, Branch hourBranch) {
  return Stem{Wrap(hourBranch.number() + FirstHourStem(dayStem.number()) - 1, 10)};
}

// The twelve month pillars of a year of the given stem, 寅 first.
std::array<Pillar, 12> MonthPillarsOf(Stem yearStem);
// The hour pillars of a day of the given stem, 子 to 亥; under 子正換日 the
// 夜子時 (23:00 to midnight, with the next day's 子 stem) follows 亥.
std::vector<Pillar> HourPillarsOf(Stem dayStem, DayChange dayChange);

// Why four pillars can never stand together.
enum class PillarRule {
  NotAPillar,  // a stem or a branch missing
  Polarity,    // stem and branch of different polarity
  FiveTigers,  // 五虎遁: the month stem does not follow from the year stem
  FiveRats,    // 五鼠遁: the hour stem does not follow from the day stem
};
struct PillarProblem {
  PillarRule rule{};
  int place = 0;  // 0 year, 1 month, 2 day, 3 hour
  std::string text;  // the rule and what it asks, in words
};
std::optional<PillarProblem> CheckPillars(const EightCharacters& p, DayChange dayChange);

// A stretch of moments with the pillars: its first and last minute, on the
// clock of the solar-term tables (UTC+8).
struct BirthStretch {
  Moment first{}, last{};
  friend constexpr bool operator==(const BirthStretch&, const BirthStretch&) = default;
};

// A stretch the user took, with the pillars it was found for.
struct ChosenStretch {
  BirthStretch stretch;
  EightCharacters pillars;
};

inline constexpr int kFirstSearchYear = kFirstYear;
inline constexpr int kLastSearchYear = kLastYear;

struct FindBirthOutcome {
  std::vector<BirthStretch> stretches;  // in time order
  std::optional<PillarProblem> problem;  // the pillars cannot stand together
};

// Every stretch of moments whose chart has the pillars, under the day
// convention, that has a moment from 1 January of `fromYear` to 31 December
// of `toYear` (kept within kFirstYear … kLastYear). Each stretch is cut where the month
// (a sectional term), the year (立春), the day or the double hour changes,
// and is given whole, beyond those years if it reaches past them (only the
// calendar's own ends, 1901 and 2099, cut one).
FindBirthOutcome FindBirth(const EightCharacters& p, DayChange dayChange, int fromYear = kFirstSearchYear,
                           int toYear = kLastSearchYear);

}  // namespace qelm
