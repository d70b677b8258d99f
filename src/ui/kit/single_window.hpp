// Single-instance modeless windows: created on first use, raised when asked
// for again, discarded (deleted) on close.
#pragma once

#include <QPointer>
#include <QWidget>

namespace qelm::ui {

// `make` may return nullptr (a window that cannot be built); nothing is shown then.
template <class W, class Make>
W* ShowSingle(QPointer<W>& slot, Make make) {
  if (!slot) {
    W* w = make();
    if (!w) return nullptr;
    w->setAttribute(Qt::WA_DeleteOnClose);
    slot = w;
  }
  slot->show();
  slot->raise();
  slot->activateWindow();
  return slot;
}

}  // namespace qelm::ui
