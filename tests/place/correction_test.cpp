#include "place/correction.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "chart/chart.hpp"
#include "place/solar.hpp"
#include "records/big5.hpp"

namespace qelm {
namespace {

Place Known(std::string_view name) {
  for (const KnownPlace& p : KnownPlaces())
    if (p.name == name) return p.place();
  ADD_FAILURE() << "no place " << name;
  return {};
}

MomentInput At(int y, int m, int d, int h, int n) { return {y, m, d, h, n}; }

// The clock read at the zone: offsets, daylight saving and the UTC+8 moment.
TEST(BirthCorrection, StandardMomentFollowsTheZoneHistory) {
  struct Case {
    const char* place;
    MomentInput clock;
    OverlapChoice choice;
    const char* standard;
    int offset, dst;
    ClockState state;
  };
  const Case cases[] = {
      {"臺北市", At(1975, 7, 1, 9, 30), OverlapChoice::Earlier, "1975/07/01 08:30", 540, 60, ClockState::Unique},
      {"臺北市", At(1940, 3, 1, 12, 0), OverlapChoice::Earlier, "1940/03/01 11:00", 540, 0, ClockState::Unique},
      {"臺北市", At(1990, 3, 1, 12, 0), OverlapChoice::Earlier, "1990/03/01 12:00", 480, 0, ClockState::Unique},
      {"上海", At(1988, 7, 1, 12, 0), OverlapChoice::Earlier, "1988/07/01 11:00", 540, 60, ClockState::Unique},
      {"香港", At(1970, 7, 1, 12, 0), OverlapChoice::Earlier, "1970/07/01 11:00", 540, 60, ClockState::Unique},
      {"喀什", At(2000, 2, 5, 1, 0), OverlapChoice::Earlier, "2000/02/05 01:00", 480, 0, ClockState::Unique},
      {"紐約", At(1990, 7, 1, 12, 0), OverlapChoice::Earlier, "1990/07/02 00:00", -240, 60, ClockState::Unique},
      {"紐約", At(1990, 1, 1, 12, 0), OverlapChoice::Earlier, "1990/01/02 01:00", -300, 0, ClockState::Unique},
      {"雪梨", At(1990, 1, 1, 12, 0), OverlapChoice::Earlier, "1990/01/01 09:00", 660, 60, ClockState::Unique},
      {"雪梨", At(1990, 7, 1, 12, 0), OverlapChoice::Earlier, "1990/07/01 10:00", 600, 0, ClockState::Unique},
      // Clocks put back at 02:00 EDT on 1990-10-28: 01:30 happened twice.
      {"紐約", At(1990, 10, 28, 1, 30), OverlapChoice::Earlier, "1990/10/28 13:30", -240, 60, ClockState::Overlap},
      {"紐約", At(1990, 10, 28, 1, 30), OverlapChoice::Later, "1990/10/28 14:30", -300, 0, ClockState::Overlap},
      // An hour of 24 is 0:00 of the next day.
      {"東京", At(2000, 2, 4, 24, 0), OverlapChoice::Earlier, "2000/02/04 23:00", 540, 0, ClockState::Unique},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.place) + " " + std::to_string(k.clock.InputYear));
    const CorrectionOutcome out = CorrectBirth(k.clock, Known(k.place), TimeMode::Standard, k.choice);
    ASSERT_TRUE(out) << CorrectionErrorText(out.error);
    EXPECT_EQ(MomentText(out.correction->standard), k.standard);
    EXPECT_EQ(out.correction->utcOffsetMinutes(), k.offset);
    EXPECT_EQ(out.correction->dstMinutes, k.dst);
    EXPECT_EQ(out.correction->state, k.state);
  }
  const auto overlap = CorrectBirth(At(1990, 10, 28, 1, 30), Known("紐約"), TimeMode::Standard);
  EXPECT_EQ(MomentText(overlap.correction->otherStandard), "1990/10/28 14:30");
}

