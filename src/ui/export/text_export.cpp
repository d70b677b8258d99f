#include "ui/export/text_export.hpp"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>

#include "ui/export/chart_document.hpp"
#include "ui/kit/message_line.hpp"
#include "ui/export/save_dialog.hpp"

namespace qelm::ui {

TextExport::TextExport(QWidget& window, QPlainTextEdit& box) : QObject(&window), window_(window), box_(box) {
  setObjectName(QStringLiteral("TextExport"));
  // Right of the school switch, two lines above the text box.
  message_ = MakeMessageLine(&window, 3840, 60, 3015, 520);
  message_->setWordWrap(true);
  auto* save = new QAction(QStringLiteral("存檔…"), &window);
  save->setObjectName(QStringLiteral("SaveText"));
  save->setShortcut(QKeySequence::Save);
  auto* print = new QAction(QStringLiteral("列印…"), &window);
  print->setObjectName(QStringLiteral("PrintText"));
  print->setShortcut(QKeySequence::Print);
  for (QAction* a : {save, print}) {
    a->setShortcutContext(Qt::WindowShortcut);
    window.addAction(a);
  }
  connect(save, &QAction::triggered, this, &TextExport::ask);
  connect(print, &QAction::triggered, this, &TextExport::print);
}

void TextExport::say(const QString& text, bool error) { Say(message_, text, error); }

QString TextExport::shownText() const {
  QString t = box_.toPlainText();
  t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return t;
}

bool TextExport::saveTo(const QString& path, TextEncoding encoding) {
  const EncodedText e = EncodeText(shownText(), encoding);
  const QString error = e.bytes ? WriteFileWhole(path, *e.bytes) : e.error;
  if (!error.isEmpty()) {
    say(error, true);
    return false;
  }
  say(QStringLiteral("已存成 ") + QDir::toNativeSeparators(path), false);
  return true;
}

void TextExport::ask() {
  SaveDialog d(&window_, QStringLiteral("儲存文字"), QStringLiteral("編碼(CR LF 換行):"),
               {QStringLiteral("UTF-8"), QStringLiteral("Big5")}, 0);
  d.dialog.setNameFilters({QStringLiteral("文字檔 (*.txt)"), QStringLiteral("所有檔案 (*)")});
  d.dialog.setDefaultSuffix(QStringLiteral("txt"));
  d.dialog.setDirectory(StartFolder(lastFolder_));
  d.dialog.selectFile(QStringLiteral("文字輸出.txt"));
  const auto path = d.run();
  if (!path) return;
  lastFolder_ = QFileInfo(*path).absolutePath();
  saveTo(*path, d.choice->currentIndex() == 1 ? TextEncoding::kBig5 : TextEncoding::kUtf8);
}

void TextExport::print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("QELM 文字輸出"));
  QPrintDialog dialog(&printer, &window_);
  dialog.setWindowTitle(QStringLiteral("列印文字"));
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter(&printer);
  PaintTextPages(printer, painter, shownText());
  say(QStringLiteral("已送出列印"), false);
}

TextExport* InstallTextExport(QWidget& window, QPlainTextEdit& box) { return new TextExport(window, box); }

}  // namespace qelm::ui
