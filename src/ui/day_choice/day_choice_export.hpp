// 擇日's print and save: Ctrl+P prints, Ctrl+S saves a PDF (the buttons
// 列印… and 存成 PDF… do the same): the window as drawn on the first page,
// the month's days one a line, then the chosen day's hours, on the next
// pages. Outcomes go to the window's message line.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QLabel;
class QWidget;

namespace qelm::ui {

class DayChoiceExport : public QObject {
  Q_OBJECT
 public:
  // The pages after the first: all the month's days, or those the filter keeps.
  using PagesText = std::function<QString(bool keptOnly)>;
  DayChoiceExport(QWidget& window, QLabel& messageLine, PagesText pages, QString documentName);

  QAction* printAction() const { return print_; }
  QAction* savePdfAction() const { return savePdf_; }
  void setDocumentName(const QString& name) { documentName_ = name; }
  // Writes the PDF; the outcome shows in the message line. True on success.
  bool saveTo(const QString& path, bool keptOnly = false);
  void print();

 private:
  void ask();

  QWidget& window_;
  QLabel& message_;
  PagesText pages_;
  QString documentName_;
  QString lastFolder_;
  QAction *print_, *savePdf_;
};

}  // namespace qelm::ui
