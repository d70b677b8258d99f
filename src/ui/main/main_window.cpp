#include "ui/main/main_window.hpp"

#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui/export/chart_export.hpp"
#include "ui/kit/click_label.hpp"
#include "ui/kit/controls.hpp"
#include "ui/main/candidate_list.hpp"
#include "ui/main/date_row_widget.hpp"
#include "ui/main/flow_pillars_view.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/luck_start_setting.hpp"
#include "ui/main/luck_pillars_view.hpp"
#include "ui/main/natal_block.hpp"
#include "ui/analysis/relations_window.hpp"
#include "ui/day_choice/day_choice_window.hpp"
#include "ui/compare/compare_window.hpp"
#include "ui/kit/single_window.hpp"
#include "ui/kit/step_field.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {

Moment MainWindow::SystemClock() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return MakeMoment(d.year(), d.month(), d.day(), t.hour(), t.minute());
}

MainWindow::MainWindow(Clock clock, QWidget* parent) : QWidget(parent), clock_(std::move(clock)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("QELM"));
  setFixedSize(Px(11700), Px(9060));

  BuildButtons();
  BuildTextLines();
  natal_ = new NatalBlock(this);
  luck_ = new LuckPillarsView(this, [this] { OpenProsperity(ScorePeriod::Luck); });
  luckStartBox_ = new LuckStartBox(this);
  luckStartBox_->setFont(Font(kSansFace, 9));
  Place(luckStartBox_, 8880, 4215, 2520, 340);
  luckStart_ = luckStartBox_->luckStart();
  connect(luckStartBox_, &LuckStartBox::luckStartChosen, this, &MainWindow::setLuckStart);
  // Between the natal block and the luck list, shown while the hour is not known.
  candidateList_ = new CandidateList(this);
  Place(candidateList_, 5430, 1900, 3060, 1980);
  connect(candidateList_, &CandidateList::candidateChosen, this, &MainWindow::CastCandidate);

  flowPanel_ = new QFrame(this);
  flowPanel_->setObjectName(QStringLiteral("flowPanel"));
  flowPanel_->setFrameShape(QFrame::Box);
  flowPanel_->setFrameShadow(QFrame::Sunken);
  Place(flowPanel_, 360, 6720, 10960, 1935);
  dateRow_ = new DateRowWidget(flowPanel_);
  connect(dateRow_, &DateRowWidget::changed, this, [this] {
    if (navReady_) ComputeFlowMoment();
  });
  connect(dateRow_, &DateRowWidget::nowRequested, this, &MainWindow::Now);
  lunarLine_ = MakeLabel(flowPanel_, QStringLiteral("lunarLine"), 240, 1200, 6855, 600, Font(kSansFace, 11.25));
  flowPillars_ = new FlowPillarsView(flowPanel_, [this](ScorePeriod period) { OpenProsperity(period); });
  SetTabOrder();

  // The start: the date row at the present moment, its pillars drawn
  // without ten gods.
  dateRow_->setMoment(Fields(clock_()));
  ComputeFlowMoment();
  navReady_ = true;
  export_ = InstallChartExport(*this);  // Ctrl+P, Ctrl+S and the right-click menu
}

MainWindow::~MainWindow() {
  // The analysis windows have no parent; they go with the main window.
  for (auto& w : analysis_) delete w.data();
}

void MainWindow::closeEvent(QCloseEvent* e) {
  for (auto& w : analysis_)
    if (w) w->close();
  QWidget::closeEvent(e);
}

void MainWindow::CloseAnalysisWindows() {
  for (auto& slot : analysis_) {
    // Forgotten at once, so that a button pressed before the deferred delete
    // builds a new window rather than raising the closing one.
    QWidget* w = slot.data();
    slot.clear();
    if (w) w->close();
  }
}

// ------------------------------------------------------------------ controls

