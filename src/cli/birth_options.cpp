#include "cli/birth_options.hpp"

#include <CLI/CLI.hpp>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/moment_input.hpp"
#include "place/places.hpp"
#include "place/zone.hpp"

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
                         ->check(CLI::Range(-180.0, 180.0));
  CLI::Option* lat = command.add_option(name("latitude"), o.latitude, "its latitude, north positive")
                         ->check(kPlainDecimal)
                         ->check(CLI::Range(-90.0, 90.0));
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
  const bool placeGiven = !Trim(o.place).empty() || o.longitude.has_value();
  if (o.overlap && (!placeGiven || p.mode == TimeMode::Clock))
    throw UsageError(OptionName(o, "overlap") + " 只用於有出生地的 " + OptionName(o, "time") +
                     " standard 或 solar：鐘錶時間不換算時區，沒有重複的時刻");
  if (!Trim(o.place).empty()) {
    const PlaceResolution found = ResolvePlace(Trim(o.place));
    if (!found.found())
      throw UsageError(PlaceResolutionText(Trim(o.place), found) +
                       (found.match == PlaceMatch::None
                            ? "；可用 " + OptionName(o, "longitude") + " 與 " + OptionName(o, "zone") + " 指定"
                            : ""));
    p.place = found.place;
    return p;
  }
  if (o.longitude) {
    if (!TimeZone::Find(o.zone)) throw UsageError("找不到時區「" + o.zone + "」（須為時區資料庫的名稱，如 Asia/Taipei）");
    p.place = Place{{}, *o.longitude, o.latitude.value_or(0.0), o.zone};
    return p;
  }
  if (p.mode != TimeMode::Clock)
    throw UsageError(OptionName(o, "time") + " " + o.time + " 需要 " + OptionName(o, "place") + " 或 " +
                     OptionName(o, "longitude") + " 與 " + OptionName(o, "zone"));
  return std::nullopt;
}

std::optional<BirthCorrection> ResolveBirthCorrection(const BirthPlaceOptions& o, const MomentInput& clock) {
  const std::optional<StoredBirthPlace> p = ResolveBirthPlace(o);
  if (!p) return std::nullopt;
  const CorrectionOutcome c = CorrectStoredBirth(clock, *p);
  if (!c) throw UsageError(CorrectionFailureText(c));
  return c.correction;
}

bool BirthPlaceGiven(const CLI::App& command, std::string_view prefix) {
  for (const char* name : {"place", "longitude", "latitude", "zone", "time", "overlap"})
    if (command.count("--" + std::string(prefix) + name) > 0) return true;
  return false;
}

MomentResult CorrectedBirth(const BirthCorrection& c, DayChange dayChange) {
  MomentOutcome m = CorrectedMoment(c, dayChange);
  if (!m) throw UsageError(std::string(CorrectionErrorText(CorrectionError::OutOfRange)));
  return std::move(*m.result);
}

}  // namespace qelm::cli
