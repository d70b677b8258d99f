// The plain-text report of a chart under either school (CR LF line ends).
#pragma once

#include <string>

#include "chart/chart.hpp"

namespace qelm {

std::string ZiPingReport(const ChartState& c, const FlowState& f);   // 31 lines + final CR LF
std::string SanMingReport(const ChartState& c, const FlowState& f);  // 42 lines + final CR LF

}  // namespace qelm
