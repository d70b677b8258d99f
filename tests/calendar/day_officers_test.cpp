// The almanac of a date: 建除 and 黃道黑道 by the 節 month, and the gods of the hours.
#include "calendar/day_officers.hpp"

#include <gtest/gtest.h>

#include "calendar/tables.hpp"

namespace qelm {
namespace {

AlmanacDay DayOf(int y, int m, int d) {
  const auto a = AlmanacDayOf(MakeDate(y, m, d));
  if (!a) ADD_FAILURE() << "refused " << y << "-" << m << "-" << d;
  return a.value_or(AlmanacDay{});
}

TEST(DayOfficers, WorkedExamples) {
  const struct {
    int y, m, d;
    const char *pillar, *month, *officer, *god;
    bool yellow, termDay;
  } cases[] = {
      // 立春 at 16:27: the whole date already lies in the 寅 month.
      {2024, 2, 4, "戊戌", "寅", "成", "司命", true, true},
      {2024, 2, 3, "丁酉", "丑", "成", "勾陳", false, false},
      {2024, 2, 5, "己亥", "寅", "收", "勾陳", false, false},
  };
  for (const auto& c : cases) {
    const AlmanacDay a = DayOf(c.y, c.m, c.d);
    EXPECT_EQ(a.pillar.name(), c.pillar);
    EXPECT_EQ(a.month.branch.name(), c.month);
    EXPECT_EQ(a.officer.name(), c.officer);
    EXPECT_EQ(a.god.name(), c.god);
    EXPECT_EQ(a.god.yellow(), c.yellow);
    EXPECT_EQ(a.month.termDay, c.termDay);
  }
  EXPECT_EQ(DayOf(2024, 2, 4).month.termName, "立春");
  EXPECT_EQ(UserMomentText(DayOf(2024, 2, 4).month.termMoment), "2024-02-04 16:27");
}

TEST(DayOfficers, OutsideTheRange) {
  EXPECT_FALSE(AlmanacDayOf(MakeDate(1901, 2, 19)));
  EXPECT_TRUE(AlmanacDayOf(kFirstAlmanacDate));
  EXPECT_TRUE(AlmanacDayOf(kLastAlmanacDate));
  EXPECT_FALSE(AlmanacDayOf(MakeDate(2100, 1, 1)));
  EXPECT_TRUE(HoursOf(MakeDate(2100, 1, 1), DayChange::AtZiStart).empty());
}

// Over every date: the month is the one the engine gives the date's last
// minute; 建 falls where the day's branch is the month's; the officers step on
// with the day but repeat on a 節 day; the gods step on with the day but step
// back one on a 節 day (青龍 moves two branches with each month); six of the
// twelve gods are yellow.
TEST(DayOfficers, SequencesOverTheWholeRange) {
  std::optional<AlmanacDay> before;
  int termDays = 0, yellowDays = 0, days = 0;
  for (Date d = kFirstAlmanacDate; d <= kLastAlmanacDate; d += std::chrono::days{1}) {
    const auto a = AlmanacDayOf(d);
    ASSERT_TRUE(a) << IsoDateText(d);
    const CivilFields f = Fields(MakeMoment(d, 23, 59));
    const auto late = CalcMoment({f.year, f.month, f.day, 23, 59});
    ASSERT_TRUE(late);
    ASSERT_EQ(a->month.branch, late.result->MomentPillars.Month.branch) << IsoDateText(d);
    ASSERT_EQ(a->officer.name() == "建", a->pillar.branch == a->month.branch) << IsoDateText(d);
    if (before) {
      ASSERT_EQ(a->pillar, before->pillar.next()) << IsoDateText(d);
      const bool newMonth = a->month.branch != before->month.branch;
      ASSERT_EQ(newMonth, a->month.termDay) << IsoDateText(d);
      ASSERT_EQ(a->officer, before->officer.next(newMonth ? 0 : 1)) << IsoDateText(d);
      ASSERT_EQ(a->god, before->god.next(newMonth ? -1 : 1)) << IsoDateText(d);
    }
    termDays += a->month.termDay;
    yellowDays += a->god.yellow();
    ++days;
    before = a;
  }
  EXPECT_EQ(termDays, 199 * 12 - 2);  // all but 小寒 and 立春 of 1901, before the first date
  EXPECT_NEAR(static_cast<double>(yellowDays) / days, 0.5, 0.01);
}

// Every 節 of some years, from the tables: its date opens its month, the day
// before lies in the month before, and the officer repeats.
TEST(DayOfficers, EverySectionalTermDay) {
  for (const int year : {1902, 1949, 1984, 2000, 2024, 2033, 2099}) {
    for (int month = 1; month <= 12; ++month) {
      const auto term = SolarTermAt(SectionalTermIndex(year, month));
      ASSERT_TRUE(term);
      const Date date = DateOf(*term);
      const auto on = AlmanacDayOf(date), eve = AlmanacDayOf(date - std::chrono::days{1});
      ASSERT_TRUE(on && eve);
      EXPECT_TRUE(on->month.termDay) << IsoDateText(date);
      EXPECT_EQ(on->month.termMoment, *term);
      EXPECT_EQ(on->month.termName, JieNameOfMonthBranch(on->month.branch.number()));
      EXPECT_EQ(on->month.branch, Branch{Wrap(month + 1, 12)}) << IsoDateText(date);
      EXPECT_EQ(eve->month.branch, on->month.branch.next(-1)) << IsoDateText(date);
      EXPECT_EQ(on->officer, eve->officer) << IsoDateText(date);
    }
  }
}

// The hours: contiguous, the pillars the engine gives their first and last
// minute, 青龍 where the day's branch puts it and the gods in order after it.
TEST(DayOfficers, HoursOfADate) {
  for (const DayChange change : {DayChange::AtZiStart, DayChange::AtMidnight}) {
    for (const Date d : {MakeDate(2024, 2, 4), MakeDate(1986, 5, 4), kFirstAlmanacDate, kLastAlmanacDate}) {
      const std::vector<AlmanacHour> hours = HoursOf(d, change);
      const bool ziStart = change == DayChange::AtZiStart;
      ASSERT_EQ(hours.size(), ziStart ? 12u : 13u);
      EXPECT_EQ(hours.front().first, MakeMoment(d, 0, 0) - std::chrono::hours{ziStart ? 1 : 0});
      EXPECT_EQ(hours.back().last, MakeMoment(d, ziStart ? 22 : 23, 59));
      const Branch dayBranch = AlmanacDayOf(d)->pillar.branch;
      int yellow = 0;
      for (std::size_t i = 0; i < hours.size(); ++i) {
        const AlmanacHour& h = hours[i];
        for (const Moment t : {h.first, h.last}) {
          const CivilFields f = Fields(t);
          EXPECT_EQ(h.pillar, CalcMoment({f.year, f.month, f.day, f.hour, f.minute}, change).result->MomentPillars.Hour)
              << UserMomentText(t);
        }
        EXPECT_EQ(h.god, HourGodOf(dayBranch, h.branch));
        if (i > 0) {
          EXPECT_EQ(h.first, hours[i - 1].last + std::chrono::minutes{1});
        }
        if (i > 0 && i < 12) {
          EXPECT_EQ(h.god, hours[i - 1].god.next());
        }
        if (i < 12) yellow += h.god.yellow();
      }
      EXPECT_EQ(yellow, 6);
    }
  }
  const std::vector<AlmanacHour> hours = HoursOf(MakeDate(2024, 2, 4), DayChange::AtZiStart);
  EXPECT_EQ(UserMomentText(hours[0].first), "2024-02-03 23:00");
  EXPECT_EQ(UserMomentText(hours[0].last), "2024-02-04 00:59");
  EXPECT_EQ(hours[0].pillar.name(), "壬子");
  EXPECT_EQ(hours[0].god.name(), "天牢");
  EXPECT_EQ(hours[4].god.name(), "青龍");  // 辰 on a 戌 day
}

// 「寅申需加子，卯酉卻居寅，辰戌龍位上，巳亥午中尋，子午臨申地，丑未戌上行」,
// read as a rule for the day gods of a month and the hour gods of a day.
TEST(DayOfficers, AzureDragonVerse) {
  const char* const verse[][2] = {{"寅申", "子"}, {"卯酉", "寅"}, {"辰戌", "辰"},
                                  {"巳亥", "午"}, {"子午", "申"}, {"丑未", "戌"}};
  const auto branch = [](std::string_view name) {
    for (int b = 1; b <= 12; ++b)
      if (Branch{b}.name() == name) return Branch{b};
    return Branch{};
  };
  for (const auto& line : verse) {
    const std::string_view governing = line[0];
    for (const std::string_view one : {governing.substr(0, 3), governing.substr(3)}) {
      EXPECT_EQ(DayGodOf(branch(one), branch(line[1])).name(), "青龍") << one;
      EXPECT_EQ(HourGodOf(branch(one), branch(line[1])).name(), "青龍") << one;
    }
  }
}

TEST(DayOfficers, DateText) {
  EXPECT_EQ(IsoDateText(MakeDate(2024, 2, 4)), "2024-02-04");
  EXPECT_EQ(ParseIsoDate("2024-02-29"), MakeDate(2024, 2, 29));
  for (const char* bad : {"2023-02-29", "2024-2-4", "2024-02-04 ", "20240204", ""})
    EXPECT_FALSE(ParseIsoDate(bad)) << bad;
}

}  // namespace
}  // namespace qelm
