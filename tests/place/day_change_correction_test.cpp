// Under 真太陽時 the hour of 23 that 子正換日 keeps on its own date is the
// hour of the solar time, not of the clock.
#include <gtest/gtest.h>

#include "chart/chart.hpp"
#include "place/correction.hpp"

namespace qelm {
namespace {

TEST(DayChangeCorrection, SolarHourDecides) {
  Place kashgar;
  for (const KnownPlace& p : KnownPlaces())
    if (p.name == "喀什") kashgar = p.place();
  // 02:30 on the clock at Kashgar is about 23:20 of the day before in solar time.
  const CorrectionOutcome c = CorrectBirth({2000, 2, 5, 2, 30}, kashgar, TimeMode::Solar);
  ASSERT_TRUE(c);
  const CivilFields solar = Fields(c.correction->solar);
  ASSERT_EQ(solar.hour, 23);
  ASSERT_EQ(solar.day, 4);

  const MomentResult mid = *CorrectedMoment(*c.correction, DayChange::AtMidnight).result;
  const MomentResult zi = *CorrectedMoment(*c.correction, DayChange::AtZiStart).result;
  const MomentResult eve = *CalcMoment({2000, 2, 4, 22, 59}).result;
  const MomentResult next = *CalcMoment({2000, 2, 5, 0, 0}).result;
  EXPECT_TRUE(mid.lateZi);
  EXPECT_FALSE(zi.lateZi);
  EXPECT_EQ(mid.MomentPillars.Day, eve.MomentPillars.Day);
  EXPECT_EQ(mid.MomentLunarDay, eve.MomentLunarDay);
  EXPECT_EQ(zi.MomentPillars.Day, next.MomentPillars.Day);
  // The hour pillar is the same; the year and the month follow the standard
  // moment, after 立春 (02/04 20:35).
  EXPECT_EQ(mid.MomentPillars.Hour, zi.MomentPillars.Hour);
  EXPECT_EQ(mid.MomentPillars.Hour.branch, Branch{1});
  EXPECT_EQ(mid.MomentPillars.Year.stem, Stem{7});
  EXPECT_EQ(mid.JieName, "立春");
  EXPECT_NE(BirthDataLine(LoadChart("甲", Sex::Male, mid)).find("子正換日"), std::string::npos);
  EXPECT_EQ(BirthDataLine(LoadChart("甲", Sex::Male, zi)).find("子正換日"), std::string::npos);

  // A clock hour of 23 that is not 23 in solar time keeps nothing.
  const CorrectionOutcome east = CorrectBirth({2000, 2, 4, 23, 30}, kashgar, TimeMode::Solar);
  ASSERT_TRUE(east);
  EXPECT_FALSE(CorrectedMoment(*east.correction, DayChange::AtMidnight).result->lateZi);
}

}  // namespace
}  // namespace qelm
