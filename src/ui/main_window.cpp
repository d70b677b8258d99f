#include "ui/main_window.hpp"

#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <chrono>

#include "ui/chart_export.hpp"

namespace qelm::ui {
namespace {

using namespace std::chrono;

// Colours of the fixed texts (24-bit, red in the low byte).
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kGrey = 0x808080;

const QString kStar = QStringLiteral("★");

constexpr Date kMinDate = MakeDate(1901, 1, 1);  // MinDate
constexpr Date kMaxDate = MakeDate(2099, 12, 31);  // MaxDate

// A one- or two-character cell of a pillar column: centred, one line.
QLabel* Cell(QWidget* parent, const QString& name, int left, int top, int width, int height,
             const QFont& font) {
  QLabel* l = MakeLabel(parent, name, left, top, width, height, font);
  l->setWordWrap(false);
  l->setAlignment(Qt::AlignCenter);
  return l;
}

// Grows a centred one-line cell to the height of a whole line of its font
// (and a pixel either side), keeping its centre: its text stands where it
// stood and is never cut.
void HoldWholeLine(QLabel* l) {
  const int need = l->fontMetrics().height() + 2;
  if (l->height() >= need) return;
  const int grow = need - l->height();
  l->setGeometry(l->x(), l->y() - grow / 2, l->width(), need);
}

void Show(QLabel* l, const ColouredText& t) {
  l->setText(Q(t.text));
  SetTextColour(l, t.colour);
}

void Clear(QLabel* l) {
  if (l) l->clear();
}

// The date plus n calendar months; a day beyond the new month's end becomes
// that month's last day.
Date AddMonths(Date d, int n) {
  const year_month_day ymd{d};
  const year_month ym = year_month{ymd.year(), ymd.month()} + months{n};
  const day last = year_month_day_last{ym.year(), month_day_last{ym.month()}}.day();
  return sys_days{ym / std::min(ymd.day(), last)};
}

// Days of a month by the date row's rule: February has 29 in years divisible by 4.
int MonthLength(int y, int m) {
  switch (m) {
    case 4: case 6: case 9: case 11: return 30;
    case 2: return y % 4 == 0 ? 29 : 28;
    default: return 31;
  }
}

}  // namespace

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
  BuildControls();

