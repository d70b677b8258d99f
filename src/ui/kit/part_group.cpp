#include "ui/kit/part_group.hpp"

#include <QRegion>

namespace qelm::ui {

PartGroup::PartGroup(QWidget* parent) : QWidget(parent) {}

void PartGroup::FitToParts() {
  const QList<QWidget*> parts = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  QRect bounds;
  for (const QWidget* w : parts) bounds |= w->geometry();
  QRegion taken;
  for (QWidget* w : parts) {
    w->move(w->pos() - bounds.topLeft());
    taken += w->geometry();
  }
  setGeometry(bounds.translated(pos()));
  setMask(taken);
}

}  // namespace qelm::ui