// One row at top 240: "排盤", then the analysis buttons.
void MainWindow::BuildButtons() {
  const QFont font = Font(kSansFace, 9);
  auto make = [&](int k, const char* name, const char* caption) {
    return MakeButton(this, QString::fromLatin1(name), 240 + 1080 * k, 240, 975, 375, font, QString::fromUtf8(caption));
  };
  buttons_[0] = make(0, "castButton", "排盤");
  connect(buttons_[0], &QPushButton::clicked, this, &MainWindow::OpenPersonWindow);
  for (int k = 0; k < kAnalysisButtons; ++k) {
    const AnalysisButton& b = kAnalysisButtonRow[k];
    buttons_[k + 1] = make(k + 1, b.name, b.caption);
    const AnalysisKind kind = b.kind;
    connect(buttons_[k + 1], &QPushButton::clicked, this, [this, kind] { ShowAnalysis(kind); });
  }
}

// The lines at the left: the person, the birth data, the commanding stem,
// the palaces and the birthplace correction.
void MainWindow::BuildTextLines() {
  const QFont text = Font(kSansFace, 9.75);
  auto line = [&](const char* name, int left, int top) {
    QLabel* l = MakeLabel(this, QString::fromLatin1(name), left, top, 8280, 250, text);
    l->setWordWrap(false);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
  };
  personLine_ = line("personLine", 280, 840);
  birthDataLine_ = line("birthDataLine", 280, 1080);
  commandingStemLine_ = line("commandingStemLine", 285, 1320);
  palaceLine_ = line("palaceLine", 285, 1560);
  // Shown only when the chart has a correction; its detail in the tooltip.
  // It names the place, which may be long, so it stands where two lines fit
  // across the window's left part: between the natal block and the luck
  // strip.
  correctionLine_ = MakeLabel(this, QStringLiteral("correctionLine"), 285, 3930, 8275, 630, text);
  correctionLine_->setAccessibleName(QStringLiteral("出生地校正"));
  correctionLine_->hide();
}

// The correction line whole: in its two lines at the text lines' size, or a
// size smaller where a long place name needs it.
void MainWindow::ShowCorrectionLine(const QString& line) {
  correctionLine_->setText(line);
  correctionLine_->setAccessibleDescription(line);
  const QRect room = correctionLine_->contentsRect();
  for (const double points : {9.75, 9.0, 8.25, 7.5, 6.75}) {
    correctionLine_->setFont(Font(kSansFace, points));
    const QRect need = correctionLine_->fontMetrics().boundingRect(QRect(0, 0, room.width(), 1 << 20),
                                                                  Qt::TextWordWrap, line);
    if (need.height() <= room.height()) break;
  }
}

// The buttons, the date row (year, month, day, hour, minute, NOW), the flow
// headers, the luck stars.
void MainWindow::SetTabOrder() {
  QList<QWidget*> order;
  for (QPushButton* b : buttons_) order << b;
  for (int i = 0; i < DateRow::kFields; ++i) order << dateRow_->field(i);
  order << dateRow_->nowButton();
  for (ClickLabel* h : flowPillars_->headers()) order << h;
  for (ClickLabel* s : luck_->openers()) order << s;
  order << luckStartBox_ << candidateList_;
  for (qsizetype k = 1; k < order.size(); ++k) setTabOrder(order[k - 1], order[k]);
}

Spinner* MainWindow::spinner(int i) const { return dateRow_->spinner(i); }
StepField* MainWindow::field(int i) const { return dateRow_->field(i); }

// ------------------------------------------------------------------ drawing

void MainWindow::ShowChart(ChartState chart) {
  // The open analysis windows show the previous chart: they go, and the
  // buttons build new ones for this chart.
  CloseAnalysisWindows();
  // A chart shown here is the clock time as entered; CastChart with a
  // correction states it afterwards.
  correction_.reset();
  birth_.reset();
  if (!castingCandidate_) {
    candidates_.clear();
    candidateList_->hide();
  }
  birthDataLine_->setFont(Font(kSansFace, 9.75));
  ShowCorrectionLine({});
  correctionLine_->setToolTip({});
  correctionLine_->hide();
  chart_ = std::move(chart);
  chartLoaded_ = true;
  const ChartState& c = *chart_;
  birthDataLine_->setText(QString::fromStdString(BirthDataLine(c)));
  commandingStemLine_->setText(QString::fromStdString(CommandingStemLine(c)));
  commandingStemLine_->setToolTip(QString::fromStdString(LuckStartText(c)));
  palaceLine_->setText(QString::fromStdString(PalaceLine(c)));
  natal_->DrawNatalChart(c);
  luck_->DrawLuckPillars(c);
  emit chartLoadedChanged();
}