TEST(BirthCorrection, RefusesWhatCannotBeCorrected) {
  struct Case {
    MomentInput clock;
    Place place;
    CorrectionError error;
  };
  const Place newYork = Known("紐約");
  const Case cases[] = {
      // Clocks put forward at 02:00 EST on 1990-04-01: 02:30 never happened.
      {At(1990, 4, 1, 2, 30), newYork, CorrectionError::Nonexistent},
      {At(1990, 2, 30, 12, 0), newYork, CorrectionError::BadMoment},
      {At(1900, 12, 31, 12, 0), newYork, CorrectionError::BadMoment},
      {At(1990, 1, 1, 12, 0), {"", 121.5, 25.0, "Asia/Nowhere"}, CorrectionError::UnknownZone},
      {At(1990, 1, 1, 12, 0), {"", 200, 25.0, "Asia/Taipei"}, CorrectionError::BadPlace},
      // New Year's Eve 2099 in New York is already 2100 in UTC+8.
      {At(2099, 12, 31, 20, 0), newYork, CorrectionError::OutOfRange},
  };
  for (const Case& k : cases) {
    const CorrectionOutcome out = CorrectBirth(k.clock, k.place, TimeMode::Solar);
    EXPECT_FALSE(out);
    EXPECT_EQ(out.error, k.error) << CorrectionErrorText(out.error);
  }
  const auto gap = CorrectBirth(At(1990, 4, 1, 2, 30), newYork, TimeMode::Standard);
  EXPECT_EQ(gap.resolution.state, ClockState::Gap);
  EXPECT_EQ(ClockChangeText(gap.resolution), "此時刻並不存在：當地時鐘在 1990/04/01 2時 0分 撥快到 3時 0分");
  const auto twice = CorrectBirth(At(1990, 10, 28, 1, 30), newYork, TimeMode::Standard);
  EXPECT_EQ(ClockChangeText(twice.resolution),
            "此時刻出現兩次：當地時鐘在 1990/10/28 2時 0分 撥回到 1時 0分，請選擇較早或較晚的一次");
  // Taiwan's last daylight saving ended on 1979-10-01 00:00, back to 23:00.
  const auto taipei = CorrectBirth(At(1979, 9, 30, 23, 15), Known("臺北市"), TimeMode::Standard);
  EXPECT_EQ(ClockChangeText(taipei.resolution),
            "此時刻出現兩次：當地時鐘在 1979/10/01 0時 0分 撥回到 23時 0分，請選擇較早或較晚的一次");
  EXPECT_EQ(ClockChangeText(CorrectBirth(At(1990, 7, 1, 2, 30), newYork, TimeMode::Standard).resolution), "");
  // The clock mode reads the clock as it is, even where it never stood.
  EXPECT_TRUE(CorrectBirth(At(1990, 4, 1, 2, 30), newYork, TimeMode::Clock));
  // Every refusal of a skipped clock time names the change of the clocks.
  EXPECT_EQ(CorrectionFailureText(gap), ClockChangeText(gap.resolution));
  EXPECT_EQ(CorrectionFailureText(CorrectBirth(At(1990, 2, 30, 12, 0), newYork, TimeMode::Solar)),
            CorrectionErrorText(CorrectionError::BadMoment));
}

