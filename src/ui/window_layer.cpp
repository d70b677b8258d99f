#include "ui/window_layer.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace qelm::ui {

void InstallFontSubstitutions() {
  QFont::insertSubstitution(kSansFace, QStringLiteral("Noto Sans CJK TC"));
  QFont::insertSubstitution(kSerifFace, QStringLiteral("Noto Serif CJK TC"));
}

QFont Font(const QString& face, double points, bool bold) {
  QFont f(face);
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

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

void Move(QWidget* w, int left, int top) {
  const double dpi = ScreenDpi();
  w->move(Px(left, dpi), Px(top, dpi));
}

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

std::uint32_t TextColour(const QWidget* w) {
  const QColor c = w->palette().color(QPalette::WindowText);
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

// ---------------------------------------------------------------- accessibility

namespace {

// A clickable label: a button with a press action.
class ClickLabelAccessible : public QAccessibleWidget {
 public:
  explicit ClickLabelAccessible(ClickLabel* l) : QAccessibleWidget(l, QAccessible::Button) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
      return static_cast<const QLabel*>(widget())->text();
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == pressAction())
      static_cast<ClickLabel*>(widget())->click();
    else
      QAccessibleWidget::doAction(action);
  }
};

// A date-row field: a spin box whose value is its spinner's.
class StepFieldAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit StepFieldAccessible(StepField* f) : QAccessibleWidget(f, QAccessible::SpinBox) {}
  StepField* field() const { return static_cast<StepField*>(widget()); }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return field()->text();
    return QAccessibleWidget::text(t);
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }
  QVariant currentValue() const override { return field()->spinner()->value(); }
  void setCurrentValue(const QVariant& v) override { field()->spinner()->setValue(v.toInt()); }
  QVariant maximumValue() const override { return field()->spinner()->maximum(); }
  QVariant minimumValue() const override { return field()->spinner()->minimum(); }
  QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(ClickLabel::staticMetaObject.className()))
    return new ClickLabelAccessible(static_cast<ClickLabel*>(object));
  if (className == QLatin1String(StepField::staticMetaObject.className()))
    return new StepFieldAccessible(static_cast<StepField*>(object));
  return nullptr;
}

void InstallAccessibleFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(&AccessibleFactory);
    return true;
  }();
  (void)installed;
}

// The style's focus frame just inside a widget that has the focus.
void PaintFocusFrame(QWidget* w) {
  if (!w->hasFocus()) return;
  QPainter p(w);
  QStyleOptionFocusRect o;
  o.initFrom(w);
  o.rect = w->rect().adjusted(1, 1, -1, -1);
  o.backgroundColor = w->palette().color(QPalette::Window);
  w->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, w);
}

bool IsClickKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

}  // namespace

// ---------------------------------------------------------------- ClickLabel

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
  InstallAccessibleFactory();
  setFocusPolicy(Qt::StrongFocus);
}

void ClickLabel::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    emit clicked();
    e->accept();
    return;
  }
  QLabel::mousePressEvent(e);
}

void ClickLabel::keyPressEvent(QKeyEvent* e) {
  if (IsClickKey(e->key()) && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (!e->isAutoRepeat()) emit clicked();
    e->accept();
    return;
  }
  QFrame::keyPressEvent(e);
}

void ClickLabel::paintEvent(QPaintEvent* e) {
  QLabel::paintEvent(e);
  PaintFocusFrame(this);
}

// ---------------------------------------------------------------- ColumnLabel

QList<QPair<QRectF, QString>> ColumnLabel::cells() const {
  QList<QPair<QRectF, QString>> out;
  const QFontMetricsF fm(font());
  const QRectF area = contentsRect();
  double y = area.top();
  for (const QChar c : text()) {
    // A blank (half width) takes half a row.
    const double row = c.isSpace() ? fm.height() / 2 : fm.height();
    if (!c.isSpace()) out.append({QRectF(area.left(), y, area.width(), row), QString(c)});
    y += row;
  }
  return out;
}

QSize ColumnLabel::sizeHint() const {
  const QFontMetricsF fm(font());
  double h = 0, w = 0;
  for (const QChar c : text()) {
    h += c.isSpace() ? fm.height() / 2 : fm.height();
    w = std::max(w, fm.horizontalAdvance(c));
  }
  const QMargins m = contentsMargins();
  return QSize(static_cast<int>(std::ceil(w)) + m.left() + m.right(),
               static_cast<int>(std::ceil(h)) + m.top() + m.bottom());
}

void ColumnLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(font());
  p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
  for (const auto& [box, ch] : cells()) p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, ch);
}

// ---------------------------------------------------------------- StepField

StepField::StepField(QWidget* parent, Spinner* spinner) : QFrame(parent), spinner_(spinner) {
  InstallAccessibleFactory();
  setFocusPolicy(Qt::StrongFocus);
  connect(&repeat_, &QTimer::timeout, this, [this] {
    repeat_.setInterval(spinner_->lowerArrow()->autoRepeatInterval());
    Step(heldDelta_);
  });
}

