#include "ui/compare/compare_window.hpp"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTreeView>
#include <string>

#include "place/record_birth.hpp"
#include "report/compare_report.hpp"
#include "ui/compare/compare_chart_block.hpp"
#include "ui/compare/compare_export.hpp"
#include "ui/kit/luck_start_setting.hpp"
#include "ui/kit/colours.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/message_line.hpp"
#include "ui/kit/relation_tree.hpp"
#include "ui/kit/twips.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_folder.hpp"

namespace qelm::ui {
namespace {

// The window in twips: the two sides, the flow line, the list of relations
// and the message line under it.
constexpr int kWidth = 11400, kHeight = 9420;
constexpr int kLeftA = 240, kLeftB = 5880, kSideWidth = 5280;
constexpr int kFlowTop = 3960, kListTop = 4380, kListHeight = 4560, kMessageTop = 9000;

// A section of the list: its heading, then one heading per kind with the
// relations of that kind under it, or "（無）"; as 刑沖合會 shows them.
void AddSection(QStandardItemModel* model, const QString& heading, const std::vector<CrossRelation>& relations) {
  std::vector<RelationRow> rows;
  rows.reserve(relations.size());
  for (const CrossRelation& r : relations) rows.push_back({&r.relation, CrossRelationPlaces(r), CrossRelationLine(r)});
  AddRelationSection(model, heading, rows);
}

// "林美　2001-02-03 04:05", as the chooser lists a person.
QString PersonText(const records::PersonRecord& r) {
  const records::Fields f = r.fields.value();
  const auto two = [](const std::string& s) { return s.size() == 1 ? "0" + s : s; };
  return Q(f[records::kName] + "　" + f[records::kYear] + "-" + two(f[records::kMonth]) + "-" + two(f[records::kDay]) +
           " " + two(f[records::kHour]) + ":" + two(f[records::kMinute]));
}

}  // namespace

CompareWindow::CompareWindow(ChartState a, const MomentResult& flowMoment,
                             std::optional<std::filesystem::path> personFile, QWidget* parent)
    : QWidget(parent, Qt::Window), a_(std::move(a)), moment_(flowMoment) {
  setObjectName(QStringLiteral("CompareWindow"));
  setWindowTitle(QStringLiteral("合盤"));
  setFixedSize(Px(kWidth), Px(kHeight));
  const QFont text = Font(kSansFace, 9.75);

  blockA_ = new CompareChartBlock(this, QStringLiteral("a"), kLeftA, true);
  blockB_ = new CompareChartBlock(this, QStringLiteral("b"), kLeftB, false);
  // b's name line is the chooser of the second person.
  sideB_ = MakeLabel(this, QStringLiteral("b_side"), kLeftB, 120, 360, 360, Font(kSansFace, 11.25, true),
                     QStringLiteral("b"));
  chooser_ = new QComboBox(this);
  chooser_->setObjectName(QStringLiteral("secondPerson"));
  chooser_->setFont(text);
  chooser_->setAccessibleName(QStringLiteral("選擇第二人（b）"));
  chooser_->setMaxVisibleItems(20);
  Place(chooser_, kLeftB + 360, 100, kSideWidth - 360, 400);
  sideB_->setBuddy(chooser_);

  flowLine_ = MakeLabel(this, QStringLiteral("flowLine"), kLeftA, kFlowTop, kWidth - 2 * kLeftA, 330, text);
  flowLine_->setWordWrap(false);

  model_ = new QStandardItemModel(this);
  list_ = MakeRelationList(this, model_, QStringLiteral("CompareList"), Font(kSansFace, 11.25),
                           QStringLiteral("合盤刑沖合會列表"));
  Place(list_, kLeftA, kListTop, kWidth - 2 * kLeftA, kListHeight);

  message_ = MakeMessageLine(this, kLeftA, kMessageTop, kWidth - 2 * kLeftA, 330);
  message_->setAccessibleName(QStringLiteral("訊息"));
  export_ = new CompareExport(
      *this, message_, [this] { return reportText(); },
      [this] { return Q(a_.PersonName) + (b_ ? QStringLiteral("_") + Q(b_->PersonName) : QString()); });

  setTabOrder(chooser_, list_);
  LoadPersons(std::move(personFile));
  connect(chooser_, &QComboBox::activated, this, [this](int row) {
    if (row >= 0) ChooseSecond(static_cast<std::size_t>(row));
  });
  Redraw();
  chooser_->setFocus();
}

CompareWindow::~CompareWindow() {
  delete blockA_;
  delete blockB_;
}

void CompareWindow::LoadPersons(std::optional<std::filesystem::path> personFile) {
  const std::filesystem::path path = personFile ? *personFile / kPersonFileName.toStdString()
                                                : LocatePersonFile(std::nullopt).path;
  const records::LoadResult loaded = records::ReadPersonFile(path);
  if (loaded.status == records::Status::kMissing) {
    fileNote_ = QStringLiteral("人員清單是空的，沒有可合盤的人");
  } else if (loaded.status != records::Status::kOk) {
    fileNote_ = QStringLiteral("無法讀取人員清單：") + Q(loaded.message);
  } else {
    persons_ = loaded.list.rows;
    records::LoadPlaceFile(records::PlaceFilePath(path), places_);
    if (persons_.empty()) fileNote_ = QStringLiteral("人員清單是空的，沒有可合盤的人");
  }
  for (const records::PersonRecord& r : persons_) chooser_->addItem(PersonText(r));
  chooser_->setPlaceholderText(QStringLiteral("（選擇第二人）"));
  chooser_->setCurrentIndex(-1);
  if (!fileNote_.isEmpty()) Say(message_, fileNote_, true);
}

bool CompareWindow::ChooseSecond(std::size_t row) {
  if (row >= persons_.size()) return false;
  const RecordBirth birth = BirthOfRecord(persons_[row], places_, a_.birth.dayChange);
  if (!birth.birth) {
    // The chooser goes back to the person shown.
    Say(message_, Q(birth.problem) + QStringLiteral("，無法合盤"), true);
    chooser_->setCurrentIndex(chosenRow_);
    return false;
  }
  // The second chart's luck pillars are dated by the first's school.
  ShowSecond(LoadChart(birth.name, birth.sex, *birth.birth, a_.conventions.luckStart));
  chosenRow_ = static_cast<int>(row);
  chooser_->setCurrentIndex(chosenRow_);
  Say(message_, {}, false);
  return true;
}

void CompareWindow::ShowSecond(ChartState b) {
  b_ = std::move(b);
  chosenRow_ = -1;
  chooser_->setCurrentIndex(-1);
  cross_ = CrossRelationsOf(a_, *b_);
  setWindowTitle(QStringLiteral("合盤 — ") + Q(a_.PersonName) + QStringLiteral("、") + Q(b_->PersonName));
  Redraw();
}

void CompareWindow::ShowFlow(const MomentResult& flowMoment) {
  moment_ = flowMoment;
  Redraw();
}

void CompareWindow::Redraw() {
  flowA_ = ComputeFlow(&a_, moment_);
  blockA_->Draw(a_);
  blockA_->DrawLuck(a_, flowA_);
  QString flow = QStringLiteral("流時 ") + Q(flowA_.WesternDateText) + QStringLiteral("　流年 ") +
                 Q(flowA_.YearPillar().name());
  if (b_) {
    flowB_ = ComputeFlow(&*b_, moment_);
    blockB_->Draw(*b_);
    blockB_->DrawLuck(*b_, flowB_);
    flowYear_ = FlowYearRelationsOf(a_, flowA_, *b_, flowB_);
  } else {
    blockB_->Clear();
    flowYear_.clear();
  }
  flowLine_->setText(flow);
  flowLine_->setAccessibleName(flow);
  FillList();
}

void CompareWindow::FillList() {
  model_->clear();
  model_->setHorizontalHeaderLabels({QStringLiteral("關係"), QStringLiteral("位置")});
  if (!b_) {
    model_->appendRow({ReadOnlyItem(QStringLiteral("請在上方選擇第二人（b）")), ReadOnlyItem({})});
    return;
  }
  AddSection(model_, QStringLiteral("兩盤之間"), cross_);
  AddSection(model_, QStringLiteral("流年 ") + Q(flowA_.YearPillar().name()) + QStringLiteral(" 與兩盤"), flowYear_);
  list_->expandAll();
}

QString CompareWindow::reportText() const {
  if (!b_) return {};
  return Q(CompareReport(a_, *b_, &flowA_, &flowB_));
}

CompareWindow* OpenCompareWindow(const records::PersonRecord& person, const records::PlaceBook& places,
                                 DayChange dayChange, const std::filesystem::path& personFile, QWidget* parent,
                                 QString& problem) {
  const RecordBirth birth = BirthOfRecord(person, places, dayChange);
  const CivilFields t = Fields(MainWindow::SystemClock());
  const MomentOutcome now = CalcMoment({t.year, t.month, t.day, t.hour, t.minute});
  if (!birth.birth || !now) {
    problem = birth.birth ? QStringLiteral("現在的時刻超出可排的年份") : Q(birth.problem);
    return nullptr;
  }
  auto* w = new CompareWindow(LoadChart(birth.name, birth.sex, *birth.birth, StoredLuckStart()), *now.result, personFile.parent_path(),
                              parent);
  w->setAttribute(Qt::WA_DeleteOnClose);
  // Usable while the window it belongs to waits for the person window.
  w->setEnabled(true);
  // Esc and Ctrl+W close it, as they close the windows the main window opens.
  AddCloseShortcuts(w);
  w->show();
  return w;
}

}  // namespace qelm::ui
