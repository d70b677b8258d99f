#include "ui/window_layer.hpp"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
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

void ClickLabel::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    emit clicked();
    e->accept();
    return;
  }
  QLabel::mousePressEvent(e);
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

void Spinner::stepUp() { setValue(value_ + 1); }
void Spinner::stepDown() { setValue(value_ - 1); }

void Spinner::resizeEvent(QResizeEvent*) {
  const int h = height() / 2;
  up_->setGeometry(0, 0, width(), h);
  down_->setGeometry(0, h, width(), height() - h);
}

}  // namespace qelm::ui
