// One person's side of 合盤: the name, the birth data and the four pillars
// (時 日 月 年 from left to right, as the main window sets them), each with
// the ten god of its stem to the person's own day master, its hidden stems
// with theirs, and its 納音; under them the luck pillar current at the flow
// moment.
#pragma once

#include <QString>
#include <array>

#include "chart/chart.hpp"

class QLabel;
class QWidget;

namespace qelm::ui {

class CompareChartBlock {
 public:
  // The labels of side `side` ("a" or "b") on the window, from `left` twips;
  // the name line is left to the caller when `nameLine` is false (b's has the
  // chooser there).
  CompareChartBlock(QWidget* window, const QString& side, int left, bool nameLine);

  void Draw(const ChartState& c);
  void DrawLuck(const ChartState& c, const FlowState& f);
  // Nothing drawn (no second person chosen yet).
  void Clear();

  QLabel* nameLine() const { return name_; }
  QLabel* birthLine() const { return birth_; }
  QLabel* luckLine() const { return luck_; }
  // Column 0..3 is 時 日 月 年.
  QLabel* stem(int column) const { return columns_[static_cast<std::size_t>(column)].stem; }
  QLabel* branch(int column) const { return columns_[static_cast<std::size_t>(column)].branch; }
  QLabel* stemTenGod(int column) const { return columns_[static_cast<std::size_t>(column)].stemTenGod; }
  QLabel* sound(int column) const { return columns_[static_cast<std::size_t>(column)].sound; }
  QLabel* hidden(int column, int k) const { return columns_[static_cast<std::size_t>(column)].hidden[static_cast<std::size_t>(k)]; }
  QLabel* hiddenTenGod(int column, int k) const {
    return columns_[static_cast<std::size_t>(column)].hiddenTenGod[static_cast<std::size_t>(k)];
  }

 private:
  struct Column {
    QLabel *header, *stemTenGod, *stem, *branch, *sound;
    std::array<QLabel*, 3> hidden, hiddenTenGod;
  };
  QString side_;
  QLabel* name_ = nullptr;
  QLabel* birth_;
  QLabel* luck_;
  std::array<Column, 4> columns_{};
};

}  // namespace qelm::ui
