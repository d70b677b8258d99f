// qelm-report chart --pdf: the chart document the program prints, written
// without showing a window. Builds without the windows have no PDF output.
#pragma once

#include <ostream>
#include <string>

#include "calendar/moment.hpp"
#include "chart/chart.hpp"
#include "chart/types.hpp"
#include "cli/commands.hpp"
#include "place/birth.hpp"

namespace qelm::cli {

// Casts the chart of the birth as the main window does, with the flow moment
// `at`, and writes the document (the window on the first page, the 子平法
// report on the second) as a PDF to `path`; a corrected birth's report ends
// with the correction's line. Empty on success, else the reason.
std::string WriteChartPdf(const std::string& name, Sex sex, const Birth& birth, const MomentInput& at,
                          const std::string& path);

// The same for the chart command: a failure is one line on the error stream
// and exit status 1.
inline void RunChartPdf(const std::string& name, Sex sex, const Birth& birth, const MomentInput& at,
                        const std::string& path, Streams& io) {
  const std::string error = WriteChartPdf(name, sex, birth, at, path);
  if (error.empty()) return;
  io.err << "qelm-report: " << error << "\n";
  io.status = 1;
}

}  // namespace qelm::cli