  // The load step: clear, create the label arrays, put the date row at the
  // present moment and draw its pillars without ten gods.
  Clean_Label();
  LoadLAB();
  navReady_ = false;
  const CivilFields now = Fields(clock_());
  const std::array<int, 5> values{now.year, now.month, now.day, now.hour, now.minute};
  for (int i = 0; i < 5; ++i) setField(i, values[i]);
  df_date();
  navReady_ = true;
  InstallChartExport(*this);  // Ctrl+P, Ctrl+S and the right-click menu
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

MainWindow::~MainWindow() {
  // The analysis windows have no parent; they go with the main window.
  for (auto& w : analysis_) delete w.data();
}

// ------------------------------------------------------------------ controls

void MainWindow::BuildControls() {
  const QFont button = Font(kSansFace, 9);
  const QFont text = Font(kSansFace, 9.75);
  const QFont big = Font(kSansFace, 15.75, true);
  const QFont small = Font(kSansFace, 9);

  // Buttons, one row at top 240.
  auto makeButton = [&](const char* name, const char* caption, int left) {
    return MakeButton(this, QString::fromLatin1(name), left, 240, 975, 375, button, QString::fromUtf8(caption));
  };
  Command1_ = makeButton("Command1", "排盤", 240);
  Command2_ = makeButton("Command2", "五行強弱", 1320);
  Command3_ = makeButton("Command3", "流年", 2400);
  Command4_ = makeButton("Command4", "小運", 3480);
  Command6_ = makeButton("Command6", "神煞", 4560);
  Command7_ = makeButton("Command7", "三命", 5640);
  Command8_ = makeButton("Command8", "文字輸出", 6720);
  connect(Command1_, &QPushButton::clicked, this, &MainWindow::OpenPersonWindow);
  connect(Command2_, &QPushButton::clicked, this, [this] { ShowAnalysis(AnalysisKind::Strength); });
  connect(Command3_, &QPushButton::clicked, this, [this] { ShowAnalysis(AnalysisKind::FlowYear); });
  connect(Command4_, &QPushButton::clicked, this, [this] { ShowAnalysis(AnalysisKind::MinorLuck); });
  connect(Command6_, &QPushButton::clicked, this, [this] { ShowAnalysis(AnalysisKind::Stars); });
  connect(Command7_, &QPushButton::clicked, this, [this] { ShowAnalysis(AnalysisKind::SanMing); });
  connect(Command8_, &QPushButton::clicked, this, [this] { ShowAnalysis(AnalysisKind::TextOutput); });

  // Text lines at the left.
  auto line = [&](const char* name, int left, int top) {
    QLabel* l = MakeLabel(this, QString::fromLatin1(name), left, top, 8280, 250, text);
    l->setWordWrap(false);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
  };
  USERLAB_ = line("USERLAB", 280, 840);
  DateLAB_ = line("DateLAB", 280, 1080);
  STMLAB_ = line("STMLAB", 285, 1320);
  SMTSLAB_ = line("SMTSLAB", 285, 1560);
  // The birthplace correction, when the chart has one; its detail in the
  // tooltip.
  CorrLAB_ = line("CorrLAB", 285, 1785);
  CorrLAB_->setAccessibleName(QStringLiteral("出生地校正"));
  CorrLAB_->hide();

  // Natal block: hour, day, month, year from left to right.
  struct ColumnDesign {
    const char* prefix;
    int left;
  };
  constexpr std::array<ColumnDesign, 4> natal{{{"S", 840}, {"D", 2160}, {"M", 3480}, {"Y", 4800}}};
  for (std::size_t c = 0; c < natal.size(); ++c) {
    const QString p = QString::fromLatin1(natal[c].prefix);
    const int left = natal[c].left;
    NatalColumn& col = natal_[c];
    col.header = Cell(this, p + "StrLAB", left, 2040, 375, 375, big);
    col.stemTenGod = p == "D" ? nullptr : Cell(this, p + "TKTGLAB", left, 2440, 375, 280, text);
    col.stem = Cell(this, p + "TKLAB", left, 2720, 375, 375, big);
    col.branch = Cell(this, p + "DJLAB", left, 3040, 375, 375, big);
    // The three hidden stems stand right to left.
    constexpr std::array<int, 3> shift{280, 40, -200};
    for (int k = 0; k < 3; ++k) {
      const QString n = QString::number(k + 1);
      col.hidden[k] = Cell(this, p + "DKLAB" + n, left + shift[k], 3400, 240, 240, text);
      col.hiddenTenGod[k] = Cell(this, p + "DKTGLAB" + n, left + shift[k], 3640, 240, 280, text);
    }
  }

  // Luck list headers.
  DAStrLAB_ = MakeLabel(this, "DAStrLAB", 8880, 840, 480, 300, text);
  DateStrLAB_ = MakeLabel(this, "DateStrLAB", 9360, 840, 1200, 300, text);

  // Element 0 of every luck control array; LoadLAB adds the rest.
  MakeLuckElement(0);

  // Bottom panel.
  Frame1_ = new QFrame(this);
  Frame1_->setObjectName("Frame1");
  Frame1_->setFrameShape(QFrame::Box);
  Frame1_->setFrameShadow(QFrame::Sunken);
  Place(Frame1_, 360, 6720, 10960, 1935);

  Label37_ = MakeLabel(Frame1_, "Label37", 240, 480, 495, 375, Font(kSansFace, 12), QStringLiteral("西元"));
  Label37_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  struct FieldDesign {
    int fieldLeft, fieldWidth, spinLeft, minimum, maximum, initial;
  };
  constexpr std::array<FieldDesign, 5> fields{{
      {840, 615, 1450, 1901, 2099, 1901},
      {1950, 375, 2330, 0, 13, 1},
      {2820, 375, 3200, 0, 32, 1},
      {3690, 375, 4070, -1, 24, 0},
      {4560, 375, 4935, -1, 60, 0},
  }};
  const std::array<QString, 5> units{QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("日"),
                                     QStringLiteral("時"), QStringLiteral("分")};
  for (int i = 0; i < 5; ++i) {
    const FieldDesign& f = fields[i];
    auto* s = new Spinner(Frame1_, f.minimum, f.maximum, f.initial);
    s->setObjectName(IndexedName("VScroll1", i));
    s->setFieldName(units[i]);
    Place(s, f.spinLeft, 480, 495, 375);
    VScroll1_[i] = s;
    connect(s, &Spinner::valueChanged, this, [this, i] { SpinnerChanged(i); });
    // The field steps its spinner from the keyboard and the wheel.
    auto* l = new StepField(Frame1_, s);
    l->setObjectName(IndexedName("CTLDATE", i));
    l->setFont(Font(kSansFace, 12));
    l->setText(QString::number(f.initial));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAccessibleName(units[i]);
    Place(l, f.fieldLeft, 480, f.fieldWidth, 375);
    SetBackground(l, 0xFFFFFF);
    CTLDATE_[i] = l;
  }
  Command5_ = MakeButton(Frame1_, "Command5", 5440, 480, 735, 375, button, QStringLiteral("NOW"));
  Command5_->setAccessibleName(QStringLiteral("現在時刻"));
  connect(Command5_, &QPushButton::clicked, this, &MainWindow::Now);

  LunarYMDH_ = MakeLabel(Frame1_, "LunarYMDH", 240, 1200, 6855, 600, Font(kSansFace, 11.25));

  // Flow pillars: year, month, day, hour from left to right.
  struct FlowDesign {
    const char* prefix;
    const char* caption;
    const char* sound;
    int left;
    int level;
  };
  constexpr std::array<FlowDesign, 4> flows{{{"OPY", "歲", "YNYS", 7365, 2},
                                             {"OPM", "月", "MNYS", 8295, 3},
                                             {"OPD", "日", "DNYS", 9240, 4},
                                             {"OPS", "時", "SNYS", 10185, 5}}};
  const QFont flowBig = Font(kSansFace, 12, true);
  for (std::size_t c = 0; c < flows.size(); ++c) {
    const FlowDesign& f = flows[c];
    const QString p = QString::fromLatin1(f.prefix);
    FlowColumn& col = flowCols_[c];
    // The rows stand closer together than their characters are tall: each
    // cell holds its row's text centred where the row puts it, and reaches
    // over the neighbouring rows' empty margins far enough to hold a whole
    // line of its font, so that no character is cut at any scale.
    col.header = MakeClickLabel(Frame1_, p + "STR", f.left, 360, 375, 180, small, QString::fromUtf8(f.caption));
    col.header->setWordWrap(false);
    col.header->setAlignment(Qt::AlignCenter);
    col.header->setAccessibleName(QStringLiteral("開啟五行衰旺（") + QString::fromUtf8(f.caption) +
                                  QStringLiteral("）"));
    col.stemTenGod = Cell(Frame1_, p + "TKTG", f.left, 555, 375, 195, text);
    col.stem = Cell(Frame1_, p + "TK", f.left, 720, 375, 285, flowBig);
    col.branch = Cell(Frame1_, p + "DJ", f.left, 975, 375, 285, flowBig);
    col.branchTenGod = Cell(Frame1_, p + "DJTG", f.left, 1200, 375, 360, text);
    for (int k = 0; k < 3; ++k)
      col.sound[k] = Cell(Frame1_, QString::fromLatin1(f.sound) + QString::number(k + 1),
                          f.left - 140 + 220 * k, 1500, 220, 280, text);
    for (QLabel* l : {static_cast<QLabel*>(col.header), col.stemTenGod, col.stem, col.branch, col.branchTenGod,
                      col.sound[0], col.sound[1], col.sound[2]})
      HoldWholeLine(l);
    const int level = f.level;
    connect(col.header, &ClickLabel::clicked, this, [this, level] { OpenProsperity(level); });
  }
}

// Element i of the fourteen luck control arrays: strip column i stands 1080 × i
// left of column 0, list row i 300 × i below row 0.
void MainWindow::MakeLuckElement(int i) {
  const QFont text = Font(kSansFace, 9.75);
  const QFont bold = Font(kSansFace, 9.75, true);
  const QFont small = Font(kSansFace, 9);
  const QFont big = Font(kSansFace, 15.75, true);
  const int dx = -1080 * i;
  const int row = 1200 + 300 * i;

  ClickLabel* step = MakeClickLabel(this, IndexedName("DA_STEP", i), 10380 + dx, 4560, 330, 300, small);
  step->setWordWrap(false);
  step->setAlignment(Qt::AlignCenter);
  SetTextColour(step, kGrey);
  step->setAccessibleName(QStringLiteral("開啟五行衰旺（大運）"));
  step->setFocusPolicy(Qt::NoFocus);  // until it shows the star
  connect(step, &ClickLabel::clicked, this, [this] { OpenProsperity(1); });
  DA_STEP_.push_back(step);

  QLabel* ages = MakeLabel(this, IndexedName("DA_AGES", i), 10320 + dx, 4920, 1000, 255, small);
  ages->setWordWrap(false);
  SetTextColour(ages, kRed);
  DA_AGES_.push_back(ages);

  // Centred over the stem below it (10560 + 375 / 2).
  DA_TKTG_.push_back(Cell(this, IndexedName("DA_TKTG", i), 10600 + dx, 5195, 295, 270, text));
  DA_TK_.push_back(Cell(this, IndexedName("DA_TK", i), 10560 + dx, 5475, 375, 375, big));
  DA_DJ_.push_back(Cell(this, IndexedName("DA_DJ", i), 10560 + dx, 5805, 375, 375, big));
  constexpr std::array<int, 3> lefts{10800, 10560, 10320};
  ControlArray<QLabel>* dk[3] = {&DA_DK1_, &DA_DK2_, &DA_DK3_};
  ControlArray<QLabel>* dktg[3] = {&DA_DK1TG_, &DA_DK2TG_, &DA_DK3TG_};
  for (int k = 0; k < 3; ++k) {
    const QString n = QString::number(k + 1);
    dk[k]->push_back(Cell(this, IndexedName("DA_DK" + n, i), lefts[k] + dx, 6165, 240, 240, text));
    dktg[k]->push_back(Cell(this, IndexedName("DA_DK" + n + "TG", i), lefts[k] + dx, 6405, 240, 280, text));
  }

  QLabel* mask = MakeLabel(this, IndexedName("DA_MASK", i), 8640, row, 240, 300, small);
  mask->setWordWrap(false);
  mask->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  SetTextColour(mask, kRed);
  DA_MASK_.push_back(mask);
  QLabel* kg = MakeLabel(this, IndexedName("DA_KG", i), 8880, row, 480, 300, bold);
  QLabel* date = MakeLabel(this, IndexedName("DA_DATE", i), 9360, row, 1800, 300, bold);
  for (QLabel* l : {kg, date}) {
    l->setWordWrap(false);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetTextColour(l, kGreen);
  }
  DA_KG_.push_back(kg);
  DA_DATE_.push_back(date);
}

void MainWindow::Clean_Label() {
  for (QLabel* l : {USERLAB_, DateLAB_, STMLAB_, SMTSLAB_, DAStrLAB_, DateStrLAB_}) l->clear();
  for (NatalColumn& c : natal_) {
    for (QLabel* l : {c.header, c.stem, c.stemTenGod, c.branch}) Clear(l);
    for (int k = 0; k < 3; ++k) {
      c.hidden[k]->clear();
      c.hiddenTenGod[k]->clear();
    }
  }
  for (auto* a : {&DA_AGES_, &DA_TK_, &DA_TKTG_, &DA_DJ_, &DA_DK1_, &DA_DK2_, &DA_DK3_, &DA_DK1TG_,
                  &DA_DK2TG_, &DA_DK3TG_, &DA_KG_, &DA_DATE_, &DA_MASK_})
    (*a)[0]->clear();
  DA_STEP_[0]->clear();
  for (FlowColumn& c : flowCols_) {
    c.stemTenGod->clear();
    c.branchTenGod->clear();
    for (QLabel* l : c.sound) l->clear();
  }
}

void MainWindow::LoadLAB() {
  for (int i = static_cast<int>(DA_STEP_.size()); i < 10; ++i) {
    MakeLuckElement(i);
    for (auto* a : {&DA_AGES_, &DA_TK_, &DA_TKTG_, &DA_DJ_, &DA_DK1_, &DA_DK2_, &DA_DK3_, &DA_DK1TG_,
                    &DA_DK2TG_, &DA_DK3TG_, &DA_KG_, &DA_DATE_, &DA_MASK_})
      (*a)[i]->show();
    DA_STEP_[i]->show();
  }
  // Tab order: the buttons, the date row (year, month, day, hour, minute,
  // NOW), the flow headers, the luck stars.
  QList<QWidget*> order{Command1_, Command2_, Command3_, Command4_, Command6_, Command7_, Command8_};
  for (StepField* f : CTLDATE_) order << f;
  order << Command5_;
  for (FlowColumn& c : flowCols_) order << c.header;
  for (ClickLabel* s : DA_STEP_) order << s;
  for (qsizetype k = 1; k < order.size(); ++k) setTabOrder(order[k - 1], order[k]);
}

// ------------------------------------------------------------------ drawing

void MainWindow::user(ChartState chart) {
  // The open analysis windows show the previous chart: they go, and the
  // buttons build new ones for this chart.
  CloseAnalysisWindows();
  // A chart loaded here is the clock time as entered; CastChart with a
  // correction states it afterwards.
  correction_.reset();
  CorrLAB_->clear();
  CorrLAB_->setToolTip({});
  CorrLAB_->hide();
  chart_ = std::move(chart);
  chart_->ChartLoaded = 1;
  bazu();
  Daun();
  emit chartLoadedChanged();
}

void MainWindow::bazu() {
  if (!chart_) return;
  const ChartState& c = *chart_;
  DateLAB_->setText(QString::fromStdString(c.DateLabText));
  STMLAB_->setText(QString::fromStdString(c.CommandLineText));
  SMTSLAB_->setText(QString::fromStdString(c.PalaceLineText));
  DAStrLAB_->setText(QStringLiteral("大運"));
  DateStrLAB_->setText(QStringLiteral("交運日期"));

  const std::array<Pillar, 4> pillars{c.HourPillar(), c.DayPillar(), c.MonthPillar(), c.YearPillar()};
  const std::array<const char*, 4> headers{"時", "日", "月", "年"};
  for (std::size_t i = 0; i < 4; ++i) {
    NatalColumn& col = natal_[i];
    col.header->setText(QString::fromUtf8(headers[i]));
    const PillarDrawing d = DrawPillar(pillars[i], c.DayStem);
    Show(col.stem, d.stem);
    if (col.stemTenGod) Show(col.stemTenGod, d.stemTenGod);  // the day column has none
    Show(col.branch, d.branch);
    for (int k = 0; k < 3; ++k) {
      Show(col.hidden[k], d.hidden[k]);
      Show(col.hiddenTenGod[k], d.hiddenTenGod[k]);
    }
  }
}

void MainWindow::Daun() {
  if (!chart_) return;
  const ChartState& c = *chart_;
  for (int i = 0; i < 10; ++i) {
    const int k = i + 1;
    const Pillar p = c.LuckPillar(k);
    DA_KG_[i]->setText(QString::fromStdString(p.name()));
    DA_DATE_[i]->setText(QString::fromStdString(c.LuckChangeDates[i]));
    DA_AGES_[i]->setText(QString::fromStdString(c.LuckAgeRanges[i]));
    const PillarDrawing d = DrawPillar(p, c.DayStem);
    Show(DA_TK_[i], d.stem);
    Show(DA_TKTG_[i], d.stemTenGod);
    Show(DA_DJ_[i], d.branch);
    ControlArray<QLabel>* dk[3] = {&DA_DK1_, &DA_DK2_, &DA_DK3_};
    ControlArray<QLabel>* dktg[3] = {&DA_DK1TG_, &DA_DK2TG_, &DA_DK3TG_};
    for (int n = 0; n < 3; ++n) {
      Show((*dk[n])[i], d.hidden[n]);
      Show((*dktg[n])[i], d.hiddenTenGod[n]);
    }
    // The stem governs the first five years, the branch the five from the mid-point.
    DA_TK_[i]->setToolTip(QStringLiteral("天干上五年  ") + QString::fromStdString(c.LuckChangeDates[i]));
    DA_DJ_[i]->setToolTip(QStringLiteral("地支下五年  ") + QString::fromStdString(c.LuckMidChangeDates[i]));
  }
}

void MainWindow::SetLuckStars(int index) {
  for (int i = 0; i < 10; ++i) {
    const QString t = i == index - 1 ? kStar : QString();
    DA_MASK_[i]->setText(t);
    DA_STEP_[i]->setText(t);
    // The star is the opener the keyboard reaches.
    DA_STEP_[i]->setFocusPolicy(t.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
  }
}

void MainWindow::RunP() {
  const bool loaded = chartLoaded();
  // Without a chart no pillar is current; stars of a chart set aside by
  // "排盤" would belong to the old flow moment, so they go too.
  SetLuckStars(loaded ? flow_.CurrentLuckIndex : 0);
  const std::optional<Stem> dayMaster = loaded ? std::optional<Stem>(chart_->DayStem) : std::nullopt;
  const std::array<Pillar, 4> pillars{flow_.YearPillar(), flow_.MonthPillar(), flow_.DayPillar(),
                                      flow_.HourPillar()};
  for (std::size_t i = 0; i < 4; ++i) {
    FlowColumn& col = flowCols_[i];
    const Pillar p = pillars[i];
    const PillarDrawing d = DrawPillar(p, dayMaster);
    Show(col.stem, d.stem);
    Show(col.branch, d.branch);
    if (loaded) {
      Show(col.stemTenGod, d.stemTenGod);
      Show(col.branchTenGod, d.hiddenTenGod[0]);
    } else {
      col.stemTenGod->clear();
      col.branchTenGod->clear();
    }
    if (!p.valid()) continue;
    const SoundElement s = SoundElementOf(p);
    const std::uint32_t colour = Element{s.SoundElementIndex}.colour();
    const std::array<std::string_view, 3> chars{s.SoundChar1, s.SoundChar2, s.SoundChar3};
    for (int k = 0; k < 3; ++k) Show(col.sound[k], {chars[k], colour});
  }
}

// ------------------------------------------------------------------ period navigation

void MainWindow::df_date() {
  MomentInput in{};
  int* const parts[5] = {&in.InputYear, &in.InputMonth, &in.InputDay, &in.InputHour, &in.InputMinute};
  for (int i = 0; i < 5; ++i) *parts[i] = CTLDATE_[i]->text().toInt();
  // An hour below 0 is never carried in 1901; the engine gets 0.
  in.InputHour = std::max(in.InputHour, 0);
  // The engine takes every value the date row can show (day 0 and the day
  // past the month's end roll over, hour 24 and minutes -1 and 60 are read).
  const MomentOutcome out = CalcMoment(in);
  if (!out) return;
  flow_ = ComputeFlow(chart_ ? &*chart_ : nullptr, *out.result);
  LunarYMDH_->setText(QString::fromStdString(flow_.LunarYMDH));
  RunP();
  if (chartLoaded())
    USERLAB_->setText(QString::fromStdString(chart_->PersonName + " " + NumberText(flow_.FlowAge) + " 歲"));
  else
    USERLAB_->clear();
}

void MainWindow::setField(int i, int value) {
  CTLDATE_[i]->setText(QString::number(value));
  Spinner* s = VScroll1_[i];
  s->setValue(value);
  // A value outside the spinner's range shows what the spinner kept.
  CTLDATE_[i]->setText(QString::number(s->value()));
}

void MainWindow::Now() {
  // One reading of the clock for all five fields, so that a minute or a day
  // turning over between them cannot mix two moments.
  const CivilFields now = Fields(clock_());
  const std::array<int, 5> values{now.year, now.month, now.day, now.hour, now.minute};
  for (int i = 0; i < 5; ++i) setField(i, values[i]);
  df_date();
}

// One change of spinner i, by the user or the program. Values set here on
// other spinners run this same logic before it continues.
void MainWindow::SpinnerChanged(int i) {
  Spinner& ys = *VScroll1_[0];
  Spinner& ms = *VScroll1_[1];
  Spinner& ds = *VScroll1_[2];
  Spinner& hs = *VScroll1_[3];
  Spinner& ns = *VScroll1_[4];
  const int y = ys.value(), m = ms.value(), h = hs.value(), n = ns.value();
  int d = ds.value();

  // 1. The day's range: one past the month's end (months 0 and 13 keep it).
  if (m >= 1 && m <= 12) {
    const int upper = MonthLength(y, m) + 1;
    // A new month or year under a day beyond its end ends on its last day.
    // Only the day's own step to the upper end asks for a carry; an hour or
    // minute step leaves the day alone (in 2099 it may stand one past the
    // month's end, meaning the first of the next month).
    if (d > upper || (d == upper && (i == 0 || i == 1))) {
      d = upper - 1;
      ds.setValueQuietly(d);
      CTLDATE_[2]->setText(QString::number(d));
    }
    ds.setMaximum(upper);
  }

  auto setDate = [&](Date date) {
    const year_month_day ymd{date};
    ys.setValue(static_cast<int>(ymd.year()));
    ms.setValue(static_cast<int>(static_cast<unsigned>(ymd.month())));
    ds.setValue(static_cast<int>(static_cast<unsigned>(ymd.day())));
  };

  // 2. Keep the date between MinDate and MaxDate.
  const Date formed = MakeDate(y, m, d);
  if (formed > kMaxDate) {
    setDate(kMaxDate);
  } else if (formed < kMinDate) {
    setDate(kMinDate);
  } else {
    // 3. Carries, counted from the date the fields showed before this change.
    const Date shown = MakeDate(CTLDATE_[0]->text().toInt(), CTLDATE_[1]->text().toInt(),
                                CTLDATE_[2]->text().toInt());
    switch (i) {
      case 1:
        if (y < 2099 && m == 13) setDate(AddMonths(shown, 1));
        if (y > 1901 && m == 0) setDate(AddMonths(shown, -1));
        break;
      case 2:
        if (d == ds.maximum() && y < 2099) setDate(shown + days{1});
        if (y > 1901 && d == 0) setDate(shown - days{1});
        break;
      case 3:
        if (y < 2099 && h == 24) {
          setDate(shown + days{1});
          hs.setValue(0);
        }
        if (y > 1901 && h == -1) {
          setDate(shown - days{1});
          hs.setValue(23);
        }
        if (hs.value() < 0) hs.setValue(0);  // 1901: no day before to carry into
        break;
      case 4:
        if (y < 2099 && n == 60) {
          hs.setValue(h + 1);
          ns.setValue(0);
        }
        if (y > 1901 && n == -1) {
          hs.setValue(h - 1);
          ns.setValue(59);
        }
        break;
      default:
        break;
    }
  }

  // 4. The field shows the spinner's value; 5. redraw.
  CTLDATE_[i]->setText(QString::number(VScroll1_[i]->value()));
  if (navReady_) df_date();
}

// ------------------------------------------------------------------ openers

void MainWindow::ShowAnalysis(AnalysisKind kind) {
  if (!chartLoaded()) return;
  ShowSingle(analysis_[static_cast<int>(kind)],
             [&] { return CreateAnalysisWindow(kind, *chart_, flow_, prosperityLevel_, correctionLine()); });
}

void MainWindow::OpenProsperity(int level) {
  if (!chartLoaded()) return;
  // An open window keeps the level it was opened with.
  prosperityLevel_ = level;
  ShowAnalysis(AnalysisKind::Prosperity);
}

QWidget* MainWindow::analysisWindow(AnalysisKind kind) const {
  return analysis_[static_cast<int>(kind)].data();
}

void MainWindow::OpenPersonWindow() {
  if (chart_) chart_->ChartLoaded = 0;
  emit chartLoadedChanged();
  if (personHook_) {
    setEnabled(false);  // the person window enables it again
    personHook_(*this);
  }
}

bool MainWindow::CastChart(const std::string& personName, int sex, const MomentInput& birth, DayChange dayChange) {
  const MomentOutcome out = CalcMoment(birth, dayChange);
  if (!out) return false;
  setEnabled(true);
  user(LoadChart(personName, sex, *out.result));
  Now();
  return true;
}

bool MainWindow::CastChart(const std::string& personName, int sex, const BirthCorrection& correction,
                           DayChange dayChange) {
  const MomentOutcome out = CorrectedMoment(correction, dayChange);
  if (!out) return false;
  setEnabled(true);
  user(LoadChart(personName, sex, *out.result));
  if (correction.applies()) {
    correction_ = correction;
    CorrLAB_->setText(QString::fromStdString(CorrectionLine(correction)));
    CorrLAB_->setToolTip(QString::fromStdString(CorrectionDetail(correction)));
    CorrLAB_->show();
  }
  Now();
  return true;
}

std::string MainWindow::correctionLine() const {
  return correction_ && chart_ ? CorrectionLine(*correction_) : std::string();
}

}  // namespace qelm::ui
