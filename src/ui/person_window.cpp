#include "ui/person_window.hpp"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QWindow>
#include <algorithm>
#include <limits>
#include <utility>

#include "calendar/lunar.hpp"
#include "ui/main_window.hpp"
#include "ui/person_list_model.hpp"
#include "ui/person_list_view.hpp"
#include "ui/find_birth_button.hpp"
#include "ui/window_layer.hpp"

namespace qelm::ui {
namespace {

namespace fs = std::filesystem;
using records::Edit;
using records::Status;
using Field = BirthDateSelector::Field;

std::string S(const QString& s) { return s.toUtf8().toStdString(); }

constexpr std::uint32_t kDarkRed = 0x0000C0;  // 192, 0, 0

// The window in twips: the list's place when no message stands above it, the
// message line, the birthplace rows under the list.
constexpr int kWindowWidth = 5430;
constexpr int kListLeft = 240, kListTop = 1680, kListWidth = 4935, kListHeight = 4755;
constexpr int kFindBirthTop = 6525;  // 由八字找生日, under the list
constexpr int kMessageTop = 1610;
constexpr int kPlaceTop = 6990;

}  // namespace

// ------------------------------------------------------------------ set-up

PersonWindow::PersonWindow(MainWindow& main, std::optional<fs::path> folder, std::optional<records::PersonList> pending,
                           std::optional<records::PlaceBook> pendingPlaces)
    : QWidget(&main, Qt::Window), main_(&main) {
  setObjectName(QStringLiteral("personWindow"));
  setWindowTitle(QStringLiteral("排盤"));
  // The main window waits while this one is open; this one, its child,
  // stays usable.
  main.setEnabled(false);
  setEnabled(true);
  setFixedWidth(Px(kWindowWidth));
  SetBackground(this, 0xFFFFFF);

  const PersonFile file = LocatePersonFile(folder);
  path_ = file.path;

  BuildControls();
  EnableEditButtons();
  LoadList(std::move(pending));
  LoadPlaceFile(std::move(pendingPlaces));
  EnableEditButtons();
  if (!file.note.isEmpty()) SetMessage(said_.isEmpty() ? file.note : file.note + QStringLiteral("；") + said_);
  // After the full account above, every message begins with where the list is.
  where_ = file.where;
  if (said_.isEmpty()) SetMessage({});
  PrepareNewEntry();
  if (redo_) ShowEntry(*redo_);  // kept for the first activation, which prepares a new entry again

  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &PersonWindow::FocusWindowChanged);
}

DayChangeBox* PersonWindow::dayChangeBox() const { return birthplace_->dayChangeBox(); }
FindBirthWindow* PersonWindow::findBirthWindow() const { return findBirthButton_->finder(); }

// The list goes before the persons it shows.
PersonWindow::~PersonWindow() { delete personList_; }

