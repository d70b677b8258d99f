#include "ui/person_window.hpp"

#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTemporaryFile>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#include "calendar/lunar.hpp"
#include "calendar/moment.hpp"
#include "place/places.hpp"
#include "ui/main_window.hpp"
#include "ui/window_layer.hpp"

namespace qelm::ui {
namespace {

namespace fs = std::filesystem;
using records::Edit;
using records::Status;

std::string S(const QString& s) { return s.toUtf8().toStdString(); }
fs::path PathOf(const QString& folder) { return fs::path(QFile::encodeName(folder).toStdString()); }

constexpr std::uint32_t kDarkRed = 0x0000C0;  // 192, 0, 0
const QString kFileName = QStringLiteral("User");

// Thirty days hath September, April, June and November; February has 29 in a
// leap year: divisible by 4 and not by 100, or divisible by 400.
int MonthLength(int year, int month) {
  switch (month) {
    case 4: case 6: case 9: case 11: return 30;
    case 2: return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
    default: return 31;
  }
}

// The selectors' placeholders, the first item and the offset of a stored
// number from its item's position.
struct SelectorDesign {
  const char* placeholder;
  int left, width;
  int first;  // the number of item 0
};
constexpr std::array<SelectorDesign, 5> kSelectors{{
    {"年", 1200, 855, 1901},
    {"月", 2160, 615, 1},
    {"日", 2880, 615, 1},
    {"時", 3600, 615, 0},
    {"分", 4320, 615, 0},
}};

// Columns of the list: heading and width in twips; all but the name centred.
struct ColumnDesign {
  const char* heading;
  int width;
};
constexpr std::array<ColumnDesign, 7> kColumns{{
    {"姓名", 1500}, {"性別", 650}, {"西元", 720}, {"月", 500}, {"日", 500}, {"時", 500}, {"分", 500},
}};

// The list's place when no message stands above it.
constexpr int kListLeft = 240, kListTop = 1680, kListWidth = 4935, kListHeight = 5175;
constexpr int kMessageTop = 1610;
// The birthplace rows under the list.
constexpr int kPlaceTop = 6990, kWindowHeight = 8760;

}  // namespace

// ------------------------------------------------------------------ the file's folder

bool FolderIsWritable(const QString& folder) {
  if (!QFileInfo(folder).isDir()) return false;
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".qelm-probe-XXXXXX")));
  return probe.open();  // removed again when probe goes
}

PersonFolder ChoosePersonFolder(const PersonFolderFacts& f) {
  const QString programList = QDir(f.program).filePath(kFileName);
  const QString dataList = QDir(f.data).filePath(kFileName);
  const auto inData = [&](QString note) {
    return PersonFolder{PathOf(f.data), true, false, note.isEmpty() ? QStringLiteral("清單檔案：") + dataList : note};
  };
  const bool dataUsable = !f.data.isEmpty() && f.dataWritable;
  if (f.installed) {
    if (dataUsable) return inData({});
    return {PathOf(f.data), false, false,
            QStringLiteral("使用者資料夾 %1 無法寫入，清單的修改只保存在記憶體中").arg(f.data)};
  }
  // Two lists that differ: the one changed last.
  if (dataUsable && f.programFile.exists && f.dataFile.exists && !f.sameContent) {
    const QString both = QStringLiteral("程式資料夾與使用者資料夾各有一份不同的清單，使用較新的 %1；另一份 %2 保留未動");
    if (f.dataFile.modified > f.programFile.modified) return inData(both.arg(dataList, programList));
    return {PathOf(f.program), f.programWritable, false, both.arg(programList, dataList)};
  }
  // Records entered while the program's folder could not be written stay
  // in view: the list in the data folder is the only one.
  if (dataUsable && f.dataFile.exists && !f.programFile.exists) return inData({});
  if (f.programWritable) return {PathOf(f.program), true, false, {}};
  if (dataUsable) {
    if (f.dataFile.exists) return inData({});
    PersonFolder r = inData({});
    if (f.programFile.exists) {
      r.copyFromProgram = true;
      r.note = QStringLiteral("程式資料夾無法寫入，清單已複製到 %1，之後的修改存在該處").arg(dataList);
    }
    return r;
  }
  return {PathOf(f.program), false, false,
          QStringLiteral("程式資料夾與使用者資料夾都無法寫入，清單的修改只保存在記憶體中")};
}

namespace {

PersonFolderFacts::ListFile ListFileIn(const QString& folder) {
  const QFileInfo info(QDir(folder).filePath(kFileName));
  return {info.isFile(), info.lastModified()};
}

bool SameBytes(const QString& a, const QString& b) {
  QFile fa(a), fb(b);
  if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly)) return false;
  while (!fa.atEnd()) {
    if (fa.read(1 << 20) != fb.read(1 << 20)) return false;
  }
  return true;
}

}  // namespace

PersonFolder ChoosePersonFolder() {
  PersonFolderFacts f;
  f.program = QCoreApplication::applicationDirPath();
  f.data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  f.installed = QFileInfo(QDir(f.program).filePath(QStringLiteral("../share/qelm"))).isDir();
  f.programWritable = !f.installed && FolderIsWritable(f.program);
  // The data folder is made only when it is to be used.
  const bool dataNeeded = f.installed || !f.programWritable || QFileInfo(f.data).isDir();
  f.dataWritable = !f.data.isEmpty() && (!dataNeeded || (QDir().mkpath(f.data) && FolderIsWritable(f.data)));
  f.programFile = ListFileIn(f.program);
  f.dataFile = ListFileIn(f.data);
  f.sameContent = f.programFile.exists && f.dataFile.exists &&
                  SameBytes(QDir(f.program).filePath(kFileName), QDir(f.data).filePath(kFileName));
  PersonFolder r = ChoosePersonFolder(f);
  if (r.copyFromProgram) {
    const QString from = QDir(f.program).filePath(kFileName), to = QDir(f.data).filePath(kFileName);
    if (QFile::copy(from, to)) {
      QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    } else {
      // Nothing to show from there: read the list where it is.
      r = {PathOf(f.program), false, false,
           QStringLiteral("無法把清單複製到 %1，清單的修改只保存在記憶體中").arg(to)};
    }
  }
  return r;
}

