#include "ui/kit/accessible.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAbstractItemView>
#include <QComboBox>

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

// A chooser read by what it chooses, then by its value: Qt's own interface
// on Linux gives the current item as the name ("庚午"), so that a screen
// reader never says which of four alike choosers has the focus.
class ComboBoxAccessible : public QAccessibleWidget {
 public:
  explicit ComboBoxAccessible(QComboBox* c) : QAccessibleWidget(c, QAccessible::ComboBox) {}
  QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value || (t == QAccessible::Name && widget()->accessibleName().isEmpty()))
      return combo()->currentText();
    return QAccessibleWidget::text(t);
  }
  // The list that drops down, as Qt's own interface shows it.
  int childCount() const override { return combo()->view() ? 1 : 0; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 && combo()->view() ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child && child->object() == combo()->view() ? 0 : -1;
  }
  QStringList actionNames() const override {
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == showMenuAction() || action == pressAction()) {
      if (combo()->view() && combo()->view()->isVisible())
        combo()->hidePopup();
      else
        combo()->showPopup();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }
};

QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(ClickLabel::staticMetaObject.className()))
    return new ClickLabelAccessible(static_cast<ClickLabel*>(object));
  if (className == QLatin1String(StepField::staticMetaObject.className()))
    return new StepFieldAccessible(static_cast<StepField*>(object));
  if (className == QLatin1String(QComboBox::staticMetaObject.className()))
    return new ComboBoxAccessible(static_cast<QComboBox*>(object));
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
