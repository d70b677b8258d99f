#include "ui/chart_export.hpp"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRawFont>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <map>

#include "records/big5.hpp"
#include "report/report.hpp"
#include "ui/main_window.hpp"
#include "ui/text_output_window.hpp"
#include "ui/window_layer.hpp"

namespace qelm::ui {
namespace {

constexpr std::uint32_t kErrorColour = 0x0000C0;  // dark red
constexpr std::uint32_t kDoneColour = 0x006000;   // dark green

const QString kPdfFilter = QStringLiteral("PDF 文件 (*.pdf)");
const QString kPngFilter = QStringLiteral("PNG 圖片 (*.png)");

QStringList Lines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  return text.split(QLatin1Char('\n'));
}

// A non-native save dialog with one extra choice (a labelled selector) under
// the file type row.
struct SaveDialog {
  QFileDialog dialog;
  QComboBox* choice;

  SaveDialog(QWidget* parent, const QString& title, const QString& choiceLabel, const QStringList& choices,
             int chosen)
      : dialog(parent, title) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    choice = new QComboBox(&dialog);
    choice->setObjectName(QStringLiteral("SaveChoice"));
    choice->addItems(choices);
    choice->setCurrentIndex(chosen);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      const int row = grid->rowCount();
      grid->addWidget(new QLabel(choiceLabel, &dialog), row, 0);
      grid->addWidget(choice, row, 1);
    }
  }
  std::optional<QString> run() {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
  }
};

QString StartFolder(const QString& last) { return last.isEmpty() ? QDir::homePath() : last; }

QLabel* MessageLabel(QWidget* parent, int left, int top, int width, int height) {
  QLabel* l = MakeLabel(parent, QStringLiteral("ExportMessage"), left, top, width, height, Font(kSansFace, 9.75));
  l->setWordWrap(false);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  l->setContextMenuPolicy(Qt::NoContextMenu);  // the window's menu, not the label's
  l->setAccessibleName(QStringLiteral("存檔訊息"));
  return l;
}

// The message line is about the last action, not part of the chart: it stays
// out of the printout and the image.
struct MessageHidden {
  QLabel* line;
  bool wasVisible;
  explicit MessageHidden(QWidget& window)
      : line(window.findChild<QLabel*>(QStringLiteral("ExportMessage"), Qt::FindDirectChildrenOnly)),
        wasVisible(line && !line->isHidden()) {
    if (wasVisible) line->hide();
  }
  ~MessageHidden() {
    if (wasVisible) line->show();
  }
};

void Say(QLabel* line, const QString& text, bool error) {
  SetTextColour(line, error ? kErrorColour : kDoneColour);
  line->setToolTip(text);
  line->setText(line->wordWrap() ? text
                                 : QFontMetrics(line->font()).elidedText(text, Qt::ElideMiddle, line->width()));
}

// Radicals (U+2E80 to U+2FDF) that the windows' fonts draw with the glyph
// of a unified ideograph, mapped to that ideograph.
std::map<char16_t, char16_t> RadicalIdeographs() {
  std::map<char16_t, char16_t> map;
  QString radicals, ideographs;
  for (char16_t c = 0x2E80; c < 0x2FE0; ++c) radicals.append(QChar(c));
  for (char16_t c = 0x3400; c < 0x4DC0; ++c) ideographs.append(QChar(c));
  for (char16_t c = 0x4E00; c < 0xA000; ++c) ideographs.append(QChar(c));
  for (const QString& face : {kSansFace, kSerifFace}) {
    const QRawFont font = QRawFont::fromFont(Font(face, 12));
    if (!font.isValid()) continue;
    const QList<quint32> r = font.glyphIndexesForString(radicals);
    const QList<quint32> u = font.glyphIndexesForString(ideographs);
    if (r.size() != radicals.size() || u.size() != ideographs.size()) continue;
    std::map<quint32, char16_t> byGlyph;
    for (qsizetype i = 0; i < u.size(); ++i)
      if (u[i] != 0) byGlyph.emplace(u[i], ideographs[i].unicode());
    for (qsizetype i = 0; i < r.size(); ++i) {
      const auto it = r[i] != 0 ? byGlyph.find(r[i]) : byGlyph.end();
      if (it != byGlyph.end()) map.emplace(radicals[i].unicode(), it->second);
    }
  }
  return map;
}

}  // namespace

// Qt's PDF writer names each glyph, in the text map that makes the text
// searchable and copyable, by the lowest code point the font draws with it.
// CJK fonts draw radicals with the glyph of the ideograph, so 王小明 would be
// found only as 王⼩明 (U+2F29, KANGXI RADICAL SMALL). The map's entries are
// rewritten in place, four hex digits for four, so no offset moves.
QByteArray MendTextMap(QByteArray pdf) {
  static const std::map<char16_t, char16_t> radicals = RadicalIdeographs();
  if (radicals.empty()) return pdf;
  const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  for (qsizetype from = pdf.indexOf("beginbfrange"); from >= 0; from = pdf.indexOf("beginbfrange", from)) {
    const qsizetype end = pdf.indexOf("endbfrange", from);
    if (end < 0) break;
    bool inArray = false;  // only the arrays hold code points; the rest are glyph numbers
    for (qsizetype i = from; i + 5 < end; ++i) {
      if (pdf[i] == '[') inArray = true;
      if (pdf[i] == ']') inArray = false;
      if (!inArray || pdf[i] != '<' || pdf[i + 5] != '>') continue;
      if (!hex(pdf[i + 1]) || !hex(pdf[i + 2]) || !hex(pdf[i + 3]) || !hex(pdf[i + 4])) continue;
      const auto c = static_cast<char16_t>(pdf.mid(i + 1, 4).toUInt(nullptr, 16));
      const auto it = radicals.find(c);
      if (it == radicals.end()) continue;
      const QByteArray u = QByteArray::number(it->second, 16).toUpper().rightJustified(4, '0');
      pdf.replace(i + 1, 4, u);
    }
    from = end;
  }
  return pdf;
}