void MainWindow::setLuckStart(LuckStart s) {
  luckStartBox_->setLuckStart(s);
  if (s == luckStart_) return;
  luckStart_ = s;
  if (!chart_) return;
  // Only the luck schedule follows the school; the windows opened for the
  // chart as it was dated go.
  CloseAnalysisWindows();
  chart_->conventions.luckStart = s;
  LuckSchedule(*chart_);
  commandingStemLine_->setToolTip(QString::fromStdString(LuckStartText(*chart_)));
  luck_->DrawLuckPillars(*chart_);
  ComputeFlowMoment();
}

void MainWindow::ComputeFlowMoment() {
  // Read by the conventions of the chart shown (also of one set aside).
  const MomentOutcome out = FlowMomentOf(chart_ ? &*chart_ : nullptr, dateRow_->row().input());
  if (!out) return;
  const bool loaded = chartLoaded();
  flow_ = ComputeFlow(loaded ? &*chart_ : nullptr, *out.result);
  lunarLine_->setText(QString::fromStdString(FlowLunarLine(flow_)));
  // Without a chart no pillar is current; stars of a chart set aside by
  // "排盤" would belong to the old flow moment, so they go too.
  luck_->MarkCurrent(loaded ? flow_.CurrentLuckIndex : 0);
  flowPillars_->DrawFlowPillars(flow_, loaded ? std::optional<Stem>(chart_->DayStem) : std::nullopt);
  if (loaded)
    personLine_->setText(QString::fromStdString(chart_->PersonName + " " + NumberText(flow_.FlowAge) + " 歲"));
  else
    personLine_->clear();
  // 刑沖合會 follows the flow moment while its chart is shown.
  if (auto* relations = qobject_cast<RelationsWindow*>(analysisWindow(AnalysisKind::Relations)); relations && loaded)
    relations->ShowRelations(*chart_, flow_);
  if (auto* compare = qobject_cast<CompareWindow*>(analysisWindow(AnalysisKind::Compare)); compare && loaded)
    compare->ShowFlow(flow_.moment);
}

// ------------------------------------------------------------------ period navigation

void MainWindow::setField(int i, int value) { dateRow_->setField(i, value); }

void MainWindow::setFlowDate(Date date) {
  CivilFields at = Fields(MakeMoment(date, 0, 0));
  const MomentInput shown = dateRow_->row().input();
  at.hour = shown.InputHour;
  at.minute = shown.InputMinute;
  // 23:xx already counts as the next day's 子 hour: the same hour of the
  // date chosen is 00:xx.
  if (at.hour == 23) at.hour = 0;
  dateRow_->setMoment(at);
}

void MainWindow::Now() {
  // One reading of the clock for all five fields, so that a minute or a day
  // turning over between them cannot mix two moments.
  dateRow_->setMoment(Fields(clock_()));
}

// ------------------------------------------------------------------ openers

void MainWindow::ShowAnalysis(AnalysisKind kind) {
  if (!chartLoaded()) return;
  ShowSingle(analysis_[static_cast<int>(kind)], [&] {
    QWidget* w = CreateAnalysisWindow(kind, *chart_, flow_, prosperityPeriod_.value_or(ScorePeriod::Luck),
                                      correctionLine());
    // 擇日 sets the flow moment to the day chosen in it.
    if (auto* days = qobject_cast<DayChoiceWindow*>(w)) connect(days, &DayChoiceWindow::dayChosen, this, &MainWindow::setFlowDate);
    return w;
  });
}

void MainWindow::OpenProsperity(ScorePeriod period) {
  if (!chartLoaded()) return;
  // An open window keeps the period it was opened with.
  prosperityPeriod_ = period;
  ShowAnalysis(AnalysisKind::Prosperity);
}

QWidget* MainWindow::analysisWindow(AnalysisKind kind) const {
  return analysis_[static_cast<int>(kind)].data();
}

