#include "place/posix_rule.hpp"

#include <algorithm>
#include <array>

namespace qelm {

namespace {

using std::chrono::days;
using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;
using std::chrono::sys_days;
using std::chrono::sys_seconds;

// Reads the text front to back; any fault leaves it failed.
class Reader {
 public:
  explicit Reader(std::string_view s) : s_(s) {}
  bool failed() const { return failed_; }
  bool done() const { return i_ == s_.size(); }
  bool Take(char c) {
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  char Peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }

  // A zone abbreviation: "EST", or "<+0530>" quoted; three letters at least.
  void Name() {
    std::size_t n = 0;
    if (Take('<')) {
      while (i_ < s_.size() && s_[i_] != '>') ++i_, ++n;
      if (!Take('>')) failed_ = true;
    } else {
      while (i_ < s_.size() && ((s_[i_] >= 'A' && s_[i_] <= 'Z') || (s_[i_] >= 'a' && s_[i_] <= 'z'))) ++i_, ++n;
    }
    if (n < 3) failed_ = true;
  }

  int Number(int maxDigits, int limit) {
    int value = 0, n = 0;
    for (; n < maxDigits && i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9'; ++n)
      value = value * 10 + (s_[i_++] - '0');
    if (n == 0 || value > limit) failed_ = true;
    return value;
  }

  // [+-]hh[:mm[:ss]], hours up to maxHours.
  seconds Time(int maxHours) {
    const bool negative = Take('-');
    if (!negative) Take('+');
    seconds t = hours{Number(3, maxHours)};
    if (Take(':')) {
      t += minutes{Number(2, 59)};
      if (Take(':')) t += seconds{Number(2, 59)};
    }
    return negative ? -t : t;
  }

  PosixRule::Date RuleDate() {
    PosixRule::Date d;
    using Kind = PosixRule::Date::Kind;
    if (Take('J')) {
      d.kind = Kind::JulianNoLeap;
      d.day = Number(3, 365);
      if (d.day < 1) failed_ = true;
    } else if (Take('M')) {
      d.kind = Kind::MonthWeekDay;
      d.month = Number(2, 12);
      if (!Take('.')) failed_ = true;
      d.week = Number(1, 5);
      if (!Take('.')) failed_ = true;
      d.weekday = Number(1, 6);
      if (d.month < 1 || d.week < 1) failed_ = true;
    } else {
      d.kind = Kind::DayOfYear;
      d.day = Number(3, 365);
    }
    if (Take('/')) d.time = Time(167);
    return d;
  }

 private:
  std::string_view s_;
  std::size_t i_ = 0;
  bool failed_ = false;
};

// The local moment of the change in the year.
std::chrono::local_seconds LocalChange(const PosixRule::Date& d, int y) {
  using namespace std::chrono;
  using Kind = PosixRule::Date::Kind;
  local_days day;
  switch (d.kind) {
    case Kind::JulianNoLeap:  // 1..365, 29 February never counted
      day = local_days{year{y} / January / 1} + days{d.day - 1 + (year{y}.is_leap() && d.day >= 60 ? 1 : 0)};
      break;
    case Kind::DayOfYear:  // 0..365
      day = local_days{year{y} / January / 1} + days{d.day};
      break;
    case Kind::MonthWeekDay: {
      const auto m = month{static_cast<unsigned>(d.month)};
      const auto wd = weekday{static_cast<unsigned>(d.weekday)};
      day = d.week == 5 ? local_days{year{y} / m / wd[last]}
                        : local_days{year{y} / m / wd[static_cast<unsigned>(d.week)]};
      break;
    }
  }
  return day + d.time;
}

}  // namespace

std::optional<PosixRule> PosixRule::Parse(std::string_view text) {
  Reader r(text);
  PosixRule rule;
  r.Name();
  rule.standard_ = -r.Time(24);  // POSIX counts hours west of Greenwich
  if (!r.done()) {
    r.Name();
    rule.hasSaving_ = true;
    rule.saving_ = rule.standard_ + hours{1};
    if (r.Peek() != ',') rule.saving_ = -r.Time(24);
    // zic writes the rule whenever there is a saving time.
    if (!r.Take(',')) return std::nullopt;
    rule.start_ = r.RuleDate();
    if (!r.Take(',')) return std::nullopt;
    rule.end_ = r.RuleDate();
  }
  if (r.failed() || !r.done()) return std::nullopt;
  return rule;
}

ClockPeriod PosixRule::PeriodAt(sys_seconds t) const {
  constexpr sys_seconds kFirst = sys_days{std::chrono::year{1} / 1 / 1};
  constexpr sys_seconds kLast = sys_days{std::chrono::year{9999} / 12 / 31};
  if (!hasSaving_) return {kFirst, kLast, standard_, false};
  // The changes of the year before, of the year and of the year after, in
  // universal time: saving starts at a local time of standard time and ends
  // at one of saving time. A rule saving all year ends one year's saving at
  // the instant it starts the next; putting starts after ends at equal times
  // keeps that saving unbroken.
  struct Change {
    sys_seconds at;
    bool saving;
  };
  const int y = static_cast<int>(std::chrono::year_month_day{std::chrono::floor<days>(t)}.year());
  std::array<Change, 6> changes{};
  for (int k = 0; k < 3; ++k) {
    const int year = std::clamp(y - 1 + k, 1, 9999);
    changes[2 * k] = {sys_seconds{(LocalChange(start_, year) - standard_).time_since_epoch()}, true};
    changes[2 * k + 1] = {sys_seconds{(LocalChange(end_, year) - saving_).time_since_epoch()}, false};
  }
  std::stable_sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
    return a.at != b.at ? a.at < b.at : (!a.saving && b.saving);
  });
  ClockPeriod p{kFirst, changes.front().at, changes.front().saving ? standard_ : saving_,
                !changes.front().saving};
  for (std::size_t i = 0; i < changes.size(); ++i) {
    if (changes[i].at > t) break;
    p.begin = changes[i].at;
    p.end = i + 1 < changes.size() ? changes[i + 1].at : kLast;
    p.saving = changes[i].saving;
    p.offset = p.saving ? saving_ : standard_;
  }
  return p;
}

}  // namespace qelm
