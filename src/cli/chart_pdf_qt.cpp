#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

#include "cli/chart_pdf.hpp"
#include "report/report.hpp"
#include "ui/export/chart_document.hpp"
#include "ui/export/chart_export.hpp"
#include "ui/main/main_window.hpp"
#include "ui/kit/window_layer.hpp"

namespace qelm::cli {

std::string WriteChartPdf(const std::string& name, Sex sex, const Birth& birth, const MomentInput& at,
                          const std::string& path) {
  std::unique_ptr<QApplication> app;
  if (!QCoreApplication::instance()) {
    // Batch use: never a display, whatever the session offers.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char program[] = "qelm-report";
    static char* argv[] = {program, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
    ui::InstallFontSubstitutions();
  }
  const Moment now = MakeMoment(at.InputYear, at.InputMonth, at.InputDay, at.InputHour, at.InputMinute);
  ui::MainWindow window([now] { return now; });
  window.setLuckStart(birth.luckStart);
  std::string problem;
  if (!window.CastChart(name, sex, birth, &problem)) return "出生時刻無法排盤：" + problem;
  const QString report =
      QString::fromStdString(ChartReport(*window.chart(), window.flow(), School::ZiPing, window.correctionLine()));
  const QString title = QStringLiteral("QELM 命盤 ") + QString::fromStdString(name);
  return ui::SaveChartPdf(window, report, QFile::decodeName(QByteArray::fromStdString(path)), title,
                          {window.chartExport()->messageLine()})
      .toStdString();
}

}  // namespace qelm::cli
