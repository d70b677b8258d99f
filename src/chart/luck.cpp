// Luck pillars (大運): direction, sequence, change moments and ages.
#include <algorithm>

#include "calendar/tables.hpp"
#include "chart/chart.hpp"

namespace qelm {

std::string NumberText(long long n) { return Compose(Num{n}); }

std::string_view ClassifyChart(Sex sex) { return sex == Sex::Male ? "乾造" : "坤造"; }

std::array<Pillar, 12> LuckPillars(Pillar monthPillar, bool forward) {
  std::array<Pillar, 12> out{};
  for (int k = 1; k <= 12; ++k) out[k - 1] = monthPillar.next(forward ? k : -k);
  return out;
}

int LuckStartAgeOf(std::int64_t wholeHours) {
  // 三日折一歲: three days of real time make one year of life; a remainder of
  // one day is dropped, a remainder of two days counts as a year.
  const std::int64_t d = std::max<std::int64_t>(wholeHours, 0) / 24;
  return static_cast<int>(d / 3 + (d % 3 == 2 ? 1 : 0));
}

std::string LuckAgeRange(int LuckStartAge, int k) {
  const int a = (k - 1) * 10 + LuckStartAge;
  return Compose(Num{a}, " - ", Num{a + 9});
}

namespace {

struct LuckStartNames {
  LuckStart school;
  std::string_view key, name;
};
constexpr std::array<LuckStartNames, 3> kLuckStarts{{
    {LuckStart::Table, "table", "逐節交運"},
    {LuckStart::Exact, "exact", "三日為一歲精算"},
    {LuckStart::Shichen, "shichen", "命理探源時辰法"},
}};

}  // namespace

std::string_view LuckStartKey(LuckStart s) { return kLuckStarts[static_cast<std::size_t>(s)].key; }
std::string_view LuckStartName(LuckStart s) { return kLuckStarts[static_cast<std::size_t>(s)].name; }

std::optional<LuckStart> ParseLuckStart(std::string_view text) {
  for (const LuckStartNames& n : kLuckStarts)
    if (text == n.key || text == n.name) return n.school;
  return std::nullopt;
}

LuckOffset ExactLuckOffset(std::int64_t realMinutes) {
  // 三日為一歲: 3 days (4320 minutes) a year, 6 hours (360 minutes) a month,
  // 12 minutes a day, 1 minute two hours (30 seconds an hour).
  std::int64_t r = std::max<std::int64_t>(realMinutes, 0);
  LuckOffset o;
  o.years = static_cast<int>(r / 4320);
  r %= 4320;
  o.months = static_cast<int>(r / 360);
  r %= 360;
  o.days = static_cast<int>(r / 12);
  o.hours = static_cast<int>(r % 12) * 2;
  return o;
}

LuckOffset ShichenLuckOffset(Moment earlier, Moment later) {
  // 三日一歲, 一日四月, 一時辰十日: whole days are four months each, and
  // every three 時辰 a month, each one left over ten days.
  const CivilFields e = Fields(earlier), l = Fields(later);
  int days = DaysBetween(DateOf(earlier), DateOf(later));
  int h = ShichenIndex(l.hour) - ShichenIndex(e.hour);
  if (h < 0) {
    h += 12;
    --days;
  }
  const int months = std::max(days, 0) * 4 + h / 3;
  LuckOffset o;
  o.years = months / 12;
  o.months = months % 12;
  o.days = (h % 3) * 10;
  return o;
}

Moment AddLuckOffset(Moment birth, const LuckOffset& o) {
  const CivilFields b = Fields(birth);
  return MakeMoment(MakeDate(b.year + o.years, b.month + o.months, b.day + o.days), b.hour + o.hours,
                    b.minute + o.minutes);
}

namespace {

// One real minute is 120 minutes of life: a day is 120 days, a month of real
// time about ten years.
constexpr std::int64_t kLifeMinutesPerMinute = 120;
constexpr std::int64_t kMinutesPerDay = 1440;

// "yyyy年mm月dd日", as ChineseDateText writes it, into `text`.
void PutChangeDate(DateText& text, Date d) {
  const std::chrono::year_month_day ymd{d};
  const auto year = static_cast<unsigned>(static_cast<int>(ymd.year()));  // four digits in the tables
  std::array<char, 20> bytes{};
  char* p = PutTwoDigits(PutTwoDigits(bytes.data(), year / 100 % 100), year % 100);
  p = std::copy_n("年", 3, p);
  p = PutTwoDigits(p, static_cast<unsigned>(ymd.month()));
  p = std::copy_n("月", 3, p);
  p = PutTwoDigits(p, static_cast<unsigned>(ymd.day()));
  p = std::copy_n("日", 3, p);
  text.assign(bytes, static_cast<std::size_t>(p - bytes.data()));
}

DateText ChangeDateText(Date d) {
  DateText text;
  PutChangeDate(text, d);
  return text;
}

// The change at a term: returns the term's moment as the tables write it and
// puts the minutes of life to it and its date; "", none and "—" outside the
// tables.
std::string_view ChangeAt(int termIndex, Moment birth, Date birthDate, bool forward,
                          std::optional<std::int32_t>& lifeMinutes, DateText& date) {
  const auto term = SolarTermAt(termIndex);
  if (!term) {
    lifeMinutes = std::nullopt;
    date = "—";
    return "";
  }
  const std::int64_t m =
      (forward ? MinutesBetween(birth, *term) : MinutesBetween(*term, birth)) * kLifeMinutesPerMinute;
  lifeMinutes = static_cast<std::int32_t>(m);
  // Integer division truncates like the original count of whole days.
  PutChangeDate(date, birthDate + std::chrono::days{m / kMinutesPerDay});
  return *SolarTermMoment(termIndex);
}

// The age ranges as LuckAgeRange writes them, made once for the first ages a
// chart may have.
const std::string& AgeRangeFrom(int age) {
  static const std::array<std::string, 256> kRanges = [] {
    std::array<std::string, 256> ranges;
    for (int a = 0; a < 256; ++a) ranges[static_cast<std::size_t>(a)] = LuckAgeRange(a, 1);
    return ranges;
  }();
  return kRanges[static_cast<std::size_t>(age)];
}

// exact and shichen: the first pillar opens at the birth plus the time to
// the governing 節 in life, each later one ten years after the one before;
// the branch takes over five years into its pillar.
void DateFromTheFirstJie(ChartState& c, Moment birth, int firstJie, bool forward) {
  const auto jie = SolarTermAt(firstJie);
  if (!jie) {
    c.LuckStartAge = 0;
    c.LuckStartOffset = {};
    c.LuckChangeMinutes.fill(std::nullopt);
    c.LuckChangeDates.fill("—");
    c.LuckMidChangeDates.fill("—");
    return;
  }
  const Moment earlier = forward ? birth : *jie, later = forward ? *jie : birth;
  c.LuckStartOffset = c.conventions.luckStart == LuckStart::Exact ? ExactLuckOffset(MinutesBetween(earlier, later))
                                                      : ShichenLuckOffset(earlier, later);
  c.LuckStartAge = c.LuckStartOffset.years;
  Moment start = AddLuckOffset(birth, c.LuckStartOffset);
  for (int i = 0; i < 12; ++i) {
    if (i > 0) start = AddLuckOffset(start, {.years = 10});
    const Moment mid = AddLuckOffset(start, {.years = 5});
    c.LuckChangeMinutes[i] = static_cast<std::int32_t>(MinutesBetween(birth, start));
    c.LuckChangeDates[i] = ChangeDateText(DateOf(start));
    c.LuckMidChangeDates[i] = ChangeDateText(DateOf(mid));
  }
}

}  // namespace

void LuckSchedule(ChartState& c) {
  const bool forward = c.Forward();
  const Moment birth = c.BirthMoment();
  const Date birthDate = DateOf(birth);
  // "yyyy/mm/dd", then the clock time unpadded: "2000/02/04 8:5".
  char date[10];
  char* p = PutDigits(date, static_cast<unsigned>(c.BirthYear), 4);
  *p++ = '/';
  p = PutDigits(p, static_cast<unsigned>(c.BirthMonth), 2);
  *p++ = '/';
  PutDigits(p, static_cast<unsigned>(c.BirthDay), 2);
  c.BirthDateText.assign(date, sizeof date);
  c.BirthMomentText = Compose(c.BirthDateText, " ", std::to_string(c.BirthHour), ":", std::to_string(c.BirthMinute));

  // Forward the pillars open at the jie terms after the birth month's jie;
  // backward at the birth month's own jie and the jie terms before it.
  const int base = forward ? c.birth.JieIndex + 2 : c.birth.JieIndex;
  for (int i = 0; i < 12; ++i) {
    const int jie = forward ? base + 2 * i : base - 2 * i;
    const int qi = forward ? jie + 1 : jie - 1;
    std::optional<std::int32_t> midMinutes;  // not kept
    c.LuckTermMoments[i] = ChangeAt(jie, birth, birthDate, forward, c.LuckChangeMinutes[i], c.LuckChangeDates[i]);
    c.LuckMidTermMoments[i] = ChangeAt(qi, birth, birthDate, forward, midMinutes, c.LuckMidChangeDates[i]);
  }

  // The start age counts whole clock hours (minutes dropped) to the first jie.
  c.LuckStartAge = 0;
  if (const auto first = SolarTermAt(base)) {
    c.LuckStartAge = LuckStartAgeOf(forward ? HourCount(birth, *first) : HourCount(*first, birth));
  }
  c.LuckStartOffset = {};
  if (c.conventions.luckStart != LuckStart::Table) DateFromTheFirstJie(c, birth, base, forward);
  for (int k = 1; k <= 12; ++k) {
    const int from = (k - 1) * 10 + c.LuckStartAge;
    c.LuckAgeRanges[k - 1] = from >= 0 && from < 256 ? AgeRangeFrom(from) : LuckAgeRange(c.LuckStartAge, k);
  }

  const auto pillars = LuckPillars(c.MonthPillar(), forward);
  for (int k = 0; k < 12; ++k) {
    c.LuckStems[k] = pillars[k].stem;
    c.LuckBranches[k] = pillars[k].branch;
  }
}

std::string LuckStartText(const ChartState& c) {
  const LuckOffset& o = c.LuckStartOffset;
  switch (c.conventions.luckStart) {
    case LuckStart::Table:
      break;
    case LuckStart::Exact:
      return Compose("起運", Num{o.years}, "歲", Num{o.months}, "月", Num{o.days}, "日", Num{o.hours}, "時");
    case LuckStart::Shichen:
      return Compose("起運", Num{o.years}, "歲", Num{o.months}, "月", Num{o.days}, "日");
  }
  return Compose("約", Num{c.LuckStartAge}, "歲起運");
}

std::string LuckDatesHeading(const ChartState& c) {
  if (c.conventions.luckStart == LuckStart::Table) return "交運日期";
  return Compose("交運日期 (", LuckStartName(c.conventions.luckStart), ")");
}

int LuckIndexAt(const ChartState& c, Moment t) {
  const std::int64_t lived = MinutesBetween(c.BirthMoment(), t);
  // A pillar holds from its change minute on; a pillar whose change lies
  // outside the solar-term tables is never taken as current.
  int index = 0;
  for (int k = 1; k <= 12; ++k) {
    const auto& change = c.LuckChangeMinutes[k - 1];
    if (change && *change <= lived) index = k;
  }
  return index;
}

int AgeAt(const ChartState& c, int year, int month, int day) {
  int a = year - c.BirthYear;
  if (MakeDate(year, month, day) < MakeDate(year, c.BirthMonth, c.BirthDay)) --a;
  if (a < 1) return 0;
  if (a > 119) return 120;
  return a;
}

}  // namespace qelm
