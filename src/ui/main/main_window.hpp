// The main chart window: the natal chart with its text lines, the luck list
// and strip, and the bottom panel with the flow moment the user steps
// through. It opens the person window and the analysis windows.
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
#include "place/birth.hpp"
#include "place/birth_candidates.hpp"
#include "ui/main/analysis_windows.hpp"

class QFrame;
class QLabel;
class QPushButton;

namespace qelm::ui {

class CandidateList;
class ChartExport;
class DateRowWidget;
class FlowPillarsView;
class LuckPillarsView;
class LuckStartBox;
class NatalBlock;
class Spinner;
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
  // sets the chart aside.
  void setPersonWindowHook(std::function<void(MainWindow&)> hook) { personHook_ = std::move(hook); }
  // "排盤": the chart is set aside (drawn still, but the buttons and openers
  // act no more), then, with a hook, this window is disabled and the hook
  // opens the person window (which enables it again). The program calls it
  // once at start-up after setting the hook.
  void OpenPersonWindow();
  // The person window closed without a choice: the chart set aside is live
  // again and follows the flow moment.
  void ResumeChart();

  // Casts the chart of a birth as the core resolves it, shows it with the
  // line stating its correction under the natal block (none when the time is
  // not corrected), sets the flow moment to the present and redraws; the flow
  // moment is read by the birth's 子時 convention. False (and nothing
  // changed) when the birth cannot be cast, with the reason in `problem`.
  bool CastChart(const std::string& personName, Sex sex, const Birth& birth, std::string* problem = nullptr);
  // The same for a birth read as the clock showed it, as UTC+8 (sex: 1 a man).
  bool CastChart(const std::string& personName, int sex, const MomentInput& birth,
                 DayChange dayChange = DayChange::AtZiStart);

  // The school that dates the luck pillars: the kept setting at the start;
  // choosing another in the chooser under the luck list keeps it and dates
  // the shown chart's luck pillars anew. setLuckStart does the same without
  // keeping the choice (qelm-report --pdf, tests). A birth cast here is
  // dated by it.
  LuckStart luckStart() const { return luckStart_; }
  void setLuckStart(LuckStart s);
  LuckStartBox* luckStartBox() const { return luckStartBox_; }

  // The hour of the birth just cast is not known (時辰不詳): the stretches of
  // its date in which the four pillars stay the same are listed beside the
  // chart, the cast one selected, and the birth line says which candidate it
  // is. Choosing another row casts its first minute. False, or another
  // chart cast, takes the list away.
  void ShowHourCandidates(bool hourUnknown);
  const std::vector<CandidateStretch>& candidates() const { return candidates_; }
  CandidateList* candidateList() const { return candidateList_; }

  // The birth of the current chart, as it was entered (with the school and,
  // while the hour is not known, the candidate).
  const std::optional<Birth>& birth() const { return birth_; }
  // The correction of the current chart (none: the clock time as entered).
  const std::optional<BirthCorrection>& correction() const { return correction_; }
  // The line stating it, empty when there is none.
  std::string correctionLine() const;
  QLabel* correctionLabel() const { return correctionLine_; }

  // "NOW": the five fields at the present moment.
  void Now();
  // Sets field i (0 year .. 4 minute) as the program does: its carries run,
  // then the window follows the new flow moment.
  void setField(int i, int value);
  // The flow moment on that date at the hour and minute shown (擇日's choice).
  void setFlowDate(Date date);

  // A chart is shown and not set aside by "排盤".
  bool chartLoaded() const { return chart_.has_value() && chartLoaded_; }
  const std::optional<ChartState>& chart() const { return chart_; }
  const FlowState& flow() const { return flow_; }
  // The period of the last 五行衰旺 asked for (none yet).
  std::optional<ScorePeriod> prosperityPeriod() const { return prosperityPeriod_; }
  Spinner* spinner(int i) const;
  StepField* field(int i) const;
  ChartExport* chartExport() const { return export_; }
  // The analysis window of a kind while it is open.
  QWidget* analysisWindow(AnalysisKind kind) const;

 signals:
  // chartLoaded() changed (a chart was cast, or "排盤" set it aside).
  void chartLoadedChanged();

 protected:
  // Closing the main window closes the analysis windows with it.
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildButtons();
  void BuildTextLines();
  void SetTabOrder();
  // Takes a computed birth as the current chart and draws it; the analysis
  // windows open for the previous chart are closed.
  void ShowChart(ChartState chart);
  void ShowCorrectionLine(const QString& line);
  // Marks the candidate holding the clock minute in the chart and the list.
  void MarkCandidate(Moment clock);
  void CastCandidate(int index);
  // Recomputes and redraws everything that follows the flow moment.
  void ComputeFlowMoment();
  void ShowAnalysis(AnalysisKind kind);
  void CloseAnalysisWindows();
  void OpenProsperity(ScorePeriod period);

  Clock clock_;
  std::function<void(MainWindow&)> personHook_;
  std::optional<ChartState> chart_;
  bool chartLoaded_ = false;  // the chart is not set aside
  std::optional<Birth> birth_;
  std::optional<BirthCorrection> correction_;
  FlowState flow_;
  bool navReady_ = false;  // the start-up's first flow moment is drawn
  std::optional<ScorePeriod> prosperityPeriod_;
  LuckStart luckStart_ = LuckStart::Table;
  std::vector<CandidateStretch> candidates_;    // while the hour is not known
  BirthCaster candidateCaster_;
  bool castingCandidate_ = false;  // a chosen candidate is cast: the list stays

  std::array<QPushButton*, kAnalysisButtons + 1> buttons_{};  // "排盤", then the analysis buttons
  QLabel* personLine_;           // name and age at the flow moment
  QLabel* birthDataLine_;
  QLabel* commandingStemLine_;
  QLabel* palaceLine_;
  QLabel* correctionLine_;       // the birthplace correction, under the natal block
  NatalBlock* natal_;
  LuckPillarsView* luck_;
  LuckStartBox* luckStartBox_;
  CandidateList* candidateList_;
  QFrame* flowPanel_;
  DateRowWidget* dateRow_;
  QLabel* lunarLine_;            // the lunar date of the flow moment
  FlowPillarsView* flowPillars_;
  ChartExport* export_;
  std::array<QPointer<QWidget>, kAnalysisKinds> analysis_{};  // by AnalysisKind
};

}  // namespace qelm::ui
