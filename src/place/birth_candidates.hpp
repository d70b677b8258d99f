// A birth whose hour is not known: the charts one civil date allows. The
// date's minutes, cast as the program casts a birth (at the birthplace,
// under the day convention), fall into stretches in which all four pillars
// stay the same; a 節 minute, the 立春 minute, the 子 hour under the
// convention, the double hours of the clock or of the Sun at the place, and
// a change of the place's clocks cut them.
#pragma once

#include <optional>
#include <vector>

#include "calendar/moment.hpp"
#include "place/stored_place.hpp"

namespace qelm {

// The four pillars of a chart (the year counted from 立春).
struct FourPillars {
  Pillar year, month, day, hour;
  friend constexpr bool operator==(const FourPillars&, const FourPillars&) = default;
};

// How a birth clock time is cast: at a place (its mode and overlap choice)
// or, without one, as UTC+8 table time; the day beginning at 23:00 or midnight.
struct BirthCaster {
  std::optional<StoredBirthPlace> place;
  DayChange dayChange = DayChange::AtZiStart;

  // The engine's result for a clock minute; nothing where the birth cannot
  // be cast (a clock time the place skipped, a moment outside 1901–2099).
  std::optional<MomentResult> Cast(Moment clock) const;
  std::optional<FourPillars> PillarsAt(Moment clock) const;
};

// A stretch of clock minutes with one chart, first and last minute included.
struct CandidateStretch {
  Moment first{}, last{};
  std::optional<FourPillars> pillars;  // none: the minutes cannot be cast
  friend bool operator==(const CandidateStretch&, const CandidateStretch&) = default;
  long long minutes() const { return (last - first).count() + 1; }
};

// The stretches of the civil date (00:00 to 23:59 on the clock), in order,
// contiguous and covering the day; two neighbours never have the same
// pillars. Each boundary is found by casting: a chart's minutes are one run,
// so a doubling search and a bisection find where it ends.
std::vector<CandidateStretch> CandidateStretches(Date date, const BirthCaster& caster);

// Which stretch holds a clock minute (0-based); -1 when none does.
int StretchIndexOf(const std::vector<CandidateStretch>& stretches, Moment clock);

}  // namespace qelm
