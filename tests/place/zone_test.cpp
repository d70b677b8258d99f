#include "place/zone.hpp"

#include <gtest/gtest.h>

#include <type_traits>

#include "place/correction.hpp"
#include "place/posix_rule.hpp"

namespace qelm {
namespace {

// A clock time and an instant are different types: one becomes the other only
// through a zone.
template <class A, class B>
concept Comparable = requires(A a, B b) { a < b; };
static_assert(!std::is_convertible_v<UtcSeconds, Moment> && !std::is_convertible_v<Moment, UtcSeconds>);
static_assert(!Comparable<Moment, UtcSeconds> && !Comparable<Date, std::chrono::sys_days>);

// Table time (UTC+8), a zone's clock time and apparent solar time are three
// clocks: none stands for another, compares with it or subtracts from it; a
// clock time becomes table time only through a zone, solar time only from
// an instant and a longitude.
template <class A, class B>
concept Subtractable = requires(A a, B b) { a - b; };
template <class To, class From>
concept Assignable = requires(To to, From from) { to = from; };
template <class Time>
concept ResolvableAtZone = requires(const TimeZone& z, Time t) { ResolveClock(z, t); };
template <class Time>
concept TableTimeFromItself = requires(Time t) { TableTimeOf(t); };
template <class Time>
concept ReadByFixedZone = requires(Time t) { kTableZone.UtcAt(t); };
static_assert(!std::is_convertible_v<ClockTime, TableTime> && !std::is_convertible_v<TableTime, ClockTime>);
static_assert(!std::is_convertible_v<SolarTime, TableTime> && !std::is_convertible_v<SolarTime, ClockTime>);
static_assert(!Assignable<TableTime&, ClockTime> && !Assignable<TableTime&, SolarTime> && !Assignable<ClockTime&, SolarTime>);
static_assert(!Comparable<ClockTime, TableTime> && !Comparable<SolarTime, TableTime> && !Comparable<ClockTime, SolarTime>);
static_assert(!Subtractable<ClockTime, TableTime> && !Subtractable<TableTime, SolarTime>);
// A New York clock time never goes where table time is asked for, nor table
// time where a zone's clock is resolved.
static_assert(ResolvableAtZone<ClockTime> && !ResolvableAtZone<TableTime> && !ResolvableAtZone<SolarTime>);
static_assert(TableTimeFromItself<UtcSeconds> && !TableTimeFromItself<ClockTime> && !TableTimeFromItself<SolarTime>);
static_assert(ReadByFixedZone<ClockTime> && !ReadByFixedZone<TableTime>);
static_assert(std::is_same_v<decltype(CorrectBirth({}, {}, TimeMode::Solar).correction->solar), SolarTime>);

TEST(ZoneRules, TableClocksKeepUtcPlusEight) {
  for (const Moment table : {MakeMoment(1900, 1, 1, 0, 0), MakeMoment(1969, 12, 31, 23, 59), MakeMoment(2100, 12, 31, 7, 59)}) {
    const CivilFields f = Fields(table);
    const ClockTime clock = MakeClockTime(f.year, f.month, f.day, f.hour, f.minute);
    const UtcSeconds utc = kTableZone.UtcAt(clock);
    EXPECT_EQ(utc, UtcOf(table));
    EXPECT_EQ(Fields(TableTimeOf(utc)), f);
    EXPECT_EQ(TableTimeOf(utc + std::chrono::seconds{59}), table);  // the minute it lies in
    EXPECT_EQ(TableTimeOf(utc - std::chrono::seconds{1}), table - std::chrono::minutes{1});
    EXPECT_EQ(Fields(FixedZone{std::chrono::minutes{0}}.ClockAt(utc)), Fields(table - std::chrono::hours{8}));
    EXPECT_EQ(Fields(ClockTimeAt(*TimeZone::Find("Etc/GMT-8"), utc)), f);  // the zone of UTC+8
  }
}

// Past 2037 the zone files list no changes; the clocks follow the rule at
// each file's end. Every value below is worked out from that rule by hand:
//   New York  EST5EDT,M3.2.0,M11.1.0            2nd Sunday of March, 1st of November, 2:00
//   London    GMT0BST,M3.5.0/1,M10.5.0          last Sundays of March (1:00 GMT) and October (2:00 BST)
//   Dublin    IST-1GMT0,M10.5.0,M3.5.0/1        the same clocks, winter marked as the negative saving
//   Sydney    AEST-10AEDT,M10.1.0,M4.1.0/3      1st Sundays of October (2:00) and April (3:00)
//   Lord Howe <+1030>-10:30<+11>-11,M10.1.0,M4.1.0   half an hour, 2:00 both ways
//   Santiago  <-04>4<-03>,M9.1.6/24,M4.1.6/24   midnight after the 1st Saturday of September and April
TEST(ZoneRules, ClocksPast2037FollowTheClosingRule) {
  struct Case {
    const char* zone;
    int y, m, d, h, n;
    ClockState state;
    int offset0, offset1;  // minutes, of the readings
    int dst0;
    const char* change;  // "yyyy/mm/dd hh:mm>hh:mm" for a gap or an overlap
  };
  using S = ClockState;
  const Case cases[] = {
      {"America/New_York", 2038, 1, 15, 12, 0, S::Unique, -300, -300, 0, ""},
      {"America/New_York", 2038, 3, 14, 2, 30, S::Gap, -300, -240, 0, "2038/03/14 02:00>03:00"},
      {"America/New_York", 2050, 7, 1, 12, 0, S::Unique, -240, -240, 60, ""},
      {"America/New_York", 2050, 3, 13, 2, 30, S::Gap, -300, -240, 0, "2050/03/13 02:00>03:00"},
      {"America/New_York", 2099, 11, 1, 1, 30, S::Overlap, -240, -300, 60, "2099/11/01 02:00>01:00"},
      {"Europe/London", 2038, 10, 31, 1, 30, S::Overlap, 60, 0, 60, "2038/10/31 02:00>01:00"},
      {"Europe/London", 2050, 7, 1, 12, 0, S::Unique, 60, 60, 60, ""},
      {"Europe/London", 2099, 1, 15, 12, 0, S::Unique, 0, 0, 0, ""},
      {"Europe/Dublin", 2050, 1, 15, 12, 0, S::Unique, 0, 0, 0, ""},
      {"Europe/Dublin", 2050, 7, 1, 12, 0, S::Unique, 60, 60, 60, ""},
      {"Europe/Dublin", 2099, 3, 29, 1, 30, S::Gap, 0, 60, 0, "2099/03/29 01:00>02:00"},
      {"Europe/Dublin", 2038, 10, 31, 1, 30, S::Overlap, 60, 0, 60, "2038/10/31 02:00>01:00"},
      {"Australia/Sydney", 2038, 10, 3, 2, 30, S::Gap, 600, 660, 0, "2038/10/03 02:00>03:00"},
      {"Australia/Sydney", 2050, 1, 15, 12, 0, S::Unique, 660, 660, 60, ""},
      {"Australia/Sydney", 2050, 7, 1, 12, 0, S::Unique, 600, 600, 0, ""},
      {"Australia/Sydney", 2099, 4, 5, 2, 30, S::Overlap, 660, 600, 60, "2099/04/05 03:00>02:00"},
      {"Australia/Lord_Howe", 2038, 10, 3, 2, 10, S::Gap, 630, 660, 0, "2038/10/03 02:00>02:30"},
      {"Australia/Lord_Howe", 2050, 1, 15, 12, 0, S::Unique, 660, 660, 30, ""},
      {"Australia/Lord_Howe", 2050, 7, 1, 12, 0, S::Unique, 630, 630, 0, ""},
      {"Australia/Lord_Howe", 2099, 4, 5, 1, 45, S::Overlap, 660, 630, 30, "2099/04/05 02:00>01:30"},
      {"America/Santiago", 2038, 7, 1, 12, 0, S::Unique, -240, -240, 0, ""},
      {"America/Santiago", 2050, 1, 15, 12, 0, S::Unique, -180, -180, 60, ""},
      {"America/Santiago", 2050, 9, 4, 0, 30, S::Gap, -240, -180, 0, "2050/09/04 00:00>01:00"},
      {"America/Santiago", 2099, 4, 4, 23, 30, S::Overlap, -180, -240, 60, "2099/04/05 00:00>23:00"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.zone) + " " + MomentText(MakeMoment(k.y, k.m, k.d, k.h, k.n)));
    const auto zone = TimeZone::Find(k.zone);
    ASSERT_TRUE(zone);
    const ClockTime clock = MakeClockTime(k.y, k.m, k.d, k.h, k.n);
    const ClockResolution r = ResolveClock(*zone, clock);
    EXPECT_EQ(r.state, k.state);
    EXPECT_EQ(r.readings[0].utcOffsetSeconds, k.offset0 * 60);
    EXPECT_EQ(r.readings[1].utcOffsetSeconds, k.offset1 * 60);
    EXPECT_EQ(r.readings[0].dstMinutes, k.dst0);
    for (const ClockReading& reading : r.readings) {
      const std::chrono::seconds offset{reading.utcOffsetSeconds};
      EXPECT_EQ(reading.utc.time_since_epoch(), clock.time_since_epoch() - offset);
      // A gap's readings name moments when the clock showed another time.
      if (k.state != S::Gap) {
        EXPECT_EQ(ReadingAt(*zone, reading.utc).utcOffsetSeconds, reading.utcOffsetSeconds);
      }
    }
    if (k.state != S::Unique) {
      const std::string to = MomentText(r.changedTo);
      EXPECT_EQ(MomentText(r.changedAt) + ">" + to.substr(to.size() - 5), k.change);
    }
  }
}

// Dublin marks its winter as a negative saving and Casablanca (since 2018)
// its Ramadan months; people there know the other period as the one with the
// clocks put forward, as the zone files written the older way say.
TEST(ZoneRules, SavingIsNeverNegative) {
  struct Case {
    const char* zone;
    MomentInput clock;
    int offset, dst;
  };
  const Case cases[] = {
      {"Europe/Dublin", {1990, 1, 15, 12, 0}, 0, 0},       {"Europe/Dublin", {1990, 7, 15, 12, 0}, 60, 60},
      {"Europe/Dublin", {2024, 1, 15, 12, 0}, 0, 0},       {"Europe/Dublin", {2024, 7, 15, 12, 0}, 60, 60},
      {"Africa/Casablanca", {2020, 5, 1, 12, 0}, 0, 0},    {"Africa/Casablanca", {2020, 1, 15, 12, 0}, 60, 60},
      {"Africa/Casablanca", {2010, 7, 15, 12, 0}, 60, 60}, {"Africa/Casablanca", {2010, 1, 15, 12, 0}, 0, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.zone) + " " + std::to_string(k.clock.InputYear) + "-" + std::to_string(k.clock.InputMonth));
    const auto out = CorrectBirth(k.clock, {"", -6.25, 53.3, k.zone}, TimeMode::Solar);
    ASSERT_TRUE(out);
    EXPECT_EQ(out.correction->utcOffsetMinutes(), k.offset);
    EXPECT_EQ(out.correction->dstMinutes, k.dst);
    // The line names a saving only where there is one.
    EXPECT_EQ(CorrectionLine(*out.correction).find("夏令時") != std::string::npos, k.dst != 0);
  }
}

