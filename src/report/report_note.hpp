// A line added to the end of a report: the birthplace correction of the
// chart, when one applies.
#pragma once

#include <string>
#include <string_view>

namespace qelm {

// The report with `line` and CR LF after its last line; unchanged when the
// line is empty.
std::string WithReportNote(std::string report, std::string_view line);

}  // namespace qelm
