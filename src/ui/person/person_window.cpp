#include "ui/person/person_window.hpp"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "chart/chart.hpp"
#include "place/stored_place.hpp"
#include "records/person_and_place.hpp"
#include "ui/kit/colours.hpp"
#include "ui/kit/controls.hpp"
#include "ui/find_birth/find_birth_button.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/main/main_window.hpp"
#include "ui/compare/compare_window.hpp"
#include "ui/person/day_change_row.hpp"
#include "ui/person/lunar_preview.hpp"
#include "ui/person/person_folder.hpp"
#include "ui/person/person_list_model.hpp"
#include "ui/person/person_list_view.hpp"
#include "ui/kit/twips.hpp"
#include "ui/person/undo_key.hpp"
#include "ui/person/unsaved_prompt.hpp"

namespace qelm::ui {
namespace {

namespace fs = std::filesystem;
using records::Edit;
using records::Status;
using Field = BirthDateSelector::Field;

constexpr std::uint32_t kDarkRed = 0x0000C0;  // 192, 0, 0

// The window in twips: the list's place when no message stands above it, the
// message line, the birthplace rows under the list.
constexpr int kWindowWidth = 5430;
constexpr int kListLeft = 240, kListTop = 1680, kListWidth = 4935, kListHeight = 4305;
// Under the list: 合盤, 復原刪除 and 由八字找生日, then the day-change setting.
constexpr int kListButtonsTop = 6075, kDayChangeTop = 6525;
constexpr int kCompareWidth = 1095, kUndoLeft = kListLeft + kCompareWidth + 105, kUndoWidth = 1200;
constexpr int kDayChangeWidth = 3330, kFindBirthWidth = 1515;
constexpr int kMessageTop = 1610;
constexpr int kPlaceTop = 6990;

}  // namespace

// ------------------------------------------------------------------ set-up

PersonWindow::PersonWindow(MainWindow& main, records::PersonStore& store, const PersonFile& file)
    : QWidget(&main, Qt::Window), main_(&main), store_(store) {
  setObjectName(QStringLiteral("personWindow"));
  setWindowTitle(QStringLiteral("排盤"));
  // The main window waits while this one is open; this one, its child,
  // stays usable.
  main.setEnabled(false);
  setEnabled(true);
  setFixedWidth(Px(kWindowWidth));
  SetBackground(this, 0xFFFFFF);

  BuildControls();
  hourUnknown_->setPersonFile(store_.path());
  // The files afresh, or the edits that could not be written when the
  // window was last open, written now onto what the files hold.
  const records::PersonStore::Opened opened = store_.Open();
  SetMessage(Q(opened.message) + (opened.retried ? OfferAgain(opened.saved.dropped) : QString()));
  personList_->showRows();
  EnableEditButtons();
  if (!file.note.isEmpty()) SetMessage(said_.isEmpty() ? file.note : file.note + QStringLiteral("；") + said_);
  // After the full account above, every message begins with where the list is.
  where_ = file.where;
  if (said_.isEmpty()) SetMessage({});
  entry_->prepareNew();
  if (redo_) ShowEntry(*redo_);  // kept for the first activation, which prepares a new entry again

  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &PersonWindow::FocusWindowChanged);
}

DayChangeBox* PersonWindow::dayChangeBox() const { return dayChangeBox_; }
FindBirthWindow* PersonWindow::findBirthWindow() const { return findBirthButton_->finder(); }

// A command still running ends unheard; the list goes before the persons it shows.
PersonWindow::~PersonWindow() {
  delete commands_;
  delete personList_;
}