// Local mean time before the zones had seconds in its offset: Hong Kong kept
// +7:36:42 until 1904, its own longitude's time.
TEST(ZoneRules, OffsetsKeepTheirSeconds) {
  const Place hongKong{"香港", 114.1694, 22.3193, "Asia/Hong_Kong"};
  const auto standard = CorrectBirth({1902, 3, 1, 12, 0}, hongKong, TimeMode::Standard);
  ASSERT_TRUE(standard);
  EXPECT_EQ(standard.correction->utcOffsetSeconds, 7 * 3600 + 36 * 60 + 42);
  EXPECT_NE(CorrectionLine(*standard.correction).find("UTC+7:36:42"), std::string::npos);
  // 12:00 LMT is 04:23:18 UT, 12:23:18 in UTC+8: the minute it lies in.
  EXPECT_EQ(MomentText(standard.correction->standard), "1902/03/01 12:23");
  const auto solar = CorrectBirth({1902, 3, 1, 12, 0}, hongKong, TimeMode::Solar);
  ASSERT_TRUE(solar);
  EXPECT_NEAR(solar.correction->longitudeMinutes(), 0.0, 0.1);
  EXPECT_NE(CorrectionLine(*solar.correction).find("經度時差 0分"), std::string::npos) << CorrectionLine(*solar.correction);
}

