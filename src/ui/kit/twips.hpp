// Positions and sizes in twips: 1440 to an inch, at the screen's logical DPI
// (15 twips a pixel at 96 dpi).
#pragma once

class QWidget;

namespace qelm::ui {

int Px(int twips);
int Px(int twips, double dpi);  // at a given DPI
double ScreenDpi();             // logical DPI of the primary screen, 96 without one
void Place(QWidget* w, int left, int top, int width, int height);  // twips
// Placed at the same pixels as Place would put it, for a widget whose parent
// stands at (originLeft, originTop) twips inside the design's frame.
void PlaceFrom(QWidget* w, int originLeft, int originTop, int left, int top, int width, int height);

}  // namespace qelm::ui
