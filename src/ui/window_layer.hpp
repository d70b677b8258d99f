// The few pieces every window is built from: placement in twips, coloured
// labels, clickable labels, control arrays, the date-row spinner and
// single-instance modeless windows.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class QScrollBar;

namespace qelm::ui {

// The windows' two type faces; mapped to Noto CJK by InstallFontSubstitutions.
inline const QString kSansFace = QStringLiteral("微軟正黑體");
inline const QString kSerifFace = QStringLiteral("新細明體");
void InstallFontSubstitutions();
QFont Font(const QString& face, double points, bool bold = false);

// 1440 twips an inch, at the screen's logical DPI (15 twips a pixel at 96 dpi).
int Px(int twips);
void Place(QWidget* w, int left, int top, int width, int height);  // twips
void Move(QWidget* w, int left, int top);                          // twips

// A colour given as the 24-bit number with red in the low byte.
QColor Bgr(std::uint32_t colour);
void SetTextColour(QWidget* w, std::uint32_t colour);
void SetBackground(QWidget* w, std::uint32_t colour);

// A label that reports clicks.
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
};

// Creates a label named `name`, placed in twips, with a font and text.
QLabel* MakeLabel(QWidget* parent, const QString& name, int left, int top, int width, int height,
                  const QFont& font, const QString& text = {});
ClickLabel* MakeClickLabel(QWidget* parent, const QString& name, int left, int top, int width,
                           int height, const QFont& font, const QString& text = {});

// Controls of one name indexed from 0; element i is named "NAME_i".
template <class W>
using ControlArray = std::vector<W*>;
QString IndexedName(const QString& name, int i);

// A vertical step control: minimum at the top, one step per arrow click.
// Every change of value, by the user or the program, notifies synchronously
// (so changes made from inside a notification cascade).
class Spinner : public QWidget {
  Q_OBJECT
 public:
  Spinner(QWidget* parent, int minimum, int maximum, int value);
  int value() const;
  int minimum() const;
  int maximum() const;
  void setValue(int v);  // clamped to the range, notifies when it changes
  void setMaximum(int m);
  void stepUp();    // the lower arrow: value + 1
  void stepDown();  // the upper arrow: value - 1
 signals:
  void valueChanged(int value);

 private:
  QScrollBar* bar_;
};

// Single-instance modeless windows: created on first use, raised when asked
// for again, discarded (deleted) on close.
template <class W, class Make>
W* ShowSingle(QPointer<W>& slot, Make make) {
  if (!slot) {
    slot = make();
    slot->setAttribute(Qt::WA_DeleteOnClose);
  }
  slot->show();
  slot->raise();
  slot->activateWindow();
  return slot;
}

}  // namespace qelm::ui
