// The charts one civil date allows: the stretches are exactly the date's
// minutes, each cast on its own, grouped where the four pillars stay the same.
#include "place/birth_candidates.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "calendar/tables.hpp"

namespace qelm {
namespace {

// The reference: every minute of the day cast, neighbours with the same
// pillars joined.
std::vector<CandidateStretch> MinuteByMinute(Date date, const BirthCaster& caster) {
  std::vector<CandidateStretch> out;
  for (Moment t = MakeMoment(date, 0, 0); t < MakeMoment(date, 24, 0); t += std::chrono::minutes{1}) {
    const std::optional<FourPillars> p = caster.PillarsAt(t);
    if (!out.empty() && out.back().pillars == p) out.back().last = t;
    else out.push_back({t, t, p});
  }
  return out;
}

StoredBirthPlace At(const char* name, TimeMode mode) {
  const PlaceResolution r = ResolvePlace(name);
  EXPECT_TRUE(r.found()) << name;
  return {r.place, mode, OverlapChoice::Earlier};
}

TEST(CandidateStretches, AreTheMinutesPillarsGrouped) {
  const Place newYork{"New York", -74.006, 40.713, "America/New_York"};
  const std::vector<std::optional<StoredBirthPlace>> places{
      std::nullopt,
      At("臺北市", TimeMode::Standard),
      At("成都", TimeMode::Solar),
      StoredBirthPlace{newYork, TimeMode::Standard, OverlapChoice::Earlier},
      StoredBirthPlace{newYork, TimeMode::Solar, OverlapChoice::Later},
      At("烏魯木齊", TimeMode::Solar),
  };
  std::mt19937 random(200);
  const auto pick = [&random](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };
  int jieCuts = 0;
  for (int i = 0; i < 200; ++i) {
    // A 節 day, the 立春 day, a day New York's clocks change, or any day.
    Date date;
    std::optional<Moment> term;
    switch (i % 4) {
      case 0:
      case 1: {
        const int year = pick(1902, 2098);
        term = *SolarTermAt(SectionalTermIndex(year, i % 4 == 1 ? 2 : pick(1, 12)));
        date = DateOf(*term);
        break;
      }
      case 2: {
        const int year = pick(1990, 2040);  // second Sunday of March or first of November
        const Date first = MakeDate(year, pick(0, 1) ? 3 : 11, 1);
        const int toSunday = (7 - WeekdayNumber(first) + 1) % 7;
        date = first + std::chrono::days{toSunday + (Fields(MakeMoment(first, 0, 0)).month == 3 ? 7 : 0)};
        break;
      }
      default:
        date = MakeDate(pick(1901, 2099), pick(1, 12), pick(1, 28));
    }
    const BirthCaster caster{places[static_cast<std::size_t>(pick(0, static_cast<int>(places.size()) - 1))],
                             pick(0, 1) ? DayChange::AtZiStart : DayChange::AtMidnight};
    SCOPED_TRACE(UserMomentText(MakeMoment(date, 0, 0)) + (caster.place ? " " + caster.place->place.name : "") +
                 (caster.dayChange == DayChange::AtMidnight ? " 子正" : " 子初"));
    const std::vector<CandidateStretch> stretches = CandidateStretches(date, caster);
    ASSERT_EQ(stretches, MinuteByMinute(date, caster));
    ASSERT_EQ(stretches.front().first, MakeMoment(date, 0, 0));
    ASSERT_EQ(stretches.back().last, MakeMoment(date, 23, 59));
    // Without a place the table's 節 minute opens a stretch.
    if (term && !caster.place) {
      ASSERT_NE(StretchIndexOf(stretches, *term), -1);
      EXPECT_EQ(stretches[static_cast<std::size_t>(StretchIndexOf(stretches, *term))].first, *term);
      ++jieCuts;
    }
  }
  EXPECT_GT(jieCuts, 5);
}

// 1990-05-17 without a place, 子初換日: 庚子 (a 壬午 day) from 00:00 to
// 00:59, thirteen stretches, the last the 子 hour of the next day from 23:00.
TEST(CandidateStretches, AnOrdinaryDayWithoutAPlace) {
  const auto s = CandidateStretches(MakeDate(1990, 5, 17), BirthCaster{});
  ASSERT_EQ(s.size(), 13u);
  EXPECT_EQ(UserMomentText(s[0].last), "1990-05-17 00:59");
  EXPECT_EQ(s[0].pillars->hour.name(), "庚子");
  EXPECT_EQ(s[0].pillars->day.name(), "壬午");
  EXPECT_EQ(UserMomentText(s[12].first), "1990-05-17 23:00");
  EXPECT_EQ(s[12].pillars->day.name(), "癸未");
  EXPECT_EQ(CandidateStretches(MakeDate(1990, 5, 17), BirthCaster{std::nullopt, DayChange::AtMidnight})[12].pillars->day.name(),
            "壬午");
}

}  // namespace
}  // namespace qelm
