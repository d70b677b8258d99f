// Ctrl+Z in the person window: while a deletion can be taken back, the key
// takes it back wherever the focus is, before a text field's own undo (the
// name field, emptied by the deletion, would otherwise take the key).
#pragma once

#include <QObject>
#include <functional>
#include <initializer_list>

class QAbstractButton;
class QWidget;

namespace qelm::ui {

class UndoKey : public QObject {
 public:
  // `button` carries the key as its shortcut; `fields` are the controls whose
  // own handling of the key gives way while `canUndo` says yes.
  UndoKey(QAbstractButton* button, std::initializer_list<QWidget*> fields, std::function<bool()> canUndo);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QAbstractButton* button_;
  std::function<bool()> canUndo_;
};

}  // namespace qelm::ui
