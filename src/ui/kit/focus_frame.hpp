// The focus frame of the window layer's own focusable controls.
#pragma once

class QWidget;

namespace qelm::ui {

// Draws the style's focus frame just inside a widget that has the focus
// (call at the end of its paint event).
void PaintFocusFrame(QWidget* w);

}  // namespace qelm::ui
