// The birthplace correction of a birth as the report command writes it in
// JSON: the object "BirthCorrection".
#pragma once

#include "cli/common.hpp"
#include "place/correction.hpp"

namespace qelm::cli {

Json BirthCorrectionJson(const BirthCorrection& c);

}  // namespace qelm::cli
