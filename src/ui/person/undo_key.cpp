#include "ui/person/undo_key.hpp"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>
#include <utility>

namespace qelm::ui {

UndoKey::UndoKey(QAbstractButton* button, std::initializer_list<QWidget*> fields, std::function<bool()> canUndo)
    : QObject(button), button_(button), canUndo_(std::move(canUndo)) {
  button->setShortcut(QKeySequence::Undo);
  for (QWidget* field : fields) field->installEventFilter(this);
}

bool UndoKey::eventFilter(QObject* watched, QEvent* e) {
  // The key is claimed from the field (it comes as a key press, not as the
  // field's own undo) and presses the button.
  const bool key = e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress;
  if (key && static_cast<QKeyEvent*>(e)->matches(QKeySequence::Undo) && canUndo_()) {
    if (e->type() == QEvent::KeyPress) button_->click();
    e->accept();
    return true;
  }
  return QObject::eventFilter(watched, e);
}

}  // namespace qelm::ui
