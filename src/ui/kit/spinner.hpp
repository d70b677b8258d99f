// A vertical step control: minimum at the top, one step per arrow click (the
// upper arrow lowers the value, the lower arrow raises it).
#pragma once

#include <QWidget>

class QToolButton;

namespace qelm::ui {

// Every change of value, by the user or the program, notifies synchronously,
// so changes made from inside a notification cascade; value() is always the
// latest value.
class Spinner : public QWidget {
  Q_OBJECT
 public:
  Spinner(QWidget* parent, int minimum, int maximum, int value);
  int value() const { return value_; }
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  void setValue(int v);  // clamped to the range, notifies when it changes
  // A new upper end; a value above it is brought down to it (and notifies).
  void setMaximum(int m);
  // Sets the value without notifying (for a window that redraws itself).
  void setValueQuietly(int v);
  // Range and value at once, without notifying: the spinner shows a state
  // kept elsewhere.
  void showState(int minimum, int maximum, int value);
  void stepUp();    // the lower arrow: value + 1
  void stepDown();  // the upper arrow: value - 1
  QToolButton* upperArrow() const { return up_; }
  QToolButton* lowerArrow() const { return down_; }
  // Names the arrows for a screen reader after the field they step:
  // "年 減一" (upper) and "年 加一" (lower), and tells the same on hover.
  void setFieldName(const QString& field);
  // A turn of the mouse wheel (in eighths of a degree): a notch away from
  // the user raises the value by one, as in every spin box; part notches add
  // up.
  void turnWheel(int angleDelta);
 signals:
  void valueChanged(int value);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  int clamp(int v) const;
  int min_, max_, value_;
  int wheel_ = 0;  // wheel travel not yet turned into steps
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace qelm::ui
