// Loading a chart from a birth moment, and what follows the flow moment.
#include <algorithm>
#include <cassert>
#include <cstring>
#include <initializer_list>

#include "calendar/lunar.hpp"
#include "chart/chart.hpp"

namespace qelm {
namespace {

// The clock moment as entered: an hour of 24 is 0:00 of the next day and a day
// one past the month's end the first of the next month; the minute is the one
// the engine corrected (60 read as 0, -1 as 59, without a carry).
Moment ClockMoment(const MomentResult& m) {
  return MakeMoment(m.entered.InputYear, m.entered.InputMonth, m.entered.InputDay, m.entered.InputHour,
                    m.input.InputMinute);
}

// The palaces in the order the texts name them, each name with its pillar:
// "命宮" LifePalace, "身宮" BodyPalace, "息元" BreathPillar, "胎元" ConceptionPillar.
// `separator` stands between a name and its pillar, `gap` between two.
std::string PalaceLine(const PalaceSet& p, std::string_view separator, std::string_view gap) {
  const auto pillar = [](Pillar x) { return std::array{x.stem.name(), x.branch.name()}; };
  const auto [lifeStem, lifeBranch] = pillar(p.LifePalace);
  const auto [bodyStem, bodyBranch] = pillar(p.BodyPalace);
  const auto [breathStem, breathBranch] = pillar(p.BreathPillar);
  const auto [conceptionStem, conceptionBranch] = pillar(p.ConceptionPillar);
  return Compose("命宮", separator, lifeStem, lifeBranch, gap, "身宮", separator, bodyStem, bodyBranch, gap,
                 "息元", separator, breathStem, breathBranch, gap, "胎元", separator, conceptionStem,
                 conceptionBranch);
}

}  // namespace

namespace {

// The pieces of a lunar date text, each with the one key it depends on: the
// year pillar and "年", the leap mark, the month and "月", the day and "日",
// the double hour and "時".
// A piece holds up to four characters of three bytes.
class LunarPiece {
 public:
  LunarPiece() = default;
  LunarPiece(std::initializer_list<std::string_view> parts) {
    for (const std::string_view s : parts) {
      const std::size_t n = std::min(s.size(), bytes_.size() - size_);
      s.copy(bytes_.data() + size_, n);
      size_ += n;
    }
  }
  // Writes the piece at p, which has room for kBytes, in one copy of them
  // all; returns its end.
  char* Put(char* p) const {
    std::memcpy(p, bytes_.data(), kBytes);
    return p + size_;
  }
  static constexpr std::size_t kBytes = 12;

 private:
  std::array<char, kBytes> bytes_{};
  std::size_t size_ = 0;
};
LunarPiece YearPiece(Pillar year) { return {year.stem.name(), year.branch.name(), "年"}; }
LunarPiece MonthPiece(int month, LunarMonthKind kind) {
  const LunarNamesResult names = LunarNames(month, 0, kind);
  return {names.LeapMark, names.LunarMonthName, "月"};
}
LunarPiece DayPiece(int day) { return {LunarNames(0, day, LunarMonthKind::Ordinary).LunarDayName, "日"}; }
LunarPiece HourPiece(int branch) { return {Branch{branch}.name(), "時"}; }

// Every piece of the keys a lunar date has, made once; a key past the
// tables (which no date has) has its piece made when asked.
class LunarPieces {
 public:
  LunarPieces() {
    for (int s = 0; s <= 10; ++s)
      for (int b = 0; b <= 12; ++b) years_[Index(s)][Index(b)] = YearPiece(Pillar{Stem{s}, Branch{b}});
    for (int m = 0; m <= 12; ++m) {
      months_[0][Index(m)] = MonthPiece(m, LunarMonthKind::Ordinary);
      months_[1][Index(m)] = MonthPiece(m, LunarMonthKind::Leap);
    }
    for (int d = 0; d <= 30; ++d) days_[Index(d)] = DayPiece(d);
    for (int b = 0; b <= 12; ++b) hours_[Index(b)] = HourPiece(b);
  }

  char* PutYear(char* p, Pillar year) const {
    return years_[Index(year.stem.number())][Index(year.branch.number())].Put(p);
  }
  char* PutMonth(char* p, int month, LunarMonthKind kind) const {
    if (month < 0 || month > 12) return MonthPiece(month, kind).Put(p);
    return months_[kind == LunarMonthKind::Leap ? 1 : 0][Index(month)].Put(p);
  }
  char* PutDay(char* p, int day) const {
    if (day < 0 || day > 30) return DayPiece(day).Put(p);
    return days_[Index(day)].Put(p);
  }
  char* PutHour(char* p, int branch) const {
    if (branch < 0 || branch > 12) return HourPiece(branch).Put(p);
    return hours_[Index(branch)].Put(p);
  }