// ------------------------------------------------------------------ set-up

PersonWindow::PersonWindow(MainWindow& main, std::optional<fs::path> folder,
                           std::optional<records::PersonList> pending,
                           std::optional<records::PlaceBook> pendingPlaces)
    : QWidget(&main, Qt::Window), main_(&main) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("排盤"));
  // The main window waits while this one is open; this one, its child,
  // stays usable.
  main.setEnabled(false);
  setEnabled(true);
  // The birthplace row stands below the list.
  setFixedSize(Px(5430), Px(kWindowHeight));
  SetBackground(this, 0xFFFFFF);

  QString note, where;
  if (folder) {
    path_ = *folder / kFileName.toStdString();
  } else {
    const PersonFolder f = ChoosePersonFolder();
    path_ = f.folder / kFileName.toStdString();
    note = f.note;
    if (f.folder != PathOf(QCoreApplication::applicationDirPath()))
      where = QStringLiteral("清單檔案：") + QFile::decodeName(path_.c_str());
  }

  BuildControls();  // with the seven columns of the list
  remembered_ = {};
  CHECKLIST();
  for (int y = 1901; y <= 2099; ++y) Combo1_[kYear]->addItem(QString::number(y));
  LoadList(std::move(pending));
  // The birthplaces: changes left from the last opening are written first.
  {
    const fs::path places = records::PlaceFilePath(path_);
    records::SaveResult r;
    if (pendingPlaces) {
      places_ = std::move(*pendingPlaces);
      r = records::SavePlaceFile(places, places_);
    } else {
      const records::LoadResult l = records::LoadPlaceFile(places, places_);
      r.status = l.status;
      r.message = l.message;
    }
    if (!r.message.empty())
      SetMessage(message().isEmpty() ? Q(r.message) : message() + QStringLiteral("；") + Q(r.message));
  }
  // Birthplace lines that cannot be read are kept; the user hears of them.
  if (const std::string unreadable = records::UnreadablePlacesText(places_); !unreadable.empty())
    SetMessage(message().isEmpty() ? Q(unreadable) : message() + QStringLiteral("；") + Q(unreadable));
  CHECKLIST();
  if (!note.isEmpty()) SetMessage(message().isEmpty() ? note : note + QStringLiteral("；") + message());
  // After the full account above, every message begins with where the list is.
  where_ = where;
  if (message().isEmpty()) SetMessage({});
  ENTERLIST();
  if (redo_) ShowEntry(*redo_);  // kept for the first activation, which runs ENTERLIST again

  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &PersonWindow::FocusWindowChanged);
}

PersonWindow::~PersonWindow() = default;

void PersonWindow::BuildPlaceControls() {
  const QFont text = Font(kSansFace, 9.75);
  const auto caption = [&](const char* name, int left, int top, int width, const char* t) {
    QLabel* l = MakeLabel(this, QString::fromLatin1(name), left, top, width, 255, text, QString::fromUtf8(t));
    l->setFocusPolicy(Qt::NoFocus);
    return l;
  };
  const auto edit = [&](const char* name, int left, int top, int width, const char* accessible) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setFont(text);
    Place(e, left, top, width, 300);
    e->setAccessibleName(QString::fromUtf8(accessible));
    return e;
  };
  const int top = kPlaceTop;
  PlaceLabel_ = caption("PlaceLabel", 240, top + 30, 735, "出生地");
  PlaceEdit_ = edit("PlaceEdit", 1020, top, 4155, "出生地");
  PlaceEdit_->setPlaceholderText(QStringLiteral("輸入地名尋找（中文或英文），不填則依鐘錶時間"));
  PlaceEdit_->setClearButtonEnabled(true);
  foundModel_ = new QStringListModel(this);
  completer_ = new QCompleter(foundModel_, this);
  completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer_->setMaxVisibleItems(12);
  PlaceEdit_->setCompleter(completer_);
  connect(PlaceEdit_, &QLineEdit::textEdited, this, &PersonWindow::PlaceTyped);
  connect(completer_, qOverload<const QString&>(&QCompleter::activated), this, &PersonWindow::PlaceActivated);

  const int row2 = top + 390;
  LonLabel_ = caption("LonLabel", 240, row2 + 30, 480, "經度");
  LonEdit_ = edit("LonEdit", 720, row2, 900, "經度（東經為正）");
  LonEdit_->setPlaceholderText(QStringLiteral("東經為正"));
  LatLabel_ = caption("LatLabel", 1740, row2 + 30, 480, "緯度");
  LatEdit_ = edit("LatEdit", 2220, row2, 900, "緯度（北緯為正）");
  LatEdit_->setPlaceholderText(QStringLiteral("北緯為正"));
  ZoneLabel_ = caption("ZoneLabel", 3240, row2 + 30, 480, "時區");
  ZoneEdit_ = edit("ZoneEdit", 3720, row2, 1455, "時區");
  ZoneEdit_->setPlaceholderText(QStringLiteral("Asia/Taipei"));

  const int row3 = row2 + 390;
  ModeLabel_ = caption("ModeLabel", 240, row3 + 30, 480, "時間");
  ModeBox_ = new QComboBox(this);
  ModeBox_->setObjectName(QStringLiteral("ModeBox"));
  ModeBox_->setFont(text);
  for (TimeMode m : {TimeMode::Clock, TimeMode::Standard, TimeMode::Solar}) ModeBox_->addItem(Q(TimeModeName(m)));
  Place(ModeBox_, 720, row3 - 30, 1500, 360);
  ModeBox_->setAccessibleName(QStringLiteral("時間"));
  OverlapBox_ = new QComboBox(this);
  OverlapBox_->setObjectName(QStringLiteral("OverlapBox"));
  OverlapBox_->setFont(text);
  OverlapBox_->addItems({QStringLiteral("重複時刻中較早的一次"), QStringLiteral("重複時刻中較晚的一次")});
  Place(OverlapBox_, 2340, row3 - 30, 2835, 360);
  OverlapBox_->setAccessibleName(QStringLiteral("重複的時刻"));
  OverlapBox_->hide();

  CorrLabel_ = MakeLabel(this, QStringLiteral("CorrLabel"), 240, row3 + 420, 4935, 540, text);
  CorrLabel_->setWordWrap(true);
  CorrLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  CorrLabel_->setFocusPolicy(Qt::NoFocus);
  SetTextColour(CorrLabel_, kDarkRed);

  for (QLineEdit* e : {LonEdit_, LatEdit_, ZoneEdit_}) connect(e, &QLineEdit::textEdited, this, [this] { Preview(); });
  connect(ModeBox_, &QComboBox::currentIndexChanged, this, [this] { Preview(); });
  connect(OverlapBox_, &QComboBox::currentIndexChanged, this, [this] { Preview(); });
}

