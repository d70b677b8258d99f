// 合盤: two persons' charts side by side, the relations (刑沖合會) formed
// across them grouped by kind, and, at the flow moment, each one's current
// luck pillar and what the flow year forms with both charts. The first
// person is given; the second is chosen in the window from the persons of
// the person file. Like 刑沖合會 it follows the flow moment the main window
// hands it.
#pragma once

#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "analysis/cross_relations.hpp"
#include "chart/chart.hpp"
#include "records/person_file.hpp"
#include "records/place_file.hpp"

class QComboBox;
class QLabel;
class QStandardItemModel;
class QTreeView;

namespace qelm::ui {

class CompareChartBlock;
class CompareExport;

class CompareWindow : public QWidget {
  Q_OBJECT
 public:
  // `a` at the flow moment; the persons to choose from are those of the
  // person file `personFile` (the one LocatePersonFile finds when none is
  // given), with their birthplaces. The file is only read. A window of its
  // own, also with a parent.
  CompareWindow(ChartState a, const MomentResult& flowMoment,
                std::optional<std::filesystem::path> personFile = std::nullopt, QWidget* parent = nullptr);
  ~CompareWindow() override;

  // Follows a new flow moment: the luck pillars and the flow year's relations.
  void ShowFlow(const MomentResult& flowMoment);
  // Takes row `row` of the person file as the second person, as choosing it
  // in the chooser does; false (with the reason in the message line, and the
  // second person as it was) when the row cannot be cast.
  bool ChooseSecond(std::size_t row);
  // Takes a chart as the second person.
  void ShowSecond(ChartState b);

  const ChartState& first() const { return a_; }
  const std::optional<ChartState>& second() const { return b_; }
  const std::vector<CrossRelation>& crossRelations() const { return cross_; }
  const std::vector<CrossRelation>& flowYearRelations() const { return flowYear_; }
  const std::vector<records::PersonRecord>& persons() const { return persons_; }
  // The text of 合盤 (CR LF line ends); empty without a second person.
  QString reportText() const;

  QComboBox* chooser() const { return chooser_; }
  QTreeView* list() const { return list_; }
  QStandardItemModel* model() const { return model_; }
  QLabel* messageLine() const { return message_; }
  QLabel* flowLine() const { return flowLine_; }
  CompareChartBlock* block(int side) const { return side == 0 ? blockA_ : blockB_; }
  CompareExport* exporter() const { return export_; }

 private:
  void LoadPersons(std::optional<std::filesystem::path> personFile);
  void Redraw();
  void FillList();

  ChartState a_;
  std::optional<ChartState> b_;
  int chosenRow_ = -1;  // the row of the person file b was cast from; -1 for none
  MomentResult moment_;
  FlowState flowA_, flowB_;
  std::vector<CrossRelation> cross_, flowYear_;
  std::vector<records::PersonRecord> persons_;
  records::PlaceBook places_;
  QString fileNote_;  // why the persons could not be read, if they could not

  CompareChartBlock *blockA_, *blockB_;
  QLabel* sideB_;
  QComboBox* chooser_;
  QLabel* flowLine_;
  QTreeView* list_;
  QStandardItemModel* model_;
  QLabel* message_;
  CompareExport* export_;
};

// 合盤 for a person of the person file `personFile` at the present moment,
// shown (deleted on close) as a window of `parent` (which it closes with at
// the program's end); the second person is chosen in it. Nothing, with the
// reason in `problem`, when the person cannot be cast.
CompareWindow* OpenCompareWindow(const records::PersonRecord& person, const records::PlaceBook& places,
                                 DayChange dayChange, const std::filesystem::path& personFile, QWidget* parent,
                                 QString& problem);

}  // namespace qelm::ui
