// The birthplace correction of a birth as the report command writes it in
// JSON: the object "BirthCorrection".
#pragma once


#include "cli/json_writer.hpp"
#include "place/correction.hpp"

namespace qelm::cli {

// The object, written as one value (the caller writes its key). A place
// typed by its longitude alone has no latitude: it is written as null.
void WriteBirthCorrection(JsonWriter& w, const BirthCorrection& c, bool latitudeGiven = true);

}  // namespace qelm::cli
