#include "ui/kit/step_field.hpp"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>
#include <QWheelEvent>
#include <cstdlib>

#include "ui/kit/accessible.hpp"
#include "ui/kit/focus_frame.hpp"
#include "ui/kit/spinner.hpp"

namespace qelm::ui {

StepField::StepField(QWidget* parent, Spinner* spinner) : QFrame(parent), spinner_(spinner) {
  InstallAccessibleFactory();
  setFocusPolicy(Qt::StrongFocus);
  connect(&repeat_, &QTimer::timeout, this, [this] {
    repeat_.setInterval(spinner_->lowerArrow()->autoRepeatInterval());
    Step(heldDelta_);
  });
}

void StepField::Step(int delta) {
  for (int n = 0; n < std::abs(delta); ++n) {
    if (delta > 0)
      spinner_->stepUp();
    else
      spinner_->stepDown();
  }
}

void StepField::keyPressEvent(QKeyEvent* e) {
  int delta = 0;
  switch (e->key()) {
    case Qt::Key_Up: delta = +1; break;
    case Qt::Key_Down: delta = -1; break;
    case Qt::Key_PageUp: delta = +10; break;
    case Qt::Key_PageDown: delta = -10; break;
    default: QFrame::keyPressEvent(e); return;
  }
  e->accept();
  // The key's own repeats are dropped: the timer repeats at the arrows' rate.
  if (e->isAutoRepeat() && e->key() == heldKey_) return;
  heldKey_ = e->key();
  heldDelta_ = delta;
  Step(delta);
  repeat_.start(spinner_->lowerArrow()->autoRepeatDelay());
}

void StepField::keyReleaseEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat() && e->key() == heldKey_) {
    repeat_.stop();
    heldKey_ = 0;
  }
  QFrame::keyReleaseEvent(e);
}

void StepField::focusOutEvent(QFocusEvent* e) {
  repeat_.stop();
  heldKey_ = 0;
  QFrame::focusOutEvent(e);
}

void StepField::wheelEvent(QWheelEvent* e) {
  spinner_->turnWheel(e->angleDelta().y());
  e->accept();
}

void StepField::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update(contentsRect());
  if (QAccessible::isActive()) {
    QAccessibleValueChangeEvent changed(this, spinner_->value());
    QAccessible::updateAccessibility(&changed);
  }
}

void StepField::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);
  QPainter p(this);
  p.setFont(font());
  p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  p.drawText(contentsRect(), Qt::AlignCenter, text_);
  p.end();
  PaintFocusFrame(this);
}

}  // namespace qelm::ui