void PersonWindow::BuildControls() {
  const QFont text = Font(kSansFace, 9.75);
  const QFont button = Font(kSansFace, 9);

  entry_ = new PersonEntry(this);
  connect(entry_, &PersonEntry::birthChanged, this, &PersonWindow::Preview);
  // Beside the name row, over the entry's empty corner.
  chooseButton_ =
      MakeButton(this, QStringLiteral("chooseButton"), 4100, 160, 1095, 405, button, QStringLiteral("確定"));

  appendButton_ = MakeButton(this, QStringLiteral("appendButton"), 240, 1320, 735, 255, button, QStringLiteral("輸入"));
  modifyButton_ =
      MakeButton(this, QStringLiteral("modifyButton"), 1080, 1320, 735, 255, button, QStringLiteral("修改"));
  deleteButton_ =
      MakeButton(this, QStringLiteral("deleteButton"), 1920, 1320, 735, 255, button, QStringLiteral("刪除"));
  lunarPreview_ = new LunarPreview(this);

  messageLine_ = MakeLabel(this, QStringLiteral("messageLine"), kListLeft, kMessageTop, kListWidth, 255, text);
  SetTextColour(messageLine_, kDarkRed);
  messageLine_->hide();

  personList_ = new PersonListView(store_.list(), this);
  Place(personList_, kListLeft, kListTop, kListWidth, kListHeight);
  connect(personList_, &PersonListView::clicked, this, &PersonWindow::ListClicked);
  connect(personList_, &PersonListView::currentRecordChanged, this, &PersonWindow::ShowRecord);
  connect(personList_, &PersonListView::chosen, this, &PersonWindow::HandOver);
  connect(personList_, &PersonListView::searched, this, [this] {
    EnableEditButtons();
    ShowMessage();
  });
  commands_ = new StoreCommands(store_, *personList_, this);
  connect(commands_, &StoreCommands::finished, this, &PersonWindow::Saved);

  connect(chooseButton_, &QPushButton::clicked, this, &PersonWindow::HandOver);
  connect(appendButton_, &QPushButton::clicked, this, &PersonWindow::Append);
  connect(modifyButton_, &QPushButton::clicked, this, &PersonWindow::Modify);
  connect(deleteButton_, &QPushButton::clicked, this, &PersonWindow::Remove);
  // A deletion taken back (also Ctrl+Z) until the window closes.
  undoButton_ = MakeButton(this, QStringLiteral("undoButton"), kUndoLeft, kListButtonsTop, kUndoWidth, 360, button,
                           QStringLiteral("復原刪除"));
  undoButton_->setAccessibleName(QStringLiteral("復原刪除（Ctrl+Z）"));
  new UndoKey(undoButton_, {entry_->nameEdit(), personList_->view(), personList_->searchField()},
              [this] { return store_.canUndo(); });
  connect(undoButton_, &QPushButton::clicked, this, &PersonWindow::UndoRemove);

  birthplace_ = new BirthplaceRow(this, kPlaceTop);
  connect(birthplace_, &BirthplaceRow::changed, this, &PersonWindow::Preview);
  // The window ends under the birthplace rows.
  const auto fitHeight = [this] { setFixedHeight(birthplace_->geometry().bottom() + 1); };
  connect(birthplace_, &BirthplaceRow::resized, this, fitHeight);
  fitHeight();

  // Where the day ends is the program's setting (DayChangeRow), under 由八字找生日.
  dayChangeBox_ = (new DayChangeRow(this, kListLeft, kDayChangeTop, kDayChangeWidth))->box();
  connect(dayChangeBox_, &DayChangeBox::dayChangeChosen, this, &PersonWindow::Preview);
  findBirthButton_ = new FindBirthButton(this, dayChangeBox_);
  findBirthButton_->setObjectName(QStringLiteral("findBirthButton"));
  findBirthButton_->setAutoDefault(true);
  findBirthButton_->setFont(button);
  Place(findBirthButton_, kListLeft + kListWidth - kFindBirthWidth, kListButtonsTop, kFindBirthWidth, 360);
  connect(findBirthButton_, &FindBirthButton::birthChosen, this, &PersonWindow::TakeFoundBirth);
  // 合盤 for the selected person; the second is chosen in 合盤 itself.
  compareButton_ = MakeButton(this, "compareButton", kListLeft, kListButtonsTop, kCompareWidth, 360, button, "合盤");
  connect(compareButton_, &QPushButton::clicked, this, &PersonWindow::OpenCompare);
  hourUnknown_ = new HourUnknownMark(this);
  hourUnknown_->setFont(text);
  connect(hourUnknown_, &HourUnknownMark::notKept, this, &PersonWindow::SetMessage);
  // Beside the 子時 setting, under 由八字找生日.
  Place(hourUnknown_, kListLeft + kDayChangeWidth + 90, kDayChangeTop, kListWidth - kDayChangeWidth - 90, 360);

  SetTabOrder();
}

