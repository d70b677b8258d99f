#include "ui/person/birth_date_selector.hpp"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <chrono>

#include "calendar/date.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {
namespace {

// Each selector: its placeholder, the caption a screen reader names it by,
// its left edge and width in the window (twips), and the number of item 0.
struct SelectorDesign {
  const char* name;
  const char* placeholder;
  const char* caption;
  int left, width;
  int first;
};
constexpr std::array<SelectorDesign, BirthDateSelector::kFieldCount> kSelectors{{
    {"yearSelector", "年", "生日 年", 1200, 855, kFirstYear},
    {"monthSelector", "月", "生日 月", 2160, 615, 1},
    {"daySelector", "日", "生日 日", 2880, 615, 1},
    {"hourSelector", "時", "生日 時", 3600, 615, 0},
    {"minuteSelector", "分", "生日 分", 4320, 615, 0},
}};
constexpr int kHeight = 375;

}  // namespace

BirthDateSelector::BirthDateSelector(QWidget* parent, int left, int top) : QWidget(parent) {
  setObjectName(QStringLiteral("birthDateSelector"));
  const int right = kSelectors.back().left + kSelectors.back().width;
  Place(this, left, top, right - left, kHeight);
  const QFont text = Font(kSansFace, 9.75);
  for (int field = kYear; field <= kMinute; ++field) {
    const SelectorDesign& d = kSelectors[field];
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromLatin1(d.name));
    box->setFont(text);
    box->setPlaceholderText(QString::fromUtf8(d.placeholder));
    box->setMaxVisibleItems(12);
    Place(box, d.left - left, 0, d.width, kHeight);
    // A screen reader names a drop-down list by the caption that labels it
    // (its own name is its value); the captions are for it alone.
    QLabel* caption = MakeLabel(this, QString::fromLatin1(d.name) + QStringLiteral("Caption"), 0, 0, 0, 0, text,
                                QString::fromUtf8(d.caption));
    caption->setBuddy(box);
    caption->hide();
    box->setAccessibleName(caption->text());
    // The user's choice, by mouse or keyboard, also of the item already
    // chosen (choosing the same year again opens the month). Choices made by
    // the program run the handling themselves (choose).
    connect(box, &QComboBox::activated, this, [this, field](int index) {
      if (index >= 0) Chosen(field);
    });
    selectors_[field] = box;
  }
  QStringList years;
  for (int year = kFirstYear; year <= kLastYear; ++year) years.append(QString::number(year));
  selectors_[kYear]->addItems(years);
  selectors_[kYear]->setCurrentIndex(-1);
}

MomentInput BirthDateSelector::rememberedMoment() const {
  return {remembered_[kYear], remembered_[kMonth], remembered_[kDay], remembered_[kHour], remembered_[kMinute]};
}

bool BirthDateSelector::hasChoice(int field) const { return selectors_[field]->currentIndex() >= 0; }

// Each list holds the numbers from its first on, one an item: the value is
// the item's place, never its text read back.
int BirthDateSelector::chosenNumber(int field) const {
  return hasChoice(field) ? kSelectors[field].first + selectors_[field]->currentIndex() : 0;
}

void BirthDateSelector::waitForYear() {
  for (int field = kMonth; field <= kMinute; ++field) selectors_[field]->setEnabled(false);
}

void BirthDateSelector::enableAll() {
  for (int field = kMonth; field <= kMinute; ++field) selectors_[field]->setEnabled(true);
}

void BirthDateSelector::FillRange(int field, int first, int last) {
  QComboBox* box = selectors_[field];
  const QSignalBlocker quiet(box);
  box->clear();
  QStringList items;
  for (int value = first; value <= last; ++value) items.append(QString::number(value));
  box->addItems(items);
  box->setCurrentIndex(-1);
}

void BirthDateSelector::choose(int field, int index) {
  QComboBox* box = selectors_[field];
  if (index >= box->count()) index = -1;
  {
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(index);
  }
  if (index >= 0) Chosen(field);
}

void BirthDateSelector::Chosen(int field) {
  remembered_[field] = chosenNumber(field);
  switch (field) {
    case kYear:
      selectors_[kMonth]->setEnabled(true);
      if (selectors_[kMonth]->count() == 0) FillRange(kMonth, 1, 12);
      RecheckFebruary();
      break;
    case kMonth: {
      selectors_[kDay]->setEnabled(true);
      const int length = DaysInMonth(remembered_[kYear], remembered_[kMonth]);
      FillRange(kDay, 1, length);
      // A day beyond the new month's end becomes its last day; any other day
      // waits to be chosen again.
      if (remembered_[kDay] > length) choose(kDay, length - 1);
      break;
    }
    case kDay:
      selectors_[kHour]->setEnabled(true);
      if (selectors_[kHour]->count() == 0) FillRange(kHour, 0, 23);
      break;
    case kHour:
      selectors_[kMinute]->setEnabled(true);
      if (selectors_[kMinute]->count() == 0) FillRange(kMinute, 0, 59);
      break;
    default:
      break;
  }
  emit changed();
}

// A new year under February: the day list follows the year's length.
void BirthDateSelector::RecheckFebruary() {
  QComboBox* days = selectors_[kDay];
  if (remembered_[kMonth] != 2 || days->count() == 0) return;
  const int length = DaysInMonth(remembered_[kYear], 2);
  if (days->count() == length) return;
  const int chosen = days->currentIndex();
  FillRange(kDay, 1, length);
  if (chosen >= length || (chosen < 0 && remembered_[kDay] > length)) {
    choose(kDay, length - 1);
  } else if (chosen >= 0) {
    const QSignalBlocker quiet(days);
    days->setCurrentIndex(chosen);
  }
}

void BirthDateSelector::showStored(const std::array<std::string, kFieldCount>& texts) {
  enableAll();
  for (int field = kYear; field <= kMinute; ++field) {
    if (field == kMonth && selectors_[kMonth]->count() == 0) FillRange(kMonth, 1, 12);
    if (field == kHour && selectors_[kHour]->count() == 0) FillRange(kHour, 0, 23);
    if (field == kMinute && selectors_[kMinute]->count() == 0) FillRange(kMinute, 0, 59);
    bool number = false;
    const int value = Q(texts[field]).trimmed().toInt(&number);
    const int index = value - kSelectors[field].first;
    bool shown = number && index >= 0 && index < selectors_[field]->count();
    if (field == kDay && selectors_[kMonth]->currentIndex() < 0) shown = false;  // no month, no day list
    if (shown) {
      choose(field, index);
    } else {
      choose(field, -1);
      remembered_[field] = 0;
    }
  }
}

}  // namespace qelm::ui