 private:
  static std::size_t Index(int n) { return static_cast<std::size_t>(n); }
  std::array<std::array<LunarPiece, 13>, 11> years_;  // by stem and branch, 0 for none
  std::array<std::array<LunarPiece, 13>, 2> months_;  // ordinary and leap, by month
  std::array<LunarPiece, 31> days_;
  std::array<LunarPiece, 13> hours_;                  // by branch
};

}  // namespace

char* PutLunarDateText(char* p, const MomentResult& m, bool withHour) {
  static const LunarPieces kPieces;
  p = kPieces.PutYear(p, m.MomentPillars.NewYear);
  p = kPieces.PutMonth(p, m.MomentLunarMonth, m.MomentMonthKind);
  p = kPieces.PutDay(p, m.MomentLunarDay);
  if (withHour) p = kPieces.PutHour(p, m.MomentHourBranch);
  return p;
}

void AppendLunarDateText(std::string& out, const MomentResult& m, bool withHour) {
  const std::size_t at = out.size();
  out.resize(at + kLunarDateTextRoom);
  out.resize(static_cast<std::size_t>(PutLunarDateText(out.data() + at, m, withHour) - out.data()));
}

std::string LunarDateText(const MomentResult& m, bool withHour) {
  std::string t;
  AppendLunarDateText(t, m, withHour);
  return t;
}

ChartState LoadChart(std::string PersonName, Sex sex, const MomentResult& birth, LuckStart luckStart) {
  ChartState c;
  c.PersonName = std::move(PersonName);
  c.Sex = sex;
  c.conventions.luckStart = luckStart;
  c.birth = birth;
  c.conventions.dayChange = birth.dayChange;

  const CivilFields b = Fields(ClockMoment(birth));
  c.BirthYear = b.year;
  c.BirthMonth = b.month;
  c.BirthDay = b.day;
  c.BirthHour = b.hour;
  c.BirthMinute = b.minute;
  c.LunarYear = birth.MomentLunarYear;
  c.LunarMonth = birth.MomentLunarMonth;
  c.LunarDay = birth.MomentLunarDay;
  c.LunarHourBranch = Branch{birth.MomentHourBranch};

  const MomentPillarSet& pillars = birth.MomentPillars;
  c.YearStem = pillars.Year.stem;
  c.MonthStem = pillars.Month.stem;
  c.DayStem = pillars.Day.stem;
  c.HourStem = pillars.Hour.stem;
  c.NewYearStem = pillars.NewYear.stem;
  c.YearBranch = pillars.Year.branch;
  c.MonthBranch = pillars.Month.branch;
  c.DayBranch = pillars.Day.branch;
  c.HourBranch = pillars.Hour.branch;
  c.NewYearBranch = pillars.NewYear.branch;
  c.YearPolarity = c.YearStem.yang() ? Polarity::Yang : Polarity::Yin;

  c.ChartKind = ClassifyChart(sex);
  LuckSchedule(c);

  // The stem in command of the birth month.
  c.BirthJieDays = birth.JieDays;
  if (const auto s = CommandingStem(c.MonthBranch, birth.JieDays)) {
    c.CommandStem = *s;
    c.CommandStemName = s->nameWithElement();
  }

  const PalaceSet p = Palaces(c.YearStem, c.MonthPillar(), c.DayPillar(), c.HourBranch, birth.PastMidTerm);
  c.LifePalace = p.LifePalace;
  c.BodyPalace = p.BodyPalace;
  c.ConceptionPillar = p.ConceptionPillar;
  c.BreathPillar = p.BreathPillar;
  c.PalaceText = PalaceLine(p, ":", " ");
  return c;
}

namespace {

// A text of at most `room` bytes written by put(p), as a string.
template <typename Put>
std::string Composed(std::size_t room, Put put) {
  std::string text(room, '\0');
  const char* end = put(text.data());
  assert(end <= text.data() + room);
  text.resize(static_cast<std::size_t>(end - text.data()));
  return text;
}

}  // namespace

std::size_t BirthDataLineRoom(const ChartState& c) {
  const Num n{0};
  std::size_t room = PartsRoom(c.ChartKind, " 西元", n, "年", n, "月", n, "日", n, "時", n, "分", " 東八區", " (",
                               "真太陽時 ", " ", DayChangeName(c.birth.dayChange), ")") +
                     kLunarDateTextRoom;
  if (c.hourCandidate) room += 1 + HourCandidateText(*c.hourCandidate).size();
  return room;
}

char* PutBirthDataLine(char* p, const ChartState& c) {
  p = PutParts(p, c.ChartKind, " 西元", Num{c.BirthYear}, "年", Num{c.BirthMonth}, "月", Num{c.BirthDay}, "日",
               Num{c.BirthHour}, "時", Num{c.BirthMinute}, "分");
  if (c.birth.reading != TimeMode::Clock) p = PutParts(p, " 東八區");
  p = PutParts(p, " (");
  if (c.birth.reading == TimeMode::Solar) p = PutParts(p, "真太陽時 ");
  p = PutLunarDateText(p, c.birth);
  // A birth in the hour of 23 that keeps its own date says so.
  if (c.birth.lateZi) p = PutParts(p, " ", DayChangeName(c.birth.dayChange));
  p = PutParts(p, ")");
  if (c.hourCandidate) p = PutParts(p, " ", std::string_view(HourCandidateText(*c.hourCandidate)));
  return p;
}

std::string BirthDataLine(const ChartState& c) {
  return Composed(BirthDataLineRoom(c), [&c](char* p) { return PutBirthDataLine(p, c); });
}

std::string HourCandidateText(const HourCandidate& h) {
  const auto clock = [](Moment t) { return UserMomentText(t).substr(11); };
  return "時辰不詳 (候選 " + std::to_string(h.index) + "/" + std::to_string(h.count) + ", " + clock(h.first) + "–" +
         clock(h.last) + ")";
}

std::size_t CommandingStemLineRoom(const ChartState& c) {
  const Num n{0};
  return PartsRoom(c.birth.JieName, "後第", n, "日", n, "時", n, "分", " ", c.CommandStemName, "用事");
}

char* PutCommandingStemLine(char* p, const ChartState& c) {
  const MomentResult& b = c.birth;
  return PutParts(p, b.JieName, "後第", Num{b.JieDays}, "日", Num{b.JieHours}, "時", Num{b.JieMinutes}, "分", " ",
                  c.CommandStemName, "用事");
}

std::string CommandingStemLine(const ChartState& c) {
  return Composed(CommandingStemLineRoom(c), [&c](char* p) { return PutCommandingStemLine(p, c); });
}

std::string PalaceLine(const ChartState& c) {
  return PalaceLine(PalaceSet{c.LifePalace, c.BodyPalace, c.ConceptionPillar, c.BreathPillar}, ": ", "    ");
}

MomentOutcome FlowMomentOf(const ChartState* chart, const MomentInput& at) {
  const ChartConventions conventions = chart ? chart->conventions : ChartConventions{};
  return CalcMoment(at, conventions.dayChange);
}

FlowState ComputeFlow(const ChartState* chart, const MomentResult& flow) {
  FlowState f;
  f.moment = flow;
  const MomentInput& e = flow.entered;

  if (chart != nullptr) {
    const Moment shown = ClockMoment(flow);
    f.CurrentLuckIndex = LuckIndexAt(*chart, shown);
    const CivilFields d = Fields(shown);
    f.FlowAge = AgeAt(*chart, d.year, d.month, d.day);
  }

  if (const auto s = CommandingStem(flow.MomentPillars.Month.branch, flow.JieDays)) {
    f.CommandStem = *s;
    f.CommandStemName = s->nameWithElement();
  }

  f.WesternDateText = Compose("西元", Num{e.InputYear}, "年", Num{e.InputMonth}, "月", Num{e.InputDay}, "日",
                              Num{e.InputHour}, "時", Num{e.InputMinute}, "分");
  return f;
}

std::string FlowLunarLine(const FlowState& f) {
  const MomentResult& m = f.moment;
  std::string line = "陰曆 ";
  AppendLunarDateText(line, m);
  AppendParts(line, "  ", m.LastTermName, "後第", Num{m.LastTermDays}, "日", f.CommandStemName, "用事  ",
              m.WeekdayText);
  return line;
}

Pillar FlowState::YearPillar() const { return moment.MomentPillars.Year; }
Pillar FlowState::MonthPillar() const { return moment.MomentPillars.Month; }
Pillar FlowState::DayPillar() const { return moment.MomentPillars.Day; }
Pillar FlowState::HourPillar() const { return moment.MomentPillars.Hour; }
Pillar FlowState::NewYearPillar() const { return moment.MomentPillars.NewYear; }

}  // namespace qelm
