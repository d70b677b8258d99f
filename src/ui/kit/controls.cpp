#include "ui/kit/controls.hpp"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>

#include "ui/kit/click_label.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {
namespace {

template <class L>
L* SetUpLabel(L* l, const QString& name, int left, int top, int width, int height, const QFont& font,
              const QString& text) {
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
  b->setAutoDefault(true);
  b->setFont(font);
  Place(b, left, top, width, height);
  return b;
}

void AddCloseShortcuts(QWidget* window) {
  auto* close = new QAction(QStringLiteral("關閉"), window);
  close->setObjectName(QStringLiteral("CloseWindow"));
  close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
  close->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(close, &QAction::triggered, window, &QWidget::close);
  window->addAction(close);
}

}  // namespace qelm::ui
