// Labels and buttons as the windows' designs give them: a name, a place in
// twips, a font and a text.
#pragma once

#include <QFont>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace qelm::ui {

class ClickLabel;

// Like every caption, a label's text wraps inside the label's width.
QLabel* MakeLabel(QWidget* parent, const QString& name, int left, int top, int width, int height,
                  const QFont& font, const QString& text = {});
ClickLabel* MakeClickLabel(QWidget* parent, const QString& name, int left, int top, int width,
                           int height, const QFont& font, const QString& text = {});
// Enter on the focused button acts as a click.
QPushButton* MakeButton(QWidget* parent, const QString& name, int left, int top, int width,
                        int height, const QFont& font, const QString& text);

// Esc and Ctrl+W close the window, whichever of its controls has the focus.
void AddCloseShortcuts(QWidget* window);

}  // namespace qelm::ui
