// Colours given as one 24-bit number with red in the low byte, green in the
// middle byte and blue in the high byte.
#pragma once

#include <QColor>
#include <cstdint>

class QWidget;

namespace qelm::ui {

QColor Bgr(std::uint32_t colour);
void SetTextColour(QWidget* w, std::uint32_t colour);
void SetBackground(QWidget* w, std::uint32_t colour);

}  // namespace qelm::ui
