#include "ui/day_choice/day_choice_export.hpp"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>

#include "ui/export/chart_document.hpp"
#include "ui/export/save_dialog.hpp"
#include "ui/kit/message_line.hpp"

namespace qelm::ui {

namespace {

const QStringList kContents{QStringLiteral("整月"), QStringLiteral("只列合乎條件的日子")};

}  // namespace

DayChoiceExport::DayChoiceExport(QWidget& window, QLabel& messageLine, PagesText pages, QString documentName)
    : QObject(&window), window_(window), message_(messageLine), pages_(std::move(pages)),
      documentName_(std::move(documentName)) {
  setObjectName(QStringLiteral("DayChoiceExport"));
  auto make = [&](const char* name, const QString& text, QKeySequence::StandardKey key) {
    auto* a = new QAction(text, &window);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    window.addAction(a);
    return a;
  };
  print_ = make("PrintDays", QStringLiteral("列印…"), QKeySequence::Print);
  savePdf_ = make("SaveDaysPdf", QStringLiteral("存成 PDF…"), QKeySequence::Save);
  connect(print_, &QAction::triggered, this, &DayChoiceExport::print);
  connect(savePdf_, &QAction::triggered, this, &DayChoiceExport::ask);
}

bool DayChoiceExport::saveTo(const QString& path, bool keptOnly) {
  if (QFileInfo(path).suffix().toLower() != QStringLiteral("pdf")) {
    Say(&message_, QStringLiteral("請用 .pdf 檔名"), true);
    return false;
  }
  const QString error = SaveChartPdf(window_, pages_(keptOnly), path, documentName_, {&message_});
  if (!error.isEmpty()) {
    Say(&message_, error, true);
    return false;
  }
  Say(&message_, QStringLiteral("已存成 ") + QDir::toNativeSeparators(path), false);
  return true;
}

void DayChoiceExport::ask() {
  SaveDialog d(&window_, QStringLiteral("存成 PDF"), QStringLiteral("內容:"), kContents, 0);
  d.dialog.setNameFilters({QStringLiteral("PDF 文件 (*.pdf)")});
  d.dialog.setDefaultSuffix(QStringLiteral("pdf"));
  d.dialog.setDirectory(StartFolder(lastFolder_));
  d.dialog.selectFile(documentName_ + QStringLiteral(".pdf"));
  const auto path = d.run();
  if (!path) return;
  lastFolder_ = QFileInfo(*path).absolutePath();
  saveTo(*path, d.choice->currentIndex() == 1);
}

void DayChoiceExport::print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setDocName(documentName_);
  QPrintDialog dialog(&printer, &window_);
  dialog.setWindowTitle(QStringLiteral("列印擇日"));
  if (dialog.exec() != QDialog::Accepted) return;
  PaintChartDocument(printer, window_, pages_(false), {&message_});
  Say(&message_, QStringLiteral("已送出列印"), false);
}

}  // namespace qelm::ui
