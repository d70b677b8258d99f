// The rule a zoneinfo file ends with: the POSIX TZ string that gives the
// zone's clock past the file's last listed change ("EST5EDT,M3.2.0,M11.1.0",
// "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0/2", "IST-1GMT0,M10.5.0,M3.5.0/1"),
// with the extensions of RFC 8536 (rule times from −167 to 167 hours).
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace qelm {

// A stretch of time during which a zone's clock keeps one offset.
struct ClockPeriod {
  std::chrono::sys_seconds begin, end;  // end excluded
  std::chrono::seconds offset{};        // the clock minus universal time
  bool saving = false;                  // marked as daylight saving
};

class PosixRule {
 public:
  // Nothing for text that is not such a rule.
  static std::optional<PosixRule> Parse(std::string_view text);
  // The period holding the moment; without a saving time, one period
  // without end. Rules are defined only for the years 1..9999.
  ClockPeriod PeriodAt(std::chrono::sys_seconds t) const;

  // When and how the clocks change in a year.
  struct Date {
    enum class Kind { JulianNoLeap, DayOfYear, MonthWeekDay } kind = Kind::MonthWeekDay;
    int month = 0, week = 0, weekday = 0, day = 0;
    std::chrono::seconds time = std::chrono::hours{2};  // local time of the change
  };

 private:
  std::chrono::seconds standard_{}, saving_{};
  bool hasSaving_ = false;
  Date start_, end_;
};

}  // namespace qelm
