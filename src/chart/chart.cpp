// Loading a chart from a birth moment, and what follows the flow moment.
#include "calendar/lunar.hpp"
#include "chart/chart.hpp"

namespace qelm {
namespace {

Pillar PillarAt(const MomentResult& m, PillarPlace stem, PillarPlace branch) {
  return {Stem{m.MomentPillars[stem]}, Branch{m.MomentPillars[branch]}};
}

// The clock moment as entered: an hour of 24 is 0:00 of the next day and a day
// one past the month's end the first of the next month; the minute is the one
// the engine corrected (60 read as 0, -1 as 59, without a carry).
Moment ClockMoment(const MomentResult& m) {
  return MakeMoment(m.entered.InputYear, m.entered.InputMonth, m.entered.InputDay, m.entered.InputHour,
                    m.input.InputMinute);
}

std::string PillarText(Pillar p) { return p.name(); }

}  // namespace

std::string LunarDateText(const MomentResult& m, bool withHour) {
  const LunarNamesResult names = LunarNames(m.MomentLunarMonth, m.MomentLunarDay, m.MomentLeapFlag);
  std::string t = PillarAt(m, kNewYearStem, kNewYearBranch).name();
  t += "年";
  t += names.LeapMark;
  t += names.LunarMonthName;
  t += "月";
  t += names.LunarDayName;
  t += "日";
  if (withHour) {
    t += Branch{m.MomentHourBranch}.name();
    t += "時";
  }
  return t;
}

ChartState LoadChart(std::string PersonName, int Sex, const MomentResult& birth) {
  ChartState c;
  c.PersonName = std::move(PersonName);
  c.Sex = Sex;
  c.birth = birth;

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

  const auto& mp = birth.MomentPillars;
  c.YearStem = Stem{mp[kYearStem]};
  c.MonthStem = Stem{mp[kMonthStem]};
  c.DayStem = Stem{mp[kDayStem]};
  c.HourStem = Stem{mp[kHourStem]};
  c.NewYearStem = Stem{mp[kNewYearStem]};
  c.YearBranch = Branch{mp[kYearBranch]};
  c.MonthBranch = Branch{mp[kMonthBranch]};
  c.DayBranch = Branch{mp[kDayBranch]};
  c.HourBranch = Branch{mp[kHourBranch]};
  c.NewYearBranch = Branch{mp[kNewYearBranch]};
  c.YearPolarity = c.YearStem.number() % 2;

  c.ChartKind = ClassifyChart(Sex);
  LuckSchedule(c);
  c.ChartLoaded = 1;

  // The birth-data line.
  c.DateLabText = c.ChartKind + " 西元" + NumberText(c.BirthYear) + "年" + NumberText(c.BirthMonth) + "月" +
                  NumberText(c.BirthDay) + "日" + NumberText(c.BirthHour) + "時" + NumberText(c.BirthMinute) +
                  "分" + " (" + LunarDateText(birth) + ")";

  // The stem in command of the birth month.
  c.BirthJieDays = birth.JieDays;
  if (const auto s = CommandingStem(c.MonthBranch, birth.JieDays)) {
    c.CommandStem = *s;
    c.CommandStemName = s->nameWithElement();
  }
  c.CommandLineText = std::string(birth.JieName) + "後第" + NumberText(birth.JieDays) + "日" +
                      NumberText(birth.JieHours) + "時" + NumberText(birth.JieMinutes) + "分" + " " +
                      c.CommandStemName + "用事";

  const PalaceSet p = Palaces(c.YearStem, c.MonthPillar(), c.DayPillar(), c.HourBranch, birth.PastMidTerm);
  c.LifePalace = p.LifePalace;
  c.BodyPalace = p.BodyPalace;
  c.ConceptionPillar = p.ConceptionPillar;
  c.BreathPillar = p.BreathPillar;
  c.PalaceLineText = "命宮: " + PillarText(p.LifePalace) + "    身宮: " + PillarText(p.BodyPalace) +
                     "    息元: " + PillarText(p.BreathPillar) + "    胎元: " + PillarText(p.ConceptionPillar);
  c.PalaceText = "命宮:" + PillarText(p.LifePalace) + " 身宮:" + PillarText(p.BodyPalace) +
                 " 息元:" + PillarText(p.BreathPillar) + " 胎元:" + PillarText(p.ConceptionPillar);
  return c;
}

FlowState ComputeFlow(const ChartState* chart, const MomentResult& flow) {
  FlowState f;
  f.moment = flow;
  const MomentInput& e = flow.entered;

  if (chart != nullptr && chart->ChartLoaded == 1) {
    const Moment shown = ClockMoment(flow);
    f.CurrentLuckIndex = LuckIndexAt(*chart, shown);
    const CivilFields d = Fields(shown);
    f.FlowAge = AgeAt(*chart, d.year, d.month, d.day);
  }

  if (const auto s = CommandingStem(Branch{flow.MomentPillars[kMonthBranch]}, flow.JieDays)) {
    f.CommandStem = *s;
    f.CommandStemName = s->nameWithElement();
  }

  f.WesternDateText = "西元" + NumberText(e.InputYear) + "年" + NumberText(e.InputMonth) + "月" +
                      NumberText(e.InputDay) + "日" + NumberText(e.InputHour) + "時" + NumberText(e.InputMinute) +
                      "分";

  f.LunarYMDH = "陰曆 " + LunarDateText(flow) + "  " + std::string(flow.LastTermName) + "後第" +
                NumberText(flow.LastTermDays) + "日" + f.CommandStemName + "用事  " + std::string(flow.WeekdayText);
  return f;
}

Pillar FlowState::YearPillar() const { return PillarAt(moment, kYearStem, kYearBranch); }
Pillar FlowState::MonthPillar() const { return PillarAt(moment, kMonthStem, kMonthBranch); }
Pillar FlowState::DayPillar() const { return PillarAt(moment, kDayStem, kDayBranch); }
Pillar FlowState::HourPillar() const { return PillarAt(moment, kHourStem, kHourBranch); }
Pillar FlowState::NewYearPillar() const { return PillarAt(moment, kNewYearStem, kNewYearBranch); }

}  // namespace qelm
