// The birthplace options of a report subcommand that takes a birth:
//   --place NAME | --longitude DEG [--latitude DEG] --zone ZONE
//   --time clock|standard|solar   [--overlap earlier|later]
// and the correction they give a birth clock time.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"
#include "place/birth.hpp"
#include "place/stored_place.hpp"

namespace CLI {
class App;
}

namespace qelm::cli {

struct BirthPlaceOptions {
  std::string place;
  std::optional<double> longitude, latitude;
  std::string zone;
  std::string time = "clock";
  std::optional<std::string> overlap;  // "earlier" or "later"; only for a place read standard or solar
  std::string prefix;                  // of the options' names, "a-" for --a-place …
};
// An option's name as given on the command line: "--time", "--a-time".
std::string OptionName(const BirthPlaceOptions& o, std::string_view option);

// Adds the options to the subcommand, filling `o` when it is parsed (which
// must outlive the subcommand's callback). A prefix names them for one of
// several persons: "a-" gives --a-place, --a-longitude ….
void AddBirthPlaceOptions(CLI::App& command, BirthPlaceOptions& o, std::string_view prefix = {});

// The place and time the options name; nothing when no place is given and
// the time is the clock's. UsageError for a name that is no place or could be
// several (ResolvePlace), an unknown zone, a correcting time without a place,
// or --overlap where it has no effect.
std::optional<StoredBirthPlace> ResolveBirthPlace(const BirthPlaceOptions& o);

// The birth the options name for a clock time, under a day convention
// (UsageError as ResolveBirthPlace).
Birth BirthOfOptions(const BirthPlaceOptions& o, const MomentInput& clock, DayChange dayChange);

// The birth resolved by the core; UsageError, in the core's words, when the
// clock time never existed at the place or the moment falls outside the
// calendar.
ResolvedBirth ResolveBirthOrRefuse(const Birth& b);

// The correction to report beside a resolved birth: present whenever a
// place was given (also read as the clock showed it), as the JSON has it.
inline const BirthCorrection* ReportedCorrection(const Birth& b, const ResolvedBirth& r) {
  return b.place ? &r.correction : nullptr;
}

// --sex as the user writes it: 男 or 女; nothing for anything else.
std::optional<Sex> SexOption(std::string_view text);

// Whether any of the options was given on the command line.
bool BirthPlaceGiven(const CLI::App& command, std::string_view prefix = {});

// A batch reads its births from standard input, each line without a place.
inline constexpr const char* kBatchTakesNoPlace =
    "--batch 不接受出生地選項(--place --longitude --latitude --zone --time --overlap)";

}  // namespace qelm::cli
