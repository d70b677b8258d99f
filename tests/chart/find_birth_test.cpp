#include "chart/find_birth.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace qelm {
namespace {

using std::chrono::minutes;

constexpr Moment kEarliest = MakeMoment(1901, 1, 1, 0, 0);
constexpr Moment kLatest = MakeMoment(2099, 12, 31, 23, 59);

EightCharacters PillarsOf(Moment t, DayChange d) {
  const CivilFields f = Fields(t);
  const MomentResult r = *CalcMoment({f.year, f.month, f.day, f.hour, f.minute}, d).result;
  const MomentPillarSet& p = r.MomentPillars;
  return {p.Year, p.Month, p.Day, p.Hour};
}

// Whether the engine gives the moment the pillars (an open hour matches any).
bool Has(Moment t, const EightCharacters& want, DayChange d) {
  EightCharacters got = PillarsOf(t, d);
  if (!want.hour) got.hour.reset();
  return got == want;
}

std::string Text(const EightCharacters& p) {
  return p.year.name() + " " + p.month.name() + " " + p.day.name() + " " + (p.hour ? p.hour->name() : "—");
}

struct Lcg {
  std::uint32_t x;
  int next(int bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<int>((x >> 8) % static_cast<std::uint32_t>(bound));
  }
};

// Each stretch holds the pillars at both ends and loses them a minute beyond
// each end; the stretches run in time order without touching.
void ExpectExactStretches(const EightCharacters& p, DayChange d, const std::vector<BirthStretch>& stretches) {
  const std::string what = Text(p) + " " + std::string(DayChangeName(d));
  for (std::size_t i = 0; i < stretches.size(); ++i) {
    const BirthStretch& s = stretches[i];
    ASSERT_LE(s.first, s.last) << what;
    ASSERT_GE(s.first, kEarliest) << what;
    ASSERT_LE(s.last, kLatest) << what;
    EXPECT_TRUE(Has(s.first, p, d)) << what << " first " << MomentText(s.first);
    EXPECT_TRUE(Has(s.last, p, d)) << what << " last " << MomentText(s.last);
    if (s.first > kEarliest) {
      EXPECT_FALSE(Has(s.first - minutes{1}, p, d)) << what << " " << MomentText(s.first);
    }
    if (s.last < kLatest) {
      EXPECT_FALSE(Has(s.last + minutes{1}, p, d)) << what << " " << MomentText(s.last);
    }
    if (i > 0) {
      EXPECT_GT(s.first, stretches[i - 1].last + minutes{1}) << what;
    }
  }
}

// The pillars of 200 moments spread over the whole range: the search finds
// every one of them, in a stretch that is exactly right.
TEST(FindBirth, FindsEveryMomentInAnExactStretch) {
  Lcg r{20};
  const long long span = (kLatest - kEarliest).count();
  for (int i = 0; i < 200; ++i) {
    Moment t = kEarliest + minutes{(static_cast<long long>(r.next(1 << 16)) << 15 | r.next(1 << 15)) % span};
    if (i % 4 == 1) t = MakeMoment(DateOf(t), 23, r.next(60));  // the hour either convention may move
    if (i % 4 == 2) t = MakeMoment(DateOf(t), 0, r.next(60));
    const DayChange d = i % 2 == 0 ? DayChange::AtZiStart : DayChange::AtMidnight;
    EightCharacters p = PillarsOf(t, d);
    if (i % 5 == 0) p.hour.reset();
    const FindBirthOutcome found = FindBirth(p, d);
    ASSERT_FALSE(found.problem) << found.problem->text;
    ExpectExactStretches(p, d, found.stretches);
    const auto holds = [t](const BirthStretch& s) { return s.first <= t && t <= s.last; };
    EXPECT_EQ(std::count_if(found.stretches.begin(), found.stretches.end(), holds), 1)
        << Text(p) << " " << MomentText(t);
  }
}

// 200 sets put together as the window's choosers offer them: valid, but many
// of them never occur.
TEST(FindBirth, ChosenPillarsGiveExactStretches) {
  Lcg r{7};
  int none = 0;
  for (int i = 0; i < 200; ++i) {
    const DayChange d = i % 2 == 0 ? DayChange::AtZiStart : DayChange::AtMidnight;
    const Pillar year = PillarOfCycle(r.next(60)), day = PillarOfCycle(r.next(60));
    const Pillar month = MonthPillarsOf(year.stem)[r.next(12)];
    const std::vector<Pillar> hours = HourPillarsOf(day.stem, d);
    EightCharacters p{year, month, day, hours[r.next(static_cast<int>(hours.size()))]};
    if (i % 7 == 0) p.hour.reset();
    const FindBirthOutcome found = FindBirth(p, d);
    ASSERT_FALSE(found.problem) << found.problem->text;
    ExpectExactStretches(p, d, found.stretches);
    if (found.stretches.empty()) ++none;
  }
  EXPECT_GT(none, 0);
  EXPECT_LT(none, 200);
}

TEST(FindBirth, WorkedExampleUnderBothConventions) {
  const auto p = [](std::string_view text) { return *ParsePillar(text); };
  const struct {
    EightCharacters pillars;
    DayChange change;
    Moment first, last;
  } cases[] = {
      // 1986-05-04 23:00: the next day's 己酉 from 23:00, the 甲子 hour to 00:59.
      {{p("丙寅"), p("壬辰"), p("己酉"), p("甲子")}, DayChange::AtZiStart, MakeMoment(1986, 5, 4, 23, 0),
       MakeMoment(1986, 5, 5, 0, 59)},
      // 子正換日: the 戊申 day keeps its 夜子時, up to midnight.
      {{p("丙寅"), p("壬辰"), p("戊申"), p("甲子")}, DayChange::AtMidnight, MakeMoment(1986, 5, 4, 23, 0),
       MakeMoment(1986, 5, 4, 23, 59)},
      {{p("丙寅"), p("壬辰"), p("己酉"), p("甲子")}, DayChange::AtMidnight, MakeMoment(1986, 5, 5, 0, 0),
       MakeMoment(1986, 5, 5, 0, 59)},
      // 立春 1984 (02/04 23:21) cuts the 甲子 year's first 寅 month short.
      {{p("甲子"), p("丙寅"), p("己巳"), p("甲子")}, DayChange::AtZiStart, MakeMoment(1984, 2, 4, 23, 21),
       MakeMoment(1984, 2, 5, 0, 59)},
  };
  for (const auto& c : cases) {
    const FindBirthOutcome found = FindBirth(c.pillars, c.change, 1980, 1990);
    ASSERT_EQ(found.stretches.size(), 1u) << Text(c.pillars);
    EXPECT_EQ(MomentText(found.stretches[0].first), MomentText(c.first)) << Text(c.pillars);
    EXPECT_EQ(MomentText(found.stretches[0].last), MomentText(c.last)) << Text(c.pillars);
  }
}

// The years choose the stretches that have a moment in them; each is listed
// whole, as the search of the whole calendar gives it, though it cross the
// turn of the year.
TEST(FindBirth, RangeChoosesStretchesAndKeepsThemWhole) {
  const struct {
    const char* pillars[4];
    int from, to;
  } cases[] = {
      {{"庚午", "辛巳", "癸酉", nullptr}, 1950, 2000},
      {{"己卯", "丙子", "戊午", "壬子"}, 1901, 1999},  // 1999-12-31 23:00 to 2000-01-01 00:59
      {{"己卯", "丙子", "戊午", "壬子"}, 2000, 2099},
      {{"己卯", "丙子", "戊午", nullptr}, 1999, 1999},
  };
  for (const auto& c : cases) {
    const EightCharacters p{*ParsePillar(c.pillars[0]), *ParsePillar(c.pillars[1]), *ParsePillar(c.pillars[2]),
                            c.pillars[3] ? ParsePillar(c.pillars[3]) : std::nullopt};
    const auto all = FindBirth(p, DayChange::AtZiStart).stretches;
    std::vector<BirthStretch> expected;
    for (const BirthStretch& s : all)
      if (Fields(s.last).year >= c.from && Fields(s.first).year <= c.to) expected.push_back(s);
    EXPECT_FALSE(expected.empty()) << c.pillars[0];
    EXPECT_EQ(FindBirth(p, DayChange::AtZiStart, c.from, c.to).stretches, expected) << c.from << "-" << c.to;
  }
  const EightCharacters turn{*ParsePillar("己卯"), *ParsePillar("丙子"), *ParsePillar("戊午"), ParsePillar("壬子")};
  for (int year : {1999, 2000}) {
    const auto found = FindBirth(turn, DayChange::AtZiStart, year, year).stretches;
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(MomentText(found[0].first), MomentText(MakeMoment(1999, 12, 31, 23, 0)));
    EXPECT_EQ(MomentText(found[0].last), MomentText(MakeMoment(2000, 1, 1, 0, 59)));
  }
  const EightCharacters p{*ParsePillar("庚午"), *ParsePillar("辛巳"), *ParsePillar("癸酉"), std::nullopt};
  EXPECT_TRUE(FindBirth(p, DayChange::AtZiStart, 2000, 1950).stretches.empty());
}

TEST(FindBirth, RefusesImpossiblePillarsNamingTheRule) {
  const struct {
    const char *year, *month, *day, *hour;
    DayChange change;
    PillarRule rule;
    int place;
    const char* says;
  } cases[] = {
      {"甲丑", "丙寅", "甲子", "甲子", DayChange::AtZiStart, PillarRule::Polarity, 0, "陰陽"},
      {"甲子", "丙寅", "乙子", "", DayChange::AtZiStart, PillarRule::Polarity, 2, "陰陽"},
      {"甲子", "甲寅", "甲子", "甲子", DayChange::AtZiStart, PillarRule::FiveTigers, 1, "五虎遁：甲年的寅月為丙寅"},
      {"庚午", "癸巳", "癸酉", "", DayChange::AtZiStart, PillarRule::FiveTigers, 1, "庚年的巳月為辛巳"},
      {"甲子", "丙寅", "甲子", "甲丑", DayChange::AtZiStart, PillarRule::Polarity, 3, "陰陽"},
      {"甲子", "丙寅", "甲子", "戊寅", DayChange::AtZiStart, PillarRule::FiveRats, 3, "五鼠遁：甲日的寅時為丙寅"},
      // 戊 day: its own 子 hour is 壬子; 甲子 is the next (己) day's, a 夜子時 only under 子正換日.
      {"丙寅", "壬辰", "戊申", "甲子", DayChange::AtZiStart, PillarRule::FiveRats, 3, "戊日的子時為壬子"},
      {"丙寅", "壬辰", "戊申", "丙子", DayChange::AtMidnight, PillarRule::FiveRats, 3, "夜子時為甲子"},
  };
  for (const auto& c : cases) {
    EightCharacters p{*ParsePillar(c.year), *ParsePillar(c.month), *ParsePillar(c.day), std::nullopt};
    if (*c.hour) p.hour = *ParsePillar(c.hour);
    const FindBirthOutcome found = FindBirth(p, c.change);
    ASSERT_TRUE(found.problem) << Text(p);
    EXPECT_EQ(found.problem->rule, c.rule) << Text(p);
    EXPECT_EQ(found.problem->place, c.place) << Text(p);
    EXPECT_NE(found.problem->text.find(c.says), std::string::npos) << found.problem->text;
    EXPECT_TRUE(found.stretches.empty());
  }
  const EightCharacters late{*ParsePillar("丙寅"), *ParsePillar("壬辰"), *ParsePillar("戊申"), *ParsePillar("甲子")};
  EXPECT_FALSE(CheckPillars(late, DayChange::AtMidnight));
  EXPECT_EQ(ParsePillar("甲"), std::nullopt);
  EXPECT_EQ(ParsePillar("子甲"), std::nullopt);
  EXPECT_EQ(ParsePillar("甲子 "), std::nullopt);
}

// The choosers' lists are exactly the pillars the rules let through.
TEST(FindBirth, ChooserListsHoldExactlyTheValidPillars) {
  const Pillar anyDay = *ParsePillar("甲子");
  for (int s = 1; s <= 10; ++s) {
    const Pillar year = PillarOfCycle(s - 1);
    const auto months = MonthPillarsOf(year.stem);
    EXPECT_EQ(months[0].branch, Branch{3});
    for (DayChange d : {DayChange::AtZiStart, DayChange::AtMidnight}) {
      const auto hours = HourPillarsOf(year.stem, d);
      for (int k = 0; k < 60; ++k) {
        const Pillar x = PillarOfCycle(k);
        ASSERT_EQ(CycleIndex(x), k);
        const bool monthOffered = std::find(months.begin(), months.end(), x) != months.end();
        EXPECT_EQ(!CheckPillars({year, x, anyDay, std::nullopt}, d), monthOffered) << year.name() << x.name();
        const bool hourOffered = std::find(hours.begin(), hours.end(), x) != hours.end();
        EXPECT_EQ(!CheckPillars({year, months[0], year, x}, d), hourOffered) << year.name() << x.name();
      }
    }
  }
}

}  // namespace
}  // namespace qelm