void PersonWindow::BuildControls() {
  const QFont text = Font(kSansFace, 9.75);
  const QFont button = Font(kSansFace, 9);

  nameCaption_ = MakeLabel(this, QStringLiteral("nameCaption"), 240, 240, 495, 255, text, QStringLiteral("姓名"));
  nameEdit_ = new QLineEdit(this);
  nameEdit_->setObjectName(QStringLiteral("nameEdit"));
  nameEdit_->setFont(text);
  // Any length is taken; a name too long is refused with a message, never cut.
  nameEdit_->setMaxLength(std::numeric_limits<int>::max());
  Place(nameEdit_, 760, 210, 1335, 300);
  nameCaption_->setBuddy(nameEdit_);
  sexCaption_ = MakeLabel(this, QStringLiteral("sexCaption"), 2280, 240, 495, 255, text, QStringLiteral("性別"));
  const std::array<const char*, 2> sexes{"男", "女"};
  const std::array<const char*, 2> sexNames{"maleOption", "femaleOption"};
  for (std::size_t i = 0; i < sexes.size(); ++i) {
    auto* option = new QRadioButton(QString::fromUtf8(sexes[i]), this);
    option->setObjectName(QString::fromLatin1(sexNames[i]));
    option->setFont(text);
    Place(option, 2800 + 600 * static_cast<int>(i), 160, 600, 375);  // side by side, not one over the other
    sexOptions_[i] = option;
  }
  sexOptions_[0]->setChecked(true);
  chooseButton_ =
      MakeButton(this, QStringLiteral("chooseButton"), 4100, 160, 1095, 405, button, QStringLiteral("確定"));

  birthCaption_ =
      MakeLabel(this, QStringLiteral("birthCaption"), 240, 860, 960, 255, text, QStringLiteral("生日 西元"));
  birthDate_ = new BirthDateSelector(this, 1200, 810);
  connect(birthDate_, &BirthDateSelector::changed, this, &PersonWindow::Preview);

  appendButton_ = MakeButton(this, QStringLiteral("appendButton"), 240, 1320, 735, 255, button, QStringLiteral("輸入"));
  modifyButton_ =
      MakeButton(this, QStringLiteral("modifyButton"), 1080, 1320, 735, 255, button, QStringLiteral("修改"));
  deleteButton_ =
      MakeButton(this, QStringLiteral("deleteButton"), 1920, 1320, 735, 255, button, QStringLiteral("刪除"));
  lunarPreview_ = MakeLabel(this, QStringLiteral("lunarPreview"), 2880, 1360, 2295, 255, text);
  lunarPreview_->setWordWrap(false);
  SetTextColour(lunarPreview_, kDarkRed);

  messageLine_ = MakeLabel(this, QStringLiteral("messageLine"), kListLeft, kMessageTop, kListWidth, 255, text);
  SetTextColour(messageLine_, kDarkRed);
  messageLine_->hide();

  personList_ = new PersonListView(list_, this);
  Place(personList_, kListLeft, kListTop, kListWidth, kListHeight);
  connect(personList_, &PersonListView::clicked, this, &PersonWindow::ListClicked);
  connect(personList_, &PersonListView::currentRecordChanged, this, &PersonWindow::ShowRecord);
  connect(personList_, &PersonListView::chosen, this, &PersonWindow::HandOver);
  connect(personList_, &PersonListView::searched, this, [this] {
    EnableEditButtons();
    ShowMessage();
  });

  connect(chooseButton_, &QPushButton::clicked, this, &PersonWindow::HandOver);
  connect(appendButton_, &QPushButton::clicked, this, &PersonWindow::Append);
  connect(modifyButton_, &QPushButton::clicked, this, &PersonWindow::Modify);
  connect(deleteButton_, &QPushButton::clicked, this, &PersonWindow::Remove);

  birthplace_ = new BirthplaceRow(this, kPlaceTop);
  connect(birthplace_, &BirthplaceRow::changed, this, &PersonWindow::Preview);
  // The window ends under the birthplace rows.
  const auto fitHeight = [this] { setFixedHeight(birthplace_->geometry().bottom() + 1); };
  connect(birthplace_, &BirthplaceRow::resized, this, fitHeight);
  fitHeight();

  connect(dayChangeBox(), &DayChangeBox::dayChangeChosen, this, &PersonWindow::Preview);
  findBirthButton_ = new FindBirthButton(this, dayChangeBox());
  findBirthButton_->setObjectName(QStringLiteral("findBirthButton"));
  findBirthButton_->setAutoDefault(true);
  findBirthButton_->setFont(button);
  Place(findBirthButton_, kListLeft + kListWidth - 1800, kFindBirthTop, 1800, 360);
  connect(findBirthButton_, &FindBirthButton::birthChosen, this, &PersonWindow::TakeFoundBirth);

  // Keyboard order: name, sex, 確定, the five selectors, the three edit
  // buttons, the list, the birthplace.
  std::vector<QWidget*> order{nameEdit_, sexOptions_[0], sexOptions_[1], chooseButton_};
  for (int field = Field::kYear; field <= Field::kMinute; ++field) order.push_back(birthDate_->selector(field));
  for (QWidget* w : {static_cast<QWidget*>(appendButton_), static_cast<QWidget*>(modifyButton_),
                     static_cast<QWidget*>(deleteButton_), static_cast<QWidget*>(personList_->searchField()),
                     static_cast<QWidget*>(personList_->view()), static_cast<QWidget*>(findBirthButton_),
                     birthplace_->firstInOrder()})
    order.push_back(w);
  for (std::size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
  for (QLabel* l : {nameCaption_, sexCaption_, birthCaption_, lunarPreview_}) l->setFocusPolicy(Qt::NoFocus);

  // Names for a screen reader, after the captions (the buttons and the sex
  // options are named by their own).
  nameEdit_->setAccessibleName(nameCaption_->text());
}

// ------------------------------------------------------------------ the list and the file

void PersonWindow::LoadList(std::optional<records::PersonList> pending) {
  if (!pending) {
    LoadPersonFile();
    return;
  }
  // Edits that could not be written last time: write them now (onto the
  // file's present content when it has changed meanwhile).
  list_ = std::move(*pending);
  const records::SaveResult saved = records::SavePersonList(path_, list_);
  personList_->showRows();
  const QString again = OfferAgain(saved.dropped);
  if (saved)
    SetMessage(Q(saved.message) + again);
  else
    SetMessage(Q(saved.message) + QStringLiteral("；尚未存檔的修改仍只保存在記憶體中") + again);
}

void PersonWindow::LoadPersonFile() {
  records::LoadResult loaded = records::LoadPersonList(path_);
  list_ = std::move(loaded.list);
  personList_->showRows();
  SetMessage(Q(loaded.message));
}

// The birthplaces: changes left from the last opening are written first.
void PersonWindow::LoadPlaceFile(std::optional<records::PlaceBook> pending) {
  const fs::path file = records::PlaceFilePath(path_);
  records::SaveResult result;
  if (pending) {
    places_ = std::move(*pending);
    result = records::SavePlaceFile(file, places_);
  } else {
    const records::LoadResult loaded = records::LoadPlaceFile(file, places_);
    result.status = loaded.status;
    result.message = loaded.message;
  }
  AddMessage(Q(result.message));
  // Lines that cannot be read are kept; the user hears of them.
  AddMessage(Q(records::UnreadablePlacesText(places_)));
}

bool PersonWindow::SavePersonList(const Edit& edit, const std::optional<records::PlaceEntry>& place) {
  const records::SaveResult saved = records::SavePersonAndPlace(path_, list_, places_, edit, place);
  // A write that failed keeps the edit in the list, to be written later.
  const bool kept =
      saved.status == Status::kCannotWrite || saved.status == Status::kBusy || saved.status == Status::kCannotRead;
  const bool applied = saved || kept;
  if (applied || saved.reloaded) {
    int select = -1;
    if (edit.kind == Edit::Kind::kModify && applied && !saved.reloaded) select = static_cast<int>(edit.index);
    personList_->showRows(select);
  }
  QString text = Q(saved.message);
  if (kept) text += QStringLiteral("；修改暫存在記憶體中，下次存檔時一併寫入");
  // A refused command keeps its own entry on screen for correction.
  const QString again = OfferAgain(saved.dropped);
  if (!applied) redo_.reset();
  SetMessage(applied ? text + again : text);
  return applied;
}

// Changes kept in memory that the file, changed by another copy, no longer
// fits: the last one that wrote a record goes back into the entry (shown
// after the command prepared a new entry), ready for 輸入.
QString PersonWindow::OfferAgain(const std::vector<Edit>& dropped) {
  redo_.reset();
  for (auto e = dropped.rbegin(); e != dropped.rend(); ++e) {
    if (e->kind == Edit::Kind::kRemove) continue;
    redo_ = e->after;
    return QStringLiteral("；修改的內容已放回輸入欄，按「輸入」可再加入");
  }
  return {};
}

// The entry a refused change left to redo, if any.
void PersonWindow::ShowRedo() {
  if (redo_) ShowEntry(*std::exchange(redo_, std::nullopt));
}

QString PersonWindow::message() const { return messageLine_->text(); }

void PersonWindow::AddMessage(const QString& text) {
  if (!text.isEmpty()) SetMessage(said_.isEmpty() ? text : said_ + QStringLiteral("；") + text);
}

void PersonWindow::SetMessage(const QString& message) {
  said_ = where_.isEmpty() || message.startsWith(where_) ? message
          : message.isEmpty()                            ? where_
                                                         : where_ + QStringLiteral("；") + message;
  ShowMessage();
}

// The message stands under the buttons, with how many persons a search
// shows; the list makes room for it.
void PersonWindow::ShowMessage() {
  QString text = said_;
  const PersonListModel* persons = personList_->model();
  if (persons->searching()) {
    const QString count = QStringLiteral("顯示 %1 人，共 %2 人").arg(persons->rowCount()).arg(persons->total());
    text = text.isEmpty() ? count : text + QStringLiteral("；") + count;
  }
  messageLine_->setText(text);
  SayChanged(messageLine_);
  if (text.isEmpty()) {
    messageLine_->hide();
    Place(personList_, kListLeft, kListTop, kListWidth, kListHeight);
    return;
  }
  const int width = Px(kListWidth);
  const int height = std::max(messageLine_->heightForWidth(width), messageLine_->fontMetrics().height());
  messageLine_->setGeometry(Px(kListLeft), Px(kMessageTop), width, height);
  messageLine_->show();
  const int top = std::max(Px(kListTop), Px(kMessageTop) + height + Px(45));
  const int bottom = Px(kListTop + kListHeight);
  personList_->setGeometry(Px(kListLeft), top, width, bottom - top);
}

void PersonWindow::EnableEditButtons() {
  const bool rows = personList_->rowCount() > 0;
  modifyButton_->setEnabled(rows);
  deleteButton_->setEnabled(rows);
}

void PersonWindow::PrepareNewEntry() {
  nameEdit_->clear();
  nameEdit_->setFocus();
  birthDate_->waitForYear();
}

// Becoming the program's active window prepares a new entry. The program
// losing the focus to another one, and its own drop-down lists, do not count.
void PersonWindow::FocusWindowChanged(QWindow* w) {
  if (!w || (w->type() != Qt::Window && w->type() != Qt::Dialog)) return;
  const bool me = w == windowHandle();
  if (me && !active_) {
    PrepareNewEntry();
    ShowRedo();
  }
  active_ = me;
}

// ------------------------------------------------------------------ the preview

// The lunar date of the remembered moment; with a birthplace, of the
// corrected moment, and under the birthplace the line that states the
// correction, or why there is none.
void PersonWindow::Preview() {
  lunarPreview_->setText(QStringLiteral("陰曆"));
  if (birthDate_->remembered(Field::kMonth) > 0 && birthDate_->remembered(Field::kDay) > 0) {
    const MomentInput birth = birthDate_->rememberedMoment();
    const std::optional<BirthCorrection> corrected = birthplace_->showCorrection(birth);
    const DayChange dayChange = dayChangeBox()->dayChange();
    const MomentOutcome lunar = corrected ? CorrectedMoment(*corrected, dayChange) : CalcMoment(birth, dayChange);
    if (lunar) lunarPreview_->setText(Q("陰曆 " + LunarDateText(*lunar.result, false)));
  } else {
    birthplace_->showCorrection(std::nullopt);
  }
  FitPreview();
}

// The preview keeps its place; a long one (a leap or two-character month)
// grows to the right edge and then to the left, never over the buttons.
void PersonWindow::FitPreview() {
  int left = Px(2880), width = Px(2295);
  const int needed = lunarPreview_->fontMetrics().horizontalAdvance(lunarPreview_->text()) + 2;
  if (needed > width) {
    const int rightEdge = Px(kWindowWidth) - Px(45);
    const int leftLimit = deleteButton_->geometry().right() + 1 + Px(45);
    width = std::min(needed, rightEdge - leftLimit);
    left = std::clamp(rightEdge - width, leftLimit, left);
  }
  lunarPreview_->setGeometry(left, Px(1360), width, Px(255));
}

// ------------------------------------------------------------------ the list click

void PersonWindow::ListClicked() {
  if (personList_->rowCount() == 0) return;
  if (const std::optional<std::size_t> record = personList_->selectedRecord()) {
    ShowRecord(*record);
  } else {
    birthDate_->enableAll();
    EnableEditButtons();
  }
}

// The current row of the list, however it became current, is the entry.
void PersonWindow::ShowRecord(std::size_t record) {
  if (record >= list_.rows.size()) return;
  birthDate_->enableAll();
  EnableEditButtons();
  ShowEntry(list_.rows[record].fields);
}

// The entry shows a record: name, sex, the birth moment in the selectors and
// the birthplace.
void PersonWindow::ShowEntry(const records::Fields& fields) {
  birthplace_->showStored(records::FindPlaceEntry(places_, fields));
  birthDate_->enableAll();
  nameEdit_->setText(Q(fields[records::kName]));
  sexOptions_[Q(fields[records::kSex]) == sexOptions_[0]->text() ? 0 : 1]->setChecked(true);
  std::array<std::string, BirthDateSelector::kFieldCount> moment;
  for (std::size_t field = 0; field < moment.size(); ++field) moment[field] = fields[records::kYear + field];
  birthDate_->showStored(moment);
  Preview();
}

// ------------------------------------------------------------------ the commands

QString PersonWindow::ChosenSex() const {
  return sexOptions_[0]->isChecked() ? sexOptions_[0]->text() : sexOptions_[1]->text();
}

// The entry as a record: name, sex and the chosen items; a selector without
// a chosen item keeps the text of `keep`.
records::Fields PersonWindow::EntryFields(const records::Fields& keep) const {
  records::Fields fields = keep;
  fields[records::kName] = S(nameEdit_->text());
  fields[records::kSex] = S(ChosenSex());
  for (int field = Field::kYear; field <= Field::kMinute; ++field)
    if (birthDate_->hasChoice(field)) fields[records::kYear + field] = S(birthDate_->chosenText(field));
  return fields;
}

// "輸入": the entry with the remembered selections ("0" for one never chosen).
void PersonWindow::Append() {
  records::Fields fields;
  fields[records::kName] = S(nameEdit_->text());
  fields[records::kSex] = S(ChosenSex());
  for (int field = Field::kYear; field <= Field::kMinute; ++field)
    fields[records::kYear + field] = std::to_string(birthDate_->remembered(field));
  QString problem;
  const std::optional<StoredBirthPlace> place = birthplace_->enteredPlace(&problem);
  if (!problem.isEmpty()) {
    SetMessage(problem);
    return;
  }
  // refused: the entry stays for correction
  if (!SavePersonList(Edit::Append(fields), place ? std::optional(ToPlaceEntry(*place)) : std::nullopt)) return;
  EnableEditButtons();
  PrepareNewEntry();
  ShowRedo();
}

// "修改": the selected row takes the entry; the title shows its number.
void PersonWindow::Modify() {
  const std::optional<std::size_t> record = personList_->selectedRecord();
  if (!record) {
    SetMessage(QStringLiteral("請先在清單中點選要修改的資料"));
    return;
  }
  setWindowTitle(QString::number(*record + 1));
  QString problem;
  const std::optional<StoredBirthPlace> place = birthplace_->enteredPlace(&problem);
  if (!problem.isEmpty()) {
    SetMessage(problem);
    return;
  }
  const records::PersonRecord before = list_.rows[*record];
  const records::Fields after = EntryFields(before.fields);
  // The place goes with the person; a twin row left with the old fields
  // keeps the old entry.
  if (!SavePersonList(Edit::Modify(*record, before, after), place ? std::optional(ToPlaceEntry(*place)) : std::nullopt))
    return;
  EnableEditButtons();
  PrepareNewEntry();
  ShowRedo();
}

// "刪除": the selected row goes at once.
void PersonWindow::Remove() {
  const std::optional<std::size_t> record = personList_->selectedRecord();
  if (!record) {
    SetMessage(QStringLiteral("請先在清單中點選要刪除的資料"));
    return;
  }
  // The birthplace goes with the person, unless a twin row still names it.
  if (!SavePersonList(Edit::Remove(*record, list_.rows[*record]))) return;
  EnableEditButtons();
  PrepareNewEntry();
  ShowRedo();
}

// "確定": the main window casts the chart of the entry and shows it at the
// present moment; this window closes.
void PersonWindow::HandOver() {
  for (int field = Field::kYear; field <= Field::kHour; ++field)
    if (!birthDate_->hasChoice(field)) return;
  // No minute chosen: minute 0.
  const MomentInput birth{birthDate_->chosenNumber(Field::kYear), birthDate_->chosenNumber(Field::kMonth),
                          birthDate_->chosenNumber(Field::kDay), birthDate_->chosenNumber(Field::kHour),
                          birthDate_->chosenNumber(Field::kMinute)};
  const int sex = sexOptions_[0]->isChecked() ? 1 : 0;
  // At the birthplace: a clock time that never existed there is refused.
  QString problem;
  const std::optional<CorrectionOutcome> corrected = birthplace_->correction(birth, &problem);
  if (!problem.isEmpty()) {
    SetMessage(problem);
    return;
  }
  if (!main_) return;
  const std::string name = S(nameEdit_->text());
  const DayChange dayChange = dayChangeBox()->dayChange();
  if (corrected ? !main_->CastChart(name, sex, *corrected->correction, dayChange)
                : !main_->CastChart(name, sex, birth, dayChange))
    return;
  close();
}

// The birth taken from 由八字找生日 fills the birth selectors.
void PersonWindow::TakeFoundBirth(const CivilFields& first) {
  birthDate_->showStored({std::to_string(first.year), std::to_string(first.month), std::to_string(first.day),
                          std::to_string(first.hour), std::to_string(first.minute)});
  Preview();
  const Moment taken = MakeMoment(first.year, first.month, first.day, first.hour, first.minute);
  SetMessage(QStringLiteral("生日已由八字帶入：") + QString::fromStdString(UserMomentText(taken)));
  raise();
  activateWindow();
}

void PersonWindow::closeEvent(QCloseEvent* e) {
  if (main_) main_->setEnabled(true);
  // Edits kept in memory: one more try; what is still not written stays
  // with the main window for the next opening and the program's end.
  if (!list_.unsaved.empty() || !places_.unsaved.empty()) records::SavePersonAndPlace(path_, list_, places_);
  if (pendingHook_ && !list_.unsaved.empty()) {
    pendingHook_(std::exchange(list_, {}));
    personList_->showRows();
  }
  if (pendingPlacesHook_ && !places_.unsaved.empty()) pendingPlacesHook_(std::exchange(places_, {}));
  QWidget::closeEvent(e);
}

}  // namespace qelm::ui
