#include "place/birth.hpp"

#include <array>
#include <cmath>

#include "place/coordinates.hpp"
#include "place/solar.hpp"
#include "place/zone.hpp"

namespace qelm {

namespace {

std::string_view Trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

Birth BirthOf(const MomentInput& clock, const std::optional<StoredBirthPlace>& stored, DayChange dayChange) {
  Birth b;
  b.clock = clock;
  b.dayChange = dayChange;
  if (stored) {
    b.place = stored->place;
    b.time = stored->mode;
    b.overlap = stored->choice;
  }
  return b;
}

std::optional<StoredBirthPlace> StoredPlaceOf(const Birth& b) {
  if (!b.place) return std::nullopt;
  return StoredBirthPlace{*b.place, b.time, b.overlap};
}

BirthOutcome ResolveBirth(const Birth& b) {
  BirthOutcome out;
  // Without a place, or read as the clock showed it, nothing is corrected:
  // the clock is read as UTC+8.
  const CorrectionOutcome c = b.corrected() ? CorrectBirth(b.clock, *b.place, b.time, b.overlap)
                                            : CorrectBirth(b.clock, b.place.value_or(Place{}), TimeMode::Clock);
  out.resolution = c.resolution;
  if (!c) {
    out.problem = CorrectionFailureText(c);
    return out;
  }
  MomentOutcome m = CorrectedMoment(*c.correction, b.dayChange);
  if (!m) {
    out.problem = std::string(b.corrected() ? CorrectionErrorText(CorrectionError::OutOfRange)
                                            : MomentErrorText(m.error));
    return out;
  }
  out.resolved = ResolvedBirth{*c.correction, std::move(*m.result)};
  return out;
}

CastOutcome CastBirth(std::string name, Sex sex, const Birth& b) {
  CastOutcome out;
  const BirthOutcome r = ResolveBirth(b);
  if (!r) {
    out.problem = r.problem;
    return out;
  }
  out.chart = LoadChart(std::move(name), sex, r.resolved->moment, b.luckStart);
  out.chart->hourCandidate = b.hourCandidate;
  if (r.resolved->correction.applies()) out.correction = r.resolved->correction;
  return out;
}

// ------------------------------------------------------------ places

PlaceLookup PlaceNamed(std::string_view name) {
  const std::string_view text = Trimmed(name);
  const PlaceResolution found = ResolvePlace(text);
  if (found.found()) return {found.place, {}};
  PlaceLookup out{std::nullopt, PlaceResolutionText(text, found)};
  out.unknown = found.match == PlaceMatch::None;
  return out;
}

PlaceLookup PlaceTyped(std::string name, double longitude, std::optional<double> latitude, std::string_view zone) {
  PlaceLookup out;
  zone = Trimmed(zone);
  if (!ValidLongitude(longitude)) {
    out.problem = LongitudeRangeText();
  } else if (latitude && !ValidLatitude(*latitude)) {
    out.problem = LatitudeRangeText();
  } else if (zone.empty()) {
    out.problem = "請填入出生地的時區，例如 Asia/Taipei";
  } else if (!TimeZone::Find(zone)) {
    out.problem = "找不到時區「" + std::string(zone) + "」（須為時區資料庫的名稱，如 Asia/Taipei）";
  } else {
    out.place = Place{std::move(name), longitude, latitude.value_or(0.0), std::string(zone)};
  }
  return out;
}

// ------------------------------------------------------------ 由八字找生日

bool HasPillars(const MomentResult& m, const EightCharacters& p) {
  const MomentPillarSet& q = m.MomentPillars;
  return q.Year == p.year && q.Month == p.month && q.Day == p.day && (!p.hour || q.Hour == *p.hour);
}

namespace {

// The instant whose apparent solar time at the longitude is in the middle of
// the solar minute `face` shows: the equation of time, a few minutes, is
// taken at the instant found, twice.
UtcSeconds InstantOfSolarMinute(Moment face, double longitude) {
  const double target = static_cast<double>(face.time_since_epoch().count()) * 60.0 + 30.0;
  double u = target - longitude * 240.0;
  for (int i = 0; i < 3; ++i) {
    const UtcSeconds at{std::chrono::seconds{std::llround(u)}};
    u = target - longitude * 240.0 - EquationOfTimeSeconds(at);
  }
  return UtcSeconds{std::chrono::seconds{std::llround(u)}};
}

// A clock time at the place whose cast under `form`'s reading has the
// pillars, near the minute `t` of the stretch.
std::optional<Birth> ClockBirthNear(const Birth& form, const TimeZone& zone, Moment t, const EightCharacters& p) {
  const UtcSeconds instant = form.time == TimeMode::Solar ? InstantOfSolarMinute(t, form.place->longitude) : UtcOf(t);
  const ClockTime clock = ClockTimeAt(zone, instant);
  const OverlapChoice other = form.overlap == OverlapChoice::Earlier ? OverlapChoice::Later : OverlapChoice::Earlier;
  for (const std::chrono::minutes shift : {std::chrono::minutes{0}, std::chrono::minutes{-1}, std::chrono::minutes{1}}) {
    for (const OverlapChoice choice : {form.overlap, other}) {
      Birth b = form;
      const CivilFields f = Fields(clock + shift);
      b.clock = {f.year, f.month, f.day, f.hour, f.minute};
      b.overlap = choice;
      const BirthOutcome r = ResolveBirth(b);
      if (r && HasPillars(r.resolved->moment, p)) return b;
    }
  }
  return std::nullopt;
}

}  // namespace

FoundBirth BirthForFound(const Birth& form, const BirthStretch& stretch, const EightCharacters& pillars) {
  FoundBirth found{form, {}};
  found.birth.clock = InputOf(stretch.first);
  if (!form.corrected()) {
    found.note = "（東八區時間）";
    return found;
  }
  const std::string where = form.place->name.empty() ? std::string("出生地") : form.place->name;
  if (const auto zone = TimeZone::Find(form.place->zone)) {
    // The stretch's first minute, then its middle and its last: the sun's
    // day and hour may fall elsewhere than the table's.
    const Moment middle = stretch.first + (stretch.last - stretch.first) / 2;
    for (const Moment t : {stretch.first, middle, stretch.last}) {
      if (const std::optional<Birth> b = ClockBirthNear(form, *zone, t, pillars)) {
        const BirthOutcome r = ResolveBirth(*b);
        found.birth = *b;
        found.note = "（" + where + "當地鐘錶時間，東八區 " + UserMomentText(r.resolved->correction.standard) + "）";
        return found;
      }
    }
  }
  found.birth.time = TimeMode::Clock;
  found.note = "（東八區時間；" + where + "依" + std::string(TimeModeName(form.time)) +
               "排不出這四柱，時間改為鐘錶時間）";
  return found;
}

}  // namespace qelm
