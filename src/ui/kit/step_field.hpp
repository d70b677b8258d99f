// The field of a Spinner, reachable from the keyboard.
#pragma once

#include <QFrame>
#include <QString>
#include <QTimer>

namespace qelm::ui {

class Spinner;

// It takes the focus; as in every spin box, Up raises the value by one step
// and Down lowers it, Page Up and Page Down by ten steps (the spinner's drawn
// arrows keep their own order), and the wheel over it turns the spinner's
// wheel. A held key repeats
// at the arrows' rate; the key's own repeats are dropped, so no steps queue up
// behind the screen. A screen reader sees a spin box named by the accessible
// name whose value is the shown text.
class StepField : public QFrame {
  Q_OBJECT
 public:
  StepField(QWidget* parent, Spinner* spinner);
  Spinner* spinner() const { return spinner_; }
  // The number shown, centred. A plain frame rather than a label: a label
  // that takes the focus lays its text out as a document on every change,
  // which would make each step of the date row several times slower.
  QString text() const { return text_; }
  void setText(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void Step(int delta);  // |delta| single steps, each with its carries
  Spinner* spinner_;
  QString text_;
  QTimer repeat_;
  int heldKey_ = 0, heldDelta_ = 0;
};

}  // namespace qelm::ui
