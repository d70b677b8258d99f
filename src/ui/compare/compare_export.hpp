// 合盤's print and save actions, as the main window has them: Ctrl+P prints
// the window on the first page and the text of 合盤 after it, Ctrl+S saves
// the same as a PDF (or the window as a PNG image, by the extension chosen);
// a right-click offers 列印…, 存成 PDF…, 存成圖片… and 複製文字. Outcomes go
// to the window's message line.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace qelm::ui {

class CompareExport : public QObject {
  Q_OBJECT
 public:
  // `text` gives the text of 合盤 and `name` the file name's stem; both are
  // empty while there is nothing to print (no second person yet), and the
  // actions then say so.
  CompareExport(QWidget& window, QLabel* messageLine, std::function<QString()> text,
                std::function<QString()> name);

  QAction* printAction() const { return print_; }
  QAction* savePdfAction() const { return savePdf_; }
  QMenu* menu() const { return menu_; }

  // Saves to a path whose extension (.pdf or .png) picks the type; the
  // outcome shows in the message line. True on success.
  bool saveTo(const QString& path, int imageScale = 2);
  void print();
  void copyText();

 private:
  enum class Kind { kPdf, kImage };
  void ask(Kind kind);
  bool ready();

  QWidget& window_;
  QLabel* message_;
  std::function<QString()> text_, name_;
  QAction *print_, *savePdf_, *saveImage_, *copy_;
  QMenu* menu_;
  QString lastFolder_;
};

}  // namespace qelm::ui
