// The birthplace options of a report subcommand that takes a birth:
//   --place NAME | --longitude DEG [--latitude DEG] --zone ZONE
//   --time clock|standard|solar   [--overlap earlier|later]
// and the correction they give a birth clock time.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"
#include "chart/types.hpp"
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
};

// Adds the options to the subcommand, filling `o` when it is parsed (which
// must outlive the subcommand's callback).
void AddBirthPlaceOptions(CLI::App& command, BirthPlaceOptions& o);

// The place and time the options name; nothing when no place is given and
// the time is the clock's. UsageError for a name that is no place or could be
// several (ResolvePlace), an unknown zone, a correcting time without a place,
// or --overlap where it has no effect.
std::optional<StoredBirthPlace> ResolveBirthPlace(const BirthPlaceOptions& o);

// The correction of a birth clock time under the options: nothing without a
// place. UsageError when the clock time never existed at the place or the
// corrected moment falls outside the calendar.
std::optional<BirthCorrection> ResolveBirthCorrection(const BirthPlaceOptions& o, const MomentInput& clock);

// Whether any of the options was given on the command line.
bool BirthPlaceGiven(const CLI::App& command);

// A batch reads its births from standard input, each line without a place.
inline constexpr const char* kBatchTakesNoPlace =
    "--batch 不接受出生地選項(--place --longitude --latitude --zone --time --overlap)";

// The engine's result for the corrected birth; UsageError when the corrected
// moment falls outside the calendar.
MomentResult CorrectedBirth(const BirthCorrection& c, DayChange dayChange = DayChange::AtZiStart);

// --sex as the user writes it: 男 or 女.
std::optional<Sex> SexOfText(std::string_view text);

// A birth as `chart` takes it: --birth "YYYY-MM-DD HH:MM", the clock time at
// the birthplace, corrected when the birthplace options name a place.
// UsageError naming the field at fault, or the place's problem.
struct OptionBirth {
  MomentResult birth;  // the moment the chart is cast at
  std::optional<BirthCorrection> correction;
};
OptionBirth BirthOfOptions(std::string_view birthText, const BirthPlaceOptions& place, DayChange dayChange);

}  // namespace qelm::cli
