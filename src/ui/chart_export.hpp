// Printing and saving: the chart document (the main window as drawn on the
// first page, the 子平法 report on the next), saved as PDF with real text or
// as a PNG of the window, and the report text of 文字輸出 saved as UTF-8 or
// Big5. The windows get their shortcuts, right-click menu and message line
// from InstallChartExport and InstallTextExport.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPagedPaintDevice;
class QPainter;
class QPlainTextEdit;
class QWidget;

namespace qelm::ui {

class MainWindow;
class TextOutputWindow;

// ------------------------------------------------------------ documents

// Draws the chart document on a paged device (a printer or a PDF writer): the
// window, scaled to fit the first page, then the report's lines (CR LF or LF
// line ends) on as many pages as they need.
void PaintChartDocument(QPagedPaintDevice& device, QWidget& window, const QString& report);
// Plain text lines over as many pages as they need, from the painter's
// current page on.
void PaintTextPages(QPagedPaintDevice& device, QPainter& painter, const QString& text);

// Writes the chart document as a PDF (A4 landscape). Empty on success, else
// a message for the user.
QString SaveChartPdf(QWidget& window, const QString& report, const QString& path, const QString& title);
// A PDF of Qt's writer with the radicals in its text map replaced by the
// ideographs they share a glyph with (same length, offsets unchanged).
QByteArray MendTextMap(QByteArray pdf);
// The window as drawn, `scale` times its size in pixels.
QImage ChartImage(QWidget& window, int scale);
QString SaveChartPng(QWidget& window, const QString& path, int scale);

// The saved forms of a text: CR LF line ends, UTF-8 or Big5.
enum class TextEncoding { kUtf8, kBig5 };
struct EncodedText {
  std::optional<QByteArray> bytes;
  QString error;  // when there are no bytes: why, for the user
};
EncodedText EncodeText(const QString& text, TextEncoding encoding);
// Writes the whole file or nothing (an existing file stays as it was on
// failure). Empty on success, else a message for the user.
QString WriteFileWhole(const QString& path, const QByteArray& bytes);

// ------------------------------------------------------------ main window

// The main window's print and save actions: Ctrl+P, Ctrl+S and a right-click
// menu (列印…, 存成 PDF…, 存成圖片…, 複製報告文字), enabled only while a chart
// is loaded, and a message line under the bottom panel.
class ChartExport : public QObject {
  Q_OBJECT
 public:
  explicit ChartExport(MainWindow& main);

  QAction* printAction() const { return print_; }
  QAction* savePdfAction() const { return savePdf_; }
  QAction* saveImageAction() const { return saveImage_; }
  QAction* copyAction() const { return copy_; }
  QLabel* messageLine() const { return message_; }
  QMenu* menu() const { return menu_; }

  // The 子平法 report of the chart shown, CR LF line ends.
  QString reportText() const;
  // Saves to a path whose extension (.pdf or .png) picks the type; the scale
  // applies to images. Shows the outcome in the message line; true on success.
  bool saveTo(const QString& path, int imageScale = 2);
  void print();
  void copyReport();

 private:
  enum class Kind { kAny, kPdf, kImage };
  void ask(Kind kind);
  void refresh();
  void say(const QString& text, bool error);

  MainWindow& main_;
  QAction *print_, *savePdf_, *saveImage_, *copy_;
  QMenu* menu_;
  QLabel* message_;
  QString lastFolder_;
};

// Attaches a ChartExport to the main window (owned by it).
ChartExport* InstallChartExport(MainWindow& main);

// ------------------------------------------------------------ 文字輸出

// Ctrl+S saves the text shown in 文字輸出 (the encoding chosen in the file
// dialog), Ctrl+P prints it; outcomes go to a message line beside the switch.
class TextExport : public QObject {
  Q_OBJECT
 public:
  explicit TextExport(QWidget& window);

  QLabel* messageLine() const { return message_; }
  // The text shown, CR LF line ends.
  QString shownText() const;
  bool saveTo(const QString& path, TextEncoding encoding);
  void print();

 private:
  void ask();
  void say(const QString& text, bool error);

  QWidget& window_;
  QPlainTextEdit* box_;
  QLabel* message_;
  QString lastFolder_;
};

TextExport* InstallTextExport(QWidget& window);

}  // namespace qelm::ui
