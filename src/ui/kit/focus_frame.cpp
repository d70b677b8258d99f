#include "ui/kit/focus_frame.hpp"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

namespace qelm::ui {

void PaintFocusFrame(QWidget* w) {
  if (!w->hasFocus()) return;
  QPainter p(w);
  QStyleOptionFocusRect o;
  o.initFrom(w);
  o.rect = w->rect().adjusted(1, 1, -1, -1);
  o.backgroundColor = w->palette().color(QPalette::Window);
  w->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, w);
}

}  // namespace qelm::ui
