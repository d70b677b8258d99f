#include "ui/find_birth/find_birth_window.hpp"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include "ui/kit/accessible.hpp"
#include "ui/kit/colours.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"


namespace qelm::ui {

namespace {

constexpr std::uint32_t kDarkRed = 0x0000C0;  // 192, 0, 0

// "1990-05-27 09:00".
QString MinuteText(Moment t) {
  const CivilFields f = Fields(t);
  return QStringLiteral("%1-%2-%3 %4:%5")
      .arg(f.year, 4, 10, QChar('0'))
      .arg(f.month, 2, 10, QChar('0'))
      .arg(f.day, 2, 10, QChar('0'))
      .arg(f.hour, 2, 10, QChar('0'))
      .arg(f.minute, 2, 10, QChar('0'));
}

// "1 時 59 分", "23 小時 0 分" …: how long a stretch lasts.
QString LengthText(const BirthStretch& s) {
  const long long minutes = (s.last - s.first).count() + 1;
  return QStringLiteral("%1 小時 %2 分").arg(minutes / 60).arg(minutes % 60);
}

QString PillarText(Pillar p) { return Q(p.stem.name()) + Q(p.branch.name()); }

constexpr std::array<const char*, 4> kChooserNames{"年柱", "月柱", "日柱", "時柱"};
const QString kOpenHour = QStringLiteral("不拘");

}  // namespace

// ------------------------------------------------------------ the model

int BirthStretchModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(stretches_.size());
}

int BirthStretchModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant BirthStretchModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole) return {};
  const BirthStretch& s = stretches_[static_cast<std::size_t>(index.row())];
  switch (index.column()) {
    case 0: return MinuteText(s.first);
    case 1: return MinuteText(s.last);
    default: return LengthText(s);
  }
}

QVariant BirthStretchModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const std::array<QString, 3> kHeads{QStringLiteral("起"), QStringLiteral("迄"), QStringLiteral("長")};
  return section >= 0 && section < 3 ? kHeads[static_cast<std::size_t>(section)] : QVariant{};
}

void BirthStretchModel::setStretches(std::vector<BirthStretch> stretches) {
  beginResetModel();
  stretches_ = std::move(stretches);
  endResetModel();
}

// ------------------------------------------------------------ the window

FindBirthWindow::FindBirthWindow(DayChange dayChange, QWidget* parent)
    : QWidget(parent, Qt::Window), dayChange_(dayChange) {
  setObjectName(QStringLiteral("FindBirthWindow"));
  setWindowTitle(QStringLiteral("由八字找生日"));
  InstallAccessibleFactory();  // the choosers read by their names
  BuildControls();
  // 庚午 辛巳 癸酉, hour open: a chart to start from.
  choose({*ParsePillar("庚午"), *ParsePillar("辛巳"), *ParsePillar("癸酉"), std::nullopt});
}

void FindBirthWindow::BuildControls() {
  const QFont text = Font(kSansFace, 9.75);
  const QFont button = Font(kSansFace, 9);
  constexpr int kLeft = 120, kColumn = 1320, kWidth = 5400;

  for (int k = 0; k < 4; ++k) {
    const QString name = QString::fromUtf8(kChooserNames[static_cast<std::size_t>(k)]);
    MakeLabel(this, QStringLiteral("PillarLabel_%1").arg(k), kLeft + k * kColumn, 120, 1200, 270, text, name);
    auto* c = new QComboBox(this);
    c->setObjectName(QStringLiteral("PillarChooser_%1").arg(k));
    c->setFont(text);
    c->setAccessibleName(name);
    c->setMaxVisibleItems(15);
    Place(c, kLeft + k * kColumn, 400, 1200, 360);
    choosers_[static_cast<std::size_t>(k)] = c;
  }
  for (int i = 0; i < 60; ++i) {
    const QString p = PillarText(PillarOfCycle(i));
    choosers_[kYear]->addItem(p);
    choosers_[kDay]->addItem(p);
  }

  conventionLabel_ = MakeLabel(this, QStringLiteral("ConventionLabel"), kLeft, 880, kWidth, 270, text);
  ShowConvention();

  model_ = new BirthStretchModel(this);
  list_ = new QTreeView(this);
  list_->setObjectName(QStringLiteral("StretchList"));
  list_->setAccessibleName(QStringLiteral("符合的時段"));
  list_->setFont(text);
  list_->setModel(model_);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setStretchLastSection(true);
  list_->setColumnWidth(0, Px(1950));
  list_->setColumnWidth(1, Px(1950));
  Place(list_, kLeft, 1230, kWidth, 3000);

  messageLabel_ = MakeLabel(this, QStringLiteral("MessageLabel"), kLeft, 4300, kWidth, 270, text);
  SetTextColour(messageLabel_, kDarkRed);

  use_ = MakeButton(this, QStringLiteral("UseButton"), kLeft, 4700, 1800, 420, button, QStringLiteral("帶入生日"));
  use_->setAccessibleName(QStringLiteral("帶入生日"));
  close_ = MakeButton(this, QStringLiteral("CloseButton"), kLeft + kWidth - 1200, 4700, 1200, 420, button,
                      QStringLiteral("關閉"));
  close_->setAccessibleName(QStringLiteral("關閉"));
  setFixedSize(Px(kLeft * 2 + kWidth), Px(5300));

  setTabOrder(choosers_[0], choosers_[1]);
  setTabOrder(choosers_[1], choosers_[2]);
  setTabOrder(choosers_[2], choosers_[3]);
  setTabOrder(choosers_[3], list_);
  setTabOrder(list_, use_);
  setTabOrder(use_, close_);

  connect(choosers_[kYear], &QComboBox::currentIndexChanged, this, &FindBirthWindow::YearChosen);
  connect(choosers_[kDay], &QComboBox::currentIndexChanged, this, &FindBirthWindow::DayChosen);
  connect(choosers_[kMonth], &QComboBox::currentIndexChanged, this, &FindBirthWindow::Search);
  connect(choosers_[kHour], &QComboBox::currentIndexChanged, this, &FindBirthWindow::Search);
  connect(list_, &QTreeView::activated, this, [this](const QModelIndex& i) { useRow(i.row()); });
  connect(use_, &QPushButton::clicked, this, &FindBirthWindow::UseCurrent);
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
}

