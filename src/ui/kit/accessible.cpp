#include "ui/kit/accessible.hpp"

#include <QAccessible>
#include <QAccessibleWidget>

#include "ui/kit/click_label.hpp"
#include "ui/kit/spinner.hpp"
#include "ui/kit/step_field.hpp"

namespace qelm::ui {
namespace {

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

}  // namespace

void InstallAccessibleFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(&AccessibleFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace qelm::ui
