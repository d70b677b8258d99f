// The plain-text report of a chart under either school (CR LF line ends).
#pragma once

#include <string>
#include <string_view>

#include "analysis/stars.hpp"
#include "chart/chart.hpp"

namespace qelm {

// The report every output shows (the text window, the printed page, the
// command line): the school's report and, when the birth was corrected for
// its birthplace, the correction line after its last line.
std::string ChartReport(const ChartState& c, const FlowState& f, School school,
                        std::string_view correctionLine = {});

std::string ZiPingReport(const ChartState& c, const FlowState& f);   // 31 lines + final CR LF
std::string SanMingReport(const ChartState& c, const FlowState& f);  // 42 lines + final CR LF

// Both reports, appended to `ziPing` and `sanMing` with each line ended by
// `lineEnd`; the lines they share are composed once. The rest of a report
// never holds a byte JSON escapes, so with the escaped line end "\\r\\n"
// both are composed straight in their JSON form.
void AppendBothReports(std::string& ziPing, std::string& sanMing, const ChartState& c, const FlowState& f,
                       std::string_view lineEnd);

}  // namespace qelm