// ------------------------------------------------------------ documents

void PaintTextPages(QPagedPaintDevice& device, QPainter& painter, const QString& text) {
  painter.save();
  const QFont font = Font(kSerifFace, 11);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QFontMetricsF fm(font, &device);
  const QRect area = painter.viewport();
  const double bottom = area.height() - fm.descent();
  double y = fm.ascent();
  for (const QString& line : Lines(text)) {
    if (y > bottom) {
      device.newPage();
      y = fm.ascent();
    }
    painter.drawText(QPointF(0, y), line);
    y += fm.lineSpacing();
  }
  painter.restore();
}

void PaintChartDocument(QPagedPaintDevice& device, QWidget& window, const QString& report) {
  QPainter painter(&device);
  const QRect area = painter.viewport();
  const double scale = std::min(area.width() / double(window.width()), area.height() / double(window.height()));
  painter.save();
  painter.translate((area.width() - window.width() * scale) / 2, 0);
  painter.scale(scale, scale);
  const MessageHidden hidden(window);
  window.render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  painter.restore();
  device.newPage();
  PaintTextPages(device, painter, report);
}

QString WriteFileWhole(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return {};
  const QFileInfo info(path);
  const QFileInfo folder(info.absolutePath());
  const QString why = !folder.isDir()                          ? QStringLiteral("資料夾不存在")
                      : !folder.isWritable()                   ? QStringLiteral("資料夾不能寫入")
                      : info.exists() && !info.isWritable()    ? QStringLiteral("檔案不能寫入")
                                                               : file.errorString();
  return QStringLiteral("無法寫入 %1:%2").arg(info.fileName(), why);
}

QString SaveChartPdf(QWidget& window, const QString& report, const QString& path, const QString& title) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("QELM"));
    pdf.setResolution(600);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                  QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    PaintChartDocument(pdf, window, report);
  }
  if (bytes.isEmpty()) return QStringLiteral("無法產生 PDF");
  return WriteFileWhole(path, MendTextMap(bytes));
}

QImage ChartImage(QWidget& window, int scale) {
  scale = std::clamp(scale, 1, 8);
  QImage image(window.size() * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(window.palette().color(QPalette::Window));
  const MessageHidden hidden(window);
  window.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  return image;
}

QString SaveChartPng(QWidget& window, const QString& path, int scale) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!ChartImage(window, scale).save(&buffer, "PNG")) return QStringLiteral("無法產生 PNG 圖片");
  return WriteFileWhole(path, bytes);
}

EncodedText EncodeText(const QString& text, TextEncoding encoding) {
  QString crlf = text;
  crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  const QByteArray utf8 = crlf.toUtf8();
  if (encoding == TextEncoding::kUtf8) return {utf8, {}};
  const records::EncodedText big5 = records::EncodeBig5(std::string_view(utf8.constData(), utf8.size()));
  if (!big5.bytes)
    return {std::nullopt, QStringLiteral("「%1」沒有 Big5 字碼,沒有存檔;請改存 UTF-8")
                              .arg(QString::fromStdString(big5.unencodable))};
  return {QByteArray::fromStdString(*big5.bytes), {}};
}

// ------------------------------------------------------------ main window

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
  message_ = MessageLabel(&main, 360, 8680, 10960, 330);
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
    say(QStringLiteral("尚未排盤,沒有命盤可存"), true);
    return false;
  }
  const QString suffix = QFileInfo(path).suffix().toLower();
  QString error;
  if (suffix == QStringLiteral("pdf")) {
    const QString title = QStringLiteral("QELM 命盤 ") + QString::fromStdString(main_.chart()->PersonName);
    error = SaveChartPdf(main_, reportText(), path, title);
  } else if (suffix == QStringLiteral("png")) {
    error = SaveChartPng(main_, path, imageScale);
  } else {
    error = QStringLiteral("不支援的檔案類型「%1」,請用 .pdf 或 .png").arg(suffix.isEmpty() ? QStringLiteral("無副檔名") : QStringLiteral(".") + suffix);
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
  PaintChartDocument(printer, main_, reportText());
  say(QStringLiteral("已送出列印"), false);
}

void ChartExport::copyReport() {
  if (!main_.chartLoaded()) return;
  QGuiApplication::clipboard()->setText(BoxText(reportText().toStdString()));
  say(QStringLiteral("子平法報告文字已複製"), false);
}

ChartExport* InstallChartExport(MainWindow& main) { return new ChartExport(main); }

// ------------------------------------------------------------ 文字輸出

TextExport::TextExport(QWidget& window)
    : QObject(&window), window_(window), box_(window.findChild<QPlainTextEdit*>(QStringLiteral("Outbox"))) {
  setObjectName(QStringLiteral("TextExport"));
  // Right of the school switch, two lines above the text box.
  message_ = MessageLabel(&window, 3840, 60, 3015, 520);
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
  QString t = box_ ? box_->toPlainText() : QString();
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

TextExport* InstallTextExport(QWidget& window) { return new TextExport(window); }

}  // namespace qelm::ui
