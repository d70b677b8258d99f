#include "ui/day_choice/day_choice_window.hpp"

#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#include <QAction>

#include "ui/day_choice/day_choice_export.hpp"
#include "ui/day_choice/day_month_model.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/message_line.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {

namespace {

// The design, in twips.
constexpr int kWidth = 13200, kHeight = 9480;
constexpr int kGridLeft = 240, kGridTop = 1080, kGridWidth = 8400, kGridHeight = 7800;
constexpr int kPanelLeft = 8880, kPanelWidth = 4080;

const QColor kYellowGround(255, 243, 176);

// The first and last months of the almanac.
constexpr int kFirstMonth = 1901 * 12 + 1, kLastMonth = 2099 * 12 + 11;  // 1901-02, 2099-12 as year*12+month-1

QStandardItem* Item(const QString& text) {
  auto* item = new QStandardItem(text);
  item->setEditable(false);
  return item;
}

const QString kKindNames = QStringLiteral("天干五合 天干相沖 六合 三合 半合 拱合 三會 六沖 三刑 相刑 自刑 六害 六破");
const QString kOfficerNames = QStringLiteral("建 除 滿 平 定 執 破 危 成 收 開 閉");

// A filter field as typed: blank is none. A list that cannot be read gives
// nothing and says why in the message line.
template <class Set>
std::optional<Set> ReadField(const QLineEdit* field, const QString& caption,
                             std::optional<Set> (*parse)(std::string_view, std::string&), const QString& names,
                             QLabel* message) {
  const QString text = field->text().trimmed();
  if (text.isEmpty()) return Set{};
  std::string unknown;
  std::optional<Set> set = parse(text.toStdString(), unknown);
  if (!set)
    Say(message,
        caption + (unknown.empty() ? QStringLiteral("的清單有空項") : QStringLiteral("不認得「") + Q(unknown) + QStringLiteral("」")) +
            QStringLiteral("：須為以逗號分開的 ") + names,
        true);
  return set;
}

}  // namespace

DayChoiceWindow::DayChoiceWindow(const ChartState& chart, const FlowState& flow, QWidget* parent)
    : QWidget(parent), personName_(chart.PersonName), dayChange_(chart.birth.dayChange) {
  setObjectName(QStringLiteral("DayChoiceWindow"));
  setWindowTitle(QStringLiteral("擇日"));
  setFixedSize(Px(kWidth), Px(kHeight));
  model_ = new DayMonthModel(this);
  model_->setPerson(NatalPillars::Of(chart));
  BuildControls();
  SetTabOrder();
  export_ = new DayChoiceExport(*this, *message_, [this](bool keptOnly) { return pagesText(keptOnly); },
                                QStringLiteral("擇日"));
  connect(printButton_, &QPushButton::clicked, export_, &DayChoiceExport::print);
  connect(pdfButton_, &QPushButton::clicked, export_->savePdfAction(), &QAction::trigger);

  const CivilFields at = Fields(flow.moment.moment);
  const Date day = MakeDate(at.year, at.month, at.day);
  // A flow moment before the almanac's first date (January 1901) opens its first month.
  if (showMonth(at.year, at.month)) chooseDay(day);
  else showMonth(1901, 2);
}

