// qelm-shots: grabs the main window, with a fixed demo chart and flow moment,
// and every analysis window into PNG files of a folder.
//
//   qelm-shots OUTDIR
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "ui/analysis_windows.hpp"
#include "ui/main_window.hpp"
#include "ui/window_layer.hpp"

namespace {

using qelm::ui::AnalysisKind;

bool Save(QWidget* w, const QDir& dir, const QString& name) {
  w->show();
  QApplication::processEvents();
  const QString path = dir.filePath(name + QStringLiteral(".png"));
  if (!w->grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: qelm-shots OUTDIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(dir.path())) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  qelm::ui::InstallFontSubstitutions();

  // A fixed "now", so that every run draws the same flow moment.
  qelm::ui::MainWindow window([] { return qelm::MakeMoment(2024, 6, 15, 10, 30); });
  if (!window.CastChartFromText(QStringLiteral("王小明|男|1990-05-17 14:30"))) {
    std::fprintf(stderr, "the demo chart was refused\n");
    return 1;
  }
  bool ok = Save(&window, dir, QStringLiteral("main_window"));

  struct Shot {
    AnalysisKind kind;
    const char* name;
  };
  const Shot shots[] = {
      {AnalysisKind::Strength, "strength_window"},     {AnalysisKind::Prosperity, "prosperity_window"},
      {AnalysisKind::FlowYear, "flow_year_window"},    {AnalysisKind::MinorLuck, "minor_luck_window"},
      {AnalysisKind::Stars, "stars_window"},           {AnalysisKind::SanMing, "sanming_window"},
      {AnalysisKind::TextOutput, "text_output_window"},
  };
  for (const Shot& s : shots) {
    std::unique_ptr<QWidget> w(
        qelm::ui::CreateAnalysisWindow(s.kind, *window.chart(), window.flow(), 1));
    if (w) ok = Save(w.get(), dir, QString::fromLatin1(s.name)) && ok;
  }
  return ok ? 0 : 1;
}
