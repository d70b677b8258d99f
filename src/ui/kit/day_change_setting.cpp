#include "ui/kit/day_change_setting.hpp"

#include "ui/kit/fonts.hpp"

namespace qelm::ui {

namespace {

// Kept as the hour the day changes at (23 or 0).
const KeptChoice<DayChange> kDayChange{
    "dayChange", DayChange::AtZiStart, [](DayChange d) { return QVariant(DayChangeHour(d)); },
    [](const QVariant& kept) -> std::optional<DayChange> {
      bool ok = false;
      const int hour = kept.toInt(&ok);
      return ok ? DayChangeOfHour(hour) : std::nullopt;
    }};

}  // namespace

DayChange StoredDayChange(const QSettings& settings) { return kDayChange.Read(settings); }
void StoreDayChange(QSettings& settings, DayChange d) { kDayChange.Store(settings, d); }
DayChange StoredDayChange() { return kDayChange.Read(); }
void StoreDayChange(DayChange d) { kDayChange.Store(d); }

// A program setting, not a field of the person shown.
DayChangeBox::DayChangeBox(QWidget* parent)
    : ChoiceBox(QStringLiteral("DayChangeBox"), QStringLiteral("子時換日（程式設定）"), parent) {
  for (DayChange d : {DayChange::AtZiStart, DayChange::AtMidnight})
    AddChoice(Q(DayChangeName(d)) + QStringLiteral(" (%1時)").arg(DayChangeHour(d)), d);
  setDayChange(StoredDayChange());
}

DayChange DayChangeBox::dayChange() const { return CurrentChoice(kDayChange.fallback); }

void DayChangeBox::setDayChange(DayChange d) { ShowChoice(d); }

void DayChangeBox::Chosen() {
  StoreDayChange(dayChange());
  emit dayChangeChosen(dayChange());
}

}  // namespace qelm::ui