// The engine's pillars under each mode. Year, month, day and hour pillars,
// the lunar date with the hour, and the elapsed days since the jie.
TEST(BirthCorrection, PillarsOfTheCorrectedBirth) {
  struct Case {
    const char* what;
    const char* place;
    MomentInput clock;
    TimeMode mode;
    const char* pillars;
    const char* lunar;
  };
  const Case cases[] = {
      // 立春 2000 falls at 20:40 UTC+8: 21:30 in Tokyo is 20:30 there.
      {"solar term, clock", "東京", At(2000, 2, 4, 21, 30), TimeMode::Clock, "庚辰戊寅壬辰辛亥", "己卯年十二月廿九日亥時"},
      {"solar term, standard", "東京", At(2000, 2, 4, 21, 30), TimeMode::Standard, "己卯丁丑壬辰庚戌",
       "己卯年十二月廿九日戌時"},
      // 01:00 on the lunar New Year in Kashgar is 21:50 of New Year's Eve by
      // the Sun: day, hour and lunar date go back across midnight and the
      // New Year; the solar term (立春, the day before) stays passed.
      {"new year, clock", "喀什", At(2000, 2, 5, 1, 0), TimeMode::Clock, "庚辰戊寅癸巳癸丑", "庚辰年正月初一日丑時"},
      {"new year, solar", "喀什", At(2000, 2, 5, 1, 0), TimeMode::Solar, "庚辰戊寅壬辰辛亥", "己卯年十二月廿九日亥時"},
      // New York noon is past midnight in UTC+8.
      {"midnight, standard", "紐約", At(1990, 1, 1, 12, 0), TimeMode::Standard, "己巳丙子丁卯辛丑",
       "己巳年十二月初六日丑時"},
      // Taipei early in November: the Sun runs 22 minutes ahead of the clock,
      // so 22:40 is already the 子 hour of the next day, 22:30 not yet.
      {"子 hour, solar", "臺北市", At(2000, 11, 3, 22, 40), TimeMode::Solar, "庚辰丙戌丙寅戊子", "庚辰年十月初九日子時"},
      {"亥 hour, solar", "臺北市", At(2000, 11, 3, 22, 30), TimeMode::Solar, "庚辰丙戌乙丑丁亥", "庚辰年十月初八日亥時"},
      {"亥 hour, clock", "臺北市", At(2000, 11, 3, 22, 40), TimeMode::Clock, "庚辰丙戌乙丑丁亥", "庚辰年十月初八日亥時"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const CorrectionOutcome out = CorrectBirth(k.clock, Known(k.place), k.mode);
    ASSERT_TRUE(out) << CorrectionErrorText(out.error);
    const MomentOutcome m = CorrectedMoment(*out.correction);
    ASSERT_TRUE(m);
    const ChartState c = LoadChart("", Sex::Male, *m.result);
    EXPECT_EQ(c.YearPillar().name() + c.MonthPillar().name() + c.DayPillar().name() + c.HourPillar().name(),
              k.pillars);
    EXPECT_EQ(LunarDateText(*m.result), k.lunar);
    EXPECT_EQ(m.result->reading, k.mode);  // the birth line names how the moment was read
  }
}

// Under 真太陽時 the luck schedule and commanding stem count from the
// absolute moment, not from the solar time.
TEST(BirthCorrection, SolarModeKeepsTheTermsOfTheStandardMoment) {
  const auto out = CorrectBirth(At(2000, 2, 5, 1, 0), Known("喀什"), TimeMode::Solar);
  ASSERT_TRUE(out);
  const auto standard = CalcMoment(InputOf(out.correction->standard));
  const auto solar = CorrectedMoment(*out.correction);
  EXPECT_EQ(solar.result->JieIndex, standard.result->JieIndex);
  EXPECT_EQ(solar.result->JieDays, standard.result->JieDays);
  EXPECT_EQ(solar.result->JieMinutes, standard.result->JieMinutes);
  EXPECT_EQ(solar.result->moment, standard.result->moment);
  EXPECT_EQ(LoadChart("", Sex::Male, *solar.result).LuckChangeMinutes, LoadChart("", Sex::Male, *standard.result).LuckChangeMinutes);
}

TEST(BirthCorrection, LineStatesTheCorrection) {
  struct Case {
    const char* place;
    MomentInput clock;
    TimeMode mode;
    const char* line;
  };
  const Case cases[] = {
      {"成都", At(2000, 5, 1, 14, 30), TimeMode::Solar,
       "真太陽時 13時 29分（成都 東經104°04′，經度時差 －64分，均時差 +3分）"},
      {"臺北市", At(1975, 7, 1, 9, 30), TimeMode::Standard,
       "標準時間 8時 30分（臺北市 UTC+9，夏令時 +60分，換算東八區 －60分）"},
      {"紐約", At(1990, 7, 1, 12, 0), TimeMode::Standard,
       "標準時間 1990年 7月 2日 0時 0分（紐約 UTC－4，夏令時 +60分，換算東八區 +720分）"},
      {"紐約", At(1990, 7, 1, 12, 0), TimeMode::Solar,
       "真太陽時 11時 0分（紐約 西經74°00′，夏令時 －60分，經度時差 +4分，均時差 －4分）"},
      {"紐約", At(1990, 10, 28, 1, 30), TimeMode::Standard,
       "標準時間 13時 30分（紐約 UTC－4，夏令時 +60分，換算東八區 +720分，重複的時刻取較早者）"},
      {"成都", At(2000, 5, 1, 14, 30), TimeMode::Clock, ""},
  };
  for (const Case& k : cases) {
    const auto out = CorrectBirth(k.clock, Known(k.place), k.mode);
    ASSERT_TRUE(out);
    EXPECT_EQ(CorrectionLine(*out.correction), k.line);
  }
}

// The solar time is taken to the minute it lies in: a birth whose solar time
// is hh:59:30 to hh:59:59 before a branch's first hour (every odd hour) keeps
// the branch before it, and before 23:00 the day too. For each boundary, a
// clock minute of 2000 at Taipei whose solar time falls there.
TEST(BirthCorrection, SolarMinuteIsTakenNotRounded) {
  const Place taipei = Known("臺北市");
  for (int hour = 1; hour <= 23; hour += 2) {
    SCOPED_TRACE(hour);
    bool found = false;
    for (int day = 0; day < 366 && !found; ++day) {
      for (int minute = -40; minute <= 20 && !found; ++minute) {
        const Moment clock = MakeMoment(2000, 1, 1 + day, hour, minute);
        const UtcSeconds utc = UtcOf(clock);
        const double solar = ApparentSolarSeconds(utc, taipei.longitude);
        const double intoMinute = std::fmod(solar, 60.0);
        const Moment last = MakeMoment(DateOf(Moment{std::chrono::minutes{static_cast<long long>(solar / 60)}}),
                                       hour - 1, 59);
        if (std::floor(solar / 60) != static_cast<double>(last.time_since_epoch().count()) || intoMinute < 30) continue;
        found = true;
        const auto out = CorrectBirth(InputOf(clock), taipei, TimeMode::Solar);
        ASSERT_TRUE(out) << CorrectionErrorText(out.error);
        EXPECT_EQ(Fields(out.correction->solar), Fields(last)) << MomentText(clock) << " solar +" << intoMinute << " s";
        const MomentOutcome cast = CorrectedMoment(*out.correction);
        const MomentOutcome before = CalcMoment(InputOf(last));
        const MomentOutcome after = CalcMoment(InputOf(last + std::chrono::minutes{1}));
        EXPECT_EQ(cast.result->MomentHourBranch, before.result->MomentHourBranch);
        EXPECT_NE(cast.result->MomentHourBranch, after.result->MomentHourBranch);
        EXPECT_EQ(cast.result->MomentPillars.Day.stem, before.result->MomentPillars.Day.stem);
        if (hour == 23) {
          EXPECT_NE(cast.result->MomentPillars.Day.stem, after.result->MomentPillars.Day.stem);
        }
      }
    }
    EXPECT_TRUE(found);
  }
}

// Only the moments the mode casts with must lie within 1901–2099.
TEST(BirthCorrection, RangeIsCheckedOnTheMomentsTheModeUses) {
  struct Case {
    const char* place;
    MomentInput clock;
    TimeMode mode;
    bool accepted;
  };
  const Case cases[] = {
      // Kashgar's Sun is still in 1900 at 00:30 on the first day of 1901.
      {"喀什", At(1901, 1, 1, 0, 30), TimeMode::Standard, true},
      {"喀什", At(1901, 1, 1, 0, 30), TimeMode::Solar, false},
      // Tokyo's Sun is already in 2100 at 23:50 on the last day of 2099.
      {"東京", At(2099, 12, 31, 23, 50), TimeMode::Standard, true},
      {"東京", At(2099, 12, 31, 23, 50), TimeMode::Solar, false},
      {"紐約", At(2099, 12, 31, 20, 0), TimeMode::Standard, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.place) + " " + std::string(TimeModeKey(k.mode)));
    const auto out = CorrectBirth(k.clock, Known(k.place), k.mode);
    EXPECT_EQ(static_cast<bool>(out), k.accepted);
    if (out) {
      EXPECT_TRUE(CorrectedMoment(*out.correction));
    } else {
      EXPECT_EQ(out.error, CorrectionError::OutOfRange);
    }
  }
}

