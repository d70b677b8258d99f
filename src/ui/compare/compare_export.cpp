#include "ui/compare/compare_export.hpp"

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
#include <QWidget>

#include "ui/export/chart_document.hpp"
#include "ui/export/save_dialog.hpp"
#include "ui/kit/message_line.hpp"

namespace qelm::ui {
namespace {

const QString kPdfFilter = QStringLiteral("PDF 文件 (*.pdf)");
const QString kPngFilter = QStringLiteral("PNG 圖片 (*.png)");

}  // namespace

CompareExport::CompareExport(QWidget& window, QLabel* messageLine, std::function<QString()> text,
                             std::function<QString()> name)
    : QObject(&window), window_(window), message_(messageLine), text_(std::move(text)), name_(std::move(name)) {
  setObjectName(QStringLiteral("CompareExport"));
  const auto make = [&](const char* objectName, const QString& caption, const QKeySequence& key) {
    auto* a = new QAction(caption, &window);
    a->setObjectName(QString::fromLatin1(objectName));
    if (!key.isEmpty()) {
      a->setShortcut(key);
      a->setShortcutContext(Qt::WindowShortcut);
      window.addAction(a);  // the shortcut works without the menu
    }
    return a;
  };
  print_ = make("PrintCompare", QStringLiteral("列印…"), QKeySequence::Print);
  savePdf_ = make("SaveComparePdf", QStringLiteral("存成 PDF…"), QKeySequence::Save);
  saveImage_ = make("SaveCompareImage", QStringLiteral("存成圖片…"), {});
  copy_ = make("CopyCompare", QStringLiteral("複製文字"), {});
  connect(print_, &QAction::triggered, this, &CompareExport::print);
  connect(savePdf_, &QAction::triggered, this, [this] { ask(Kind::kPdf); });
  connect(saveImage_, &QAction::triggered, this, [this] { ask(Kind::kImage); });
  connect(copy_, &QAction::triggered, this, &CompareExport::copyText);

  menu_ = new QMenu(&window);
  menu_->setObjectName(QStringLiteral("CompareMenu"));
  menu_->addActions({print_, savePdf_, saveImage_});
  menu_->addSeparator();
  menu_->addAction(copy_);
  window.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&window, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->popup(window_.mapToGlobal(at)); });
}

bool CompareExport::ready() {
  if (!text_().isEmpty()) return true;
  Say(message_, QStringLiteral("請先選擇第二人"), true);
  return false;
}

bool CompareExport::saveTo(const QString& path, int imageScale) {
  if (!ready()) return false;
  const QString suffix = QFileInfo(path).suffix().toLower();
  QString error;
  if (suffix == QStringLiteral("pdf")) {
    error = SaveChartPdf(window_, text_(), path, QStringLiteral("QELM 合盤 ") + name_(), {message_});
  } else if (suffix == QStringLiteral("png")) {
    error = SaveChartPng(window_, path, imageScale, {message_});
  } else {
    error = QStringLiteral("不支援的檔案類型「%1」，請用 .pdf 或 .png")
                .arg(suffix.isEmpty() ? QStringLiteral("無副檔名") : QStringLiteral(".") + suffix);
  }
  if (!error.isEmpty()) {
    Say(message_, error, true);
    return false;
  }
  Say(message_, QStringLiteral("已存成 ") + QDir::toNativeSeparators(path), false);
  return true;
}

void CompareExport::ask(Kind kind) {
  if (!ready()) return;
  const bool image = kind == Kind::kImage;
  SaveDialog d(&window_, image ? QStringLiteral("存成圖片") : QStringLiteral("存成 PDF"),
               QStringLiteral("圖片放大倍數:"), {QStringLiteral("1 倍"), QStringLiteral("2 倍"), QStringLiteral("3 倍")},
               1);
  d.dialog.setNameFilters({kPdfFilter, kPngFilter});
  d.dialog.selectNameFilter(image ? kPngFilter : kPdfFilter);
  d.dialog.setDefaultSuffix(image ? QStringLiteral("png") : QStringLiteral("pdf"));
  connect(&d.dialog, &QFileDialog::filterSelected, &d.dialog, [&d](const QString& f) {
    d.dialog.setDefaultSuffix(f == kPngFilter ? QStringLiteral("png") : QStringLiteral("pdf"));
  });
  d.dialog.setDirectory(StartFolder(lastFolder_));
  d.dialog.selectFile(name_() + QStringLiteral("_合盤") + (image ? QStringLiteral(".png") : QStringLiteral(".pdf")));
  const auto path = d.run();
  if (!path) return;
  lastFolder_ = QFileInfo(*path).absolutePath();
  saveTo(*path, d.choice->currentIndex() + 1);
}

void CompareExport::print() {
  if (!ready()) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setDocName(QStringLiteral("QELM 合盤 ") + name_());
  QPrintDialog dialog(&printer, &window_);
  dialog.setWindowTitle(QStringLiteral("列印合盤"));
  if (dialog.exec() != QDialog::Accepted) return;
  PaintChartDocument(printer, window_, text_(), {message_});
  Say(message_, QStringLiteral("已送出列印"), false);
}

void CompareExport::copyText() {
  if (!ready()) return;
  QString text = text_();
  QGuiApplication::clipboard()->setText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  Say(message_, QStringLiteral("合盤文字已複製"), false);
}

}  // namespace qelm::ui
