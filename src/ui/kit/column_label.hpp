// A one-character-wide label read from top to bottom.
#pragma once

#include <QLabel>
#include <QList>
#include <QPair>
#include <QRectF>

namespace qelm::ui {

// One character a row, blanks included, a blank taking half a row (a
// full-width character counts as two blanks), so that texts padded to one
// width end on the same row.
class ColumnLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
  // Each character with the box it is drawn in (top-aligned, centred across).
  QList<QPair<QRectF, QString>> cells() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }
  int heightForWidth(int) const override { return sizeHint().height(); }

 protected:
  void paintEvent(QPaintEvent* e) override;
};

}  // namespace qelm::ui
