#include "cli/birth_options.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "place/places.hpp"
#include "place/zone.hpp"

namespace qelm::cli {

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// A place by name: one of the list named exactly so (Chinese or English),
// else the first the list finds, else the largest city of the world list.
std::optional<Place> PlaceNamed(std::string_view name) {
  const std::vector<KnownPlace> known = FindPlaces(name, 50);
  for (const KnownPlace& k : known)
    if (k.name == name || SameLetters(k.english, name)) return k.place();
  if (!known.empty()) return known.front().place();
  std::vector<Place> world = SearchWorldCities(name, 1);
  if (!world.empty()) return std::move(world.front());
  return std::nullopt;
}

}  // namespace

void AddBirthPlaceOptions(CLI::App& command, BirthPlaceOptions& o) {
  CLI::Option* place = command.add_option("--place", o.place,
                                          "the birthplace by name (Chinese, or English; see `places`)");
  CLI::Option* lon = command.add_option("--longitude", o.longitude, "the birthplace's longitude, east positive")
                         ->check(CLI::Range(-180.0, 180.0));
  CLI::Option* lat = command.add_option("--latitude", o.latitude, "its latitude, north positive")
                         ->check(CLI::Range(-90.0, 90.0));
  CLI::Option* zone = command.add_option("--zone", o.zone, "its time zone, as Asia/Taipei");
  command.add_option("--time", o.time, "what the birth time is: clock (as entered, UTC+8), standard, solar")
      ->check(CLI::IsMember({"clock", "standard", "solar"}));
  command.add_option("--overlap", o.overlap, "a clock time that occurred twice: the earlier or the later moment")
      ->check(CLI::IsMember({"earlier", "later"}));
  place->excludes(lon)->excludes(zone)->excludes(lat);
  lon->needs(zone);
  zone->needs(lon);
  lat->needs(lon);
}

std::optional<StoredBirthPlace> ResolveBirthPlace(const BirthPlaceOptions& o) {
  const std::optional<TimeMode> mode = ParseTimeMode(o.time);
  if (!mode) throw UsageError("--time 須為 clock、standard 或 solar");
  StoredBirthPlace p;
  p.mode = *mode;
  p.choice = o.overlap == "later" ? OverlapChoice::Later : OverlapChoice::Earlier;
  if (!Trim(o.place).empty()) {
    const std::optional<Place> found = PlaceNamed(Trim(o.place));
    if (!found) throw UsageError("找不到地點「" + std::string(Trim(o.place)) + "」;可用 --longitude 與 --zone 指定");
    p.place = *found;
    return p;
  }
  if (o.longitude) {
    if (!TimeZone::Find(o.zone)) throw UsageError("找不到時區「" + o.zone + "」");
    p.place = Place{{}, *o.longitude, o.latitude.value_or(0.0), o.zone};
    return p;
  }
  if (p.mode != TimeMode::Clock) throw UsageError("--time " + o.time + " 需要 --place 或 --longitude 與 --zone");
  return std::nullopt;
}

std::optional<BirthCorrection> ResolveBirthCorrection(const BirthPlaceOptions& o, const MomentInput& clock) {
  const std::optional<StoredBirthPlace> p = ResolveBirthPlace(o);
  if (!p) return std::nullopt;
  const CorrectionOutcome c = CorrectStoredBirth(clock, *p);
  if (!c) {
    const std::string change = ClockChangeText(c.resolution);
    throw UsageError(c.error == CorrectionError::Nonexistent && !change.empty()
                         ? change
                         : std::string(CorrectionErrorText(c.error)));
  }
  return c.correction;
}

bool BirthPlaceGiven(const CLI::App& command) {
  for (const char* name : {"--place", "--longitude", "--latitude", "--zone", "--time", "--overlap"})
    if (command.count(name) > 0) return true;
  return false;
}

MomentResult CorrectedBirth(const BirthCorrection& c, DayChange dayChange) {
  MomentOutcome m = CorrectedMoment(c, dayChange);
  if (!m) throw UsageError(std::string(CorrectionErrorText(CorrectionError::OutOfRange)));
  return std::move(*m.result);
}

}  // namespace qelm::cli