void PersonWindow::BuildControls() {
  const QFont text = Font(kSansFace, 9.75);
  const QFont button = Font(kSansFace, 9);

  Label1_ = MakeLabel(this, QStringLiteral("Label1"), 240, 240, 495, 255, text, QStringLiteral("姓名"));
  Text1_ = new QLineEdit(this);
  Text1_->setObjectName(QStringLiteral("Text1"));
  Text1_->setFont(text);
  // Any length is taken; a name too long is refused with a message, never cut.
  Text1_->setMaxLength(std::numeric_limits<int>::max());
  Place(Text1_, 760, 210, 1335, 300);
  Label2_ = MakeLabel(this, QStringLiteral("Label2"), 2280, 240, 495, 255, text, QStringLiteral("性別"));
  const std::array<QString, 2> sexes{QStringLiteral("男"), QStringLiteral("女")};
  for (int i = 0; i < 2; ++i) {
    auto* o = new QRadioButton(sexes[i], this);
    o->setObjectName(IndexedName(QStringLiteral("Option1"), i));
    o->setFont(text);
    Place(o, 2800 + 600 * i, 160, 615, 375);
    Option1_[i] = o;
  }
  Option1_[0]->setChecked(true);
  Command1_ = MakeButton(this, QStringLiteral("Command1"), 4100, 160, 1095, 405, button, QStringLiteral("確定"));

  Label3_ = MakeLabel(this, QStringLiteral("Label3"), 240, 860, 975, 255, text, QStringLiteral("生日 西元"));
  for (int k = 0; k < 5; ++k) {
    const SelectorDesign& d = kSelectors[k];
    auto* c = new QComboBox(this);
    c->setObjectName(IndexedName(QStringLiteral("Combo1"), k));
    c->setFont(text);
    c->setPlaceholderText(QString::fromUtf8(d.placeholder));
    c->setMaxVisibleItems(12);
    Place(c, d.left, 810, d.width, 375);
    // The user's choice, by mouse or keyboard, also of the item already
    // chosen (choosing the same year again opens the month). Choices made by
    // the program run the handling themselves (choose).
    connect(c, &QComboBox::activated, this, [this, k](int index) {
      if (index >= 0) SelectorChosen(k);
    });
    Combo1_[k] = c;
  }

  Command2_ = MakeButton(this, QStringLiteral("Command2"), 240, 1320, 735, 255, button, QStringLiteral("輸入"));
  Command3_ = MakeButton(this, QStringLiteral("Command3"), 1080, 1320, 735, 255, button, QStringLiteral("修改"));
  Command4_ = MakeButton(this, QStringLiteral("Command4"), 1920, 1320, 735, 255, button, QStringLiteral("刪除"));
  Label4_ = MakeLabel(this, QStringLiteral("Label4"), 2880, 1360, 2295, 255, text);
  Label4_->setWordWrap(false);
  SetTextColour(Label4_, kDarkRed);

  MessageLabel_ = MakeLabel(this, QStringLiteral("MessageLabel"), kListLeft, kMessageTop, kListWidth, 255, text);
  SetTextColour(MessageLabel_, kDarkRed);
  MessageLabel_->hide();

  ListView1_ = new QTreeWidget(this);
  ListView1_->setObjectName(QStringLiteral("ListView1"));
  ListView1_->setFont(Font(kSansFace, 11.25));
  ListView1_->setRootIsDecorated(false);
  ListView1_->setUniformRowHeights(true);
  ListView1_->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1_->setAllColumnsShowFocus(true);
  ListView1_->setColumnCount(static_cast<int>(kColumns.size()));
  QTreeWidgetItem* head = ListView1_->headerItem();
  for (int c = 0; c < static_cast<int>(kColumns.size()); ++c) {
    head->setText(c, QString::fromUtf8(kColumns[c].heading));
    head->setTextAlignment(c, c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
  }
  ListView1_->header()->setMinimumSectionSize(Px(300));
  for (int c = 0; c < static_cast<int>(kColumns.size()); ++c) ListView1_->setColumnWidth(c, Px(kColumns[c].width));
  ListView1_->header()->setStretchLastSection(false);
  Place(ListView1_, kListLeft, kListTop, kListWidth, kListHeight);
  // A click anywhere in the list, rows or the space below them.
  ListView1_->viewport()->installEventFilter(this);

  connect(Command1_, &QPushButton::clicked, this, &PersonWindow::HandOver);
  connect(Command2_, &QPushButton::clicked, this, &PersonWindow::Append);
  connect(Command3_, &QPushButton::clicked, this, &PersonWindow::Modify);
  connect(Command4_, &QPushButton::clicked, this, &PersonWindow::Remove);

  // Keyboard order: name, sex, 確定, the five selectors, the three edit
  // buttons, the list.
  QWidget* order[] = {Text1_,     Option1_[0], Option1_[1], Command1_,  Combo1_[0], Combo1_[1], Combo1_[2],
                      Combo1_[3], Combo1_[4],  Command2_,   Command3_,  Command4_,  ListView1_};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  for (QWidget* w : {static_cast<QWidget*>(Label1_), static_cast<QWidget*>(Label2_),
                     static_cast<QWidget*>(Label3_), static_cast<QWidget*>(Label4_)})
    w->setFocusPolicy(Qt::NoFocus);

  // Names for a screen reader, after the captions (the buttons and the sex
  // options are named by their own).
  Text1_->setAccessibleName(Label1_->text());
  for (int k = 0; k < 5; ++k)
    Combo1_[k]->setAccessibleName(QStringLiteral("生日 ") + QString::fromUtf8(kSelectors[k].placeholder));
  ListView1_->setAccessibleName(QStringLiteral("人員列表"));

  BuildPlaceControls();
  QWidget* more[] = {ListView1_, PlaceEdit_, LonEdit_, LatEdit_, ZoneEdit_, ModeBox_, OverlapBox_};
  for (std::size_t i = 0; i + 1 < std::size(more); ++i) setTabOrder(more[i], more[i + 1]);
}

// ------------------------------------------------------------------ the list and the file

void PersonWindow::LoadList(std::optional<records::PersonList> pending) {
  if (!pending) {
    InputData();
    return;
  }
  // Edits that could not be written last time: write them now (onto the
  // file's present content when it has changed meanwhile).
  list_ = std::move(*pending);
  const records::SaveResult r = records::SAVELIST(path_, list_);
  ShowRows();
  const QString again = OfferAgain(r.dropped);
  if (r)
    SetMessage(Q(r.message) + again);
  else
    SetMessage(Q(r.message) + QStringLiteral("；尚未存檔的修改仍只保存在記憶體中") + again);
}

void PersonWindow::InputData() {
  records::LoadResult r = records::InputData(path_);
  list_ = std::move(r.list);
  ShowRows();
  SetMessage(Q(r.message));
}

void PersonWindow::ShowRows(int selectRow) {
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(list_.rows.size()));
  for (const records::PersonRecord& row : list_.rows) {
    auto* item = new QTreeWidgetItem;
    for (int c = 0; c < static_cast<int>(records::kFieldCount); ++c) {
      item->setText(c, Q(row.fields[c]));
      if (c > 0) item->setTextAlignment(c, Qt::AlignCenter);
    }
    items.append(item);
  }
  ListView1_->clear();
  ListView1_->addTopLevelItems(items);
  if (selectRow >= 0 && selectRow < items.size()) {
    ListView1_->setCurrentItem(items[selectRow]);
  } else {
    ListView1_->clearSelection();
  }
}

