// A label that reports clicks.
#pragma once

#include <QLabel>

namespace qelm::ui {

// It takes the keyboard focus (drawn as a focus frame), Enter and Space act
// as a click, and a screen reader sees a button named by its accessible name.
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickLabel(QWidget* parent = nullptr);
  void click() { emit clicked(); }
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
};

}  // namespace qelm::ui
