#include "report/report_note.hpp"

#include "report/report.hpp"

namespace qelm {

std::string WithReportNote(std::string report, std::string_view line) {
  if (line.empty()) return report;
  if (!report.empty() && !report.ends_with('\n')) report += "\r\n";
  report += line;
  report += "\r\n";
  return report;
}

std::string ChartReport(const ChartState& c, const FlowState& f, School school, std::string_view correctionLine) {
  return WithReportNote(school == School::SanMing ? SanMingReport(c, f) : ZiPingReport(c, f), correctionLine);
}

}  // namespace qelm
