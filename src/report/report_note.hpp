// A line added to the end of a report: the birthplace correction of the
// chart, when one applies.
#pragma once

#include <string>
#include <string_view>

#include "analysis/stars.hpp"
#include "chart/chart.hpp"

namespace qelm {

// The report with `line` and CR LF after its last line; unchanged when the
// line is empty.
std::string WithReportNote(std::string report, std::string_view line);

// The report of a chart under a school as every window shows, saves and
// prints it: the report, then the correction line when there is one.
std::string ChartReport(const ChartState& c, const FlowState& f, School school, std::string_view correctionLine);

}  // namespace qelm