bool PersonWindow::SAVELIST(const Edit& edit, const std::optional<records::PlaceEntry>& place) {
  const records::SaveResult r = records::SavePersonAndPlace(path_, list_, places_, edit, place);
  // A write that failed keeps the edit in the list, to be written later.
  const bool kept = r.status == Status::kCannotWrite || r.status == Status::kBusy ||
                    r.status == Status::kCannotRead;
  const bool applied = r || kept;
  if (applied || r.reloaded) {
    int select = -1;
    if (edit.kind == Edit::Kind::kModify && applied && !r.reloaded) select = static_cast<int>(edit.index);
    ShowRows(select);
  }
  QString text = Q(r.message);
  if (kept) text += QStringLiteral("；修改暫存在記憶體中，下次存檔時一併寫入");
  // A refused command keeps its own entry on screen for correction.
  const QString again = OfferAgain(r.dropped);
  if (!applied) redo_.reset();
  SetMessage(applied ? text + again : text);
  return applied;
}

// Changes kept in memory that the file, changed by another copy, no longer
// fits: the last one that wrote a record goes back into the entry (shown
// after the command's own ENTERLIST), ready for 輸入.
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

QString PersonWindow::message() const { return MessageLabel_->text(); }

// A message stands under the buttons; the list makes room for it.
void PersonWindow::SetMessage(const QString& message) {
  const QString text = where_.isEmpty() || message.startsWith(where_) ? message
                       : message.isEmpty()                            ? where_
                                                                      : where_ + QStringLiteral("；") + message;
  MessageLabel_->setText(text);
  if (text.isEmpty()) {
    MessageLabel_->hide();
    Place(ListView1_, kListLeft, kListTop, kListWidth, kListHeight);
    return;
  }
  const int width = Px(kListWidth);
  const int height = std::max(MessageLabel_->heightForWidth(width), MessageLabel_->fontMetrics().height());
  MessageLabel_->setGeometry(Px(kListLeft), Px(kMessageTop), width, height);
  MessageLabel_->show();
  const int top = std::max(Px(kListTop), Px(kMessageTop) + height + Px(45));
  const int bottom = Px(kListTop + kListHeight);
  ListView1_->setGeometry(Px(kListLeft), top, width, bottom - top);
}

// ------------------------------------------------------------------ procedures

void PersonWindow::CHECKLIST() {
  const bool rows = ListView1_->topLevelItemCount() > 0;
  Command3_->setEnabled(rows);
  Command4_->setEnabled(rows);
}

void PersonWindow::ENTERLIST() {
  Text1_->clear();
  Text1_->setFocus();
  for (int k = kMonth; k <= kMinute; ++k) Combo1_[k]->setEnabled(false);
}

