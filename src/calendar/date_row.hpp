// The date row of the flow moment: five fields (year, month, day, hour,
// minute), each stepped one unit at a time, with the carries that turn a step
// past a field's end into a step of the field before it.
//
// Each field has a range one step wider than its legal values (month 0..13,
// day 0..month length + 1, hour -1..24, minute -1..60); reaching such a value
// is how a carry is asked for. The date always stays between 1 January of
// kFirstYear and 31 December of kLastYear: at the two end years no carry
// leaves the range, so in the last year the hour may stand at 24, the minute
// at 60 and the day one past the month's end, and in the first year the
// minute at -1 and the day at 0 (the engine reads them as the moment they
// name).
//
// A carry counts from the date the row showed before the change. Every change
// of a field runs the rules again, so one step can cascade: a minute step over
// 23:59 on 31 December moves minute, hour, day, month and year.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>

#include "calendar/date.hpp"
#include "calendar/moment.hpp"

namespace qelm {

class DateRow {
 public:
  enum Field : int { kYear = 0, kMonth = 1, kDay = 2, kHour = 3, kMinute = 4 };
  static constexpr int kFields = 5;
  static constexpr Date kFirstDate = MakeDate(kFirstYear, 1, 1);
  static constexpr Date kLastDate = MakeDate(kLastYear, 12, 31);

  // 1 January of the first year, 00:00.
  constexpr DateRow() = default;
  // The five fields set in turn, year first, as "NOW" does.
  constexpr explicit DateRow(const CivilFields& at) { set(at); }

  constexpr int value(int field) const { return value_[field]; }
  constexpr std::array<int, kFields> values() const { return value_; }
  constexpr int minimum(int field) const { return kMinimum[field]; }
  constexpr int maximum(int field) const { return field == kDay ? dayEnd_ : kMaximum[field]; }

  // One field set from outside the row: the value given counts as shown
  // while its carries run; a value outside the field's range is held at its
  // end.
  constexpr void set(int field, int v) {
    shown_[field] = v;
    change(field, v);
    shown_[field] = value_[field];
  }
  constexpr void set(const CivilFields& at) {
    const std::array<int, kFields> v{at.year, at.month, at.day, at.hour, at.minute};
    for (int i = 0; i < kFields; ++i) set(i, v[i]);
  }
  // |steps| single steps up (positive) or down, each with its carries.
  constexpr void step(int field, int steps) {
    for (int n = 0; n < (steps < 0 ? -steps : steps); ++n) change(field, value_[field] + (steps < 0 ? -1 : 1));
  }
  // A new value for a field, held inside its range; when that differs from
  // the field's value, the rules run.
  constexpr void change(int field, int v) {
    v = std::clamp(v, minimum(field), maximum(field));
    if (v == value_[field]) return;
    value_[field] = v;
    changed(field);
  }

  // The moment as the calendar engine takes it: the fields as they stand
  // (the engine rolls a day 0 or one past the month's end over and reads
  // hour 24 and minutes -1 and 60), an hour below 0 as 0.
  constexpr MomentInput input() const {
    return {value_[kYear], value_[kMonth], value_[kDay], std::max(value_[kHour], 0), value_[kMinute]};
  }

  friend constexpr bool operator==(const DateRow&, const DateRow&) = default;

 private:
  static constexpr std::array<int, kFields> kMinimum{kFirstYear, 0, 0, -1, -1};
  static constexpr std::array<int, kFields> kMaximum{kLastYear, 13, 32, 24, 60};

  // The date plus n calendar months; a day beyond the new month's end
  // becomes that month's last day.
  static constexpr Date AddMonths(Date d, int n) {
    using namespace std::chrono;
    const year_month_day ymd{d};
    const year_month ym = year_month{ymd.year(), ymd.month()} + months{n};
    const day last = year_month_day_last{ym.year(), month_day_last{ym.month()}}.day();
    return local_days{ym / std::min(ymd.day(), last)};
  }

  constexpr void setDayEnd(int end) {
    dayEnd_ = std::max(kMinimum[kDay], end);
    if (value_[kDay] > dayEnd_) change(kDay, dayEnd_);
  }
  constexpr void setDate(Date date) {
    const std::chrono::year_month_day ymd{date};
    change(kYear, static_cast<int>(ymd.year()));
    change(kMonth, static_cast<int>(static_cast<unsigned>(ymd.month())));
    change(kDay, static_cast<int>(static_cast<unsigned>(ymd.day())));
  }

  // The rules after field i changed. Changes made here run them again for
  // their own field before this one goes on.
  constexpr void changed(int i) {
    const int y = value_[kYear], m = value_[kMonth], h = value_[kHour], n = value_[kMinute];
    int d = value_[kDay];

    // 1. The day's range: one past the month's end (months 0 and 13 keep it).
    if (m >= 1 && m <= 12) {
      const int end = DaysInMonth(y, m) + 1;
      // A new month or year under a day beyond its end ends on its last day.
      // Only the day's own step to the end asks for a carry; an hour or
      // minute step leaves the day alone (in the last year it may stand one past the
      // month's end, meaning the first of the next month).
      if (d > end || (d == end && (i == kYear || i == kMonth))) {
        d = end - 1;
        value_[kDay] = shown_[kDay] = d;
      }
      setDayEnd(end);
    }

    // 2. Keep the date between the first and the last date.
    const Date formed = MakeDate(y, m, d);
    if (formed > kLastDate) {
      setDate(kLastDate);
    } else if (formed < kFirstDate) {
      setDate(kFirstDate);
    } else {
      // 3. Carries, counted from the date shown before this change.
      const Date shown = MakeDate(shown_[kYear], shown_[kMonth], shown_[kDay]);
      switch (i) {
        case kMonth:
          if (y < kLastYear && m == 13) setDate(AddMonths(shown, 1));
          if (y > kFirstYear && m == 0) setDate(AddMonths(shown, -1));
          break;
        case kDay:
          if (d == dayEnd_ && y < kLastYear) setDate(shown + std::chrono::days{1});
          if (y > kFirstYear && d == 0) setDate(shown - std::chrono::days{1});
          break;
        case kHour:
          if (y < kLastYear && h == 24) {
            setDate(shown + std::chrono::days{1});
            change(kHour, 0);
          }
          if (y > kFirstYear && h == -1) {
            setDate(shown - std::chrono::days{1});
            change(kHour, 23);
          }
          if (value_[kHour] < 0) change(kHour, 0);  // the first year: no day before to carry into
          break;
        case kMinute:
          if (y < kLastYear && n == 60) {
            change(kHour, h + 1);
            change(kMinute, 0);
          }
          if (y > kFirstYear && n == -1) {
            change(kHour, h - 1);
            change(kMinute, 59);
          }
          break;
        default:
          break;
      }
    }
    // 4. The field shows its value.
    shown_[i] = value_[i];
  }

  std::array<int, kFields> value_{kFirstYear, 1, 1, 0, 0};
  // What each field showed last: the carries count from it.
  std::array<int, kFields> shown_{kFirstYear, 1, 1, 0, 0};
  int dayEnd_ = 32;
};

}  // namespace qelm
