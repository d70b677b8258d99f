#include "ui/kit/colours.hpp"

#include <QPalette>
#include <QWidget>

namespace qelm::ui {

QColor Bgr(std::uint32_t colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void SetTextColour(QWidget* w, std::uint32_t colour) {
  const QColor c = Bgr(colour);
  QPalette p = w->palette();
  if (p.color(QPalette::WindowText) == c && p.color(QPalette::ButtonText) == c) return;
  p.setColor(QPalette::WindowText, c);
  p.setColor(QPalette::ButtonText, c);
  p.setColor(QPalette::Text, c);
  w->setPalette(p);
}

void SetBackground(QWidget* w, std::uint32_t colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, Bgr(colour));
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

}  // namespace qelm::ui
