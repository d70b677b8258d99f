// 文字輸出's save and print: Ctrl+S saves the text shown (the encoding chosen
// in the file dialog), Ctrl+P prints it; outcomes go to a message line beside
// the school switch.
#pragma once

#include <QObject>
#include <QString>

#include "ui/export/saved_files.hpp"

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace qelm::ui {

class TextExport : public QObject {
  Q_OBJECT
 public:
  // `box` is the window's text box, whose text is saved and printed.
  TextExport(QWidget& window, QPlainTextEdit& box);

  QLabel* messageLine() const { return message_; }
  // The text shown, CR LF line ends.
  QString shownText() const;
  bool saveTo(const QString& path, TextEncoding encoding);
  void print();

 private:
  void ask();
  void say(const QString& text, bool error);

  QWidget& window_;
  QPlainTextEdit& box_;
  QLabel* message_;
  QString lastFolder_;
};

// Attaches a TextExport to the window (owned by it).
TextExport* InstallTextExport(QWidget& window, QPlainTextEdit& box);

}  // namespace qelm::ui