// Becoming the program's active window runs ENTERLIST. The program losing
// the focus to another one, and its own drop-down lists, do not count.
void PersonWindow::FocusWindowChanged(QWindow* w) {
  if (!w || (w->type() != Qt::Window && w->type() != Qt::Dialog)) return;
  const bool me = w == windowHandle();
  if (me && !active_) {
    ENTERLIST();
    ShowRedo();
  }
  active_ = me;
}

// ------------------------------------------------------------------ the selectors

void PersonWindow::FillRange(int k, int first, int last) {
  QComboBox* c = Combo1_[k];
  const QSignalBlocker quiet(c);
  c->clear();
  QStringList items;
  for (int v = first; v <= last; ++v) items.append(QString::number(v));
  c->addItems(items);
  c->setCurrentIndex(-1);
}

void PersonWindow::choose(int k, int index) {
  QComboBox* c = Combo1_[k];
  if (index >= c->count()) index = -1;
  {
    const QSignalBlocker quiet(c);
    c->setCurrentIndex(index);
  }
  if (index >= 0) SelectorChosen(k);
}

void PersonWindow::SelectorChosen(int k) {
  remembered_[k] = Combo1_[k]->currentText().toInt();
  switch (k) {
    case kYear:
      Combo1_[kMonth]->setEnabled(true);
      if (Combo1_[kMonth]->count() == 0) FillRange(kMonth, 1, 12);
      RecheckFebruary();
      break;
    case kMonth: {
      Combo1_[kDay]->setEnabled(true);
      const int length = MonthLength(remembered_[kYear], remembered_[kMonth]);
      FillRange(kDay, 1, length);
      // A day beyond the new month's end becomes its last day; any other day
      // waits to be chosen again.
      if (remembered_[kDay] > length) choose(kDay, length - 1);
      break;
    }
    case kDay:
      Combo1_[kHour]->setEnabled(true);
      if (Combo1_[kHour]->count() == 0) FillRange(kHour, 0, 23);
      break;
    case kHour:
      Combo1_[kMinute]->setEnabled(true);
      if (Combo1_[kMinute]->count() == 0) FillRange(kMinute, 0, 59);
      break;
    default:
      break;
  }
  Preview();
}

// A new year under February: the day list follows the year's length.
void PersonWindow::RecheckFebruary() {
  QComboBox* days = Combo1_[kDay];
  if (remembered_[kMonth] != 2 || days->count() == 0) return;
  const int length = MonthLength(remembered_[kYear], 2);
  if (days->count() == length) return;
  const int chosen = days->currentIndex();
  FillRange(kDay, 1, length);
  if (chosen >= length || (chosen < 0 && remembered_[kDay] > length)) {
    choose(kDay, length - 1);
  } else if (chosen >= 0) {
    const QSignalBlocker quiet(days);
    days->setCurrentIndex(chosen);
  }
}

// Label4: the lunar date of the remembered moment.
// With a birthplace: the lunar date of the corrected moment, and under the
// birthplace row the line that states the correction, or why there is none.
void PersonWindow::Preview() {
  Label4_->setText(QStringLiteral("陰曆"));
  QString note;
  bool overlap = false;
  if (remembered_[kMonth] > 0 && remembered_[kDay] > 0) {
    const MomentInput in{remembered_[kYear], remembered_[kMonth], remembered_[kDay], remembered_[kHour],
                         remembered_[kMinute]};
    const std::optional<CorrectionOutcome> c = EnteredCorrection(in, &note);
    MomentOutcome out = CalcMoment(in);
    if (c && *c && c->correction->applies()) {
      out = CorrectedMoment(*c->correction);
      note = Q(CorrectionLine(*c->correction));
    }
    if (out) Label4_->setText(Q("陰曆 " + LunarDateText(*out.result, false)));
    if (c && c->resolution.state == ClockState::Overlap && ModeBox_->currentIndex() != 0) {
      overlap = true;
      note = Q(ClockChangeText(c->resolution)) + QStringLiteral("，請選擇是哪一次\n") + note;
    }
  } else {
    EnteredPlace(&note);
  }
  if (note.isEmpty() && ModeBox_->currentIndex() != 0 && PlaceEdit_->text().trimmed().isEmpty() &&
      LonEdit_->text().trimmed().isEmpty())
    note = QStringLiteral("未填出生地，依鐘錶時間排盤");
  CorrLabel_->setText(note);
  OverlapBox_->setVisible(overlap);
  FitPreview();
}

// ------------------------------------------------------------------ the birthplace

void PersonWindow::PlaceTyped(const QString& text) {
  found_.clear();
  foundText_.clear();
  const std::string query = S(text.trimmed());
  if (!query.empty()) {
    for (const KnownPlace& k : FindPlaces(query, 20)) {
      found_.push_back(k.place());
      foundText_ << Q(k.name) + QStringLiteral("（") + Q(k.english) + QStringLiteral("，") + Q(k.zone) +
                        QStringLiteral("）");
    }
    // The world list by English name, from two letters on.
    const bool latin = std::all_of(query.begin(), query.end(), [](char ch) { return (ch & 0x80) == 0; });
    if (latin && query.size() >= 2) {
      for (const qelm::Place& w : SearchWorldCities(query, 20)) {
        found_.push_back(w);
        foundText_ << Q(w.name) + QStringLiteral("（") + Q(w.zone) + QStringLiteral("）");
      }
    }
  }
  foundModel_->setStringList(foundText_);
  if (!foundText_.isEmpty()) completer_->complete();
  Preview();
}

void PersonWindow::PlaceActivated(const QString& shown) {
  const qsizetype i = foundText_.indexOf(shown);
  if (i < 0) return;
  const qelm::Place p = found_[static_cast<std::size_t>(i)];
  choosePlace(p);
  // The finder puts the item's whole text into the box after this; the
  // place's name replaces it.
  QTimer::singleShot(0, this, [this, name = Q(p.name)] {
    if (PlaceEdit_->text() != name) PlaceEdit_->setText(name);
  });
}

