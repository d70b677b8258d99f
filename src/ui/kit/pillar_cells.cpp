#include "ui/kit/pillar_cells.hpp"

#include <QLabel>

#include "ui/kit/colours.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"

namespace qelm::ui {

QLabel* MakeCell(QWidget* parent, const QString& name, int left, int top, int width, int height, const QFont& font) {
  QLabel* l = MakeLabel(parent, name, left, top, width, height, font);
  l->setWordWrap(false);
  l->setAlignment(Qt::AlignCenter);
  return l;
}

void HoldWholeLine(QLabel* l) {
  const int need = l->fontMetrics().height() + 2;
  if (l->height() >= need) return;
  const int grow = need - l->height();
  l->setGeometry(l->x(), l->y() - grow / 2, l->width(), need);
}

void ShowColoured(QLabel* l, const ColouredText& t) {
  l->setText(Q(t.text));
  SetTextColour(l, t.colour);
}

}  // namespace qelm::ui