void DayChoiceWindow::BuildControls() {
  const QFont font = Font(kSansFace, 9.75);
  previous_ = MakeButton(this, QStringLiteral("previousMonthButton"), 240, 120, 480, 375, font, QStringLiteral("◀"));
  previous_->setAccessibleName(QStringLiteral("上個月"));
  previous_->setToolTip(QStringLiteral("上個月"));
  monthTitle_ = MakeLabel(this, QStringLiteral("monthTitle"), 780, 120, 2400, 375, Font(kSansFace, 12, true));
  monthTitle_->setAlignment(Qt::AlignCenter);
  next_ = MakeButton(this, QStringLiteral("nextMonthButton"), 3240, 120, 480, 375, font, QStringLiteral("▶"));
  next_->setAccessibleName(QStringLiteral("下個月"));
  next_->setToolTip(QStringLiteral("下個月"));
  connect(previous_, &QPushButton::clicked, this, [this] { stepMonth(-1); });
  connect(next_, &QPushButton::clicked, this, [this] { stepMonth(1); });
  printButton_ = MakeButton(this, QStringLiteral("printDaysButton"), 10320, 120, 1200, 375, font, QStringLiteral("列印…"));
  pdfButton_ = MakeButton(this, QStringLiteral("saveDaysPdfButton"), 11640, 120, 1320, 375, font,
                          QStringLiteral("存成 PDF…"));

  // The filters: 避開 六沖,三刑　要有 六合,三合　建除 成,開　□ 只要黃道.
  const auto field = [&](const char* name, const char* caption, const char* accessible, int left, int width) {
    QLabel* l = MakeLabel(this, QString::fromLatin1(name) + QStringLiteral("Label"), left, 630, 480, 300, font,
                          QString::fromUtf8(caption));
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setFont(font);
    e->setAccessibleName(QString::fromUtf8(accessible));
    l->setBuddy(e);
    Place(e, left + 480, 600, width, 360);
    connect(e, &QLineEdit::editingFinished, this, &DayChoiceWindow::applyFilter);
    return e;
  };
  avoid_ = field("avoidField", "避開", "避開的關係種類，如 六沖,三刑", 240, 2160);
  avoid_->setPlaceholderText(QStringLiteral("六沖,三刑"));
  want_ = field("wantField", "要有", "要有的關係種類，如 六合,三合", 3000, 2160);
  want_->setPlaceholderText(QStringLiteral("六合,三合"));
  officers_ = field("officerField", "建除", "留下的建除，如 成,開", 5760, 1440);
  officers_->setPlaceholderText(QStringLiteral("成,開"));
  yellow_ = new QCheckBox(QStringLiteral("只要黃道"), this);
  yellow_->setObjectName(QStringLiteral("yellowBox"));
  yellow_->setFont(font);
  Place(yellow_, 7800, 600, 1500, 360);
  connect(yellow_, &QCheckBox::toggled, this, &DayChoiceWindow::applyFilter);

  grid_ = new QTableView(this);
  grid_->setObjectName(QStringLiteral("dayGrid"));
  grid_->setAccessibleName(QStringLiteral("擇日月曆"));
  grid_->setFont(Font(kSansFace, 8.25));
  grid_->setModel(model_);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setWordWrap(true);
  grid_->setTextElideMode(Qt::ElideNone);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grid_->horizontalHeader()->setSectionsClickable(false);
  Place(grid_, kGridLeft, kGridTop, kGridWidth, kGridHeight);
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& at) {
    if (const ChosenDay* d = model_->dayAt(at)) chooseDay(d->day.date);
  });

  dayTitle_ = MakeLabel(this, QStringLiteral("dayTitle"), kPanelLeft, kGridTop, kPanelWidth, 330,
                        Font(kSansFace, 10.5, true));
  dayRelations_ = MakeLabel(this, QStringLiteral("dayRelations"), kPanelLeft, 1440, kPanelWidth, 2040,
                            Font(kSansFace, 9));
  dayRelations_->setAccessibleName(QStringLiteral("當日與本命的關係"));
  hoursModel_ = new QStandardItemModel(this);
  hours_ = new QTreeView(this);
  hours_->setObjectName(QStringLiteral("hoursList"));
  hours_->setAccessibleName(QStringLiteral("當日時辰"));
  hours_->setFont(Font(kSansFace, 9));
  hours_->setModel(hoursModel_);
  hours_->setRootIsDecorated(false);
  hours_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  hours_->setSelectionBehavior(QAbstractItemView::SelectRows);
  hours_->setAllColumnsShowFocus(true);
  hours_->setUniformRowHeights(true);
  hours_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  Place(hours_, kPanelLeft, 3600, kPanelWidth, kGridTop + kGridHeight - 3600);

  message_ = MakeMessageLine(this, 240, kGridTop + kGridHeight + 120, 12720, 330);
  message_->setAccessibleName(QStringLiteral("訊息"));
}

// The arrows and the month, the filters, the grid, the hours, print and save.
void DayChoiceWindow::SetTabOrder() {
  const QList<QWidget*> order{previous_, next_, avoid_, want_, officers_, yellow_, grid_, hours_, printButton_, pdfButton_};
  for (qsizetype k = 1; k < order.size(); ++k) setTabOrder(order[k - 1], order[k]);
}

bool DayChoiceWindow::showMonth(int year, int month) {
  const int at = year * 12 + month - 1;
  if (month < 1 || month > 12 || at < kFirstMonth || at > kLastMonth) {
    Say(message_, QStringLiteral("只能看 1901 年 2 月至 2099 年 12 月"), true);
    return false;
  }
  model_->setMonth(year, month);
  previous_->setEnabled(at > kFirstMonth);
  next_->setEnabled(at < kLastMonth);
  ShowMonthTitle();
  // The chosen day stays marked when its month comes back.
  if (chosen_) {
    const QModelIndex cell = model_->indexOf(*chosen_);
    QSignalBlocker quiet(grid_->selectionModel());
    if (cell.isValid()) grid_->setCurrentIndex(cell);
    else grid_->selectionModel()->clear();
  }
  SayKept();
  return true;
}

void DayChoiceWindow::stepMonth(int months) {
  const int at = model_->year() * 12 + model_->month() - 1 + months;
  showMonth(at / 12, at % 12 + 1);
}

void DayChoiceWindow::ShowMonthTitle() {
  monthTitle_->setText(QStringLiteral("%1 年 %2 月").arg(model_->year()).arg(model_->month()));
  export_->setDocumentName(QStringLiteral("擇日 %1年%2月 %3")
                               .arg(model_->year())
                               .arg(model_->month())
                               .arg(QString::fromStdString(personName_))
                               .trimmed());
}

