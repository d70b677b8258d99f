#include "ui/day_choice/day_month_model.hpp"

#include <QColor>
#include <QFont>

#include "ui/kit/fonts.hpp"

namespace qelm::ui {

namespace {

constexpr std::array<const char*, 7> kWeekdayNames{"日", "一", "二", "三", "四", "五", "六"};
const QColor kYellowGround(255, 243, 176);
const QColor kLeftOutText(160, 160, 160);

}  // namespace

DayMonthModel::DayMonthModel(QObject* parent) : QAbstractTableModel(parent) { Rebuild(); }

void DayMonthModel::setMonth(int year, int month) {
  year_ = year;
  month_ = month;
  Rebuild();
}

void DayMonthModel::setPerson(std::optional<NatalPillars> person) {
  person_ = std::move(person);
  Rebuild();
}

void DayMonthModel::setFilter(const DayFilter& filter) {
  beginResetModel();
  filter_ = filter;
  Refilter();
  endResetModel();
}

void DayMonthModel::Rebuild() {
  beginResetModel();
  const Date first = MakeDate(year_, month_, 1);
  firstColumn_ = WeekdayNumber(first) - 1;
  days_ = ChooseDays(first, MakeDate(year_, month_, DaysInMonth(year_, month_)), person_ ? &*person_ : nullptr, {});
  firstDay_ = days_.empty() ? 1 : DaysBetween(first, days_.front().day.date) + 1;
  Refilter();
  endResetModel();
}

void DayMonthModel::Refilter() {
  kept_.assign(days_.size(), false);
  for (std::size_t i = 0; i < days_.size(); ++i) kept_[i] = Keeps(filter_, days_[i]);
}

int DayMonthModel::keptCount() const {
  int n = 0;
  for (const bool k : kept_) n += k;
  return n;
}

const ChosenDay* DayMonthModel::dayAt(const QModelIndex& index) const {
  if (!index.isValid()) return nullptr;
  const int i = index.row() * kWeekdays + index.column() - firstColumn_ - (firstDay_ - 1);
  return i >= 0 && i < static_cast<int>(days_.size()) ? &days_[static_cast<std::size_t>(i)] : nullptr;
}

QModelIndex DayMonthModel::indexOf(Date date) const {
  for (std::size_t i = 0; i < days_.size(); ++i) {
    if (days_[i].day.date != date) continue;
    const int cell = static_cast<int>(i) + firstColumn_ + firstDay_ - 1;
    return index(cell / kWeekdays, cell % kWeekdays);
  }
  return {};
}

int DayMonthModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kWeeks; }
int DayMonthModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kWeekdays; }

QVariant DayMonthModel::data(const QModelIndex& index, int role) const {
  const ChosenDay* d = dayAt(index);
  if (!d) return {};
  const AlmanacDay& a = d->day;
  const bool keep = kept_[static_cast<std::size_t>(d - days_.data())];
  const int dayOfMonth = Fields(MakeMoment(a.date, 0, 0)).day;
  switch (role) {
    case Qt::DisplayRole: {
      // The day, a term and the god; the pillar and officer; the marks.
      QString text = QString::number(dayOfMonth);
      if (a.month.termDay) text += QStringLiteral(" ") + Q(a.month.termName);
      text += QStringLiteral(" ") + Q(a.god.name());
      text += QStringLiteral("\n") + Q(a.pillar.name()) + QStringLiteral(" ") + Q(a.officer.name());
      const std::string marks = DayMarks(d->relations);
      if (!marks.empty()) text += QStringLiteral("\n") + Q(marks);
      return text;
    }
    case Qt::AccessibleTextRole: {
      QString text = QStringLiteral("%1月%2日 ").arg(month_).arg(dayOfMonth) + Q(DayLine(*d, false).substr(11));
      const std::string marks = DayMarks(d->relations);
      if (!marks.empty()) text += QStringLiteral(" ") + Q(marks);
      if (!keep) text += QStringLiteral(" 不合條件");
      return text;
    }
    case Qt::BackgroundRole:
      if (a.god.yellow()) return kYellowGround;
      return {};
    case Qt::ForegroundRole:
      if (!keep) return kLeftOutText;
      return {};
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignLeft | Qt::AlignTop);
    default: return {};
  }
}

QVariant DayMonthModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal && section >= 0 && section < kWeekdays)
    return QString::fromUtf8(kWeekdayNames[static_cast<std::size_t>(section)]);
  return {};
}

Qt::ItemFlags DayMonthModel::flags(const QModelIndex& index) const {
  return dayAt(index) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace qelm::ui
