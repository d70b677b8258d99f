// Form1, the main chart window: the natal chart, the luck list and strip, and
// the bottom panel with the flow moment the user steps through.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "calendar/date.hpp"
#include "calendar/moment.hpp"
#include "chart/chart.hpp"
#include "place/correction.hpp"
#include "ui/analysis_windows.hpp"
#include "ui/window_layer.hpp"

class QFrame;
class QLabel;
class QPushButton;

namespace qelm::ui {

class StepField;

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  // The present local date and time, to the minute.
  using Clock = std::function<Moment()>;
  static Moment SystemClock();

  explicit MainWindow(Clock clock = &MainWindow::SystemClock, QWidget* parent = nullptr);
  ~MainWindow() override;

  // What "排盤" opens (the person records window); unset, the button only
  // clears ChartLoaded.
  void setPersonWindowHook(std::function<void(MainWindow&)> hook) { personHook_ = std::move(hook); }
  // "排盤": ChartLoaded = 0, then, with a hook, this window is disabled and
  // the hook opens the person window (which enables it again). The program
  // calls it once at start-up after setting the hook.
  void OpenPersonWindow();

  // The window's procedures.
  void Clean_Label();
  void LoadLAB();
  // Takes a loaded chart as the current one and draws it (bazu, Daun); the
  // analysis windows open for the previous chart are closed.
  void user(ChartState chart);
  void bazu();
  void Daun();
  void RunP();
  void df_date();
  // "NOW": the five fields at the present moment, then df_date.
  void Now();

  // Casts a chart the way the person window does: computes the birth moment,
  // loads it (user), sets the flow moment to the present and redraws. False
  // (and nothing changed) when the engine refuses the moment. The day
  // begins at 23:00 or, under 子正換日, at midnight.
  bool CastChart(const std::string& personName, int sex, const MomentInput& birth,
                 DayChange dayChange = DayChange::AtZiStart);
  // The same for a birth corrected for its birthplace: the chart of the
  // corrected moment, with a line under the birth data that states the
  // correction (none in the clock mode).
  bool CastChart(const std::string& personName, int sex, const BirthCorrection& correction,
                 DayChange dayChange = DayChange::AtZiStart);

  // The correction of the current chart (none: the clock time as entered).
  const std::optional<BirthCorrection>& correction() const { return correction_; }
  // The line stating it, empty when there is none.
  std::string correctionLine() const;
  QLabel* correctionLabel() const { return CorrLAB_; }

  // Sets field i (0 year .. 4 minute) as the program does: the spinner takes
  // the value and runs its change logic.
  void setField(int i, int value);

  bool chartLoaded() const { return chart_ && chart_->ChartLoaded == 1; }
  const std::optional<ChartState>& chart() const { return chart_; }
  const FlowState& flow() const { return flow_; }
  int prosperityLevel() const { return prosperityLevel_; }
  Spinner* spinner(int i) const { return VScroll1_[i]; }
  StepField* field(int i) const { return CTLDATE_[i]; }
  // The analysis window of a kind while it is open.
  QWidget* analysisWindow(AnalysisKind kind) const;

 signals:
  // ChartLoaded changed (a chart was loaded, or "排盤" set it aside).
  void chartLoadedChanged();

 protected:
  // Closing the main window closes the analysis windows with it.
  void closeEvent(QCloseEvent* e) override;

 private:
  struct NatalColumn {
    QLabel* header;
    QLabel* stem;
    QLabel* stemTenGod;  // none for the day column
    QLabel* branch;
    std::array<QLabel*, 3> hidden, hiddenTenGod;
  };
  struct FlowColumn {
    ClickLabel* header;
    QLabel *stemTenGod, *stem, *branch, *branchTenGod;
    std::array<QLabel*, 3> sound;
  };
  void BuildControls();
  void MakeLuckElement(int i);
  void SpinnerChanged(int i);
  void ShowAnalysis(AnalysisKind kind);
  void CloseAnalysisWindows();
  void OpenProsperity(int level);
  void SetLuckStars(int index);

  Clock clock_;
  std::function<void(MainWindow&)> personHook_;
  std::optional<ChartState> chart_;
  std::optional<BirthCorrection> correction_;
  FlowState flow_;
  bool navReady_ = false;  // NavReady
  int prosperityLevel_ = 0;

  QPushButton *Command1_, *Command2_, *Command3_, *Command4_, *Command5_, *Command6_, *Command7_,
      *Command8_;
  QLabel *USERLAB_, *DateLAB_, *STMLAB_, *SMTSLAB_, *DAStrLAB_, *DateStrLAB_;
  QLabel* CorrLAB_;  // the birthplace correction, under the birth data
  std::array<NatalColumn, 4> natal_{};  // hour, day, month, year
  QFrame* Frame1_;
  QLabel* Label37_;
  QLabel* LunarYMDH_;
  std::array<StepField*, 5> CTLDATE_{};
  std::array<Spinner*, 5> VScroll1_{};
  std::array<FlowColumn, 4> flowCols_{};  // year, month, day, hour
  ControlArray<ClickLabel> DA_STEP_;
  ControlArray<QLabel> DA_AGES_, DA_TK_, DA_TKTG_, DA_DJ_, DA_DK1_, DA_DK2_, DA_DK3_, DA_DK1TG_,
      DA_DK2TG_, DA_DK3TG_, DA_KG_, DA_DATE_, DA_MASK_;
  std::array<QPointer<QWidget>, 7> analysis_{};  // by AnalysisKind
};

}  // namespace qelm::ui
