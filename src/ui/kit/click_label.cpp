#include "ui/kit/click_label.hpp"

#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/kit/accessible.hpp"
#include "ui/kit/focus_frame.hpp"

namespace qelm::ui {

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
  InstallAccessibleFactory();
  setFocusPolicy(Qt::StrongFocus);
}

void ClickLabel::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    emit clicked();
    e->accept();
    return;
  }
  QLabel::mousePressEvent(e);
}

void ClickLabel::keyPressEvent(QKeyEvent* e) {
  const int key = e->key();
  const bool clickKey = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
  if (clickKey && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (!e->isAutoRepeat()) emit clicked();
    e->accept();
    return;
  }
  QFrame::keyPressEvent(e);
}

void ClickLabel::paintEvent(QPaintEvent* e) {
  QLabel::paintEvent(e);
  PaintFocusFrame(this);
}

}  // namespace qelm::ui
