// The lunar date of the birth being entered, dark red beside the edit
// buttons of the person window.
#pragma once

#include <QLabel>

namespace qelm::ui {

class LunarPreview : public QLabel {
  Q_OBJECT
 public:
  // At its place in twips; it never grows left of `leftLimit` (pixels).
  explicit LunarPreview(QWidget* parent);
  // Shows the text: it keeps its place, and a long one (a leap or
  // two-character month) grows to the right edge and then to the left,
  // never past `leftLimit`.
  void Show(const QString& text, int leftLimit);
};

}  // namespace qelm::ui
