// 擇日: a month as a calendar grid, each day with its pillar, officer (建除)
// and day god (黃道 days on yellow), the relations its pillar forms with the
// person's pillars marked; filters as `qelm-report days` takes them (kinds to
// avoid or want, officers, 黃道 only), arrows to step months. Choosing a day
// shows its hours with their gods and hands the day to the main window,
// which sets its flow moment to it.
#pragma once

#include <QWidget>
#include <optional>

#include "analysis/day_choice.hpp"
#include "chart/chart.hpp"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTreeView;

namespace qelm::ui {

class DayChoiceExport;
class DayMonthModel;

class DayChoiceWindow : public QWidget {
  Q_OBJECT
 public:
  // Opens at the month of the flow moment, that day chosen.
  DayChoiceWindow(const ChartState& chart, const FlowState& flow, QWidget* parent = nullptr);

  // The month shown (1901-02 … 2099-12; others are refused).
  bool showMonth(int year, int month);
  void stepMonth(int months);
  // Chooses a day of the month shown: its hours, and dayChosen.
  bool chooseDay(Date date);
  // Reads the three filter fields and the 黃道 box; a list that cannot be
  // read leaves the filter as it was and says why in the message line.
  bool applyFilter();

  DayMonthModel* model() const { return model_; }
  QTableView* grid() const { return grid_; }
  QStandardItemModel* hoursModel() const { return hoursModel_; }
  QTreeView* hoursList() const { return hours_; }
  QLineEdit* avoidField() const { return avoid_; }
  QLineEdit* wantField() const { return want_; }
  QLineEdit* officerField() const { return officers_; }
  QCheckBox* yellowBox() const { return yellow_; }
  QLabel* messageLine() const { return message_; }
  DayChoiceExport* exporter() const { return export_; }
  const std::optional<Date>& chosen() const { return chosen_; }
  // What the printed pages after the window hold.
  QString pagesText(bool keptOnly) const;

 signals:
  void dayChosen(qelm::Date date);

 private:
  void BuildControls();
  void SetTabOrder();
  void ShowMonthTitle();
  void ShowChosenDay();
  void SayKept();

  std::string personName_;
  DayChange dayChange_;
  std::optional<Date> chosen_;
  DayMonthModel* model_;
  QPushButton *previous_, *next_, *printButton_, *pdfButton_;
  QLabel* monthTitle_;
  QLineEdit *avoid_, *want_, *officers_;
  QCheckBox* yellow_;
  QTableView* grid_;
  QLabel* dayTitle_;
  QLabel* dayRelations_;
  QStandardItemModel* hoursModel_;
  QTreeView* hours_;
  QLabel* message_;
  DayChoiceExport* export_;
};

}  // namespace qelm::ui
