#include "chart/find_birth.hpp"

#include <algorithm>

#include "calendar/tables.hpp"
#include "chart/text.hpp"

namespace qelm {

namespace {

using std::chrono::days;
using std::chrono::minutes;

// 1900-02-20 is a 甲子 day; its 甲子 hour began at 23:00 the evening before.
constexpr Date kJiaZiDay = MakeDate(1900, 2, 20);
constexpr Moment kJiaZiHour = MakeMoment(1900, 2, 19, 23, 0);
constexpr minutes kDoubleHour{120};
constexpr int kCycle = 60;

constexpr int Mod(long long n, int m) { return static_cast<int>((n % m + m) % m); }

constexpr std::array<std::string_view, 4> kPlaceNames{"年柱", "月柱", "日柱", "時柱"};

// Where the day of a moment is read: moved on by the time from the hour the
// day begins at (DayChangeHour) to midnight, so that under 子初換日 23:00
// already counts as the next day.
constexpr minutes DayShift(DayChange d) { return std::chrono::hours{(24 - DayChangeHour(d)) % 24}; }

struct Span {
  Moment begin, end;  // end excluded
  bool empty() const { return begin >= end; }
};
Span Intersect(Span a, Span b) { return {std::max(a.begin, b.begin), std::min(a.end, b.end)}; }

// The solar month with the month branch in the solar year S (立春 of S to
// 立春 of S + 1): from its sectional term to the next.
std::optional<Span> SolarMonth(int S, Branch monthBranch) {
  const int b = monthBranch.number();
  const int m = b == 1 ? 12 : b - 1;  // the Gregorian month its term falls in
  const int first = SectionalTermIndex(b == 2 ? S + 1 : S, m);
  const auto begin = SolarTermAt(first), end = SolarTermAt(first + 2);
  if (!begin || !end) return std::nullopt;
  return Span{*begin, *end};
}

// The part of a day (at most 24 hours, after 1900-02-19) that lies in a
// double hour of the cycle place: it meets at most one of them.
Span HourWithin(Span day, int hourIndex) {
  const long long n0 = (day.begin - kJiaZiHour) / kDoubleHour;
  const long long n = n0 + Mod(hourIndex - n0, kCycle);
  const Moment begin = kJiaZiHour + n * kDoubleHour;
  return Intersect(day, {begin, begin + kDoubleHour});
}

}  // namespace

std::optional<Pillar> ParsePillar(std::string_view text) {
  for (int s = 1; s <= 10; ++s) {
    const std::string_view stem = Stem{s}.name();
    if (!text.starts_with(stem)) continue;
    for (int b = 1; b <= 12; ++b)
      if (text.substr(stem.size()) == Branch{b}.name()) return Pillar{Stem{s}, Branch{b}};
  }
  return std::nullopt;
}

std::array<Pillar, 12> MonthPillarsOf(Stem yearStem) {
  std::array<Pillar, 12> out;
  for (int k = 0; k < 12; ++k) {
    const Branch b = Branch{3}.next(k);
    out[k] = {MonthStemOf(yearStem, b), b};
  }
  return out;
}

std::vector<Pillar> HourPillarsOf(Stem dayStem, DayChange dayChange) {
  std::vector<Pillar> out;
  for (int b = 1; b <= 12; ++b) out.push_back({HourStemOf(dayStem, Branch{b}), Branch{b}});
  if (dayChange == DayChange::AtMidnight) out.push_back({HourStemOf(dayStem.next(), Branch{1}), Branch{1}});
  return out;
}

std::optional<PillarProblem> CheckPillars(const EightCharacters& p, DayChange dayChange) {
  const std::array<std::optional<Pillar>, 4> all{p.year, p.month, p.day, p.hour};
  for (int i = 0; i < 4; ++i) {
    if (!all[i]) continue;
    const Pillar x = *all[i];
    if (!x.valid())
      return PillarProblem{PillarRule::NotAPillar, i, Compose(kPlaceNames[i], "須由一個天干和一個地支組成")};
    if (x.stem.yang() != x.branch.yang()) {
      return PillarProblem{PillarRule::Polarity, i,
                           Compose(kPlaceNames[i], "「", x.name(), "」不成立：天干", x.stem.name(),
                                   x.stem.yang() ? "為陽" : "為陰", "而地支", x.branch.name(),
                                   x.branch.yang() ? "為陽" : "為陰", "，干支陰陽須相同")};
    }
  }
  const Stem monthStem = MonthStemOf(p.year.stem, p.month.branch);
  if (p.month.stem != monthStem) {
    return PillarProblem{PillarRule::FiveTigers, 1,
                         Compose("月柱「", p.month.name(), "」不合五虎遁：", p.year.stem.name(), "年的",
                                 p.month.branch.name(), "月為", monthStem.name(), p.month.branch.name())};
  }
  if (p.hour) {
    const Branch b = p.hour->branch;
    const Stem early = HourStemOf(p.day.stem, b);
    // Under 子正換日 a day also holds the 夜子時, with the next day's 子 stem.
    const bool lateZi = dayChange == DayChange::AtMidnight && b.number() == 1;
    const Stem late = HourStemOf(p.day.stem.next(), b);
    if (p.hour->stem != early && !(lateZi && p.hour->stem == late)) {
      std::string text = Compose("時柱「", p.hour->name(), "」不合五鼠遁：", p.day.stem.name(), "日的",
                                 b.name(), "時為", early.name(), b.name());
      if (lateZi) AppendParts(text, "（夜子時為", late.name(), b.name(), "）");
      return PillarProblem{PillarRule::FiveRats, 3, std::move(text)};
    }
  }
  return std::nullopt;
}

FindBirthOutcome FindBirth(const EightCharacters& p, DayChange dayChange, int fromYear, int toYear) {
  FindBirthOutcome out;
  out.problem = CheckPillars(p, dayChange);
  if (out.problem) return out;
  fromYear = std::max(fromYear, kFirstSearchYear);
  toYear = std::min(toYear, kLastSearchYear);
  if (fromYear > toYear) return out;
  // The years choose which stretches are listed: those with a moment in them.
  // Each is listed whole, though it begin before them or end after them;
  // only the calendar's own ends cut one.
  const Span range{MakeMoment(fromYear, 1, 1, 0, 0), MakeMoment(toYear + 1, 1, 1, 0, 0)};
  const Span calendar{MakeMoment(kFirstSearchYear, 1, 1, 0, 0), MakeMoment(kLastSearchYear + 1, 1, 1, 0, 0)};

  const int yearIndex = CycleIndex(p.year), dayIndex = CycleIndex(p.day);
  const minutes shift = DayShift(dayChange);
  // The solar year S runs from 立春 of S; January of fromYear still lies in
  // the solar year before. 1984 is a 甲子 year.
  const int firstS = fromYear - 1 + Mod(yearIndex - (fromYear - 1 - 1984), kCycle);
  for (int S = firstS; S <= toYear; S += kCycle) {
    const auto month = SolarMonth(S, p.month.branch);
    if (!month) continue;
    const Span m = Intersect(*month, calendar);
    if (Intersect(m, range).empty()) continue;
    // The days of the day pillar that meet the month: the first one on or
    // after the day of the month's first minute, then every sixtieth.
    const Date d0 = DateOf(m.begin + shift);
    Date d = d0 + days{Mod(dayIndex - (d0 - kJiaZiDay).count(), kCycle)};
    for (; d - shift < m.end; d += days{kCycle}) {
      Span s = Intersect(m, {d - shift, d + days{1} - shift});
      if (p.hour) s = HourWithin(s, CycleIndex(*p.hour));
      if (!Intersect(s, range).empty()) out.stretches.push_back({s.begin, s.end - minutes{1}});
    }
  }
  return out;
}

}  // namespace qelm