// The month chooser offers the year stem's twelve months (五虎遁), keeping
// the month branch chosen before.
void FindBirthWindow::YearChosen() {
  const int index = choosers_[kYear]->currentIndex();
  if (index < 0) return;
  QComboBox* month = choosers_[kMonth];
  const int keep = std::max(month->currentIndex(), 0);
  months_ = MonthPillarsOf(PillarOfCycle(index).stem);
  const QSignalBlocker quiet(month);
  month->clear();
  for (const Pillar& p : months_) month->addItem(PillarText(p) + QStringLiteral("月"));
  month->setCurrentIndex(keep);
  Search();
}

// The hour chooser offers "不拘" and the day stem's hours (五鼠遁), keeping
// the hour branch chosen before.
void FindBirthWindow::DayChosen() {
  const int index = choosers_[kDay]->currentIndex();
  if (index < 0) return;
  QComboBox* hour = choosers_[kHour];
  const int keep = std::max(hour->currentIndex(), 0);
  hours_.assign(1, std::nullopt);
  const std::vector<Pillar> offered = HourPillarsOf(PillarOfCycle(index).stem, dayChange_);
  hours_.insert(hours_.end(), offered.begin(), offered.end());
  const QSignalBlocker quiet(hour);
  hour->clear();
  hour->addItem(kOpenHour);
  for (std::size_t i = 1; i < hours_.size(); ++i) {
    QString item = PillarText(*hours_[i]) + QStringLiteral("時");
    if (i == 13) item += QStringLiteral("（夜子）");  // the 23:00 hour that keeps its day under 子正換日
    hour->addItem(item);
  }
  hour->setCurrentIndex(std::min(keep, hour->count() - 1));
  Search();
}

void FindBirthWindow::ShowConvention() {
  conventionLabel_->setText(dayChange_ == DayChange::AtMidnight
                                ? QStringLiteral("子正換日：日柱在午夜交換，23 時為當日的夜子時")
                                : QStringLiteral("子初換日：日柱在 23 時交換，23 時起屬次日"));
}

void FindBirthWindow::setDayChange(DayChange d) {
  if (d == dayChange_) return;
  const EightCharacters chosen = pillars();
  dayChange_ = d;
  ShowConvention();
  choose(chosen);  // the 夜子時 item comes or goes; an hour no longer offered is left open
}

EightCharacters FindBirthWindow::pillars() const {
  EightCharacters p;
  p.year = PillarOfCycle(std::max(choosers_[kYear]->currentIndex(), 0));
  p.month = months_[static_cast<std::size_t>(std::max(choosers_[kMonth]->currentIndex(), 0))];
  p.day = PillarOfCycle(std::max(choosers_[kDay]->currentIndex(), 0));
  const int h = choosers_[kHour]->currentIndex();
  if (h > 0 && h < static_cast<int>(hours_.size())) p.hour = hours_[static_cast<std::size_t>(h)];
  return p;
}

void FindBirthWindow::choose(const EightCharacters& p) {
  {
    const QSignalBlocker a(choosers_[kYear]), b(choosers_[kDay]);
    choosers_[kYear]->setCurrentIndex(CycleIndex(p.year));
    choosers_[kDay]->setCurrentIndex(CycleIndex(p.day));
  }
  YearChosen();
  DayChosen();
  const QSignalBlocker m(choosers_[kMonth]), h(choosers_[kHour]);
  const auto month = std::find(months_.begin(), months_.end(), p.month);
  if (month != months_.end()) choosers_[kMonth]->setCurrentIndex(static_cast<int>(month - months_.begin()));
  const auto hour = std::find(hours_.begin(), hours_.end(), p.hour);
  choosers_[kHour]->setCurrentIndex(hour != hours_.end() ? static_cast<int>(hour - hours_.begin()) : 0);
  Search();
}

void FindBirthWindow::Search() {
  if (hours_.empty()) return;  // still being built
  const FindBirthOutcome found = FindBirth(pillars(), dayChange_);
  const int count = static_cast<int>(found.stretches.size());
  model_->setStretches(found.stretches);
  if (found.problem) messageLabel_->setText(Q(found.problem->text));
  else if (count == 0) messageLabel_->setText(QStringLiteral("%1 至 %2 年間沒有這四柱的時刻").arg(kFirstYear).arg(kLastYear));
  else messageLabel_->setText(QStringLiteral("共 %1 段時間；選一段後按「帶入生日」").arg(count));
  if (count > 0) list_->setCurrentIndex(model_->index(0, 0));
  use_->setEnabled(count > 0);
}

QString FindBirthWindow::message() const { return messageLabel_->text(); }

void FindBirthWindow::useRow(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  emit birthChosen({model_->stretches()[static_cast<std::size_t>(row)], pillars()});
}

void FindBirthWindow::UseCurrent() {
  const QModelIndex current = list_->currentIndex();
  if (!current.isValid()) {
    messageLabel_->setText(QStringLiteral("請先在列表中選一段時間"));
    return;
  }
  useRow(current.row());
}

void FindBirthWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

}  // namespace qelm::ui
