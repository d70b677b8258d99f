// qelm-report chart --pdf: the chart document the program prints, written
// without showing a window. Builds without the windows have no PDF output.
#pragma once

#include <string>

#include "calendar/moment.hpp"

namespace qelm::cli {

// Casts the chart of the birth moment as the main window does, with the flow
// moment `at`, and writes the document (the window on the first page, the
// 子平法 report on the second) as a PDF to `path`. Empty on success, else the
// reason.
std::string WriteChartPdf(const std::string& name, int sex, const MomentInput& birth, const MomentInput& at,
                          const std::string& path);

}  // namespace qelm::cli
