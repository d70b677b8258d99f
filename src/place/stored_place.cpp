#include "place/stored_place.hpp"

namespace qelm {

std::optional<StoredBirthPlace> FromPlaceEntry(const records::PlaceEntry& e) {
  const std::optional<TimeMode> mode = ParseTimeMode(e.mode);
  if (!mode) return std::nullopt;
  return StoredBirthPlace{Place{e.name, e.longitude, e.latitude, e.zone}, *mode,
                          e.later ? OverlapChoice::Later : OverlapChoice::Earlier};
}

records::PlaceEntry ToPlaceEntry(const StoredBirthPlace& p) {
  return {p.place.name,  p.place.longitude, p.place.latitude, p.place.zone, std::string(TimeModeKey(p.mode)),
          p.choice == OverlapChoice::Later};
}

CorrectionOutcome CorrectStoredBirth(const MomentInput& clock, const StoredBirthPlace& p) {
  return CorrectBirth(clock, p.place, p.mode, p.choice);
}

}  // namespace qelm
