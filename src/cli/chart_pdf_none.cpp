// A build without the windows (QELM_BUILD_UI=OFF) has nothing to draw the
// document with.
#include "cli/chart_pdf.hpp"

namespace qelm::cli {

std::string WriteChartPdf(const std::string&, Sex, const Birth&, const MomentInput&, const std::string&) {
  return "此版本建置時未含視窗,沒有 PDF 輸出(--pdf)";
}

}  // namespace qelm::cli