namespace {
QString Degrees(double v) { return QString::number(v, 'f', 4); }
}  // namespace

void PersonWindow::choosePlace(const qelm::Place& p) {
  PlaceEdit_->setText(Q(p.name));
  LonEdit_->setText(Degrees(p.longitude));
  LatEdit_->setText(Degrees(p.latitude));
  ZoneEdit_->setText(Q(p.zone));
  Preview();
}

void PersonWindow::ShowPlace(const records::PlaceEntry* e) {
  const std::optional<StoredBirthPlace> p = e ? FromPlaceEntry(*e) : std::nullopt;
  const QSignalBlocker quietMode(ModeBox_), quietOverlap(OverlapBox_);
  if (p) {
    PlaceEdit_->setText(Q(p->place.name));
    LonEdit_->setText(Degrees(p->place.longitude));
    LatEdit_->setText(Degrees(p->place.latitude));
    ZoneEdit_->setText(Q(p->place.zone));
    ModeBox_->setCurrentIndex(static_cast<int>(p->mode));
    OverlapBox_->setCurrentIndex(p->choice == OverlapChoice::Later ? 1 : 0);
  } else {
    for (QLineEdit* l : {PlaceEdit_, LonEdit_, LatEdit_, ZoneEdit_}) l->clear();
    ModeBox_->setCurrentIndex(0);
    OverlapBox_->setCurrentIndex(0);
  }
}

std::optional<StoredBirthPlace> PersonWindow::EnteredPlace(QString* problem) const {
  problem->clear();
  const QString name = PlaceEdit_->text().trimmed();
  const auto clean = [](const QLineEdit* e) { return e->text().trimmed().replace(QChar(0x2212), u'-'); };
  const QString lon = clean(LonEdit_), lat = clean(LatEdit_), zone = ZoneEdit_->text().trimmed();
  if (name.isEmpty() && lon.isEmpty() && lat.isEmpty() && zone.isEmpty()) return std::nullopt;
  StoredBirthPlace p;
  p.mode = static_cast<TimeMode>(std::max(0, ModeBox_->currentIndex()));
  p.choice = OverlapBox_->currentIndex() == 1 ? OverlapChoice::Later : OverlapChoice::Earlier;
  if (lon.isEmpty() && lat.isEmpty() && zone.isEmpty()) {
    // A name typed in full: the place of the list of that name.
    for (const KnownPlace& k : FindPlaces(S(name), 50)) {
      if (Q(k.name) == name) {
        p.place = k.place();
        return p;
      }
    }
    *problem = QStringLiteral("找不到出生地「%1」：請從尋找結果中選擇，或填入經度與時區").arg(name);
    return std::nullopt;
  }
  bool ok = false;
  const double longitude = QLocale::c().toDouble(lon, &ok);
  if (!ok || !std::isfinite(longitude) || std::abs(longitude) > 180) {
    *problem = QStringLiteral("經度須為 -180 至 180 之間的數字（東經為正，西經為負）");
    return std::nullopt;
  }
  const double latitude = lat.isEmpty() ? 0.0 : QLocale::c().toDouble(lat, &ok);
  if (!ok || !std::isfinite(latitude) || std::abs(latitude) > 90) {
    *problem = QStringLiteral("緯度須為 -90 至 90 之間的數字（北緯為正，南緯為負）");
    return std::nullopt;
  }
  if (zone.isEmpty()) {
    *problem = QStringLiteral("請填入出生地的時區，例如 Asia/Taipei");
    return std::nullopt;
  }
  if (!TimeZone::Find(S(zone))) {
    *problem = QStringLiteral("找不到時區「%1」，請填入如 Asia/Taipei 的時區名稱").arg(zone);
    return std::nullopt;
  }
  p.place = qelm::Place{S(name), longitude, latitude, S(zone)};
  return p;
}

std::optional<CorrectionOutcome> PersonWindow::EnteredCorrection(const MomentInput& birth, QString* problem) const {
  const std::optional<StoredBirthPlace> p = EnteredPlace(problem);
  if (!p) return std::nullopt;
  CorrectionOutcome c = CorrectStoredBirth(birth, *p);
  if (!c) {
    const std::string change = ClockChangeText(c.resolution);
    *problem = Q(c.error == CorrectionError::Nonexistent && !change.empty() ? change
                                                                             : std::string(CorrectionErrorText(c.error)));
  }
  return c;
}

// The preview keeps its place; a long one (a leap or two-character month)
// grows to the right edge and then to the left, never over the buttons.
void PersonWindow::FitPreview() {
  int left = Px(2880), width = Px(2295);
  const int needed = Label4_->fontMetrics().horizontalAdvance(Label4_->text()) + 2;
  if (needed > width) {
    const int rightEdge = Px(5430) - Px(45);
    const int leftLimit = Px(1920 + 735) + Px(45);  // past 刪除
    width = std::min(needed, rightEdge - leftLimit);
    left = std::clamp(rightEdge - width, leftLimit, left);
  }
  Label4_->setGeometry(left, Px(1360), width, Px(255));
}

// ------------------------------------------------------------------ the list click

bool PersonWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == ListView1_->viewport() && e->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
    ListClicked();
  return QWidget::eventFilter(watched, e);
}

void PersonWindow::ListClicked() {
  if (ListView1_->topLevelItemCount() == 0) return;
  for (int k = kMonth; k <= kMinute; ++k) Combo1_[k]->setEnabled(true);
  CHECKLIST();
  const QList<QTreeWidgetItem*> selected = ListView1_->selectedItems();
  if (selected.isEmpty()) return;
  const int row = ListView1_->indexOfTopLevelItem(selected.front());
  if (row < 0 || static_cast<std::size_t>(row) >= list_.rows.size()) return;
  ShowEntry(list_.rows[row].fields);
}