void StepField::Step(int delta) {
  for (int n = 0; n < std::abs(delta); ++n) {
    if (delta > 0)
      spinner_->stepUp();
    else
      spinner_->stepDown();
  }
}

void StepField::keyPressEvent(QKeyEvent* e) {
  int delta = 0;
  switch (e->key()) {
    case Qt::Key_Up: delta = -1; break;
    case Qt::Key_Down: delta = +1; break;
    case Qt::Key_PageUp: delta = -10; break;
    case Qt::Key_PageDown: delta = +10; break;
    default: QFrame::keyPressEvent(e); return;
  }
  e->accept();
  // The key's own repeats are dropped: the timer repeats at the arrows' rate.
  if (e->isAutoRepeat() && e->key() == heldKey_) return;
  heldKey_ = e->key();
  heldDelta_ = delta;
  Step(delta);
  repeat_.start(spinner_->lowerArrow()->autoRepeatDelay());
}

void StepField::keyReleaseEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat() && e->key() == heldKey_) {
    repeat_.stop();
    heldKey_ = 0;
  }
  QFrame::keyReleaseEvent(e);
}

void StepField::focusOutEvent(QFocusEvent* e) {
  repeat_.stop();
  heldKey_ = 0;
  QFrame::focusOutEvent(e);
}

void StepField::wheelEvent(QWheelEvent* e) {
  spinner_->turnWheel(e->angleDelta().y());
  e->accept();
}

void StepField::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update(contentsRect());
  if (QAccessible::isActive()) {
    QAccessibleValueChangeEvent changed(this, spinner_->value());
    QAccessible::updateAccessibility(&changed);
  }
}

void StepField::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);
  QPainter p(this);
  p.setFont(font());
  p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  p.drawText(contentsRect(), Qt::AlignCenter, text_);
  p.end();
  PaintFocusFrame(this);
}

namespace {
template <class L>
L* SetUpLabel(L* l, const QString& name, int left, int top, int width, int height,
              const QFont& font, const QString& text) {
  l->setObjectName(name);
  l->setFont(font);
  l->setWordWrap(true);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  l->setText(text);
  Place(l, left, top, width, height);
  return l;
}
}  // namespace

QLabel* MakeLabel(QWidget* parent, const QString& name, int left, int top, int width, int height,
                  const QFont& font, const QString& text) {
  return SetUpLabel(new QLabel(parent), name, left, top, width, height, font, text);
}

ClickLabel* MakeClickLabel(QWidget* parent, const QString& name, int left, int top, int width,
                           int height, const QFont& font, const QString& text) {
  auto* l = SetUpLabel(new ClickLabel(parent), name, left, top, width, height, font, text);
  l->setCursor(Qt::PointingHandCursor);
  return l;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, int left, int top, int width,
                        int height, const QFont& font, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(true);  // Enter on a focused button acts as a click
  b->setFont(font);
  Place(b, left, top, width, height);
  return b;
}

QString IndexedName(const QString& name, int i) {
  return name + QLatin1Char('_') + QString::number(i);
}

// ---------------------------------------------------------------- Spinner

Spinner::Spinner(QWidget* parent, int minimum, int maximum, int value)
    : QWidget(parent),
      min_(minimum),
      max_(std::max(minimum, maximum)),
      value_(0),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
  value_ = clamp(value);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
  }
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  connect(up_, &QToolButton::clicked, this, &Spinner::stepDown);
  connect(down_, &QToolButton::clicked, this, &Spinner::stepUp);
}

int Spinner::clamp(int v) const { return std::clamp(v, min_, max_); }

void Spinner::setValue(int v) {
  v = clamp(v);
  if (v == value_) return;
  value_ = v;
  emit valueChanged(v);
}

void Spinner::setValueQuietly(int v) { value_ = clamp(v); }

void Spinner::setMaximum(int m) {
  max_ = std::max(min_, m);
  if (value_ > max_) setValue(max_);
}

void Spinner::setFieldName(const QString& field) {
  up_->setAccessibleName(field + QStringLiteral(" 減一"));
  down_->setAccessibleName(field + QStringLiteral(" 加一"));
}

void Spinner::turnWheel(int angleDelta) {
  wheel_ += angleDelta;
  const int steps = wheel_ / QWheelEvent::DefaultDeltasPerStep;
  wheel_ -= steps * QWheelEvent::DefaultDeltasPerStep;
  // One step at a time, each with its notification (and carries).
  for (int n = 0; n < std::abs(steps); ++n) {
    if (steps > 0)
      stepDown();
    else
      stepUp();
  }
}

void Spinner::wheelEvent(QWheelEvent* e) {
  turnWheel(e->angleDelta().y());
  e->accept();
}

void Spinner::stepUp() { setValue(value_ + 1); }
void Spinner::stepDown() { setValue(value_ - 1); }

void Spinner::resizeEvent(QResizeEvent*) {
  const int h = height() / 2;
  up_->setGeometry(0, 0, width(), h);
  down_->setGeometry(0, h, width(), height() - h);
}

}  // namespace qelm::ui
