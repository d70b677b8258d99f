// The plain-text report of a chart under either school (CR LF line ends).
#pragma once

#include <string>
#include <string_view>

#include "chart/chart.hpp"

namespace qelm {

std::string ZiPingReport(const ChartState& c, const FlowState& f);   // 31 lines + final CR LF
std::string SanMingReport(const ChartState& c, const FlowState& f);  // 42 lines + final CR LF

// The same reports appended to `out` with each line ended by `lineEnd`. The
// rest of a report never holds a byte JSON escapes, so with the escaped line
// end "\\r\\n" it is composed straight in its JSON form.
void AppendZiPingReport(std::string& out, const ChartState& c, const FlowState& f, std::string_view lineEnd);
void AppendSanMingReport(std::string& out, const ChartState& c, const FlowState& f, std::string_view lineEnd);

}  // namespace qelm