// Reports are saved as Big5: every text the correction writes has a Big5
// form, for corrections of every kind, and so has every refusal.
TEST(BirthCorrection, TextsHaveABig5Form) {
  struct Case {
    Place place;
    MomentInput clock;
    TimeMode mode;
    OverlapChoice choice;
  };
  const Place newYork = Known("紐約");
  const Case cases[] = {
      {Known("成都"), At(2000, 5, 1, 14, 30), TimeMode::Solar, OverlapChoice::Earlier},       // west of 120°E
      {Known("成都"), At(2000, 5, 1, 14, 30), TimeMode::Standard, OverlapChoice::Earlier},
      {Known("臺北市"), At(1975, 7, 1, 9, 30), TimeMode::Standard, OverlapChoice::Earlier},   // saving
      {Known("臺北市"), At(1975, 7, 1, 9, 30), TimeMode::Solar, OverlapChoice::Earlier},
      {newYork, At(1990, 7, 1, 12, 0), TimeMode::Solar, OverlapChoice::Earlier},              // west, a day back
      {newYork, At(1990, 10, 28, 1, 30), TimeMode::Standard, OverlapChoice::Later},           // repeated hour
      {newYork, At(1990, 10, 28, 1, 30), TimeMode::Solar, OverlapChoice::Earlier},
      {Known("雪梨"), At(1990, 1, 1, 12, 0), TimeMode::Solar, OverlapChoice::Earlier},        // south
      {{"", 114.1694, 22.3193, "Asia/Hong_Kong"}, At(1902, 3, 1, 12, 0), TimeMode::Standard,  // seconds
       OverlapChoice::Earlier},
      {{"", -46.6, -23.5, "America/Sao_Paulo"}, At(1990, 1, 1, 12, 0), TimeMode::Solar, OverlapChoice::Earlier},
      {newYork, At(1990, 7, 1, 12, 0), TimeMode::Clock, OverlapChoice::Earlier},
  };
  std::vector<std::string> texts;
  for (const Case& k : cases) {
    const auto out = CorrectBirth(k.clock, k.place, k.mode, k.choice);
    ASSERT_TRUE(out);
    texts.push_back(CorrectionLine(*out.correction));
    texts.push_back(CorrectionDetail(*out.correction));
    if (out.resolution.state != ClockState::Unique) texts.push_back(ClockChangeText(out.resolution));
  }
  texts.push_back(CorrectionFailureText(CorrectBirth(At(1990, 4, 1, 2, 30), newYork, TimeMode::Solar)));
  for (CorrectionError e : {CorrectionError::BadMoment, CorrectionError::BadPlace, CorrectionError::UnknownZone,
                            CorrectionError::Nonexistent, CorrectionError::OutOfRange})
    texts.emplace_back(CorrectionErrorText(e));
  for (const std::string& text : texts) {
    const records::EncodedText big5 = records::EncodeBig5(text);
    EXPECT_TRUE(big5.bytes) << text << ": " << big5.unencodable;
    if (big5.bytes) {
      EXPECT_EQ(records::Big5Codec().Decode(*big5.bytes).text, text);
    }
  }
}

TEST(EquationOfTime, MeeusWorkedExample) {
  // Astronomical Algorithms, example 28.b: 1992 October 13.0, E = +13m 42.6s.
  const UtcSeconds t = std::chrono::sys_days{std::chrono::year{1992} / 10 / 13};
  EXPECT_NEAR(EquationOfTimeSeconds(t), 822.6, 2.0);
}

}  // namespace
}  // namespace qelm
