// Luck pillars (大運): direction, sequence, change moments and ages.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <span>

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

// "mm月dd日" for each day of a year counted from 1 March: as the leap day
// comes last, one table serves every year.
constexpr auto kMonthDayTexts = [] {
  constexpr std::array<int, 12> kDaysFromMarch{31, 30, 31, 30, 31, 31, 30, 31, 30, 31, 31, 29};
  std::array<std::array<char, 10>, 366> texts{};
  std::size_t at = 0;
  for (int m = 0; m < 12; ++m) {
    for (int d = 1; d <= kDaysFromMarch[static_cast<std::size_t>(m)]; ++d) {
      const int month = m < 10 ? m + 3 : m - 9;
      const std::array<std::string_view, 4> parts{std::string_view(kDigitPairs.data() + 2 * month, 2), "月",
                                                  std::string_view(kDigitPairs.data() + 2 * d, 2), "日"};
      std::size_t n = 0;
      for (const std::string_view part : parts)
        for (const char c : part) texts[at][n++] = c;
      ++at;
    }
  }
  return texts;
}();

// The change dates of the tables' births fall in the 400 years from 1 March
// 1899: the days from its start to each 1 March, and each year's text.
constexpr int kFirstMarchYear = 1899, kMarchYears = 400;
constexpr auto kMarchFirsts = [] {
  std::array<std::int32_t, kMarchYears + 1> days{};
  for (int k = 1; k <= kMarchYears; ++k) {
    const int february = kFirstMarchYear + k;  // the year whose February closes year k - 1
    const bool leap = february % 4 == 0 && (february % 100 != 0 || february % 400 == 0);
    days[static_cast<std::size_t>(k)] = days[static_cast<std::size_t>(k - 1)] + (leap ? 366 : 365);
  }
  return days;
}();
constexpr auto kYearTexts = [] {  // "yyyy年" for each year from 1899
  std::array<std::array<char, 8>, kMarchYears + 1> texts{};
  for (int k = 0; k <= kMarchYears; ++k) {
    const int year = kFirstMarchYear + k;
    const std::array<std::string_view, 3> parts{std::string_view(kDigitPairs.data() + 2 * (year / 100), 2),
                                                std::string_view(kDigitPairs.data() + 2 * (year % 100), 2), "年"};
    std::size_t n = 0;
    for (const std::string_view part : parts)
      for (const char c : part) texts[static_cast<std::size_t>(k)][n++] = c;
  }
  return texts;
}();
constexpr std::int64_t kFirstMarchDay =
    std::chrono::sys_days{std::chrono::year{kFirstMarchYear} / 3 / 1}.time_since_epoch().count();

// "yyyy年mm月dd日" into `text`.
inline void PutChangeDate(DateText& text, Date d) {
  std::array<char, 20> bytes;
  const std::int64_t day = d.time_since_epoch().count() - kFirstMarchDay;
  if (day >= 0 && day < kMarchFirsts.back()) {
    // Four years hold 1461 days, one fewer for each century year that is not
    // leap: the year is the estimate or the one after it.
    auto k = static_cast<std::size_t>(day * 4 / 1461);
    if (day >= kMarchFirsts[k + 1]) ++k;
    const auto dayOfYear = static_cast<std::size_t>(day - kMarchFirsts[k]);
    // January and February close the year that began on 1 March.
    std::memcpy(bytes.data(), kYearTexts[k + (dayOfYear >= 306 ? 1 : 0)].data(), 8);
    std::memcpy(bytes.data() + 7, kMonthDayTexts[dayOfYear].data(), 10);
  } else {
    const std::chrono::year_month_day ymd{d};
    const auto year = static_cast<unsigned>(static_cast<int>(ymd.year()));
    char* p = PutTwoDigits(PutTwoDigits(bytes.data(), year / 100 % 100), year % 100);
    std::memcpy(p, "年", 3);
    p = PutTwoDigits(p + 3, static_cast<unsigned>(ymd.month()));
    std::memcpy(p, "月", 3);
    p = PutTwoDigits(p + 3, static_cast<unsigned>(ymd.day()));
    std::memcpy(p, "日", 3);
  }
  text.assign(bytes, 17);
}

}  // namespace

DateText ChangeDateText(Date d) {
  DateText text;
  PutChangeDate(text, d);
  return text;
}

