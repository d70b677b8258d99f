// The charts a birth date allows when the hour is not known: one row a
// candidate stretch ("04:00–05:59  庚午 辛巳 癸酉 丙辰"), beside the chart in
// the main window. Choosing a row (click, Enter, or the arrow keys) asks for
// its chart; the current chart's row is selected.
#pragma once

#include <QListView>
#include <QStringListModel>
#include <vector>

#include "place/birth_candidates.hpp"

namespace qelm::ui {

class CandidateList : public QListView {
  Q_OBJECT
 public:
  explicit CandidateList(QWidget* parent);
  // The stretches, the one at `current` selected; shown.
  void ShowStretches(const std::vector<CandidateStretch>& stretches, int current);
  // The row text of a stretch.
  static QString RowText(const CandidateStretch& s);
 signals:
  void candidateChosen(int index);

 private:
  QStringListModel model_;
  bool filling_ = false;  // rows set by the program are not a choice
};

}  // namespace qelm::ui
