#include "cli/birth_options.hpp"

#include <CLI/CLI.hpp>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/moment_input.hpp"
#include "place/birth.hpp"
#include "place/coordinates.hpp"

namespace qelm::cli {

namespace {

// A number as people write one: digits with at most one decimal point and an
// optional sign; no exponents, hexadecimal, "inf" or "nan".
bool PlainDecimal(std::string_view s) {
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
  bool digits = false, point = false;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

const CLI::Validator kPlainDecimal(
    [](std::string& text) { return PlainDecimal(text) ? std::string() : "「" + text + "」不是數字"; }, "DEG",
    "PlainDecimal");

}  // namespace

std::string OptionName(const BirthPlaceOptions& o, std::string_view option) {
  return "--" + o.prefix + std::string(option);
}

void AddBirthPlaceOptions(CLI::App& command, BirthPlaceOptions& o, std::string_view prefix) {
  // "--place", or "--a-place" for the first of two persons.
  o.prefix = prefix;
  const auto name = [&o](std::string_view option) { return OptionName(o, option); };
  CLI::Option* place = command.add_option(name("place"), o.place,
                                          "the birthplace by name (Chinese, or English; see `places`)");
  CLI::Option* lon = command.add_option(name("longitude"), o.longitude, "the birthplace's longitude, east positive")
                         ->check(kPlainDecimal)
                         ->check(CLI::Range(-kMaxLongitude, kMaxLongitude));
  CLI::Option* lat = command.add_option(name("latitude"), o.latitude, "its latitude, north positive")
                         ->check(kPlainDecimal)
                         ->check(CLI::Range(-kMaxLatitude, kMaxLatitude));
  CLI::Option* zone = command.add_option(name("zone"), o.zone, "its time zone, as Asia/Taipei");
  command.add_option(name("time"), o.time, "what the birth time is: clock (as entered, UTC+8), standard, solar")
      ->check(CLI::IsMember({"clock", "standard", "solar"}));
  command.add_option(name("overlap"), o.overlap,
                     "a clock time that occurred twice at the place: the earlier or the later moment "
                     "(with --time standard or solar)")
      ->check(CLI::IsMember({"earlier", "later"}));
  place->excludes(lon)->excludes(zone)->excludes(lat);
  lon->needs(zone);
  zone->needs(lon);
  lat->needs(lon);
}

std::optional<StoredBirthPlace> ResolveBirthPlace(const BirthPlaceOptions& o) {
  const std::optional<TimeMode> mode = ParseTimeMode(o.time);
  if (!mode) throw UsageError(OptionName(o, "time") + " 須為 clock、standard 或 solar");
  StoredBirthPlace p;
  p.mode = *mode;
  p.choice = o.overlap == "later" ? OverlapChoice::Later : OverlapChoice::Earlier;
  const std::string_view name = Trim(o.place);
  const bool named = !name.empty();
  if (o.overlap && (!(named || o.longitude) || p.mode == TimeMode::Clock))
    throw UsageError(OptionName(o, "overlap") + " 只用於有出生地的 " + OptionName(o, "time") +
                     " standard 或 solar：鐘錶時間不換算時區，沒有重複的時刻");
  if (!named && !o.longitude) {
    if (p.mode != TimeMode::Clock)
      throw UsageError(OptionName(o, "time") + " " + o.time + " 需要 " + OptionName(o, "place") + " 或 " +
                       OptionName(o, "longitude") + " 與 " + OptionName(o, "zone"));
    return std::nullopt;
  }
  // The core finds a named place and checks one typed by hand.
  const PlaceLookup found = named ? PlaceNamed(name) : PlaceTyped({}, *o.longitude, o.latitude, o.zone);
  if (!found.place)
    throw UsageError(found.problem + (found.unknown ? "；可用 " + OptionName(o, "longitude") + " 與 " +
                                                          OptionName(o, "zone") + " 指定"
                                                    : ""));
  p.place = *found.place;
  return p;
}

Birth BirthOfOptions(const BirthPlaceOptions& o, const MomentInput& clock, DayChange dayChange) {
  return BirthOf(clock, ResolveBirthPlace(o), dayChange);
}

ResolvedBirth ResolveBirthOrRefuse(const Birth& b) {
  BirthOutcome r = ResolveBirth(b);
  if (!r) throw UsageError(r.problem);
  return std::move(*r.resolved);
}

bool BirthPlaceGiven(const CLI::App& command, std::string_view prefix) {
  for (const char* name : {"place", "longitude", "latitude", "zone", "time", "overlap"})
    if (command.count("--" + std::string(prefix) + name) > 0) return true;
  return false;
}

std::optional<Sex> SexOption(std::string_view text) {
  if (text == SexText(Sex::Male)) return Sex::Male;
  if (text == SexText(Sex::Female)) return Sex::Female;
  return std::nullopt;
}

}  // namespace qelm::cli
