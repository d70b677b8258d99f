#include "ui/kit/kept_choice.hpp"

#include "ui/kit/accessible.hpp"

namespace qelm::ui {

QSettings ProgramSettings() { return QSettings(QStringLiteral("QELM"), QStringLiteral("qelm")); }

ChoiceBox::ChoiceBox(const QString& objectName, const QString& accessibleName, QWidget* parent)
    : QComboBox(parent) {
  InstallAccessibleFactory();
  setObjectName(objectName);
  setAccessibleName(accessibleName);
  connect(this, &QComboBox::activated, this, [this] { Chosen(); });
}

}  // namespace qelm::ui
