#include "cli/correction_json.hpp"

#include <cmath>

namespace qelm::cli {

Json BirthCorrectionJson(const BirthCorrection& c) {
  Json j;
  j["mode"] = std::string(TimeModeKey(c.mode));
  j["modeName"] = std::string(TimeModeName(c.mode));
  j["place"] = c.place.name;
  j["longitude"] = c.place.longitude;
  j["latitude"] = c.place.latitude;
  j["zone"] = c.place.zone;
  j["utcOffsetMinutes"] = c.utcOffsetMinutes;
  j["dstMinutes"] = c.dstMinutes;
  j["equationOfTimeSeconds"] = std::round(c.eotSeconds * 10.0) / 10.0;
  j["standardMoment"] = MomentText(c.standard);
  j["solarMoment"] = MomentText(c.solar);
  j["clock"] = c.state == ClockState::Overlap ? "repeated" : "unique";
  if (c.state == ClockState::Overlap) {
    j["overlapChoice"] = c.choice == OverlapChoice::Earlier ? "earlier" : "later";
    j["otherStandardMoment"] = MomentText(c.otherStandard);
  }
  j["line"] = CorrectionLine(c);
  return j;
}

}  // namespace qelm::cli
