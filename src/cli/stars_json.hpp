// The star rows of a school as the chart command writes them in JSON.
#pragma once

#include "analysis/stars.hpp"
#include "cli/json_writer.hpp"

namespace qelm::cli {

// One array value of twelve objects, one a branch from 子:
//   {"Branch":"子","GrowthStage":"長生","StemStars":"日祿 ","BranchStars":"",
//    "YearGod":"太歲","VoidMarks":""}
// each row's text as the rows of the star window show it.
void WriteStars(JsonWriter& w, const StarParts& parts);

}  // namespace qelm::cli
