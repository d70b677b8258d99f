// The cells the main window's pillar columns are made of.
#pragma once

#include <QString>

#include "chart/chart.hpp"

class QFont;
class QLabel;
class QWidget;

namespace qelm::ui {

// A one- or two-character cell of a pillar column, placed in twips:
// centred, one line.
QLabel* MakeCell(QWidget* parent, const QString& name, int left, int top, int width, int height, const QFont& font);
// Grows a centred one-line cell to the height of a whole line of its font
// (and a pixel either side), keeping its centre: its text stands where it
// stood and is never cut.
void HoldWholeLine(QLabel* l);
// A text in its colour.
void ShowColoured(QLabel* l, const ColouredText& t);

}  // namespace qelm::ui