// The entry shows a record: name, sex and the birth moment in the selectors.
void PersonWindow::ShowEntry(const records::Fields& f) {
  ShowPlace(records::FindPlaceEntry(places_, f));
  for (int k = kMonth; k <= kMinute; ++k) Combo1_[k]->setEnabled(true);
  Text1_->setText(Q(f[records::kName]));
  Option1_[Q(f[records::kSex]) == Option1_[0]->text() ? 0 : 1]->setChecked(true);

  // Year, month, day, hour, minute, in this order, each through the
  // selector handling. A field that is not an item of its selector (a "0"
  // of an entry made without choices, a hand-edited file) leaves that
  // selector without a chosen item and its remembered value at 0.
  for (int k = kYear; k <= kMinute; ++k) {
    if (k == kMonth && Combo1_[kMonth]->count() == 0) FillRange(kMonth, 1, 12);
    if (k == kHour && Combo1_[kHour]->count() == 0) FillRange(kHour, 0, 23);
    if (k == kMinute && Combo1_[kMinute]->count() == 0) FillRange(kMinute, 0, 59);
    bool number = false;
    const int value = Q(f[records::kYear + k]).trimmed().toInt(&number);
    const int index = value - kSelectors[k].first;
    bool shown = number && index >= 0 && index < Combo1_[k]->count();
    if (k == kDay && Combo1_[kMonth]->currentIndex() < 0) shown = false;  // no month, no day list
    if (shown) {
      choose(k, index);
    } else {
      choose(k, -1);
      remembered_[k] = 0;
    }
  }
  Preview();
}

// ------------------------------------------------------------------ the commands

QString PersonWindow::ChosenSex() const { return Option1_[0]->isChecked() ? Option1_[0]->text() : Option1_[1]->text(); }

// The entry as a record: name, sex and the chosen items; a selector without
// a chosen item keeps the text of `keep`.
records::Fields PersonWindow::EntryFields(const records::Fields& keep) const {
  records::Fields f = keep;
  f[records::kName] = S(Text1_->text());
  f[records::kSex] = S(ChosenSex());
  for (int k = kYear; k <= kMinute; ++k)
    if (Combo1_[k]->currentIndex() >= 0) f[records::kYear + k] = S(Combo1_[k]->currentText());
  return f;
}

// "輸入": the entry with the remembered selections ("0" for one never chosen).
void PersonWindow::Append() {
  records::Fields f;
  f[records::kName] = S(Text1_->text());
  f[records::kSex] = S(ChosenSex());
  for (int k = kYear; k <= kMinute; ++k) f[records::kYear + k] = std::to_string(remembered_[k]);
  QString problem;
  const std::optional<StoredBirthPlace> place = EnteredPlace(&problem);
  if (!problem.isEmpty()) {
    SetMessage(problem);
    return;
  }
  // refused: the entry stays for correction
  if (!SAVELIST(Edit::Append(f), place ? std::optional(ToPlaceEntry(*place)) : std::nullopt)) return;
  CHECKLIST();
  ENTERLIST();
  ShowRedo();
}

// "修改": the selected row takes the entry; the title shows its number.
void PersonWindow::Modify() {
  const QList<QTreeWidgetItem*> selected = ListView1_->selectedItems();
  const int row = selected.isEmpty() ? -1 : ListView1_->indexOfTopLevelItem(selected.front());
  if (row < 0 || static_cast<std::size_t>(row) >= list_.rows.size()) {
    SetMessage(QStringLiteral("請先在清單中點選要修改的資料"));
    return;
  }
  setWindowTitle(QString::number(row + 1));
  QString problem;
  const std::optional<StoredBirthPlace> place = EnteredPlace(&problem);
  if (!problem.isEmpty()) {
    SetMessage(problem);
    return;
  }
  const records::PersonRecord before = list_.rows[row];
  const records::Fields after = EntryFields(before.fields);
  // The place goes with the person; a twin row left with the old fields
  // keeps the old entry.
  if (!SAVELIST(Edit::Modify(static_cast<std::size_t>(row), before, after),
                place ? std::optional(ToPlaceEntry(*place)) : std::nullopt))
    return;
  CHECKLIST();
  ENTERLIST();
  ShowRedo();
}

// "刪除": the selected row goes at once.
void PersonWindow::Remove() {
  const QList<QTreeWidgetItem*> selected = ListView1_->selectedItems();
  const int row = selected.isEmpty() ? -1 : ListView1_->indexOfTopLevelItem(selected.front());
  if (row < 0 || static_cast<std::size_t>(row) >= list_.rows.size()) {
    SetMessage(QStringLiteral("請先在清單中點選要刪除的資料"));
    return;
  }
  // The birthplace goes with the person, unless a twin row still names it.
  if (!SAVELIST(Edit::Remove(static_cast<std::size_t>(row), list_.rows[row]))) return;
  CHECKLIST();
  ENTERLIST();
  ShowRedo();
}

// "確定": the main window casts the chart of the entry and shows it at the
// present moment; this window closes.
void PersonWindow::HandOver() {
  for (int k = kYear; k <= kHour; ++k)
    if (Combo1_[k]->currentIndex() < 0) return;
  const auto number = [this](int k) {
    return Combo1_[k]->currentIndex() >= 0 ? Combo1_[k]->currentText().toInt() : 0;  // no minute: 0
  };
  const MomentInput birth{number(kYear), number(kMonth), number(kDay), number(kHour), number(kMinute)};
  const int sex = Option1_[0]->isChecked() ? 1 : 0;
  // At the birthplace: a clock time that never existed there is refused.
  QString problem;
  const std::optional<CorrectionOutcome> c = EnteredCorrection(birth, &problem);
  if (!problem.isEmpty()) {
    SetMessage(problem);
    return;
  }
  if (!main_) return;
  if (c ? !main_->CastChart(S(Text1_->text()), sex, *c->correction) : !main_->CastChart(S(Text1_->text()), sex, birth))
    return;
  close();
}

