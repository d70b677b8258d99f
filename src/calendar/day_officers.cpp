#include "calendar/day_officers.hpp"

#include "calendar/tables.hpp"

namespace qelm {

namespace {

// 建除十二神 (《協紀辨方書》, 建除十二神): 建 falls on the day whose branch is
// the month's own (月建), and 除 滿 平 定 執 破 危 成 收 開 閉 follow it day by
// day in the order of the branches. The officer is the branch's distance
// from the month's.
constexpr int OfficerNumber(int monthBranch, int dayBranch) { return Wrap(dayBranch - monthBranch + 1, 12); }

// Where 青龍 stands, by the branch that governs: the month's for a day god,
// the day's for an hour god (黃道日、黃道時 count alike):
// 「寅申需加子，卯酉卻居寅，辰戌龍位上，巳亥午中尋，子午臨申地，丑未戌上行」.
// The other eleven follow it in the order 明堂 天刑 朱雀 金匱 天德 白虎 玉堂
// 天牢 玄武 司命 勾陳 on the next branches.
//                                  子  丑  寅 卯 辰 巳 午  未  申 酉 戌 亥
constexpr std::array<int, 12> kAzureDragonAt{9, 11, 1, 3, 5, 7, 9, 11, 1, 3, 5, 7};

constexpr PathGod GodOf(Branch governing, Branch at) {
  return PathGod{Wrap(at.number() - kAzureDragonAt[governing.number() - 1] + 1, 12)};
}

// 小寒 opens the 丑 month in January, 立春 寅 in February … 大雪 子 in
// December: every Gregorian month holds exactly one sectional term.
constexpr Branch BranchOfTermMonth(int gregorianMonth) { return Branch{Wrap(gregorianMonth + 1, 12)}; }

// The day pillar of a date: the pillar the engine gives its noon, which no
// day change moves.
std::optional<Pillar> DayPillarOf(Date d) {
  const CivilFields f = Fields(MakeMoment(d, 12, 0));
  const MomentOutcome m = CalcMoment({f.year, f.month, f.day, 12, 0});
  if (!m) return std::nullopt;
  return m.result->MomentPillars.Day;
}

}  // namespace

std::optional<DayOfficer> DayOfficer::Named(std::string_view name) {
  for (int i = 1; i <= 12; ++i)
    if (DayOfficer{i}.name() == name) return DayOfficer{i};
  return std::nullopt;
}

DayOfficer OfficerOf(Branch month, Branch day) {
  if (!month.valid() || !day.valid()) return {};
  return DayOfficer{OfficerNumber(month.number(), day.number())};
}

PathGod DayGodOf(Branch month, Branch day) {
  if (!month.valid() || !day.valid()) return {};
  return GodOf(month, day);
}

PathGod HourGodOf(Branch day, Branch hour) {
  if (!day.valid() || !hour.valid()) return {};
  return GodOf(day, hour);
}

std::optional<SolarMonthOfDate> SolarMonthOf(Date d) {
  if (d < kFirstAlmanacDate || d > kLastAlmanacDate) return std::nullopt;
  const CivilFields f = Fields(MakeMoment(d, 0, 0));
  const auto term = SolarTermAt(SectionalTermIndex(f.year, f.month));
  if (!term) return std::nullopt;
  const Date termDate = DateOf(*term);
  SolarMonthOfDate out;
  if (d >= termDate) {
    out.branch = BranchOfTermMonth(f.month);
    out.termDay = d == termDate;
    if (out.termDay) {
      out.termName = JieNameOfMonthBranch(out.branch.number());
      out.termMoment = *term;
    }
  } else {
    out.branch = BranchOfTermMonth(f.month - 1);
  }
  return out;
}

std::optional<AlmanacDay> AlmanacDayOf(Date d) {
  const auto month = SolarMonthOf(d);
  const auto pillar = month ? DayPillarOf(d) : std::nullopt;
  if (!pillar) return std::nullopt;
  return AlmanacDay{d, *pillar, *month, OfficerOf(month->branch, pillar->branch),
                    DayGodOf(month->branch, pillar->branch)};
}

std::vector<AlmanacHour> HoursOf(Date d, DayChange dayChange) {
  std::vector<AlmanacHour> out;
  const auto day = AlmanacDayOf(d);
  if (!day) return out;
  const bool atZiStart = dayChange == DayChange::AtZiStart;
  out.reserve(13);
  // The 子 hour from 23:00 the evening before (子初換日) or from midnight;
  // then 丑 at 01:00 … 亥 at 21:00, two clock hours each; under 子正換日 the
  // hour of 23 closes the date.
  const auto add = [&](Moment first, int minutes, Branch branch) {
    const CivilFields f = Fields(first);
    const MomentOutcome m = CalcMoment({f.year, f.month, f.day, f.hour, f.minute}, dayChange);
    if (!m) return;
    out.push_back({branch, first, first + std::chrono::minutes{minutes - 1}, m.result->MomentPillars.Hour,
                   HourGodOf(day->pillar.branch, branch)});
  };
  const Moment midnight = MakeMoment(d, 0, 0);
  using std::chrono::hours;
  if (atZiStart) add(midnight - hours{1}, 120, Branch{1});
  else add(midnight, 60, Branch{1});
  for (int b = 2; b <= 12; ++b) add(midnight + hours{2 * b - 3}, 120, Branch{b});
  if (!atZiStart) add(midnight + hours{23}, 60, Branch{1});
  return out;
}

std::string IsoDateText(Date d) { return UserMomentText(MakeMoment(d, 0, 0)).substr(0, 10); }

std::optional<Date> ParseIsoDate(std::string_view text) {
  if (text.size() != 10) return std::nullopt;
  const auto f = ParseClockText(std::string(text) + " 00:00", '-');
  if (!f) return std::nullopt;
  return MakeDate(f->year, f->month, f->day);
}

}  // namespace qelm
