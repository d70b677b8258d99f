#include "report/report_note.hpp"

namespace qelm {

std::string WithReportNote(std::string report, std::string_view line) {
  if (line.empty()) return report;
  if (!report.empty() && !report.ends_with('\n')) report += "\r\n";
  report += line;
  report += "\r\n";
  return report;
}

}  // namespace qelm
