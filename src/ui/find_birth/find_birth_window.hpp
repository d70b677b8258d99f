// 由八字找生日: four pillar choosers that offer only pillars which can stand
// together, the stretches of time in the calendar's years that have them, and the choice
// of one stretch, whose first minute goes back to the person window.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "chart/find_birth.hpp"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;

namespace qelm::ui {

// The stretches as a table: first minute, last minute, length.
class BirthStretchModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void setStretches(std::vector<BirthStretch> stretches);
  const std::vector<BirthStretch>& stretches() const { return stretches_; }

 private:
  std::vector<BirthStretch> stretches_;
};

class FindBirthWindow : public QWidget {
  Q_OBJECT
 public:
  // The four choosers of the window.
  enum Chooser { kYear = 0, kMonth, kDay, kHour };

  explicit FindBirthWindow(DayChange dayChange, QWidget* parent = nullptr);

  DayChange dayChange() const { return dayChange_; }
  // Another convention: the hour chooser and the list follow it.
  void setDayChange(DayChange d);
  // The pillars chosen (the hour open when "不拘" is chosen).
  EightCharacters pillars() const;
  // Chooses the pillars; a month the chooser does not offer is left as it
  // was, an hour it does not offer is left open.
  void choose(const EightCharacters& p);

  QComboBox* chooser(Chooser k) const { return choosers_[k]; }
  BirthStretchModel* model() const { return model_; }
  QTreeView* list() const { return list_; }
  QPushButton* useButton() const { return use_; }
  QString message() const;

  // Hands the stretch in the list's row back, as if chosen.
  void useRow(int row);

 signals:
  // The stretch the user chose (on the clocks of UTC+8) and the pillars it
  // has, for the person window to enter as a birth.
  void birthChosen(const qelm::ChosenStretch& chosen);

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void BuildControls();
  void ShowConvention();
  void YearChosen();
  void DayChosen();
  void Search();
  void UseCurrent();

  DayChange dayChange_;
  std::array<QComboBox*, 4> choosers_{};
  // What each month and hour chooser item stands for (the hour's first item, "不拘", stands for none).
  std::array<Pillar, 12> months_{};
  std::vector<std::optional<Pillar>> hours_;
  BirthStretchModel* model_;
  QTreeView* list_;
  QLabel* conventionLabel_;
  QLabel* messageLabel_;
  QPushButton* use_;
  QPushButton* close_;
};

}  // namespace qelm::ui
