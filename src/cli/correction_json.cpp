#include "cli/correction_json.hpp"

#include <cmath>

namespace qelm::cli {

void WriteBirthCorrection(JsonWriter& w, const BirthCorrection& c, bool latitudeGiven) {
  const bool overlap = c.state == ClockState::Overlap;
  w.BeginObject();
  w.Field("mode", TimeModeKey(c.mode));
  w.Field("modeName", TimeModeName(c.mode));
  w.Field("place", UserText{c.place.name});  // may come from the command line
  w.Field("longitude", c.place.longitude);
  w.Key("latitude");
  if (latitudeGiven) w.Value(c.place.latitude);
  else w.Null();
  w.Field("zone", UserText{c.place.zone});
  // The clock mode reads the clock as UTC+8 and corrects nothing: it has no
  // offsets or moments of its own to state.
  if (c.applies()) {
    w.Field("utcOffsetMinutes", c.utcOffsetMinutes());
    w.Field("utcOffsetSeconds", c.utcOffsetSeconds);
    w.Field("dstMinutes", c.dstMinutes);
    w.Field("equationOfTimeSeconds", std::round(c.eotSeconds * 10.0) / 10.0);
    w.Field("standardMoment", MomentText(c.standard));
    w.Field("solarMoment", MomentText(c.solar));
    w.Field("clock", overlap ? "repeated" : "unique");
    if (overlap) {
      w.Field("overlapChoice", c.choice == OverlapChoice::Earlier ? "earlier" : "later");
      w.Field("otherStandardMoment", MomentText(c.otherStandard));
    }
  }
  w.Field("line", CorrectionLine(c));
  w.EndObject();
}

}  // namespace qelm::cli