// Keyboard order: the entry (name, sex, 確定, the five selectors, the
// birthplace) before the commands, then the search, the list, 合盤,
// 由八字找生日 and the 子時 setting: a person typed is complete before Tab
// reaches the list.
void PersonWindow::SetTabOrder() {
  std::vector<QWidget*> order{entry_->nameEdit(), entry_->maleOption(), entry_->femaleOption(), chooseButton_};
  for (int field = Field::kYear; field <= Field::kMinute; ++field) order.push_back(birthDate()->selector(field));
  BirthplaceRow* p = birthplace_;
  order.insert(order.end(), {p->finder(), p->longitudeEdit(), p->latitudeEdit(), p->zoneEdit(), p->timeModeBox(),
                             p->overlapBox(), appendButton_, modifyButton_, deleteButton_, undoButton_,
                             personList_->searchField(), personList_->view(), compareButton_, findBirthButton_,
                             dayChangeBox_, hourUnknown_});
  for (std::size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

// ------------------------------------------------------------------ the list and the file

void PersonWindow::Saved(const records::SaveResult& saved, int select) {
  // A write that failed keeps the edit in the list, to be written later.
  const bool applied = records::SavedOrKept(saved);
  if (applied || saved.reloaded) personList_->showRows(applied && !saved.reloaded ? select : -1);
  QString text = Q(saved.message);
  if (applied && !saved) text += QStringLiteral("；修改暫存在記憶體中，下次存檔時一併寫入");
  // A refused command keeps its own entry on screen for correction.
  const QString again = OfferAgain(saved.dropped);
  EnableEditButtons();
  if (!applied) {
    redo_.reset();
    SetMessage(text);
    return;
  }
  SetMessage(text + again);
  // What was typed while the list was written in the background stays.
  if (entry_->changedRecord({}) == commandEntry_) PrepareNewEntry();
}

void PersonWindow::Run(StoreCommands::Command command, int select) {
  commandEntry_ = entry_->changedRecord({});
  commands_->run(std::move(command), select);
}

// Changes kept in memory that the file, changed by another copy, no longer
// fits: the last one that wrote a record goes back into the entry (shown
// after the command prepared a new entry), ready for 輸入.
QString PersonWindow::OfferAgain(const std::vector<Edit>& dropped) {
  redo_ = records::EntryToOfferAgain(dropped);
  return redo_ ? QStringLiteral("；修改的內容已放回輸入欄，按「輸入」可再加入") : QString();
}

// A new entry, or the change left to redo, if any.
void PersonWindow::PrepareNewEntry() {
  shown_.reset();
  entry_->prepareNew();
  hourUnknown_->showPerson(std::nullopt);
  if (redo_) ShowEntry(*std::exchange(redo_, std::nullopt));
}

QString PersonWindow::message() const { return messageLine_->text(); }

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
  messageLine_->setVisible(!text.isEmpty());
  if (text.isEmpty()) return Place(personList_, kListLeft, kListTop, kListWidth, kListHeight);
  const int width = Px(kListWidth);
  const int height = std::max(messageLine_->heightForWidth(width), messageLine_->fontMetrics().height());
  messageLine_->setGeometry(Px(kListLeft), Px(kMessageTop), width, height);
  const int top = std::max(Px(kListTop), Px(kMessageTop) + height + Px(45));
  personList_->setGeometry(Px(kListLeft), top, width, Px(kListTop + kListHeight) - top);
}

void PersonWindow::EnableEditButtons() {
  const bool rows = personList_->rowCount() > 0;
  modifyButton_->setEnabled(rows);
  deleteButton_->setEnabled(rows);
  undoButton_->setEnabled(store_.canUndo());
}

// The first activation after the window opens prepares a new entry. Later
// ones leave the entry and the selection as they are: what is typed or
// shown is never thrown away by a click on another window. The program
// losing the focus to another one, and its own drop-down lists, do not count.
void PersonWindow::FocusWindowChanged(QWindow* w) {
  if (!w || w != windowHandle() || entered_) return;
  entered_ = true;
  PrepareNewEntry();
}

// ------------------------------------------------------------------ the preview

// The lunar date of the remembered moment; with a birthplace, of the
// corrected moment, and under the birthplace the line that states the
// correction, or why there is none.
void PersonWindow::Preview() {
  QString lunarDate = QStringLiteral("陰曆");
  if (birthDate()->remembered(Field::kMonth) > 0 && birthDate()->remembered(Field::kDay) > 0) {
    const MomentInput clock = birthDate()->rememberedMoment();
    birthplace_->showCorrection(clock);
    // The lunar date of the birth as it will be cast; a place that cannot be
    // taken yet (its line says why) leaves the clock time as entered.
    QString problem;
    const Birth asClock = BirthOf(clock, std::nullopt, dayChangeBox_->dayChange());
    BirthOutcome lunar = ResolveBirth(EnteredBirth(clock, &problem).value_or(asClock));
    if (!lunar) lunar = ResolveBirth(asClock);
    if (lunar) lunarDate = Q("陰曆 " + LunarDateText(lunar.resolved->moment, false));
  } else {
    birthplace_->showCorrection(std::nullopt);
  }
  lunarPreview_->Show(lunarDate, deleteButton_->geometry().right() + 1);
}

std::optional<Birth> PersonWindow::EnteredBirth(const MomentInput& clock, QString* problem) const {
  return birthplace_->enteredBirth(clock, dayChangeBox_->dayChange(), problem);
}

// ------------------------------------------------------------------ the list click

void PersonWindow::ListClicked() {
  if (personList_->rowCount() == 0) return;
  if (const std::optional<std::size_t> record = personList_->selectedRecord()) {
    ShowRecord(*record);
  } else {
    birthDate()->enableAll();
    EnableEditButtons();
  }
}

// The current row of the list, however it became current, is the entry.
void PersonWindow::ShowRecord(std::size_t record) {
  if (record >= store_.list().rows.size()) return;
  EnableEditButtons();
  ShowEntry(store_.list().rows[record].fields.value());
  shown_ = record;
  // What cannot be cast as it stands is said on choosing.
  if (const auto note = store_.NoteOn(record)) SetMessage(Q(*note));
}

// The entry shows a record: name, sex, the birth moment and the birthplace.
void PersonWindow::ShowEntry(const records::Fields& fields) {
  birthplace_->showStored(store_.placeOf(fields));
  entry_->showFields(records::ShownFields(fields));
  hourUnknown_->showPerson(fields);
  Preview();
}

// ------------------------------------------------------------------ the commands

// The birthplace entered, to store with the person; false, with the problem
// said, when it cannot be taken.
bool PersonWindow::EnteredPlace(std::optional<records::PlaceEntry>& place) {
  QString problem;
  if (const std::optional<StoredBirthPlace> entered = birthplace_->enteredPlace(&problem)) place = ToPlaceEntry(*entered);
  if (!problem.isEmpty()) SetMessage(problem);
  return problem.isEmpty();
}

// "輸入": the entry with the remembered selections.
void PersonWindow::Append() {
  std::optional<records::PlaceEntry> place;
  if (!EnteredPlace(place)) return;
  const records::Fields added = entry_->newRecord();
  hourUnknown_->carry(std::nullopt, added);
  Run([added, place](records::PersonStore& s) { return s.Append(added, place); });
}

// "修改": the selected row takes the entry; the title shows its number.
void PersonWindow::Modify() {
  const std::optional<std::size_t> record = personList_->selectedRecord();
  if (!record) {
    SetMessage(QStringLiteral("請先在清單中點選要修改的資料"));
    return;
  }
  setWindowTitle(QString::number(*record + 1));
  std::optional<records::PlaceEntry> place;
  if (!EnteredPlace(place)) return;
  // The place goes with the person; a twin row left with the old fields
  // keeps the old entry.
  const records::Fields before = store_.list().rows[*record].fields.value();
  const records::Fields after = entry_->changedRecord(before);
  hourUnknown_->carry(before, after);
  Run([at = *record, after, place](records::PersonStore& s) { return s.Modify(at, after, place); },
      static_cast<int>(*record));
}

// "刪除": the selected row goes at once; 復原刪除 brings it back.
void PersonWindow::Remove() {
  const std::optional<std::size_t> record = personList_->selectedRecord();
  if (!record) {
    SetMessage(QStringLiteral("請先在清單中點選要刪除的資料"));
    return;
  }
  hourUnknown_->carry(store_.list().rows[*record].fields.value(), std::nullopt);
  Run([at = *record](records::PersonStore& s) { return s.Remove(at); });
}

void PersonWindow::UndoRemove() { Run([](records::PersonStore& s) { return s.UndoRemove(); }); }

// "確定": the main window casts the chart of the entry and shows it at the
// present moment; this window closes.
void PersonWindow::HandOver() {
  QString problem;
  const bool placeEntered = birthplace_->enteredPlace(&problem) || !problem.isEmpty();
  if (const auto why = store_.CastRefusal(shown_, entry_->chosenBirth().has_value(), placeEntered)) {
    SetMessage(Q(*why));
    return;
  }
  const std::optional<MomentInput> clock = entry_->chosenBirth();
  if (!clock) return;
  // At the birthplace: a clock time that never existed there is refused.
  problem.clear();
  const std::optional<Birth> birth = EnteredBirth(*clock, &problem);
  if (!birth) {
    SetMessage(problem);
    return;
  }
  if (!main_) return;
  std::string refused;
  if (!main_->CastChart(entry_->name(), entry_->sex(), *birth, &refused)) {
    SetMessage(Q(refused));
    return;
  }
  cast_ = true;
  main_->ShowHourCandidates(hourUnknown_->hourUnknown());
  close();
}

// "合盤": the selected person beside one chosen in 合盤, at the present moment.
void PersonWindow::OpenCompare() {
  const std::optional<std::size_t> record = personList_->selectedRecord();
  QString problem = QStringLiteral("請先在清單中點選要合盤的人");
  QWidget* w = record ? OpenCompareWindow(store_.list().rows[*record], store_.places(), dayChangeBox_->dayChange(),
                                         store_.path(), parentWidget(), problem)
                      : nullptr;
  if (!w) return SetMessage(problem);
  delete compare_.data();  // one 合盤 from this window at a time
  compare_ = w;
}

// The stretch taken from 由八字找生日 is entered as a birth that casts the
// pillars searched: at the form's place and reading when they can give
// them, else as the clocks of UTC+8 showed it; the message says which clock.
void PersonWindow::TakeFoundBirth(const ChosenStretch& chosen) {
  const MomentInput clock = entry_->chosenBirth().value_or(birthDate()->rememberedMoment());
  QString problem;
  const Birth form = EnteredBirth(clock, &problem).value_or(BirthOf(clock, std::nullopt, dayChangeBox_->dayChange()));
  const FoundBirth found = BirthForFound(form, chosen.stretch, chosen.pillars);
  if (found.birth.time != form.time || found.birth.overlap != form.overlap)
    birthplace_->setReading(found.birth.time, found.birth.overlap);
  const MomentInput& b = found.birth.clock;
  entry_->showBirth({b.InputYear, b.InputMonth, b.InputDay, b.InputHour, b.InputMinute});
  Preview();
  SetMessage(QStringLiteral("生日已由八字帶入：") + Q(UserMomentText(MomentOf(b)) + found.note));
  raise();
  activateWindow();
}

void PersonWindow::closeEvent(QCloseEvent* e) {
  // Closed without a choice: the chart set aside is live again.
  if (main_ && !cast_) main_->ResumeChart();
  if (main_) main_->setEnabled(true);
  // Edits kept in memory: one more try; what is still not written stays in
  // the store for the next opening and the program's end.
  if (store_.hasUnsaved()) store_.Save();
  store_.ForgetUndo();
  QWidget::closeEvent(e);
}

}  // namespace qelm::ui
