#include "ui/kit/twips.hpp"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace qelm::ui {

double ScreenDpi() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
      const double dpi = s->logicalDotsPerInch();
      if (dpi > 0) return dpi;
    }
  }
  return 96.0;
}

int Px(int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

int Px(int twips) { return Px(twips, ScreenDpi()); }

void Place(QWidget* w, int left, int top, int width, int height) {
  const double dpi = ScreenDpi();
  w->setGeometry(Px(left, dpi), Px(top, dpi), Px(width, dpi), Px(height, dpi));
}

void PlaceFrom(QWidget* w, int originLeft, int originTop, int left, int top, int width, int height) {
  const double dpi = ScreenDpi();
  w->setGeometry(Px(left, dpi) - Px(originLeft, dpi), Px(top, dpi) - Px(originTop, dpi), Px(width, dpi),
                 Px(height, dpi));
}

}  // namespace qelm::ui
