// The few pieces every window is built from: placement in twips, coloured
// labels, clickable labels, control arrays, the date-row spinner and
// single-instance modeless windows.
#pragma once

#include <QFont>
#include <QLabel>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class QPushButton;
class QToolButton;

namespace qelm::ui {

// The windows' two type faces; mapped to Noto CJK by InstallFontSubstitutions.
inline const QString kSansFace = QStringLiteral("微軟正黑體");
inline const QString kSerifFace = QStringLiteral("新細明體");
// "微軟正黑體" -> "Noto Sans CJK TC", "新細明體" -> "Noto Serif CJK TC".
// Call once after the QApplication exists.
void InstallFontSubstitutions();
QFont Font(const QString& face, double points, bool bold = false);

// A UTF-8 text of the core as a Qt string.
inline QString Q(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// 1440 twips an inch, at the screen's logical DPI (15 twips a pixel at 96 dpi).
int Px(int twips);
int Px(int twips, double dpi);  // at a given DPI
double ScreenDpi();             // logical DPI of the primary screen, 96 without one
void Place(QWidget* w, int left, int top, int width, int height);  // twips
void Move(QWidget* w, int left, int top);                          // twips

// A colour given as the 24-bit number with red in the low byte.
QColor Bgr(std::uint32_t colour);
void SetTextColour(QWidget* w, std::uint32_t colour);
void SetBackground(QWidget* w, std::uint32_t colour);
// The text colour as a 24-bit number (red in the low byte).
std::uint32_t TextColour(const QWidget* w);

// A label that reports clicks. It takes the keyboard focus (drawn as a focus
// frame), Enter and Space act as a click, and a screen reader sees a button
// named by its accessible name.
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickLabel(QWidget* parent = nullptr);
  void click() { emit clicked(); }
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
};

// Creates a label named `name`, placed in twips, with a font and text. Like
// every caption its text wraps inside the label's width.
QLabel* MakeLabel(QWidget* parent, const QString& name, int left, int top, int width, int height,
                  const QFont& font, const QString& text = {});
ClickLabel* MakeClickLabel(QWidget* parent, const QString& name, int left, int top, int width,
                           int height, const QFont& font, const QString& text = {});
QPushButton* MakeButton(QWidget* parent, const QString& name, int left, int top, int width,
                        int height, const QFont& font, const QString& text);

// Controls of one name indexed from 0; element i is named "NAME_i".
template <class W>
using ControlArray = std::vector<W*>;
QString IndexedName(const QString& name, int i);

// A vertical step control: minimum at the top, one step per arrow click (the
// upper arrow lowers the value, the lower arrow raises it). Every change of
// value, by the user or the program, notifies synchronously, so changes made
// from inside a notification cascade; value() is always the latest value.
class Spinner : public QWidget {
  Q_OBJECT
 public:
  Spinner(QWidget* parent, int minimum, int maximum, int value);
  int value() const { return value_; }
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  void setValue(int v);  // clamped to the range, notifies when it changes
  // A new upper end; a value above it is brought down to it (and notifies).
  void setMaximum(int m);
  // Sets the value without notifying (for a window that redraws itself).
  void setValueQuietly(int v);
  void stepUp();    // the lower arrow: value + 1
  void stepDown();  // the upper arrow: value - 1
  QToolButton* upperArrow() const { return up_; }
  QToolButton* lowerArrow() const { return down_; }
  // Names the arrows for a screen reader after the field they step:
  // "年 減一" (upper) and "年 加一" (lower).
  void setFieldName(const QString& field);
  // A turn of the mouse wheel (in eighths of a degree): a notch away from
  // the user acts as the upper arrow; part notches add up.
  void turnWheel(int angleDelta);
 signals:
  void valueChanged(int value);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  int clamp(int v) const;
  int min_, max_, value_;
  int wheel_ = 0;  // wheel travel not yet turned into steps
  QToolButton* up_;
  QToolButton* down_;
};

// A one-character-wide label read from top to bottom: one character a row,
// blanks included, a blank taking half a row (a full-width character counts
// as two blanks), so that texts padded to one width end on the same row.
class ColumnLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
  // Each character with the box it is drawn in (top-aligned, centred across).
  QList<QPair<QRectF, QString>> cells() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }
  int heightForWidth(int) const override { return sizeHint().height(); }

 protected:
  void paintEvent(QPaintEvent* e) override;
};

// The field label of a Spinner, reachable from the keyboard: it takes the
// focus, Up and Down act as the spinner's upper and lower arrows (the upper
// one lowers the value), Page Up and Page Down as ten such steps, and the
// wheel over it turns the spinner's wheel. A held key repeats at the arrows' rate;
// the key's own repeats are dropped, so no steps queue up behind the screen.
// A screen reader sees a spin box named by the accessible name whose value is
// the shown text.
class StepField : public QFrame {
  Q_OBJECT
 public:
  StepField(QWidget* parent, Spinner* spinner);
  Spinner* spinner() const { return spinner_; }
  // The number shown, centred. A plain frame rather than a label: a label
  // that takes the focus lays its text out as a document on every change,
  // which would make each step of the date row several times slower.
  QString text() const { return text_; }
  void setText(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void Step(int delta);  // |delta| single steps, each with its carries
  Spinner* spinner_;
  QString text_;
  QTimer repeat_;
  int heldKey_ = 0, heldDelta_ = 0;
};

// Single-instance modeless windows: created on first use, raised when asked
// for again, discarded (deleted) on close. `make` may return nullptr (a window
// that cannot be built); nothing is shown then.
template <class W, class Make>
W* ShowSingle(QPointer<W>& slot, Make make) {
  if (!slot) {
    W* w = make();
    if (!w) return nullptr;
    w->setAttribute(Qt::WA_DeleteOnClose);
    slot = w;
  }
  slot->show();
  slot->raise();
  slot->activateWindow();
  return slot;
}

}  // namespace qelm::ui
