#include "ui/kit/luck_start_setting.hpp"

#include <QSettings>

#include "ui/kit/fonts.hpp"

namespace qelm::ui {

namespace {

const QString kKey = QStringLiteral("luckStart");
constexpr LuckStart kSchools[] = {LuckStart::Table, LuckStart::Exact, LuckStart::Shichen};

QSettings ProgramSettings() { return QSettings(QStringLiteral("QELM"), QStringLiteral("qelm")); }

}  // namespace

LuckStart StoredLuckStart(const QSettings& settings) {
  const QString key = settings.value(kKey, QStringLiteral("table")).toString();
  return ParseLuckStart(key.toStdString()).value_or(LuckStart::Table);
}

void StoreLuckStart(QSettings& settings, LuckStart s) { settings.setValue(kKey, Q(LuckStartKey(s))); }

LuckStart StoredLuckStart() { return StoredLuckStart(ProgramSettings()); }

void StoreLuckStart(LuckStart s) {
  QSettings settings = ProgramSettings();
  StoreLuckStart(settings, s);
}

LuckStartBox::LuckStartBox(QWidget* parent) : QComboBox(parent) {
  setObjectName(QStringLiteral("LuckStartBox"));
  setAccessibleName(QStringLiteral("起運算法"));
  for (LuckStart s : kSchools) addItem(QStringLiteral("起運: ") + Q(LuckStartName(s)));
  setLuckStart(StoredLuckStart());
  connect(this, &QComboBox::activated, this, [this] {
    StoreLuckStart(luckStart());
    emit luckStartChosen(luckStart());
  });
}

LuckStart LuckStartBox::luckStart() const {
  const int i = currentIndex();
  return i >= 0 && i < 3 ? kSchools[i] : LuckStart::Table;
}

void LuckStartBox::setLuckStart(LuckStart s) { setCurrentIndex(static_cast<int>(s)); }

}  // namespace qelm::ui
