// What colour a control's text is drawn in, as the windows give colours: one
// 24-bit number, red in the low byte.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>
#include <cstdint>

namespace qelm::ui {

inline std::uint32_t TextColour(const QWidget* w) {
  const QColor c = w->palette().color(QPalette::WindowText);
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

}  // namespace qelm::ui