bool DayChoiceWindow::chooseDay(Date date) {
  const QModelIndex cell = model_->indexOf(date);
  if (!cell.isValid()) return false;
  chosen_ = date;
  {
    QSignalBlocker quiet(grid_->selectionModel());
    grid_->setCurrentIndex(cell);
  }
  ShowChosenDay();
  emit dayChosen(date);
  return true;
}

void DayChoiceWindow::ShowChosenDay() {
  const ChosenDay* d = model_->dayAt(model_->indexOf(*chosen_));
  if (!d) return;
  const AlmanacDay& a = d->day;
  dayTitle_->setText(Q(DayLine(*d, false)));
  QStringList lines;
  for (const Relation& r : d->relations) lines << Q(RelationLine(r));
  dayRelations_->setText(lines.isEmpty() ? QStringLiteral("與本命無刑沖合會") : lines.join(QLatin1Char('\n')));
  if (a.month.termDay)
    dayTitle_->setToolTip(Q(a.month.termName) + QStringLiteral(" ") + Q(UserMomentText(a.month.termMoment)));
  hoursModel_->clear();
  hoursModel_->setHorizontalHeaderLabels(
      {QStringLiteral("時"), QStringLiteral("時間"), QStringLiteral("時柱"), QStringLiteral("時神")});
  for (const AlmanacHour& h : HoursOf(a.date, dayChange_)) {
    const QString span = Q(UserMomentText(h.first).substr(11)) + QStringLiteral("–") + Q(UserMomentText(h.last).substr(11));
    QList<QStandardItem*> row{Item(Q(h.branch.name())), Item(span), Item(Q(h.pillar.name())),
                              Item(Q(h.god.name()) + QStringLiteral(" ") + Q(PathName(h.god)))};
    for (QStandardItem* item : row) {
      item->setData(Q(HourLine(h)), Qt::AccessibleTextRole);
      if (h.god.yellow()) item->setBackground(kYellowGround);
    }
    hoursModel_->appendRow(row);
  }
}

bool DayChoiceWindow::applyFilter() {
  const auto avoid = ReadField(avoid_, QStringLiteral("避開"), &ParseRelationKinds, kKindNames, message_);
  const auto want = avoid ? ReadField(want_, QStringLiteral("要有"), &ParseRelationKinds, kKindNames, message_) : std::nullopt;
  const auto officers = want ? ReadField(officers_, QStringLiteral("建除"), &ParseOfficers, kOfficerNames, message_)
                             : std::nullopt;
  if (!officers) return false;
  const DayFilter filter{*avoid, *want, *officers, yellow_->isChecked()};
  const DayFilter& shown = model_->filter();
  if (filter.avoid != shown.avoid || filter.want != shown.want || filter.officers != shown.officers ||
      filter.yellowOnly != shown.yellowOnly) {
    model_->setFilter(filter);
    if (chosen_) {
      QSignalBlocker quiet(grid_->selectionModel());
      grid_->setCurrentIndex(model_->indexOf(*chosen_));
    }
  }
  SayKept();
  return true;
}

void DayChoiceWindow::SayKept() {
  const int all = static_cast<int>(model_->days().size());
  if (model_->filter().Empty()) Say(message_, QStringLiteral("本月 %1 日").arg(all), false);
  else Say(message_, QStringLiteral("本月 %1 日中 %2 日合乎條件").arg(all).arg(model_->keptCount()), false);
}

QString DayChoiceWindow::pagesText(bool keptOnly) const {
  QString text = monthTitle_->text();
  if (!personName_.empty()) text += QStringLiteral("　") + QString::fromStdString(personName_);
  const DayFilter& f = model_->filter();
  if (!f.Empty())
    text += QStringLiteral("　條件：避開 %1；要有 %2；建除 %3%4")
                .arg(avoid_->text().trimmed(), want_->text().trimmed(), officers_->text().trimmed(),
                     f.yellowOnly ? QStringLiteral("；只要黃道") : QString());
  text += QStringLiteral("\n\n");
  for (std::size_t i = 0; i < model_->days().size(); ++i) {
    if (keptOnly && !model_->kept(i)) continue;
    text += Q(DayLine(model_->days()[i], true));
    if (!model_->kept(i)) text += QStringLiteral("　（不合條件）");
    text += QLatin1Char('\n');
  }
  if (const ChosenDay* d = chosen_ ? model_->dayAt(model_->indexOf(*chosen_)) : nullptr) {
    text += QStringLiteral("\n時辰（") + Q(IsoDateText(d->day.date)) + QStringLiteral("）\n");
    for (const AlmanacHour& h : HoursOf(d->day.date, dayChange_)) text += Q(HourLine(h)) + QLatin1Char('\n');
  }
  return text;
}

}  // namespace qelm::ui
