// Where the day ends (子初換日 or 子正換日) is a setting of the program, not a
// field of the person: in the person window it stands apart from the
// person's fields, under the list, captioned as the program's setting, and
// holds for every chart cast after it is chosen and for 由八字找生日.
#pragma once

#include <QWidget>

class QLabel;

namespace qelm::ui {

class DayChangeBox;

class DayChangeRow : public QWidget {
  Q_OBJECT
 public:
  // Placed in `parent` at `left`, `top` (twips), `width` wide.
  DayChangeRow(QWidget* parent, int left, int top, int width);
  DayChangeBox* box() const { return box_; }
  QLabel* caption() const { return caption_; }

 private:
  QLabel* caption_;
  DayChangeBox* box_;
};

}  // namespace qelm::ui
