// The days of one month as a calendar grid for 擇日: six weeks of seven days,
// Sunday first; each day with its pillar, officer and day god, 黃道 days on a
// light yellow ground, the relations with the person's pillars marked, and
// the days the filter leaves out in grey.
#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <vector>

#include "analysis/day_choice.hpp"

namespace qelm::ui {

class DayMonthModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kWeeks = 6, kWeekdays = 7;

  explicit DayMonthModel(QObject* parent = nullptr);

  // What the grid shows: the month, the person its days are weighed against
  // (none: no relations) and the filter. Each resets the model.
  void setMonth(int year, int month);
  void setPerson(std::optional<NatalPillars> person);
  void setFilter(const DayFilter& filter);

  int year() const { return year_; }
  int month() const { return month_; }
  const DayFilter& filter() const { return filter_; }
  // The month's dates inside the almanac's range, in order, and whether the
  // filter keeps each.
  const std::vector<ChosenDay>& days() const { return days_; }
  bool kept(std::size_t i) const { return kept_[i]; }
  int keptCount() const;
  // The day of a cell, none for a cell outside the month; and back.
  const ChosenDay* dayAt(const QModelIndex& index) const;
  QModelIndex indexOf(Date date) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void Rebuild();
  void Refilter();

  int year_ = 2024, month_ = 1;
  std::optional<NatalPillars> person_;
  DayFilter filter_;
  std::vector<ChosenDay> days_;  // all of them, relations included
  std::vector<bool> kept_;
  int firstColumn_ = 0;  // the column of the month's first day, 0 Sunday
  int firstDay_ = 1;     // the day of the month of days_[0] (1 but in February 1901)
};

}  // namespace qelm::ui
