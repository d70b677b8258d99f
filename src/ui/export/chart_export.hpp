// The main window's print and save actions: Ctrl+P, Ctrl+S and a right-click
// menu (列印…, 存成 PDF…, 存成圖片…, 複製報告文字), enabled only while a chart
// is shown, and a message line under the bottom panel.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QLabel;
class QMenu;

namespace qelm::ui {

class MainWindow;

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
  enum class Kind { kPdf, kImage };
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

}  // namespace qelm::ui