void MainWindow::OpenPersonWindow() {
  chartLoaded_ = false;
  emit chartLoadedChanged();
  if (personHook_) {
    setEnabled(false);  // the person window enables it again
    personHook_(*this);
  }
}

void MainWindow::ResumeChart() {
  setEnabled(true);
  if (!chart_ || chartLoaded_) return;
  chartLoaded_ = true;
  emit chartLoadedChanged();
  ComputeFlowMoment();
}

bool MainWindow::CastChart(const std::string& personName, Sex sex, const Birth& birth, std::string* problem) {
  // The luck pillars are dated by the school chosen here.
  Birth b = birth;
  b.luckStart = luckStart_;
  CastOutcome cast = CastBirth(personName, sex, b);
  if (!cast) {
    if (problem) *problem = cast.problem;
    return false;
  }
  setEnabled(true);
  ShowChart(std::move(*cast.chart));
  birth_ = b;
  if (cast.correction) {
    correction_ = cast.correction;
    ShowCorrectionLine(QString::fromStdString(CorrectionLine(*correction_)));
    correctionLine_->setToolTip(QString::fromStdString(CorrectionDetail(*correction_)));
    correctionLine_->show();
  }
  Now();
  return true;
}

bool MainWindow::CastChart(const std::string& personName, int sex, const MomentInput& birth, DayChange dayChange) {
  Birth b;
  b.clock = birth;
  b.dayChange = dayChange;
  return CastChart(personName, SexOfCode(sex), b);
}

void MainWindow::ShowHourCandidates(bool hourUnknown) {
  candidates_.clear();
  candidateList_->hide();
  if (!chart_ || !birth_) return;
  chart_->hourCandidate.reset();
  birth_->hourCandidate.reset();
  birthDataLine_->setFont(Font(kSansFace, 9.75));
  birthDataLine_->setText(QString::fromStdString(BirthDataLine(*chart_)));
  if (!hourUnknown) return;
  // The date as the clock showed it: at the birthplace when the birth is
  // corrected for one.
  const MomentInput& e = birth_->clock;
  const Moment clock = MakeMoment(e.InputYear, e.InputMonth, e.InputDay, e.InputHour, e.InputMinute);
  candidateCaster_ = BirthCaster{birth_->corrected() ? StoredPlaceOf(*birth_) : std::nullopt, birth_->dayChange};
  candidates_ = CandidateStretches(DateOf(clock), candidateCaster_);
  MarkCandidate(clock);
}

void MainWindow::MarkCandidate(Moment clock) {
  const int i = StretchIndexOf(candidates_, clock);
  if (i < 0) return;
  const CandidateStretch& s = candidates_[static_cast<std::size_t>(i)];
  chart_->hourCandidate = HourCandidate{i + 1, static_cast<int>(candidates_.size()), s.first, s.last};
  if (birth_) birth_->hourCandidate = chart_->hourCandidate;
  // The line grows by the candidate: a size smaller where it needs that.
  const QString line = QString::fromStdString(BirthDataLine(*chart_));
  birthDataLine_->setText(line);
  for (const double points : {9.75, 9.0, 8.25, 7.5}) {
    birthDataLine_->setFont(Font(kSansFace, points));
    if (birthDataLine_->fontMetrics().horizontalAdvance(line) <= birthDataLine_->contentsRect().width()) break;
  }
  candidateList_->ShowStretches(candidates_, i);
}

void MainWindow::CastCandidate(int index) {
  if (!chart_ || !birth_ || index < 0 || static_cast<std::size_t>(index) >= candidates_.size()) return;
  const CandidateStretch s = candidates_[static_cast<std::size_t>(index)];
  if (!s.pillars) return;  // minutes the clocks skipped: no chart
  // The same birth at the stretch's first minute, corrected again at its place.
  Birth b = *birth_;
  b.clock = InputOf(s.first);
  b.hourCandidate.reset();
  castingCandidate_ = true;
  const std::string name = chart_->PersonName;
  const bool cast = CastChart(name, chart_->Sex, b);
  castingCandidate_ = false;
  if (cast) MarkCandidate(s.first);
}

std::string MainWindow::correctionLine() const {
  return correction_ && chart_ ? CorrectionLine(*correction_) : std::string();
}

}  // namespace qelm::ui
