#include "ui/kit/spinner.hpp"

#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

namespace qelm::ui {

Spinner::Spinner(QWidget* parent, int minimum, int maximum, int value)
    : QWidget(parent),
      min_(minimum),
      max_(std::max(minimum, maximum)),
      value_(0),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
  value_ = clamp(value);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
  }
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  connect(up_, &QToolButton::clicked, this, &Spinner::stepDown);
  connect(down_, &QToolButton::clicked, this, &Spinner::stepUp);
}

int Spinner::clamp(int v) const { return std::clamp(v, min_, max_); }

void Spinner::setValue(int v) {
  v = clamp(v);
  if (v == value_) return;
  value_ = v;
  emit valueChanged(v);
}

void Spinner::setValueQuietly(int v) { value_ = clamp(v); }

void Spinner::showState(int minimum, int maximum, int value) {
  min_ = minimum;
  max_ = std::max(minimum, maximum);
  value_ = clamp(value);
}

void Spinner::setMaximum(int m) {
  max_ = std::max(min_, m);
  if (value_ > max_) setValue(max_);
}

void Spinner::setFieldName(const QString& field) {
  up_->setAccessibleName(field + QStringLiteral(" 減一"));
  down_->setAccessibleName(field + QStringLiteral(" 加一"));
  // The arrows step as a scroll bar does, the other way from the keys and
  // the wheel: the pointer says which way before the click.
  up_->setToolTip(QStringLiteral("▲ ") + field + QStringLiteral(" 減一"));
  down_->setToolTip(QStringLiteral("▼ ") + field + QStringLiteral(" 加一"));
}

void Spinner::turnWheel(int angleDelta) {
  wheel_ += angleDelta;
  const int steps = wheel_ / QWheelEvent::DefaultDeltasPerStep;
  wheel_ -= steps * QWheelEvent::DefaultDeltasPerStep;
  // One step at a time, each with its notification (and carries).
  for (int n = 0; n < std::abs(steps); ++n) {
    if (steps > 0)
      stepUp();
    else
      stepDown();
  }
}

void Spinner::wheelEvent(QWheelEvent* e) {
  turnWheel(e->angleDelta().y());
  e->accept();
}

void Spinner::stepUp() { setValue(value_ + 1); }
void Spinner::stepDown() { setValue(value_ - 1); }

void Spinner::resizeEvent(QResizeEvent*) {
  const int h = height() / 2;
  up_->setGeometry(0, 0, width(), h);
  down_->setGeometry(0, h, width(), height() - h);
}

}  // namespace qelm::ui
