// 刑沖合會: the combinations, clashes, punishments, harms and breaks among the
// natal pillars, then those the luck pillar and the flow pillars bring,
// grouped by kind. Unlike the other analysis windows it follows the flow
// moment: the main window hands it every new moment.
#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <vector>

#include "analysis/relations.hpp"
#include "chart/chart.hpp"

class QLabel;
class QStandardItemModel;
class QTreeView;

namespace qelm::ui {

// A row of the list by its texts from the top.
using RowPath = std::vector<QString>;

class RelationsWindow : public QWidget {
  Q_OBJECT
 public:
  RelationsWindow(const ChartState& chart, const FlowState& flow, QWidget* parent = nullptr);

  // Shows the relations of the chart at that flow moment; nothing is redrawn
  // when no pillar changed.
  void ShowRelations(const ChartState& chart, const FlowState& flow);

  const std::vector<PlacedPillar>& pillars() const { return pillars_; }
  const ChartRelations& relations() const { return relations_; }
  QTreeView* list() const { return list_; }
  QStandardItemModel* model() const { return model_; }
  // The model rebuilt so far (once when opened, once per change of a pillar).
  int redraws() const { return redraws_; }

 private:
  // Where the user is in the list: the current row (and whether it is
  // selected), the row at the top, the scroll offsets and the folded headings.
  struct ListPlace {
    RowPath current;
    int column = 0;
    bool selected = false;
    RowPath top;
    QPoint scroll;
    std::vector<RowPath> folded;
  };
  ListPlace TakePlace() const;
  void RestorePlace(const ListPlace& place);
  void FillList();

  std::vector<PlacedPillar> pillars_;
  ChartRelations relations_;
  int redraws_ = 0;
  QLabel* natalLine_;
  QLabel* flowLine_;
  QTreeView* list_;
  QStandardItemModel* model_;
};

}  // namespace qelm::ui
