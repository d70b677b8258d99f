#include "ui/kit/day_change_setting.hpp"

#include <QSettings>

#include "ui/kit/accessible.hpp"
#include "ui/kit/fonts.hpp"


namespace qelm::ui {

namespace {

const QString kKey = QStringLiteral("dayChange");

QSettings ProgramSettings() { return QSettings(QStringLiteral("QELM"), QStringLiteral("qelm")); }

}  // namespace

DayChange StoredDayChange(const QSettings& settings) {
  bool ok = false;
  const int hour = settings.value(kKey, 23).toInt(&ok);
  return ok ? DayChangeOfHour(hour).value_or(DayChange::AtZiStart) : DayChange::AtZiStart;
}

void StoreDayChange(QSettings& settings, DayChange d) { settings.setValue(kKey, DayChangeHour(d)); }

DayChange StoredDayChange() { return StoredDayChange(ProgramSettings()); }

void StoreDayChange(DayChange d) {
  QSettings settings = ProgramSettings();
  StoreDayChange(settings, d);
}

DayChangeBox::DayChangeBox(QWidget* parent) : QComboBox(parent) {
  InstallAccessibleFactory();
  setObjectName(QStringLiteral("DayChangeBox"));
  // A program setting, not a field of the person shown.
  setAccessibleName(QStringLiteral("子時換日（程式設定）"));
  for (DayChange d : {DayChange::AtZiStart, DayChange::AtMidnight})
    addItem(Q(DayChangeName(d)) + QStringLiteral(" (%1時)").arg(DayChangeHour(d)));
  setDayChange(StoredDayChange());
  connect(this, &QComboBox::activated, this, [this] {
    StoreDayChange(dayChange());
    emit dayChangeChosen(dayChange());
  });
}

DayChange DayChangeBox::dayChange() const {
  return currentIndex() == 1 ? DayChange::AtMidnight : DayChange::AtZiStart;
}

void DayChangeBox::setDayChange(DayChange d) { setCurrentIndex(d == DayChange::AtMidnight ? 1 : 0); }

}  // namespace qelm::ui
