// A birthplace as the companion file of `User` stores it, and back.
#pragma once

#include "place/correction.hpp"
#include "records/place_file.hpp"

namespace qelm {

struct StoredBirthPlace {
  Place place;
  TimeMode mode = TimeMode::Clock;
  OverlapChoice choice = OverlapChoice::Earlier;
};

// Nothing for a mode the program does not know.
std::optional<StoredBirthPlace> FromPlaceEntry(const records::PlaceEntry& e);
records::PlaceEntry ToPlaceEntry(const StoredBirthPlace& p);

// The correction of a clock time at a stored place.
CorrectionOutcome CorrectStoredBirth(const MomentInput& clock, const StoredBirthPlace& p);

}  // namespace qelm
