#include "place/birth.hpp"

#include <gtest/gtest.h>

#include <random>

#include "place/coordinates.hpp"
#include "place/zone.hpp"

namespace qelm {
namespace {

Place Known(std::string_view name) {
  for (const KnownPlace& p : KnownPlaces())
    if (p.name == name) return p.place();
  ADD_FAILURE() << "no place " << name;
  return {};
}

EightCharacters PillarsOf(const MomentResult& m, bool withHour = true) {
  const MomentPillarSet& p = m.MomentPillars;
  return {p.Year, p.Month, p.Day, withHour ? std::optional(p.Hour) : std::nullopt};
}

std::string Names(const EightCharacters& p) {
  return std::string(p.year.name()) + p.month.name() + p.day.name() + (p.hour ? p.hour->name() : "—");
}

// 帶入生日: the birth brought back from 由八字找生日 casts the pillars searched,
// whatever the form reads the time by; the note says which clock it is on.
// The case found by hand first: 乙卯 甲申 己亥 庚午 at 成都 by 真太陽時.
TEST(Birth, FoundBirthCastsThePillarsSearched) {
  const EightCharacters chengdu{*ParsePillar("乙卯"), *ParsePillar("甲申"), *ParsePillar("己亥"), *ParsePillar("庚午")};
  struct Form {
    const char* place;
    TimeMode time;
    DayChange dayChange;
  };
  const Form forms[] = {
      {"成都", TimeMode::Solar, DayChange::AtZiStart},     {"成都", TimeMode::Standard, DayChange::AtZiStart},
      {"紐約", TimeMode::Standard, DayChange::AtMidnight}, {"喀什", TimeMode::Solar, DayChange::AtMidnight},
      {"臺北市", TimeMode::Standard, DayChange::AtZiStart}, {"", TimeMode::Clock, DayChange::AtZiStart},
  };
  std::mt19937 random(25);
  for (const Form& form : forms) {
    Birth entered;
    if (*form.place) entered.place = Known(form.place);
    entered.time = form.time;
    entered.dayChange = form.dayChange;
    std::vector<EightCharacters> searched{chengdu};
    for (int i = 0; i < 12; ++i) {
      const Moment t = MakeMoment(1902, 1, 1, 0, 0) + std::chrono::minutes{random() % (197LL * 365 * 1440)};
      searched.push_back(PillarsOf(*CalcMoment(InputOf(t), form.dayChange).result, i % 4 != 0));
    }
    for (const EightCharacters& pillars : searched) {
      SCOPED_TRACE(std::string(form.place) + " " + std::string(TimeModeName(form.time)) + " " + Names(pillars));
      const FindBirthOutcome found = FindBirth(pillars, form.dayChange);
      ASSERT_FALSE(found.stretches.empty());
      const FoundBirth b = BirthForFound(entered, found.stretches.front(), pillars);
      const BirthOutcome cast = ResolveBirth(b.birth);
      ASSERT_TRUE(cast) << cast.problem;
      EXPECT_TRUE(HasPillars(cast.resolved->moment, pillars)) << Names(PillarsOf(cast.resolved->moment));
      EXPECT_EQ(b.birth.place, entered.place);
      EXPECT_EQ(b.birth.dayChange, entered.dayChange);
      if (b.birth.time != entered.time) {
        EXPECT_NE(b.note.find("改為鐘錶時間"), std::string::npos) << b.note;
      }
      if (!entered.corrected()) {
        EXPECT_EQ(b.note, "（東八區時間）");
        EXPECT_EQ(MomentOf(b.birth.clock), found.stretches.front().first);
      } else if (b.birth.time == entered.time) {
        EXPECT_NE(b.note.find(std::string(form.place) + "當地鐘錶時間"), std::string::npos) << b.note;
      }
    }
  }
}

// The chart holds the convention it was cast with, and its flow moment is
// read by it: under 子正換日 a 23:xx flow moment keeps its date.
TEST(Birth, FlowMomentFollowsTheChartsConvention) {
  std::mt19937 random(2);
  for (const DayChange d : {DayChange::AtZiStart, DayChange::AtMidnight}) {
    Birth b;
    b.clock = {1984, 5, 6, 23, 30};
    b.place = Known("成都");
    b.time = TimeMode::Solar;
    b.dayChange = d;
    const CastOutcome cast = CastBirth("測試", Sex::Female, b);
    ASSERT_TRUE(cast) << cast.problem;
    EXPECT_EQ(cast.chart->conventions.dayChange, d);
    ASSERT_TRUE(cast.correction);
    for (int i = 0; i < 20; ++i) {
      const MomentInput at{1930 + static_cast<int>(random() % 150), 1 + static_cast<int>(random() % 12),
                           1 + static_cast<int>(random() % 28), 23, static_cast<int>(random() % 60)};
      const MomentOutcome flow = FlowMomentOf(&*cast.chart, at);
      ASSERT_TRUE(flow);
      EXPECT_EQ(flow.result->MomentPillars, CalcMoment(at, d).result->MomentPillars);
      EXPECT_EQ(flow.result->lateZi, d == DayChange::AtMidnight);
    }
  }
}

// A birth kept beside a person goes back to the same birth, and a birth that
// cannot be cast says why in the correction's words.
TEST(Birth, StoredPlacesAndRefusals) {
  Birth b;
  b.clock = {1990, 4, 1, 2, 30};
  b.place = Known("紐約");
  b.time = TimeMode::Standard;
  b.overlap = OverlapChoice::Later;
  b.dayChange = DayChange::AtMidnight;
  EXPECT_EQ(BirthOf(b.clock, StoredPlaceOf(b), b.dayChange), b);
  const BirthOutcome skipped = ResolveBirth(b);
  EXPECT_FALSE(skipped);
  EXPECT_EQ(skipped.resolution.state, ClockState::Gap);
  EXPECT_NE(skipped.problem.find("撥快"), std::string::npos) << skipped.problem;
  b.time = TimeMode::Clock;  // the clock time read as UTC+8: nothing skipped
  EXPECT_TRUE(ResolveBirth(b));
  EXPECT_FALSE(CastBirth("", Sex::Male, b).correction);
  b.clock.InputYear = kLastYear + 1;
  EXPECT_FALSE(ResolveBirth(b));

  EXPECT_EQ(PlaceTyped("", 181, 0.0, "Asia/Taipei").problem, LongitudeRangeText());
  EXPECT_EQ(PlaceTyped("", 121, -91.0, "Asia/Taipei").problem, LatitudeRangeText());
  EXPECT_NE(PlaceTyped("", 121, std::nullopt, "Asia/Nowhere").problem.find("找不到時區「Asia/Nowhere」"), std::string::npos);
  EXPECT_EQ(PlaceTyped("家", 121.5, std::nullopt, " Asia/Taipei ").place, (Place{"家", 121.5, 0, "Asia/Taipei"}));
  EXPECT_EQ(PlaceNamed(" 成都 ").place, Known("成都"));
  EXPECT_TRUE(PlaceNamed("無此地名處").unknown);
}

// The school and the candidate travel with the birth into its chart: under
// every school, with a place or without, CastBirth dates the luck pillars
// as LoadChart of the resolved moment does under that school.
TEST(Birth, CarriesTheLuckSchoolAndTheCandidateIntoTheChart) {
  const std::optional<StoredBirthPlace> chengdu =
      StoredBirthPlace{ResolvePlace("成都").place, TimeMode::Solar, OverlapChoice::Earlier};
  for (const std::optional<StoredBirthPlace>& place : {std::optional<StoredBirthPlace>{}, chengdu}) {
    for (const LuckStart school : {LuckStart::Table, LuckStart::Exact, LuckStart::Shichen}) {
      Birth b = BirthOf({1990, 5, 17, 14, 30}, place, DayChange::AtZiStart);
      b.luckStart = school;
      b.hourCandidate = HourCandidate{8, 13, MakeMoment(1990, 5, 17, 13, 0), MakeMoment(1990, 5, 17, 14, 59)};
      const CastOutcome cast = CastBirth("王小明", Sex::Male, b);
      ASSERT_TRUE(cast);
      const ChartState direct = LoadChart("王小明", Sex::Male, ResolveBirth(b).resolved->moment, school);
      EXPECT_EQ(cast.chart->conventions.luckStart, school);
      EXPECT_EQ(cast.chart->LuckChangeMinutes, direct.LuckChangeMinutes);
      EXPECT_EQ(cast.chart->LuckStartOffset, direct.LuckStartOffset);
      EXPECT_EQ(cast.chart->hourCandidate, b.hourCandidate);
    }
  }
  // A birth that names no school reads as before.
  EXPECT_EQ(CastBirth("王小明", Sex::Male, BirthOf({1990, 5, 17, 14, 30}, std::nullopt, DayChange::AtZiStart))
                .chart->conventions.luckStart,
            LuckStart::Table);
}

}  // namespace
}  // namespace qelm