// Only the zones and links of the database are zones; nothing else opens a
// file, whatever the name holds.
TEST(ZoneRules, OnlyDatabaseZoneIdsAreZones) {
  for (const char* id : {"Asia/Taipei", "ROC", "Etc/UTC", "America/Argentina/Buenos_Aires", "America/Nuuk"})
    EXPECT_TRUE(TimeZone::Find(id)) << id;
  for (const char* id : {"localtime", "posixrules", "Factory", "../../etc/passwd", "/etc/passwd", "Asia/../Asia/Taipei",
                         "Asia//Taipei", "posix/Asia/Taipei", "right/Asia/Taipei", "", "Asia/Taipei\n", "zone.tab",
                         "tzdata.zi", "Asia/Nowhere"})
    EXPECT_FALSE(TimeZone::Find(id)) << id;
}

TEST(ZoneRules, ClosingRulesReadAsWritten) {
  for (const char* text : {"CST-8", "<+0545>-5:45", "EST5EDT,M3.2.0,M11.1.0", "<-02>2<-01>,M3.5.0/-1,M10.5.0/0",
                           "EET-2EEST,M3.4.4/50,M10.4.4/50", "IST-2IDT,M3.4.4/26,M10.5.0", "EST5EDT,0/0,J365/25"})
    EXPECT_TRUE(PosixRule::Parse(text)) << text;
  for (const char* text : {"", "EST", "EST5EDT", "EST5EDT,M3.2.0", "EST5EDT,M13.2.0,M11.1.0", "EST5x", "<+05", "ES5",
                           "EST5EDT,M3.2.0,M11.1.0,", "EST5EDT,M3.2.0/200,M11.1.0"})
    EXPECT_FALSE(PosixRule::Parse(text)) << text;
  // Nuuk puts its clocks forward at "−1" hours of the last Sunday of March
  // (23:00 the Saturday before) by its standard time of UTC−2: 01:00 UTC.
  const auto nuuk = PosixRule::Parse("<-02>2<-01>,M3.5.0/-1,M10.5.0/0");
  const ClockPeriod p = nuuk->PeriodAt(std::chrono::sys_days{std::chrono::year{2050} / 7 / 1});
  EXPECT_TRUE(p.saving);
  EXPECT_EQ(p.offset, std::chrono::hours{-1});
  EXPECT_EQ(p.begin, std::chrono::sys_days{std::chrono::year{2050} / 3 / 27} + std::chrono::hours{1});
}

}  // namespace
}  // namespace qelm