void PersonWindow::closeEvent(QCloseEvent* e) {
  if (main_) main_->setEnabled(true);
  // Edits kept in memory: one more try; what is still not written stays
  // with the main window for the next opening and the program's end.
  if (!list_.unsaved.empty() || !places_.unsaved.empty()) records::SavePersonAndPlace(path_, list_, places_);
  if (pendingHook_ && !list_.unsaved.empty()) pendingHook_(std::exchange(list_, {}));
  if (pendingPlacesHook_ && !places_.unsaved.empty()) pendingPlacesHook_(std::exchange(places_, {}));
  QWidget::closeEvent(e);
}

// ------------------------------------------------------------------ edits left at the end

bool WriteUnsavedEdits(const fs::path& path, records::PersonList& list, const UnsavedPrompt& prompt) {
  QString note;  // what went wrong with the last choice
  for (;;) {
    const std::size_t count = list.unsaved.size();
    if (count == 0) return true;
    const records::SaveResult r = records::SAVELIST(path, list);
    if (!r.dropped.empty() && prompt.tell) prompt.tell(Q(r.message));
    if (list.unsaved.empty()) return true;
    QString text = QStringLiteral("清單有 %1 項修改尚未寫入 %2。\n%3")
                       .arg(count)
                       .arg(QFile::decodeName(path.c_str()), Q(r.message));
    if (!note.isEmpty()) text += QStringLiteral("\n") + note;
    note.clear();
    switch (prompt.choose(text)) {
      case UnsavedChoice::kRetry:
        break;
      case UnsavedChoice::kSaveAs: {
        const QString file = prompt.fileName();
        if (file.isEmpty()) break;
        const records::SaveResult w = records::WritePersonFile(PathOf(file), list);
        if (w) return true;
        note = QStringLiteral("另存失敗：") + Q(w.message);
        break;
      }
      case UnsavedChoice::kDiscard:
        return false;
    }
  }
}

UnsavedPrompt DialogPrompt(QWidget* parent) {
  UnsavedPrompt p;
  p.choose = [parent](const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("排盤"), text, QMessageBox::NoButton, parent);
    box.setInformativeText(
        QStringLiteral("「重試」再寫一次；「另存新檔」把整份清單寫到您選擇的檔案；"
                       "「放棄修改並結束」則這些修改將會遺失。"));
    QPushButton* retry = box.addButton(QStringLiteral("重試"), QMessageBox::AcceptRole);
    QPushButton* saveAs = box.addButton(QStringLiteral("另存新檔…"), QMessageBox::ActionRole);
    QPushButton* discard = box.addButton(QStringLiteral("放棄修改並結束"), QMessageBox::DestructiveRole);
    box.setDefaultButton(retry);
    box.setEscapeButton(retry);
    box.exec();
    if (box.clickedButton() == saveAs) return UnsavedChoice::kSaveAs;
    if (box.clickedButton() == discard) return UnsavedChoice::kDiscard;
    return UnsavedChoice::kRetry;
  };
  p.fileName = [parent] {
    const QString start = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(kFileName);
    return QFileDialog::getSaveFileName(parent, QStringLiteral("另存清單"), start);
  };
  p.tell = [parent](const QString& text) {
    QMessageBox::warning(parent, QStringLiteral("排盤"), text);
  };
  return p;
}

// ------------------------------------------------------------------ the main window's "排盤"

std::shared_ptr<PersonWindowState> ConnectPersonWindow(MainWindow& main, std::optional<fs::path> folder) {
  auto state = std::make_shared<PersonWindowState>();
  main.setPersonWindowHook([state, folder](MainWindow& m) {
    ShowSingle(state->window, [&] {
      auto* w = new PersonWindow(m, folder, std::exchange(state->pending, std::nullopt),
                                 std::exchange(state->pendingPlaces, std::nullopt));
      w->setPendingPlacesHook([weak = std::weak_ptr<PersonWindowState>(state), path = w->filePath()](
                                  records::PlaceBook places) {
        if (const auto s = weak.lock()) {
          s->path = path;
          s->pendingPlaces = std::move(places);
        }
      });
      w->setPendingHook([weak = std::weak_ptr<PersonWindowState>(state), path = w->filePath()](
                            records::PersonList list) {
        if (const auto s = weak.lock()) {
          s->path = path;
          s->pending = std::move(list);
        }
      });
      return w;
    });
  });
  return state;
}

bool FinishPersonEdits(PersonWindowState& state, const UnsavedPrompt& prompt) {
  if (state.window) state.window->close();
  bool written = true;
  if (state.pending) {
    written = WriteUnsavedEdits(state.path, *state.pending, prompt);
    state.pending.reset();
  }
  // Birthplace changes: one more try; the user hears of what is left.
  if (state.pendingPlaces) {
    const fs::path file = records::PlaceFilePath(state.path);
    const records::SaveResult r = records::SavePlaceFile(file, *state.pendingPlaces);
    if (!r && !state.pendingPlaces->unsaved.empty()) {
      written = false;
      if (prompt.tell)
        prompt.tell(QStringLiteral("出生地的 %1 項修改無法寫入 %2：%3")
                        .arg(state.pendingPlaces->unsaved.size())
                        .arg(QFile::decodeName(file.c_str()), Q(r.message)));
    }
    state.pendingPlaces.reset();
  }
  return written;
}

PersonWindow* OpenPersonWindowOf(const MainWindow& main) {
  for (PersonWindow* w : main.findChildren<PersonWindow*>(QString(), Qt::FindDirectChildrenOnly))
    if (w->isVisible()) return w;
  return nullptr;
}

}  // namespace qelm::ui
