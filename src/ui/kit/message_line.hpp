// A window's message line: the outcome of its last save or print, in dark
// green when done and dark red when refused.
#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace qelm::ui {

// One line (or wrapping when the window makes it so), selectable, named
// "存檔訊息" for a screen reader; placed in twips.
QLabel* MakeMessageLine(QWidget* parent, int left, int top, int width, int height);
// Shows the text (elided in the middle when it does not fit one line; whole
// in the tooltip).
void Say(QLabel* line, const QString& text, bool error);

}  // namespace qelm::ui
