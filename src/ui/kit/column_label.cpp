#include "ui/kit/column_label.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace qelm::ui {

QList<QPair<QRectF, QString>> ColumnLabel::cells() const {
  QList<QPair<QRectF, QString>> out;
  const QFontMetricsF fm(font());
  const QRectF area = contentsRect();
  double y = area.top();
  for (const QChar c : text()) {
    // A blank (half width) takes half a row.
    const double row = c.isSpace() ? fm.height() / 2 : fm.height();
    if (!c.isSpace()) out.append({QRectF(area.left(), y, area.width(), row), QString(c)});
    y += row;
  }
  return out;
}

QSize ColumnLabel::sizeHint() const {
  const QFontMetricsF fm(font());
  double h = 0, w = 0;
  for (const QChar c : text()) {
    h += c.isSpace() ? fm.height() / 2 : fm.height();
    w = std::max(w, fm.horizontalAdvance(c));
  }
  const QMargins m = contentsMargins();
  return QSize(static_cast<int>(std::ceil(w)) + m.left() + m.right(),
               static_cast<int>(std::ceil(h)) + m.top() + m.bottom());
}

void ColumnLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(font());
  p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
  for (const auto& [box, ch] : cells()) p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, ch);
}

}  // namespace qelm::ui