namespace {

// The terms of the tables, read at once.
struct Terms {
  std::span<const std::int32_t> minutes = SolarTermMinutes();
  std::span<const std::string_view> moments = SolarTermMoments();
};

// The change at a term: returns the term's moment as the tables write it and
// puts the minutes of life to it and its date; "", none and "—" outside the
// tables.
std::string_view ChangeAt(const Terms& terms, int termIndex, Moment birth, Date birthDate, bool forward,
                          std::optional<std::int32_t>& lifeMinutes, DateText& date) {
  if (termIndex < 1 || termIndex > static_cast<int>(terms.minutes.size())) {
    lifeMinutes = std::nullopt;
    date = "—";
    return "";
  }
  const auto at = static_cast<std::size_t>(termIndex - 1);
  const Moment term{std::chrono::minutes{terms.minutes[at]}};
  const std::int64_t m =
      (forward ? MinutesBetween(birth, term) : MinutesBetween(term, birth)) * kLifeMinutesPerMinute;
  lifeMinutes = static_cast<std::int32_t>(m);
  // Integer division truncates like the original count of whole days.
  PutChangeDate(date, birthDate + std::chrono::days{m / kMinutesPerDay});
  return terms.moments[at];
}

// The luck pillars of every month pillar, both ways, made once.
const std::array<Pillar, 12>& LuckPillarsOnce(Pillar month, bool forward) {
  using Both = std::array<std::array<Pillar, 12>, 2>;  // backward, forward
  static const std::array<Both, 120> kPillars = [] {
    std::array<Both, 120> pillars;
    for (int s = 1; s <= 10; ++s)
      for (int b = 1; b <= 12; ++b)
        for (const bool f : {false, true})
          pillars[static_cast<std::size_t>((s - 1) * 12 + b - 1)][f] = LuckPillars({Stem{s}, Branch{b}}, f);
    return pillars;
  }();
  return kPillars[static_cast<std::size_t>((month.stem.number() - 1) * 12 + month.branch.number() - 1)][forward];
}

// The age ranges as LuckAgeRange writes them, made once for the first ages a
// chart may have.
const AgeRangeText& AgeRangeFrom(int age) {
  static const std::array<AgeRangeText, 256> kRanges = [] {
    std::array<AgeRangeText, 256> ranges;
    for (int a = 0; a < 256; ++a) ranges[static_cast<std::size_t>(a)].assign(LuckAgeRange(a, 1));
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
  std::array<char, 40> text;
  char* p = PutDigits(text.data(), static_cast<unsigned>(c.BirthYear), 4);
  *p++ = '/';
  p = PutDigits(p, static_cast<unsigned>(c.BirthMonth), 2);
  *p++ = '/';
  p = PutDigits(p, static_cast<unsigned>(c.BirthDay), 2);
  c.BirthDateText.assign(text.data(), 10);
  *p++ = ' ';
  constexpr int kIntRoom = 11;  // a sign and ten digits
  p = std::to_chars(p, p + kIntRoom, c.BirthHour).ptr;
  *p++ = ':';
  p = std::to_chars(p, p + kIntRoom, c.BirthMinute).ptr;
  c.BirthMomentText.assign(text.data(), static_cast<std::size_t>(p - text.data()));

  // Forward the pillars open at the jie terms after the birth month's jie;
  // backward at the birth month's own jie and the jie terms before it.
  const int base = forward ? c.birth.JieIndex + 2 : c.birth.JieIndex;
  // Term n of the run counted from there: the jie opening pillar n / 2 + 1
  // at even n, the qi halfway through it (whose minutes are not kept) at odd.
  const Terms terms;
  for (int n = 0; n < 24; ++n) {
    const auto i = static_cast<std::size_t>(n / 2);
    const bool qi = n % 2 == 1;
    std::optional<std::int32_t> qiMinutes;
    (qi ? c.LuckMidTermMoments : c.LuckTermMoments)[i] =
        ChangeAt(terms, forward ? base + n : base - n, birth, birthDate, forward,
                 qi ? qiMinutes : c.LuckChangeMinutes[i], (qi ? c.LuckMidChangeDates : c.LuckChangeDates)[i]);
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
    if (from >= 0 && from < 256) c.LuckAgeRanges[k - 1] = AgeRangeFrom(from);
    else c.LuckAgeRanges[k - 1].assign(LuckAgeRange(c.LuckStartAge, k));
  }

  const Pillar month = c.MonthPillar();
  const auto pillars = month.valid() ? LuckPillarsOnce(month, forward) : LuckPillars(month, forward);
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
