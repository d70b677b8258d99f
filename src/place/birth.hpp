// A birth as it was entered: what the clock showed at the birthplace, the
// place, and how that time is read (the kind of time, which of two moments a
// repeated clock time means, and the 子時 convention). The value travels
// whole between the person window, 由八字找生日, the main window, the reports
// and qelm-report; each of them asks ResolveBirth or CastBirth here for the
// moment and the chart, so that a time is corrected once, in one place.
//
// A field added later (a school of the luck start, an unknown hour) takes a
// default that reads a birth as before, is carried by ResolveBirth into the
// moment or the chart's conventions, and needs no consumer to change.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"
#include "chart/chart.hpp"
#include "chart/find_birth.hpp"
#include "place/correction.hpp"
#include "place/places.hpp"
#include "place/stored_place.hpp"

namespace qelm {

struct Birth {
  MomentInput clock;                               // the clock time at the place, as entered
  std::optional<Place> place;                      // none: the clock is read as UTC+8
  TimeMode time = TimeMode::Clock;                 // how the clock time is read at the place
  OverlapChoice overlap = OverlapChoice::Earlier;  // a clock time that occurred twice there
  DayChange dayChange = DayChange::AtZiStart;      // where one day ends and the next begins
  LuckStart luckStart = LuckStart::Table;          // the school that dates the luck pillars
  std::optional<HourCandidate> hourCandidate{};    // the hour is not known: this is one candidate

  // Whether the birth is corrected for its place (a place, read standard or solar).
  bool corrected() const { return place.has_value() && time != TimeMode::Clock; }
  friend bool operator==(const Birth&, const Birth&) = default;
};

// The birth with the place and reading kept beside a person (none: clock time).
Birth BirthOf(const MomentInput& clock, const std::optional<StoredBirthPlace>& stored, DayChange dayChange);
// The place and reading to keep beside the person; nothing without a place.
std::optional<StoredBirthPlace> StoredPlaceOf(const Birth& b);

// A birth resolved: the correction (in the clock mode one that corrects
// nothing: applies() is false) and the engine's result for the moment cast.
struct ResolvedBirth {
  BirthCorrection correction;
  MomentResult moment;
};
struct BirthOutcome {
  std::optional<ResolvedBirth> resolved;
  std::string problem;         // why the birth cannot be cast, as every part of the program says it
  ClockResolution resolution;  // how the clock time stands at the zone (an overlap asks which moment)
  explicit operator bool() const { return resolved.has_value(); }
};
BirthOutcome ResolveBirth(const Birth& b);

// The chart of a person born so: LoadChart of the resolved moment, holding
// the conventions the birth was read with.
struct CastOutcome {
  std::optional<ChartState> chart;
  std::optional<BirthCorrection> correction;  // only when it corrects the time
  std::string problem;
  explicit operator bool() const { return chart.has_value(); }
};
CastOutcome CastBirth(std::string name, Sex sex, const Birth& b);

// ------------------------------------------------------------ places

// A birthplace as the user names it, or why there is none.
struct PlaceLookup {
  std::optional<Place> place;
  std::string problem;
  bool unknown = false;  // a name that is no place at all (not one that could mean several)
};
// By name (blanks around it ignored), as ResolvePlace reads it.
PlaceLookup PlaceNamed(std::string_view name);
// Typed by hand: a longitude, a latitude (0 when not given) and a zone.
PlaceLookup PlaceTyped(std::string name, double longitude, std::optional<double> latitude, std::string_view zone);

// ------------------------------------------------------------ 由八字找生日

// 由八字找生日 searches table time (the clocks of UTC+8). The birth a found
// stretch gives, read as `form` reads (its place, kind of time and
// convention): a clock time at the place whose cast has the searched pillars;
// where the place's reading can give none, the stretch's first minute read as
// UTC+8 (the kind of time set to 鐘錶時間). `note` says which clock the time
// is on: "（東八區時間）", "（成都當地鐘錶時間，東八區 1975-08-16 12:00）".
struct FoundBirth {
  Birth birth;
  std::string note;
};
FoundBirth BirthForFound(const Birth& form, const BirthStretch& stretch, const EightCharacters& pillars);

// Whether the moment has the pillars (the hour only when one is asked for).
bool HasPillars(const MomentResult& m, const EightCharacters& pillars);

}  // namespace qelm
