#include "ui/export/chart_export.hpp"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>

#include "report/report.hpp"
#include "ui/export/chart_document.hpp"
#include "ui/main/main_window.hpp"
#include "ui/kit/message_line.hpp"
#include "ui/export/save_dialog.hpp"
#include "ui/analysis/text_output_window.hpp"

namespace qelm::ui {
namespace {

const QString kPdfFilter = QStringLiteral("PDF 文件 (*.pdf)");
const QString kPngFilter = QStringLiteral("PNG 圖片 (*.png)");

}  // namespace

ChartExport::ChartExport(MainWindow& main) : QObject(&main), main_(main) {
  setObjectName(QStringLiteral("ChartExport"));
  auto make = [&](const char* name, const QString& text, const QKeySequence& key) {
    auto* a = new QAction(text, &main);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
      a->setShortcut(key);
      a->setShortcutContext(Qt::WindowShortcut);
      main.addAction(a);  // the shortcut works without the menu
    }
    return a;
  };
  print_ = make("PrintChart", QStringLiteral("列印…"), QKeySequence::Print);
  savePdf_ = make("SaveChartPdf", QStringLiteral("存成 PDF…"), QKeySequence::Save);
  saveImage_ = make("SaveChartImage", QStringLiteral("存成圖片…"), {});
  copy_ = make("CopyReport", QStringLiteral("複製報告文字"), {});
  connect(print_, &QAction::triggered, this, &ChartExport::print);
  connect(savePdf_, &QAction::triggered, this, [this] { ask(Kind::kPdf); });
  connect(saveImage_, &QAction::triggered, this, [this] { ask(Kind::kImage); });
  connect(copy_, &QAction::triggered, this, &ChartExport::copyReport);

  menu_ = new QMenu(&main);
  menu_->setObjectName(QStringLiteral("ChartMenu"));
  menu_->addAction(print_);
  menu_->addAction(savePdf_);
  menu_->addAction(saveImage_);
  menu_->addSeparator();
  menu_->addAction(copy_);
  main.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&main, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    refresh();
    menu_->popup(main_.mapToGlobal(at));
  });

  // Below the bottom panel, across the window.
  message_ = MakeMessageLine(&main, 360, 8680, 10960, 330);
  connect(&main, &MainWindow::chartLoadedChanged, this, &ChartExport::refresh);
  refresh();
}

void ChartExport::refresh() {
  const bool loaded = main_.chartLoaded();
  for (QAction* a : {print_, savePdf_, saveImage_, copy_}) a->setEnabled(loaded);
}

void ChartExport::say(const QString& text, bool error) { Say(message_, text, error); }

QString ChartExport::reportText() const {
  if (!main_.chartLoaded()) return {};
  return QString::fromStdString(ChartReport(*main_.chart(), main_.flow(), School::ZiPing, main_.correctionLine()));
}

bool ChartExport::saveTo(const QString& path, int imageScale) {
  if (!main_.chartLoaded()) {
    say(QStringLiteral("尚未排盤，沒有命盤可存"), true);
    return false;
  }
  const QString suffix = QFileInfo(path).suffix().toLower();
  QString error;
  if (suffix == QStringLiteral("pdf")) {
    const QString title = QStringLiteral("QELM 命盤 ") + QString::fromStdString(main_.chart()->PersonName);
    error = SaveChartPdf(main_, reportText(), path, title, {message_});
  } else if (suffix == QStringLiteral("png")) {
    error = SaveChartPng(main_, path, imageScale, {message_});
  } else {
    error = QStringLiteral("不支援的檔案類型「%1」，請用 .pdf 或 .png").arg(suffix.isEmpty() ? QStringLiteral("無副檔名") : QStringLiteral(".") + suffix);
  }
  if (!error.isEmpty()) {
    say(error, true);
    return false;
  }
  say(QStringLiteral("已存成 ") + QDir::toNativeSeparators(path), false);
  return true;
}

void ChartExport::ask(Kind kind) {
  if (!main_.chartLoaded()) return;
  const QStringList scales{QStringLiteral("1 倍"), QStringLiteral("2 倍"), QStringLiteral("3 倍")};
  SaveDialog d(&main_, kind == Kind::kImage ? QStringLiteral("存成圖片") : QStringLiteral("存成 PDF"),
               QStringLiteral("圖片放大倍數:"), scales, 1);
  d.dialog.setNameFilters({kPdfFilter, kPngFilter});
  const bool image = kind == Kind::kImage;
  d.dialog.selectNameFilter(image ? kPngFilter : kPdfFilter);
  d.dialog.setDefaultSuffix(image ? QStringLiteral("png") : QStringLiteral("pdf"));
  connect(&d.dialog, &QFileDialog::filterSelected, &d.dialog, [&d](const QString& f) {
    d.dialog.setDefaultSuffix(f == kPngFilter ? QStringLiteral("png") : QStringLiteral("pdf"));
  });
  d.dialog.setDirectory(StartFolder(lastFolder_));
  d.dialog.selectFile(QString::fromStdString(main_.chart()->PersonName) + QStringLiteral("_命盤") +
                      (image ? QStringLiteral(".png") : QStringLiteral(".pdf")));
  const auto path = d.run();
  if (!path) return;
  lastFolder_ = QFileInfo(*path).absolutePath();
  saveTo(*path, d.choice->currentIndex() + 1);
}

void ChartExport::print() {
  if (!main_.chartLoaded()) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setDocName(QStringLiteral("QELM 命盤 ") + QString::fromStdString(main_.chart()->PersonName));
  QPrintDialog dialog(&printer, &main_);
  dialog.setWindowTitle(QStringLiteral("列印命盤"));
  if (dialog.exec() != QDialog::Accepted) return;
  PaintChartDocument(printer, main_, reportText(), {message_});
  say(QStringLiteral("已送出列印"), false);
}

void ChartExport::copyReport() {
  if (!main_.chartLoaded()) return;
  QGuiApplication::clipboard()->setText(BoxText(reportText().toStdString()));
  say(QStringLiteral("子平法報告文字已複製"), false);
}

ChartExport* InstallChartExport(MainWindow& main) { return new ChartExport(main); }

}  // namespace qelm::ui
