// 合盤 as text: two persons' charts side by side and the relations across
// them, for the command line, the printed page and the copied text.
#pragma once

#include <string>
#include <string_view>

#include "chart/chart.hpp"

namespace qelm {

// The lines of one person in 合盤: "a　王小明", the birth data line, then a
// line per pillar, "　年柱 庚午　正財　路旁土" (the stem's ten god to the
// person's own day master, "日主" for the day, and the pillar's 納音).
std::string ComparePersonLines(std::string_view side, const ChartState& c, std::string_view lineEnd = "\r\n");

// Both persons, then "兩盤之間" with the cross relations grouped by kind
// (a heading per kind, "　" before each relation, "　（無）" for none). With
// a flow moment (each chart's flow state at it): its date, each person's
// current luck pillar and, under "流年與兩盤", what the flow year forms with
// both charts.
std::string CompareReport(const ChartState& a, const ChartState& b, const FlowState* fa = nullptr,
                          const FlowState* fb = nullptr, std::string_view lineEnd = "\r\n");

}  // namespace qelm
