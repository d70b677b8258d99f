// A part of a window's design made of many small controls (a block of pillar
// columns, a strip): one widget that owns them. Its controls are made in the
// window's own twips, as the design gives them, with the usual helpers
// (MakeLabel, MakeCell, Place); FitToParts then sets the widget over them and
// moves them into it, so that each stands at the very pixels it had.
#pragma once

#include <QWidget>

namespace qelm::ui {

class PartGroup : public QWidget {
  Q_OBJECT
 public:
  explicit PartGroup(QWidget* parent);

 protected:
  // Takes the bounds of the controls made so far, and the mouse only over
  // them: what stands in the window under the group's empty parts stays
  // within reach of a click or a tooltip.
  void FitToParts();
};

}  // namespace qelm::ui
