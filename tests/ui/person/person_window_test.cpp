#include "ui/person/person_window.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QCoreApplication>
#include <QFileInfo>
#include <QDir>
#include <QStandardPaths>
#include <QAbstractItemView>
#include <QWindow>
#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "calendar/lunar.hpp"
#include "records/big5.hpp"
#include "records/place_file.hpp"
#include "records/person_and_place.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_folder.hpp"
#include "ui/person/unsaved_prompt.hpp"

#include "tests/ui/test_app.hpp"
#include "tests/ui/text_colour.hpp"

namespace qelm::ui {
namespace {

namespace fs = std::filesystem;
using Row = std::array<std::string, 7>;


// "男" and "女" in Big5.
const std::string kMale = "\xA8\x6B";
const std::string kFemale = "\xA4\x6B";

class PersonWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
  }
  void TearDown() override {
    main_.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  fs::path Folder() const { return fs::path(QFile::encodeName(dir_.path()).toStdString()); }
  fs::path UserPath() const { return Folder() / "User"; }

  // The person file, written as Big5 with CR LF.
  void WriteUser(const std::vector<Row>& rows) const {
    std::string bytes;
    for (const Row& r : rows) {
      for (std::size_t i = 0; i < r.size(); ++i) {
        const records::EncodedText e = records::EncodeBig5(r[i]);
        ASSERT_TRUE(e.bytes) << r[i];
        if (i > 0) bytes += '\t';
        bytes += *e.bytes;
      }
      bytes += "\r\n";
    }
    WriteBytes(bytes);
  }
  void WriteBytes(const std::string& bytes) const {
    std::ofstream(UserPath(), std::ios::binary) << bytes;
  }
  std::string ReadUser() const {
    std::ifstream in(UserPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Start-up as the program does it: the main window (its clock at
  // 2024-06-15 10:30), "排盤" wired to the person window, which opens over it.
  PersonWindow& Start() {
    main_ = std::make_unique<MainWindow>([] { return MakeMoment(2024, 6, 15, 10, 30); });
    ConnectPersonWindow(*main_, Folder());
    main_->show();
    main_->OpenPersonWindow();
    QApplication::processEvents();
    form_ = OpenPersonWindowOf(*main_);
    EXPECT_NE(form_, nullptr);
    return *form_;
  }

  template <class W = QWidget>
  W* C(const QString& name) const {
    W* w = form_->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QComboBox* Selector(int field) const { return form_->birthDate()->selector(field); }
  QAbstractItemView* List() const { return C<QAbstractItemView>("personList"); }
  int Rows() const { return List()->model()->rowCount(); }
  QString Preview() const { return C<QLabel>("lunarPreview")->text(); }
  QString Message() const { return C<QLabel>("messageLine")->text(); }
  void Click(const QString& name) const { QTest::mouseClick(C(name), Qt::LeftButton); }
  // Types text (any script) into a control, one key press a character.
  static void TypeText(QWidget* control, const char* utf8) {
    for (const QChar ch : QString::fromUtf8(utf8))
      QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
  // Where a control stands in the window.
  QRect InWindow(const QWidget* control) const { return {control->mapTo(form_, QPoint(0, 0)), control->size()}; }
  // A button of the main window, by its caption.
  QPushButton* MainButton(const QString& caption) const {
    for (QPushButton* b : main_->findChildren<QPushButton*>())
      if (b->text() == caption) return b;
    ADD_FAILURE() << "no button " << caption.toStdString();
    return nullptr;
  }

  // The user picks an item of a selector by its text: what the selector
  // does on a choice by mouse or keyboard.
  void Pick(int field, int value) const {
    QComboBox* selector = Selector(field);
    const int item = selector->findText(QString::number(value));
    ASSERT_GE(item, 0) << "selector " << field << " has no " << value;
    ASSERT_TRUE(selector->isEnabled()) << "selector " << field;
    selector->setCurrentIndex(item);
    emit selector->activated(item);
  }
  // The user opens the selector's drop-down list, moves to the item with
  // this text (it may be the item chosen already) and takes it with Enter.
  void PickFromList(int field, int value) const {
    QComboBox* selector = Selector(field);
    const int item = selector->findText(QString::number(value));
    ASSERT_GE(item, 0) << "selector " << field << " has no " << value;
    ASSERT_TRUE(selector->isEnabled()) << "selector " << field;
    selector->showPopup();
    QAbstractItemView* view = selector->view();
    view->setCurrentIndex(view->model()->index(item, 0));
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_FALSE(view->isVisible()) << "the list did not take the choice";
    ASSERT_EQ(selector->currentIndex(), item);
  }
  void PickMoment(int year, int month, int day, int hour, int minute) const {
    Pick(0, year);
    Pick(1, month);
    Pick(2, day);
    Pick(3, hour);
    Pick(4, minute);
  }
  void ClickRow(int row) const {
    QAbstractItemView* list = List();
    const QModelIndex index = list->model()->index(row, 0);
    ASSERT_TRUE(index.isValid()) << row;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
  }
  QString Cell(int row, int column) const { return List()->model()->index(row, column).data().toString(); }

  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> main_;
  PersonWindow* form_ = nullptr;
};

// The window as drawn: the controls' fonts and texts, each inside the window
// and clear of every other, in reading order (rows from the top, left to
// right in a row), each text whole.
TEST_F(PersonWindowTest, ControlsStandInReadingOrderInsideTheWindow) {
  PersonWindow& w = Start();
  EXPECT_EQ(w.windowTitle(), "排盤");
  EXPECT_EQ(w.palette().color(QPalette::Window), QColor(Qt::white));
  struct Control {
    const char* name;
    double points;
    const char* text;
  };
  const std::vector<std::vector<Control>> rows = {
      {{"nameCaption", 9.75, "姓名"}, {"nameEdit", 9.75, ""}, {"sexCaption", 9.75, "性別"},
       {"maleOption", 9.75, "男"}, {"femaleOption", 9.75, "女"}, {"chooseButton", 9, "確定"}},
      {{"birthCaption", 9.75, "生日 西元"}, {"yearSelector", 9.75, "年"}, {"monthSelector", 9.75, "月"},
       {"daySelector", 9.75, "日"}, {"hourSelector", 9.75, "時"}, {"minuteSelector", 9.75, "分"}},
      {{"appendButton", 9, "輸入"}, {"modifyButton", 9, "修改"}, {"deleteButton", 9, "刪除"},
       {"lunarPreview", 9.75, ""}},
      {{"personSearch", 9.75, ""}},
      {{"personList", 11.25, ""}},
      {{"compareButton", 9, "合盤"}, {"undoButton", 9, "復原刪除"}, {"findBirthButton", 9, "由八字找生日"}},
      {{"placeCaption", 9.75, "出生地"}, {"placeFinder", 9.75, ""}},
  };
  std::vector<std::pair<QString, QRect>> placed;
  int above = 0;  // the bottom of the row above
  for (const std::vector<Control>& row : rows) {
    int bottom = 0, right = -1;
    for (const Control& control : row) {
      QWidget* c = C(control.name);
      ASSERT_NE(c, nullptr);
      const QRect at = InWindow(c);
      EXPECT_TRUE(w.rect().contains(at)) << control.name;
      EXPECT_GE(at.top(), above) << control.name << " stands below the row above";
      EXPECT_GT(at.left(), right) << control.name << " stands right of the one before";
      right = at.right();
      bottom = std::max(bottom, at.bottom());
      for (const auto& [other, rect] : placed) EXPECT_FALSE(at.intersects(rect)) << control.name << " over " << other.toStdString();
      placed.emplace_back(control.name, at);
      EXPECT_EQ(c->font().family(), kSansFace) << control.name;
      EXPECT_DOUBLE_EQ(c->font().pointSizeF(), control.points) << control.name;
      QString text;
      if (auto* l = qobject_cast<QLabel*>(c)) text = l->text();
      if (auto* b = qobject_cast<QAbstractButton*>(c)) text = b->text();
      if (auto* s = qobject_cast<QComboBox*>(c)) text = s->placeholderText();
      EXPECT_EQ(text, QString::fromUtf8(control.text)) << control.name;
      EXPECT_LE(c->fontMetrics().horizontalAdvance(text), c->width()) << control.name << " shows its text whole";
    }
    above = bottom;
  }
  EXPECT_EQ(TextColour(C("lunarPreview")), 0x0000C0u);
  EXPECT_TRUE(C<QRadioButton>("maleOption")->isChecked());

  // The columns: headings, the name left and the numbers centred, each wide
  // enough for its heading, all inside the list.
  const std::array<const char*, 7> headings{"姓名", "性別", "西元", "月", "日", "時", "分"};
  auto* list = C<QTableView>("personList");
  ASSERT_EQ(list->model()->columnCount(), 7);
  int total = 0;
  for (int column = 0; column < 7; ++column) {
    const QString heading = list->model()->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(heading, QString::fromUtf8(headings[column]));
    EXPECT_EQ(list->model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
              column == 0 ? Qt::AlignLeft : Qt::AlignHCenter);
    EXPECT_GT(list->columnWidth(column), list->horizontalHeader()->fontMetrics().horizontalAdvance(heading));
    total += list->columnWidth(column);
  }
  EXPECT_LE(total, list->viewport()->width());
  // Set-up on an empty folder: an empty file, no rows, nothing to edit.
  EXPECT_TRUE(fs::exists(UserPath()));
  EXPECT_EQ(fs::file_size(UserPath()), 0u);
  EXPECT_FALSE(C("modifyButton")->isEnabled());
  EXPECT_FALSE(C("deleteButton")->isEnabled());
  EXPECT_TRUE(Selector(0)->isEnabled());
  for (int field = 1; field < 5; ++field) EXPECT_FALSE(Selector(field)->isEnabled()) << field;
  EXPECT_EQ(Selector(0)->count(), 199);
  EXPECT_EQ(Selector(0)->itemText(0), "1901");
  EXPECT_EQ(Selector(0)->itemText(198), "2099");
  for (int field = 0; field < 5; ++field) EXPECT_EQ(Selector(field)->currentIndex(), -1);
  for (int field = 1; field < 5; ++field) EXPECT_EQ(Selector(field)->count(), 0) << "filled on first use";
}

TEST_F(PersonWindowTest, SelectorsOpenOneAfterAnother) {
  Start();
  Pick(0, 1984);
  EXPECT_TRUE(Selector(1)->isEnabled());
  EXPECT_EQ(Selector(1)->count(), 12);
  EXPECT_FALSE(Selector(2)->isEnabled());
  EXPECT_EQ(Preview(), "陰曆");
  Pick(1, 2);
  EXPECT_EQ(Preview(), "陰曆") << "no day yet";
  Pick(2, 2);
  EXPECT_EQ(Selector(3)->count(), 24);
  EXPECT_EQ(Selector(3)->itemText(0), "0");
  EXPECT_EQ(Preview(), "陰曆 甲子年正月初一日");
  Pick(3, 10);
  EXPECT_EQ(Selector(4)->count(), 60);
  Pick(4, 59);
  for (int field = 0; field < 5; ++field) EXPECT_EQ(form_->birthDate()->remembered(field), (std::array{1984, 2, 2, 10, 59})[field]);
}

TEST_F(PersonWindowTest, ChoosingTheSameItemAgainRunsItsHandling) {
  PersonWindow& w = Start();
  w.activateWindow();
  if (!QTest::qWaitForWindowActive(&w)) GTEST_SKIP() << "no window activation on this platform";
  PickFromList(0, 1984);
  ASSERT_TRUE(Selector(1)->isEnabled());
  PickFromList(1, 2);
  PickFromList(2, 2);
  C<QLineEdit>("nameEdit")->setText("甲");
  Click("appendButton");  // 輸入: the selectors after the year wait again
  ASSERT_FALSE(Selector(1)->isEnabled());
  // The next person shares the year: choosing it once more opens the month.
  PickFromList(0, 1984);
  EXPECT_TRUE(Selector(1)->isEnabled());
  EXPECT_EQ(Preview(), "陰曆 甲子年正月初一日");
  // The same month once more refills the day list, which waits for a day.
  PickFromList(1, 2);
  EXPECT_TRUE(Selector(2)->isEnabled());
  EXPECT_EQ(Selector(2)->currentIndex(), -1);
  EXPECT_EQ(form_->birthDate()->remembered(2), 2);

  // A choice by keyboard on the closed selector counts as well.
  C<QLineEdit>("nameEdit")->setText("乙");
  Click("appendButton");
  ASSERT_FALSE(Selector(1)->isEnabled());
  QTest::keyClick(Selector(0), Qt::Key_Down);
  EXPECT_EQ(Selector(0)->currentText(), "1985");
  EXPECT_EQ(form_->birthDate()->remembered(0), 1985);
  EXPECT_TRUE(Selector(1)->isEnabled());
}

TEST_F(PersonWindowTest, FebruaryFollowsTheGregorianLeapYear) {
  Start();
  struct Case {
    int year, days;
  };
  for (const Case c : {Case{2000, 29}, Case{2001, 28}, Case{2004, 29}, Case{2100 - 1, 28}, Case{1904, 29}}) {
    Pick(0, c.year);
    Pick(1, 2);
    EXPECT_EQ(Selector(2)->count(), c.days) << c.year;
    EXPECT_EQ(Selector(2)->itemText(c.days - 1), QString::number(c.days));
  }
  Pick(1, 4);
  EXPECT_EQ(Selector(2)->count(), 30);
  Pick(1, 12);
  EXPECT_EQ(Selector(2)->count(), 31);
}

TEST_F(PersonWindowTest, ANewYearRechecksFebruary) {
  Start();
  Pick(0, 2000);
  Pick(1, 2);
  Pick(2, 29);
  Pick(0, 2001);  // 29 February 2001 does not exist: the last day is chosen
  EXPECT_EQ(Selector(2)->count(), 28);
  EXPECT_EQ(Selector(2)->currentText(), "28");
  EXPECT_EQ(form_->birthDate()->remembered(2), 28);
  Pick(0, 2004);  // the 28th still exists and stays
  EXPECT_EQ(Selector(2)->count(), 29);
  EXPECT_EQ(Selector(2)->currentText(), "28");
  Pick(2, 10);
  Pick(0, 2001);
  EXPECT_EQ(Selector(2)->currentText(), "10");
}

TEST_F(PersonWindowTest, Day31ThenAprilChoosesThe30th) {
  Start();
  Pick(0, 1984);
  Pick(1, 1);
  Pick(2, 31);
  Pick(3, 10);
  Pick(1, 4);
  EXPECT_EQ(Selector(2)->count(), 30);
  EXPECT_EQ(Selector(2)->currentIndex(), 29);
  EXPECT_EQ(form_->birthDate()->remembered(2), 30);
  EXPECT_EQ(Preview(), "陰曆 甲子年三月三十日");
}

TEST_F(PersonWindowTest, Day15ThenAprilWaitsForADay) {
  Start();
  PickMoment(1984, 1, 15, 10, 0);
  Pick(1, 4);
  EXPECT_EQ(Selector(2)->count(), 30);
  EXPECT_EQ(Selector(2)->currentIndex(), -1);
  EXPECT_EQ(form_->birthDate()->remembered(2), 15);
  EXPECT_EQ(Preview(), "陰曆 甲子年三月十五日");
  Click("chooseButton");  // 確定: nothing until a day is chosen
  EXPECT_EQ(OpenPersonWindowOf(*main_), form_);
  EXPECT_FALSE(main_->isEnabled());
  EXPECT_FALSE(main_->chartLoaded());
  Pick(2, 15);
  Click("chooseButton");
  EXPECT_TRUE(main_->chartLoaded());
  EXPECT_EQ(main_->chart()->BirthDay, 15);
  EXPECT_EQ(main_->chart()->BirthMonth, 4);
}

TEST_F(PersonWindowTest, PreviewNames) {
  Start();
  struct Case {
    std::array<int, 5> moment;
    const char* text;
  };
  const Case cases[] = {
      {{1984, 2, 2, 0, 0}, "陰曆 甲子年正月初一日"},
      {{1984, 2, 1, 22, 59}, "陰曆 癸亥年十二月三十日"},
      {{1984, 2, 1, 23, 0}, "陰曆 甲子年正月初一日"},  // 23:00 opens the next day
      {{2020, 5, 23, 10, 0}, "陰曆 庚子年閏四月初一日"},
      {{2019, 12, 26, 10, 0}, "陰曆 己亥年十二月初一日"},
  };
  for (const Case& c : cases) {
    PickMoment(c.moment[0], c.moment[1], c.moment[2], c.moment[3], c.moment[4]);
    EXPECT_EQ(Preview(), QString::fromUtf8(c.text)) << c.text;
    // A long preview is not cut and stays clear of 刪除 and the window's edge.
    QLabel* l = C<QLabel>("lunarPreview");
    EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << c.text;
    EXPECT_GT(l->x(), C("deleteButton")->geometry().right());
    EXPECT_LE(l->geometry().right(), form_->width());
  }
}

// An entry without a name or a birth date is refused with a message, and
// nothing is written (it used to store "0 0 0 0 0").
TEST_F(PersonWindowTest, AnIncompleteEntryIsRefused) {
  Start();
  Click("appendButton");
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Message(), "請輸入姓名");
  C<QLineEdit>("nameEdit")->setText("甲");
  Click("appendButton");
  EXPECT_EQ(Rows(), 0);
  EXPECT_NE(Message().indexOf("出生日期不完整"), -1) << Message().toStdString();
  EXPECT_EQ(ReadUser(), "");
  EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), "甲") << "the entry stays for correction";
  // 確定 without a date says why.
  Click("chooseButton");
  EXPECT_EQ(Message(), "請先選擇出生的年、月、日、時");
  EXPECT_NE(OpenPersonWindowOf(*main_), nullptr);
}

TEST_F(PersonWindowTest, AppendTakesTheEntryAndPreparesTheNext) {
  Start();
  C<QLineEdit>("nameEdit")->setText("林美");
  C<QRadioButton>("femaleOption")->setChecked(true);
  PickMoment(2001, 2, 3, 4, 5);
  Click("appendButton");
  ASSERT_EQ(Rows(), 1);
  const std::array<const char*, 7> row{"林美", "女", "2001", "2", "3", "4", "5"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(Cell(0, c), QString::fromUtf8(row[c]));
  // A new entry: the name is empty, the selectors after the year wait, their
  // choices and the remembered values stay.
  EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), "");
  for (int field = 1; field < 5; ++field) EXPECT_FALSE(Selector(field)->isEnabled());
  EXPECT_EQ(Selector(2)->currentText(), "3");
  EXPECT_EQ(form_->birthDate()->remembered(4), 5);
}

TEST_F(PersonWindowTest, ModifyTheThirdRowTitlesTheWindow3) {
  WriteUser({{"甲", "男", "1950", "1", "1", "1", "1"},
             {"乙", "女", "1960", "2", "2", "2", "2"},
             {"丙", "男", "1970", "3", "3", "3", "3"}});
  const std::string before = ReadUser();
  Start();
  ASSERT_EQ(Rows(), 3);
  ClickRow(2);
  EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), "丙");
  EXPECT_EQ(Selector(0)->currentText(), "1970");
  C<QLineEdit>("nameEdit")->setText("丁");
  Pick(3, 23);
  Click("modifyButton");
  EXPECT_EQ(form_->windowTitle(), "3");
  const std::array<const char*, 7> row{"丁", "男", "1970", "3", "3", "23", "3"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(Cell(2, c), QString::fromUtf8(row[c]));
  const std::string after = ReadUser();
  const std::string firstTwo = before.substr(0, before.find("\r\n", before.find("\r\n") + 2) + 2);
  EXPECT_EQ(after.substr(0, firstTwo.size()), firstTwo);
  EXPECT_EQ(after.substr(firstTwo.size()), *records::EncodeBig5("丁").bytes + "\t" + kMale + "\t1970\t3\t3\t23\t3\r\n");
}

TEST_F(PersonWindowTest, ModifyKeepsTheStoredTextOfASelectorWithoutChoice) {
  WriteUser({{"甲", "男", "1984", "1", "15", "10", "20"}});
  Start();
  ClickRow(0);
  Pick(1, 4);  // the day waits to be chosen again
  ASSERT_EQ(Selector(2)->currentIndex(), -1);
  C<QLineEdit>("nameEdit")->setText("甲");
  Click("modifyButton");
  EXPECT_EQ(Cell(0, 3), "4");
  EXPECT_EQ(Cell(0, 4), "15");
}

TEST_F(PersonWindowTest, DeleteRemovesTheSelectedRow) {
  WriteUser({{"甲", "男", "1950", "1", "1", "1", "1"}, {"乙", "女", "1960", "2", "2", "2", "2"}});
  Start();
  ClickRow(0);
  Click("deleteButton");
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 0), "乙");
  EXPECT_TRUE(List()->selectionModel()->selectedRows().isEmpty());
  Click("deleteButton");  // nothing selected: nothing goes
  EXPECT_EQ(Rows(), 1);
  EXPECT_FALSE(Message().isEmpty());
  ClickRow(0);
  Click("deleteButton");
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(ReadUser(), "");
  EXPECT_FALSE(C("modifyButton")->isEnabled());
  EXPECT_FALSE(C("deleteButton")->isEnabled());
}

TEST_F(PersonWindowTest, RowClickFillsTheEntry) {
  struct Case {
    Row row;
    bool male;
    std::array<int, 5> chosen;  // positions, -1 for none
    std::array<int, 5> remembered;
  };
  const Case cases[] = {
      {{"甲", "男", "1990", "5", "17", "14", "30"}, true, {89, 4, 16, 14, 30}, {1990, 5, 17, 14, 30}},
      {{"乙", "X", "1901", "1", "1", "0", "0"}, false, {0, 0, 0, 0, 0}, {1901, 1, 1, 0, 0}},
      {{"丙", "", "2099", "12", "31", "23", "59"}, false, {198, 11, 30, 23, 59}, {2099, 12, 31, 23, 59}},
      // An entry made without choices, and hand-edited rows: what can be
      // shown is shown, the rest waits without a chosen item.
      {{"丁", "男", "0", "0", "0", "0", "0"}, true, {-1, -1, -1, 0, 0}, {0, 0, 0, 0, 0}},
      {{"戊", "女", "1980", "2", "30", "x", "75"}, false, {79, 1, -1, -1, -1}, {1980, 2, 0, 0, 0}},
      {{"己", "男", "1800", "6", "10", "8", ""}, true, {-1, 5, 9, 8, -1}, {0, 6, 10, 8, 0}},
  };
  std::vector<Row> rows;
  for (const Case& c : cases) rows.push_back(c.row);
  WriteUser(rows);
  Start();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    ClickRow(static_cast<int>(i));
    EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), Q(c.row[0])) << i;
    EXPECT_EQ(C<QRadioButton>("maleOption")->isChecked(), c.male) << i;
    EXPECT_EQ(C<QRadioButton>("femaleOption")->isChecked(), !c.male) << i;
    for (int field = 0; field < 5; ++field) {
      EXPECT_TRUE(Selector(field)->isEnabled()) << i << " " << field;
      EXPECT_EQ(Selector(field)->currentIndex(), c.chosen[field]) << i << " selector " << field;
      EXPECT_EQ(form_->birthDate()->remembered(field), c.remembered[field]) << i << " selector " << field;
    }
  }
  // The last row lacks a year: 確定 waits.
  Click("chooseButton");
  EXPECT_FALSE(main_->chartLoaded());
  EXPECT_EQ(OpenPersonWindowOf(*main_), form_);
  EXPECT_EQ(Preview(), "陰曆");
}

TEST_F(PersonWindowTest, HandOverWithoutMinuteTakesMinute0) {
  Start();
  C<QLineEdit>("nameEdit")->setText("林美");
  C<QRadioButton>("femaleOption")->setChecked(true);
  Pick(0, 2001);
  Pick(1, 2);
  Pick(2, 3);
  Pick(3, 4);
  ASSERT_EQ(Selector(4)->currentIndex(), -1);
  Click("chooseButton");
  ASSERT_TRUE(main_->chartLoaded());
  EXPECT_EQ(main_->chart()->PersonName, "林美");
  EXPECT_EQ(main_->chart()->Sex, Sex::Female);
  EXPECT_EQ(main_->chart()->BirthHour, 4);
  EXPECT_EQ(main_->chart()->BirthMinute, 0);
}

TEST_F(PersonWindowTest, CloseBoxKeepsAChartLive) {
  WriteUser({{"王小明", "男", "1990", "5", "17", "14", "30"}});
  PersonWindow& w = Start();
  EXPECT_FALSE(main_->isEnabled());
  ClickRow(0);
  w.close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(OpenPersonWindowOf(*main_), nullptr);
  EXPECT_TRUE(main_->isEnabled());
  EXPECT_FALSE(main_->chartLoaded());
  QTest::mouseClick(MainButton("五行強弱"), Qt::LeftButton);
  EXPECT_EQ(main_->analysisWindow(AnalysisKind::Strength), nullptr);

  // With a chart on screen, "排盤" sets it aside while it is open; closing
  // it without a choice gives the chart back, live: the analysis buttons
  // open their windows and the flow line names the person again.
  ASSERT_TRUE(main_->CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  const QString drawn = main_->findChild<QLabel*>("birthDataLine")->text();
  QTest::mouseClick(MainButton("排盤"), Qt::LeftButton);
  PersonWindow* again = OpenPersonWindowOf(*main_);
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(main_->isEnabled());
  EXPECT_FALSE(main_->chartLoaded());
  again->close();
  EXPECT_TRUE(main_->isEnabled());
  EXPECT_TRUE(main_->chartLoaded());
  EXPECT_EQ(main_->findChild<QLabel*>("birthDataLine")->text(), drawn);
  main_->setField(0, 2025);
  EXPECT_TRUE(main_->findChild<QLabel*>("personLine")->text().startsWith("王小明")) << "a flow step keeps the name";
  QTest::mouseClick(MainButton("文字輸出"), Qt::LeftButton);
  EXPECT_NE(main_->analysisWindow(AnalysisKind::TextOutput), nullptr);
}

TEST_F(PersonWindowTest, OneWindowAtATime) {
  Start();
  main_->OpenPersonWindow();
  EXPECT_EQ(main_->findChildren<PersonWindow*>().size(), 1);
}

TEST_F(PersonWindowTest, RefusedNamesChangeNothing) {
  WriteUser({{"甲", "男", "1950", "1", "1", "1", "1"}});
  const std::string file = ReadUser();
  Start();
  const QRect listAlone = InWindow(List());  // with no message above it
  const QString longest = QString(51, QChar(u'陳')), hostile = QString(40000, QChar(u'a'));
  for (const QString& name : {QStringLiteral("a\tb"), QStringLiteral("a\nb"), QStringLiteral("a\rb"),
                              QStringLiteral("😀"), QStringLiteral("王𠀀"), longest, hostile}) {
    for (const char* command : {"appendButton", "modifyButton"}) {
      ClickRow(0);
      C<QLineEdit>("nameEdit")->setText(name);
      Click(command);
      EXPECT_EQ(Rows(), 1) << command;
      EXPECT_EQ(Cell(0, 0), "甲") << command;
      EXPECT_EQ(ReadUser(), file) << command;
      EXPECT_FALSE(Message().isEmpty()) << command;
      EXPECT_TRUE(C("messageLine")->isVisible());
      EXPECT_EQ(TextColour(C("messageLine")), 0x0000C0u);
      // The name stays for correction, never cut; the list makes room for the message.
      EXPECT_TRUE(C<QLineEdit>("nameEdit")->text() == name) << C<QLineEdit>("nameEdit")->text().size();
      EXPECT_GT(InWindow(List()).top(), InWindow(C("messageLine")).bottom());
      EXPECT_EQ(InWindow(List()).bottom(), listAlone.bottom());
    }
  }
  EXPECT_NE(Message().indexOf("最多 50 個字"), -1);
  ClickRow(0);
  C<QLineEdit>("nameEdit")->setText("乙");
  Click("appendButton");
  EXPECT_EQ(Message(), "");
  EXPECT_FALSE(C("messageLine")->isVisible());
  EXPECT_EQ(InWindow(List()), listAlone) << "the list takes its room back";
  EXPECT_EQ(Rows(), 2);
}

TEST_F(PersonWindowTest, AnEditMeetsTheFileAsAnotherCopyLeftIt) {
  WriteUser({{"甲", "男", "1950", "1", "1", "1", "1"}, {"乙", "女", "1960", "2", "2", "2", "2"}});
  Start();
  // Meanwhile another copy of the program puts 丙 first.
  WriteUser({{"丙", "男", "1970", "3", "3", "3", "3"},
             {"甲", "男", "1950", "1", "1", "1", "1"},
             {"乙", "女", "1960", "2", "2", "2", "2"}});
  ClickRow(1);  // 乙 as this window shows it
  C<QLineEdit>("nameEdit")->setText("丁");
  Click("modifyButton");
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(0, 0), "丙");
  EXPECT_EQ(Cell(1, 0), "甲");
  EXPECT_EQ(Cell(2, 0), "丁");
  EXPECT_NE(Message(), "");
  const records::LoadResult disk = records::ReadPersonFile(UserPath());
  ASSERT_EQ(disk.list.rows.size(), 3u);
  EXPECT_EQ(disk.list.rows[2].fields[0], "丁");

  // A row the other copy deleted cannot be changed: a clear refusal.
  WriteUser({{"丙", "男", "1970", "3", "3", "3", "3"}});
  ClickRow(1);
  C<QLineEdit>("nameEdit")->setText("戊");
  Click("modifyButton");
  EXPECT_NE(Message(), "");
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 0), "丙");
  EXPECT_EQ(records::ReadPersonFile(UserPath()).list.rows.size(), 1u);
}

// A change kept in memory while another copy held the folder, whose row
// that copy then removed: the window shows the file, names the change it
// could not apply and puts it back in the entry for one press of 輸入.
TEST_F(PersonWindowTest, AKeptChangeThatNoLongerFitsIsOfferedAgain) {
  WriteUser({{"甲", "男", "1950", "1", "1", "1", "1"}, {"乙", "女", "1960", "2", "2", "2", "2"}});
  Start();
  {
    const int held = ::open(dir_.path().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ClickRow(0);
    C<QLineEdit>("nameEdit")->setText("丁");
    Pick(4, 30);
    Click("modifyButton");
    ::close(held);
  }
  ASSERT_NE(Message().indexOf("記憶體"), -1);
  WriteUser({{"乙", "女", "1960", "2", "2", "2", "2"}});  // the other copy removes 甲

  C<QLineEdit>("nameEdit")->setText("丙");
  Click("appendButton");
  EXPECT_NE(Message().indexOf("修改第 1 筆「甲」為「丁」"), -1) << Message().toStdString();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0), "乙");
  EXPECT_EQ(Cell(1, 0), "丙");
  EXPECT_EQ(records::ReadPersonFile(UserPath()).list.rows.size(), 2u);
  // The change that could not be applied stands in the entry.
  EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), "丁");
  EXPECT_TRUE(C<QRadioButton>("maleOption")->isChecked());
  const std::array<const char*, 5> moment{"1950", "1", "1", "1", "30"};
  for (int field = 0; field < 5; ++field) EXPECT_EQ(Selector(field)->currentText(), moment[field]) << field;

  Click("appendButton");  // one press brings it back
  EXPECT_EQ(Message(), "");
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(2, 0), "丁");
  EXPECT_EQ(Cell(2, 6), "30");
  EXPECT_EQ(records::ReadPersonFile(UserPath()).list.rows.size(), 3u);
}

// The same, found when the window opens again after closing with the change
// still in memory.
TEST_F(PersonWindowTest, AKeptChangeThatNoLongerFitsIsOfferedAtTheNextOpening) {
  WriteUser({{"甲", "男", "1950", "1", "1", "1", "1"}, {"乙", "女", "1960", "2", "2", "2", "2"}});
  Start();
  {
    const int held = ::open(dir_.path().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ClickRow(0);
    C<QLineEdit>("nameEdit")->setText("丁");
    Click("modifyButton");
    WriteUser({{"乙", "女", "1960", "2", "2", "2", "2"}});  // the other copy removes 甲
    form_->close();  // still locked: the change stays in memory
    ::close(held);
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  main_->OpenPersonWindow();
  form_ = OpenPersonWindowOf(*main_);
  ASSERT_NE(form_, nullptr);
  EXPECT_NE(Message().indexOf("修改第 1 筆「甲」為「丁」"), -1) << Message().toStdString();
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), "丁");
  Click("appendButton");
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(1, 0), "丁");
  EXPECT_EQ(records::ReadPersonFile(UserPath()).list.rows.size(), 2u);
}

// Edits kept in memory are written when the window closes, once the folder
// can be written again.
TEST_F(PersonWindowTest, ClosingTheWindowWritesKeptEdits) {
  WriteUser({{"甲", "男", "1950", "1", "1", "1", "1"}});
  Start();
  {
    const int held = ::open(dir_.path().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    C<QLineEdit>("nameEdit")->setText("乙");
    PickMoment(1950, 1, 1, 1, 1);
    Click("appendButton");
    ::close(held);
  }
  ASSERT_NE(Message().indexOf("記憶體"), -1);
  ASSERT_EQ(records::ReadPersonFile(UserPath()).list.rows.size(), 1u);
  form_->close();
  const records::LoadResult disk = records::ReadPersonFile(UserPath());
  ASSERT_EQ(disk.list.rows.size(), 2u);
  EXPECT_EQ(disk.list.rows[1].fields[0], "乙");
}

TEST_F(PersonWindowTest, AFolderThatCannotBeWrittenKeepsTheListInMemory) {
  // The folder is a plain file: nothing can be created in it.
  WriteBytes("");
  main_ = std::make_unique<MainWindow>([] { return MakeMoment(2024, 6, 15, 10, 30); });
  ConnectPersonWindow(*main_, UserPath());
  main_->OpenPersonWindow();
  form_ = OpenPersonWindowOf(*main_);
  ASSERT_NE(form_, nullptr);
  EXPECT_NE(Message(), "");
  C<QLineEdit>("nameEdit")->setText("甲");
  PickMoment(1950, 1, 1, 1, 1);
  Click("appendButton");
  EXPECT_EQ(Rows(), 1);
  EXPECT_NE(Message(), "") << "the window never reports a save that did not happen";
  EXPECT_NE(Message().indexOf("記憶體"), -1);

  // Reopened, the window still has the entry that could not be written.
  form_->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  main_->OpenPersonWindow();
  form_ = OpenPersonWindowOf(*main_);
  ASSERT_NE(form_, nullptr);
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 0), "甲");
}

// A list that lives in the data folder, not beside the program: every
// message of the window begins with its place.
TEST_F(PersonWindowTest, AListOutsideTheProgramFolderIsNamedInEveryMessage) {
  if (QFileInfo::exists(QDir(QCoreApplication::applicationDirPath()).filePath("User")))
    GTEST_SKIP() << "a list beside the test program";
  QStandardPaths::setTestModeEnabled(true);
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  ASSERT_TRUE(QDir().mkpath(data));
  const QString list = QDir(data).filePath("User");
  std::ofstream(list.toStdString(), std::ios::binary) << "\xA5\xD2\t" << kMale << "\t1950\t1\t1\t1\t1\r\n";
  main_ = std::make_unique<MainWindow>([] { return MakeMoment(2024, 6, 15, 10, 30); });
  ConnectPersonWindow(*main_);
  main_->OpenPersonWindow();
  form_ = OpenPersonWindowOf(*main_);
  ASSERT_NE(form_, nullptr);
  const QString where = QStringLiteral("清單檔案：") + list;
  EXPECT_TRUE(Message().startsWith(where)) << Message().toStdString();
  EXPECT_EQ(Rows(), 1);
  C<QLineEdit>("nameEdit")->setText("乙");
  PickMoment(1950, 1, 1, 1, 1);
  Click("appendButton");
  EXPECT_EQ(Message(), where);
  C<QLineEdit>("nameEdit")->setText("a\tb");
  Click("appendButton");
  EXPECT_TRUE(Message().startsWith(where + QStringLiteral("；"))) << Message().toStdString();
  EXPECT_EQ(records::ReadPersonFile(list.toStdString()).list.rows.size(), 2u);
  form_->close();
  QFile::remove(list);
  QStandardPaths::setTestModeEnabled(false);
}

TEST_F(PersonWindowTest, AnOversizedFileIsShownInPartAndNeverWritten) {
  std::string bytes;
  const std::string line = "a\t" + kMale + "\t1990\t5\t17\t14\t30\r\n";
  for (std::size_t i = 0; i <= records::kMaxRecords; ++i) bytes += line;
  WriteBytes(bytes);
  Start();
  EXPECT_EQ(Rows(), static_cast<int>(records::kMaxRecords));
  EXPECT_NE(Message().indexOf("100000"), -1);
  Click("appendButton");
  EXPECT_EQ(Rows(), static_cast<int>(records::kMaxRecords));
  EXPECT_NE(Message(), "");
  EXPECT_EQ(ReadUser().size(), bytes.size());
}

// A line just under the file's size cap, nearly all name: shown shortened,
// quick to click, and kept byte for byte through other edits.
TEST_F(PersonWindowTest, AHugeLineIsShownShortened) {
  const std::string huge = std::string(31 << 20, 'x') + "\t" + kMale + "\t1990\t5\t17\t14\t30\r\n";
  WriteBytes(huge);
  Start();
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 0), QString(50, QChar(u'x')) + QStringLiteral("…"));
  ClickRow(0);
  EXPECT_EQ(C<QLineEdit>("nameEdit")->text().size(), 51);
  EXPECT_EQ(Selector(0)->currentText(), "1990");
  C<QLineEdit>("nameEdit")->setText("甲");
  Click("appendButton");
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(ReadUser(), huge + "\xA5\xD2\t" + kMale + "\t1990\t5\t17\t14\t30\r\n");
}

// Another window clicked and this one again: the entry, the typed name and
// the selection stay, so 修改 never writes an emptied form over a person (it
// used to empty the name while the row stayed selected, and 修改 then saved
// a line beginning with a TAB).
TEST_F(PersonWindowTest, BecomingActiveAgainKeepsTheEntry) {
  WriteUser({{"甲", "男", "1950", "1", "1", "1", "1"}});
  const std::string before = ReadUser();
  PersonWindow& w = Start();
  ClickRow(0);
  ASSERT_EQ(C<QLineEdit>("nameEdit")->text(), "甲");
  QWidget other;
  other.show();
  other.activateWindow();
  if (!QTest::qWaitForWindowActive(&other)) GTEST_SKIP() << "no window activation on this platform";
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), "甲");
  EXPECT_TRUE(Selector(1)->isEnabled());
  Click("modifyButton");
  EXPECT_EQ(ReadUser(), before);

  // 修改 leaves the row selected and the name empty: a second 修改 is
  // refused, not written.
  ClickRow(0);
  Click("modifyButton");
  ASSERT_EQ(C<QLineEdit>("nameEdit")->text(), "");
  Click("modifyButton");
  EXPECT_EQ(Message(), "請輸入姓名");
  EXPECT_EQ(ReadUser(), before);

  // A name being typed stays through the same.
  C<QLineEdit>("nameEdit")->setText("乙");
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), "乙");
}

// Tab from the name field: the birthplace comes before the commands and the
// list; Tab into the list leaves a new entry alone; the search field is
// reached by Tab as well.
TEST_F(PersonWindowTest, TabIntoTheListKeepsANewEntry) {
  WriteUser({{"甲", "男", "1950", "1", "1", "1", "1"}});
  PersonWindow& w = Start();
  w.activateWindow();
  if (!QTest::qWaitForWindowActive(&w)) GTEST_SKIP() << "no window activation on this platform";
  C<QLineEdit>("nameEdit")->setText("乙");
  PickMoment(1984, 2, 2, 10, 0);
  C<QLineEdit>("nameEdit")->setFocus();
  std::vector<QWidget*> reached;
  for (int tabs = 0; tabs < 40 && QApplication::focusWidget() != List(); ++tabs) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    reached.push_back(QApplication::focusWidget());
  }
  std::string order;
  for (QWidget* c : reached) order += c->objectName().toStdString() + " ";
  ASSERT_EQ(QApplication::focusWidget(), List()) << order;
  const auto at = [&](QWidget* c) { return std::find(reached.begin(), reached.end(), c) - reached.begin(); };
  SCOPED_TRACE(order);
  EXPECT_LT(at(form_->birthplace()->finder()), at(C("appendButton")));
  EXPECT_LT(at(C("appendButton")), at(C("personSearch")));
  EXPECT_LT(at(C("personSearch")), at(List()));
  EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), "乙");
  EXPECT_EQ(form_->personList()->selectedRecord(), std::nullopt);
  Click("appendButton");
  EXPECT_EQ(records::ReadPersonFile(UserPath()).list.rows.at(1).fields[0], "乙");
}

// From start-up to a drawn chart, and the file as the edits left it.
TEST_F(PersonWindowTest, FromStartUpToTheChart) {
  WriteUser({{"林美", "女", "2001", "2", "3", "4", "5"}});
  PersonWindow& w = Start();
  EXPECT_FALSE(main_->isEnabled());
  EXPECT_TRUE(w.isEnabled());
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(main_->chartLoaded());

  // A new person, a change and a deletion, all through the window.
  C<QLineEdit>("nameEdit")->setText("王小明");
  PickMoment(1990, 5, 17, 14, 0);
  Click("appendButton");
  ClickRow(1);
  Pick(4, 30);
  C<QLineEdit>("nameEdit")->setText("王小明");
  Click("modifyButton");
  ClickRow(0);
  Click("deleteButton");
  EXPECT_EQ(ReadUser(), "\xA4\xFD\xA4\x70\xA9\xFA\t" + kMale + "\t1990\t5\t17\t14\t30\r\n");

  ClickRow(0);
  EXPECT_EQ(Preview(), "陰曆 庚午年四月廿三日");
  Click("chooseButton");
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(OpenPersonWindowOf(*main_), nullptr);
  EXPECT_TRUE(main_->findChildren<PersonWindow*>().isEmpty());
  EXPECT_TRUE(main_->isEnabled());
  ASSERT_TRUE(main_->chartLoaded());
  const auto T = [&](const char* name) { return main_->findChild<QLabel*>(name)->text(); };
  const std::array<std::pair<const char*, const char*>, 8> natal{{{"natalYearStem", "庚"}, {"natalYearBranch", "午"},
                                                                  {"natalMonthStem", "辛"}, {"natalMonthBranch", "巳"},
                                                                  {"natalDayStem", "壬"}, {"natalDayBranch", "午"},
                                                                  {"natalHourStem", "丁"}, {"natalHourBranch", "未"}}};
  for (const auto& [name, text] : natal) EXPECT_EQ(T(name), QString::fromUtf8(text)) << name;
  EXPECT_TRUE(T("birthDataLine").startsWith("乾造 西元 1990年 5月 17日 14時 30分 (庚午年四月廿三日未時)"));
  EXPECT_EQ(T("personLine"), "王小明  34 歲");
  // The flow moment restarts at the present.
  const std::array<int, 5> now{2024, 6, 15, 10, 30};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(main_->field(i)->text().toInt(), now[i]) << i;
}

// The program's end with edits that cannot be written to the list's file:
// the user is asked until they are written somewhere or given up; the
// birthplaces go with the list.
TEST(UnsavedEdits, AskedUntilWrittenOrGivenUp) {
  struct Answer {
    UnsavedChoice choice;
    const char* file = "";  // for kSaveAs, inside the test folder; "" cancels
    bool makeFolder = false;  // the list's folder appears before the answer
  };
  struct Case {
    const char* what;
    std::vector<Answer> answers;
    bool written;
    const char* where;  // the file that then holds the list
  };
  const Case cases[] = {
      {"given up", {{UnsavedChoice::kDiscard}}, false, ""},
      {"retried once the folder is there", {{UnsavedChoice::kRetry, "", true}}, true, "gone/User"},
      {"saved elsewhere after a cancel and a failure",
       {{UnsavedChoice::kSaveAs, ""}, {UnsavedChoice::kSaveAs, "missing/list"}, {UnsavedChoice::kSaveAs, "list"}},
       true,
       "list"},
  };
  TestApp();
  for (const Case& c : cases) {
    QTemporaryDir dir;
    const fs::path root(QFile::encodeName(dir.path()).toStdString());
    const fs::path path = root / "gone" / "User";
    records::PersonStore store(path);
    store.Open();
    const records::Fields person{"甲", "男", "1950", "1", "1", "1", "1"};
    const records::PlaceEntry chengdu{"成都", 104.0667, 30.6667, "Asia/Shanghai", "solar"};
    ASSERT_FALSE(store.Append(person, chengdu));
    std::vector<QString> asked;
    std::size_t next = 0;
    UnsavedPrompt prompt;
    prompt.choose = [&](const QString& text) {
      asked.push_back(text);
      if (next >= c.answers.size()) return UnsavedChoice::kDiscard;  // asked once too often
      if (c.answers[next].makeFolder) fs::create_directory(root / "gone");
      return c.answers[next].choice;
    };
    prompt.fileName = [&] {
      const char* f = c.answers[next++].file;
      return *f ? dir.filePath(f) : QString();
    };
    const bool written = WriteUnsavedEdits(store, prompt);
    EXPECT_EQ(written, c.written) << c.what;
    EXPECT_EQ(asked.size(), c.answers.size()) << c.what;
    ASSERT_FALSE(asked.empty());
    EXPECT_NE(asked[0].indexOf("1 項修改尚未寫入"), -1) << asked[0].toStdString();
    EXPECT_NE(asked[0].indexOf(QFile::decodeName(path.c_str())), -1);
    if (asked.size() == 3) {
      EXPECT_NE(asked[2].indexOf("另存失敗"), -1) << asked[2].toStdString();
    }
    if (*c.where) {
      const records::LoadResult out = records::ReadPersonFile(root / c.where);
      ASSERT_EQ(out.list.rows.size(), 1u) << c.what;
      EXPECT_EQ(out.list.rows[0].fields[0], "甲");
      records::PlaceBook book;
      ASSERT_EQ(records::LoadPlaceFile(records::PlaceFilePath(root / c.where), book).status, records::Status::kOk);
      ASSERT_TRUE(records::FindPlaceEntry(book, person)) << c.what;
      EXPECT_EQ(records::FindPlaceEntry(book, person)->name, "成都");
    }
  }
}

// Where the list lives, and what the window says about it.
TEST(PersonFolder, TheChoiceAndItsWord) {
  const QDateTime older(QDate(2024, 1, 1), QTime(8, 0)), newer(QDate(2024, 3, 1), QTime(8, 0));
  using File = PersonFolderFacts::ListFile;
  const File none{}, old{true, older}, fresh{true, newer};
  struct Case {
    const char* what;
    bool installed, programWritable, dataWritable;
    File program, data;
    bool same;
    const char* folder;  // "bin", "data"
    bool copy;
    std::vector<const char*> said;  // parts of the note, in this order; none: no note
  };
  const Case cases[] = {
      {"first start", false, true, true, none, none, false, "bin", false, {}},
      {"only beside the program", false, true, true, old, none, false, "bin", false, {}},
      {"same list in both", false, true, true, old, fresh, true, "bin", false, {}},
      {"folder read-only: copied", false, false, true, old, none, false, "data", true,
       {"無法寫入", "/data/User"}},
      {"folder read-only, nothing to copy", false, false, true, none, none, false, "data", false,
       {"清單檔案：", "/data/User"}},
      {"writable again, the data list is newer", false, true, true, old, fresh, false, "data", false,
       {"較新的 /data/User", "/bin/User 保留未動"}},
      {"writable again, the program's list is newer", false, true, true, fresh, old, false, "bin", false,
       {"較新的 /bin/User", "/data/User 保留未動"}},
      {"only in the data folder", false, true, true, none, old, false, "data", false, {"清單檔案：/data/User"}},
      {"installed, first start", true, false, true, none, none, false, "data", false, {"清單檔案：/data/User"}},
      {"installed, a list beside it too", true, true, true, fresh, old, false, "data", false,
       {"清單檔案：/data/User"}},
  };
  for (const Case& c : cases) {
    PersonFolderFacts f;
    f.program = "/bin";
    f.data = "/data";
    f.installed = c.installed;
    f.programWritable = c.programWritable;
    f.dataWritable = c.dataWritable;
    f.programFile = c.program;
    f.dataFile = c.data;
    f.sameContent = c.same;
    const PersonFolder r = ChoosePersonFolder(f);
    EXPECT_EQ(r.folder, fs::path("/") / c.folder) << c.what;
    EXPECT_TRUE(r.writable) << c.what;
    EXPECT_EQ(r.copyFromProgram, c.copy) << c.what;
    EXPECT_EQ(r.note.isEmpty(), c.said.empty()) << c.what << ": " << r.note.toStdString();
    qsizetype at = 0;
    for (const char* part : c.said) {
      at = r.note.indexOf(QString::fromUtf8(part), at);
      EXPECT_NE(at, -1) << c.what << ": " << part << " in " << r.note.toStdString();
    }
  }
}

TEST(PersonFolder, WritableFolders) {
  TestApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  EXPECT_TRUE(FolderIsWritable(dir.path()));
  EXPECT_FALSE(FolderIsWritable(dir.filePath("missing")));
  QFile file(dir.filePath("plain"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  EXPECT_FALSE(FolderIsWritable(dir.filePath("plain")));
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) ==
              QStringList{"plain"})
      << "the probe leaves nothing behind";
  const PersonFolder f = ChoosePersonFolder();
  EXPECT_TRUE(f.writable) << f.note.toStdString();
  EXPECT_FALSE(f.folder.empty());
}

// ------------------------------------------------------------------ the birthplace

TEST_F(PersonWindowTest, TheBirthplaceCorrectsThePreviewAndTheChart) {
  struct Case {
    const char* what;
    const char* place;  // typed into the finder; the first place found is taken
    const char* lon;    // else typed by hand (with the zone)
    const char* zone;
    int mode;           // 0 鐘錶時間, 1 標準時間, 2 真太陽時
    std::array<int, 5> moment;
    const char* note;     // the correction line under the place begins so
    bool overlap;         // the choice of the repeated moment is offered
    const char* refused;  // 確定 is refused with a message that holds this
  };
  const Case cases[] = {
      {"Chengdu in solar time", "成都", "", "", 2, {1975, 7, 1, 14, 30}, "真太陽時 13時 22分（成都", false, nullptr},
      {"Taipei with daylight saving", "臺北", "", "", 1, {1975, 7, 1, 9, 30}, "標準時間 8時 30分", false, nullptr},
      {"a place without a correction", "臺北", "", "", 0, {1975, 7, 1, 9, 30}, "", false, nullptr},
      {"no place", "", "", "", 1, {1975, 7, 1, 9, 30}, "未填出生地", false, nullptr},
      {"by hand, a skipped hour", "", "-74.006", "America/New_York", 1, {1990, 4, 1, 2, 30}, "此時刻並不存在", false,
       "並不存在"},
      {"by hand, a repeated hour", "", "-74.006", "America/New_York", 1, {1990, 10, 28, 1, 30}, "此時刻", true,
       nullptr},
      {"an unknown zone", "", "100", "Asia/Nowhere", 1, {1990, 1, 1, 12, 0}, "找不到時區", false, "找不到時區"},
      {"a place name not in the list", "Qxzqvyx", "", "", 1, {1990, 1, 1, 12, 0}, "找不到地點", false, "找不到地點"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PersonWindow& w = Start();
    w.birthplace()->finder()->setText(QString::fromUtf8(c.place));
    emit w.birthplace()->finder()->textEdited(w.birthplace()->finder()->text());
    if (*c.place && std::string_view(c.place) != "Qxzqvyx") {
      QCompleter* finder = w.birthplace()->completer();
      ASSERT_GT(finder->completionModel()->rowCount(), 0);
      const QModelIndex first = finder->completionModel()->index(0, 0);
      emit finder->activated(first);
      QApplication::processEvents();
      EXPECT_EQ(w.birthplace()->finder()->text(), first.data().toString().section(QStringLiteral("（"), 0, 0));
      EXPECT_FALSE(w.birthplace()->zoneEdit()->text().isEmpty());
    }
    if (*c.lon) {
      w.birthplace()->longitudeEdit()->setText(QString::fromUtf8(c.lon));
      w.birthplace()->zoneEdit()->setText(QString::fromUtf8(c.zone));
    }
    w.birthplace()->timeModeBox()->setCurrentIndex(c.mode);
    w.findChild<QLineEdit*>("nameEdit")->setText("甲");
    PickMoment(c.moment[0], c.moment[1], c.moment[2], c.moment[3], c.moment[4]);
    EXPECT_TRUE(w.birthplace()->correctionLine()->text().contains(QString::fromUtf8(c.note))) << w.birthplace()->correctionLine()->text().toStdString();
    if (!*c.note) {
      EXPECT_TRUE(w.birthplace()->correctionLine()->text().isEmpty());
    }
    EXPECT_EQ(w.birthplace()->overlapBox()->isVisibleTo(&w), c.overlap);
    if (c.overlap) {
      // The later moment is an hour on: the line changes.
      const QString earlier = w.birthplace()->correctionLine()->text();
      w.birthplace()->overlapBox()->setCurrentIndex(1);
      EXPECT_NE(w.birthplace()->correctionLine()->text(), earlier);
    }
    const QString preview = Preview();
    Click("chooseButton");
    if (c.refused) {
      EXPECT_TRUE(Message().contains(QString::fromUtf8(c.refused))) << Message().toStdString();
      EXPECT_FALSE(main_->chartLoaded());
      form_->close();
      continue;
    }
    ASSERT_TRUE(main_->chartLoaded());
    // The main window states the correction under the birth data, and
    // nothing when there is none.
    QLabel* line = main_->correctionLabel();
    const bool applies = c.mode != 0 && std::string(c.place) + c.lon != "";
    EXPECT_EQ(line->isVisibleTo(main_.get()), applies);
    EXPECT_EQ(main_->correction().has_value(), applies);
    if (applies) {
      EXPECT_TRUE(line->text().startsWith(Q(TimeModeName(static_cast<TimeMode>(c.mode))))) << line->text().toStdString();
      EXPECT_EQ(line->toolTip().toStdString(), CorrectionDetail(*main_->correction()));
      // The lunar date previewed is the chart's.
      EXPECT_EQ(preview.toStdString(), "陰曆 " + LunarDateText(*CorrectedMoment(*main_->correction()).result, false));
    }
  }
}

TEST_F(PersonWindowTest, TheBirthplaceIsStoredWithThePersonAndFollowsIt) {
  WriteUser({Row{"甲", "男", "1975", "7", "1", "14", "30"}});
  PersonWindow& w = Start();
  const fs::path places = records::PlaceFilePath(UserPath());
  // 輸入 with a place.
  w.findChild<QLineEdit*>("nameEdit")->setText("乙");
  PickMoment(1975, 7, 1, 14, 30);
  w.birthplace()->finder()->setText("成都");  // a name of the list typed in full
  w.birthplace()->timeModeBox()->setCurrentIndex(2);
  Click("appendButton");
  ASSERT_EQ(Rows(), 2);
  const records::Fields second{"乙", "男", "1975", "7", "1", "14", "30"};
  std::string text;
  {
    std::ifstream in(places, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  EXPECT_EQ(text.rfind("乙\t男\t1975\t7\t1\t14\t30\t成都\t", 0), 0u) << text;
  EXPECT_NE(text.find("\tsolar\n"), std::string::npos);
  EXPECT_EQ(ReadUser(), "\xA5\xD2\t" + kMale + "\t1975\t7\t1\t14\t30\r\n\xA4\x41\t" + kMale + "\t1975\t7\t1\t14\t30\r\n");

  // Clicking the rows shows each one's place (and none for the first).
  ClickRow(0);
  EXPECT_TRUE(w.birthplace()->finder()->text().isEmpty());
  EXPECT_EQ(w.birthplace()->timeModeBox()->currentIndex(), 0);
  ClickRow(1);
  EXPECT_EQ(w.birthplace()->finder()->text(), "成都");
  EXPECT_EQ(w.birthplace()->timeModeBox()->currentIndex(), 2);

  // 修改 carries the place to the new fields.
  Pick(3, 15);
  Click("modifyButton");
  records::PlaceBook book;
  ASSERT_EQ(records::LoadPlaceFile(places, book).status, records::Status::kOk);
  EXPECT_FALSE(records::FindPlaceEntry(book, second));
  records::Fields moved = second;
  moved[records::kHour] = "15";
  ASSERT_TRUE(records::FindPlaceEntry(book, moved));
  EXPECT_EQ(records::FindPlaceEntry(book, moved)->name, "成都");

  // 刪除 takes it away with the person; the other entries stay.
  ClickRow(1);
  Click("deleteButton");
  ASSERT_EQ(records::LoadPlaceFile(places, book).status, records::Status::kOk);
  EXPECT_FALSE(records::FindPlaceEntry(book, moved));
}

TEST_F(PersonWindowTest, ABirthplaceThatCannotBeWrittenIsKeptUntilItIs) {
  // A folder where the companion file should be: it can be neither read nor
  // replaced.
  WriteBytes("");
  const fs::path places = records::PlaceFilePath(UserPath());
  fs::create_directory(places);
  main_ = std::make_unique<MainWindow>([] { return MakeMoment(2024, 6, 15, 10, 30); });
  const auto state = ConnectPersonWindow(*main_, Folder());
  main_->OpenPersonWindow();
  form_ = OpenPersonWindowOf(*main_);
  ASSERT_NE(form_, nullptr);
  C<QLineEdit>("nameEdit")->setText("甲");
  PickMoment(1975, 7, 1, 14, 30);
  form_->birthplace()->finder()->setText("成都");
  form_->birthplace()->timeModeBox()->setCurrentIndex(2);
  Click("appendButton");
  EXPECT_NE(Message().indexOf("出生地的修改暫存在記憶體中"), -1) << Message().toStdString();
  const records::Fields person{"甲", "男", "1975", "7", "1", "14", "30"};
  EXPECT_TRUE(records::FindPlaceEntry(form_->places(), person));

  // Closed, the change waits with the main window; at the end it is written.
  form_->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_TRUE(state->store->hasUnsaved());
  fs::remove(places);
  UnsavedPrompt prompt;
  prompt.choose = [](const QString&) { return UnsavedChoice::kDiscard; };
  EXPECT_TRUE(FinishPersonEdits(*state, prompt));
  records::PlaceBook book;
  ASSERT_EQ(records::LoadPlaceFile(places, book).status, records::Status::kOk);
  ASSERT_TRUE(records::FindPlaceEntry(book, person));
  EXPECT_EQ(records::FindPlaceEntry(book, person)->mode, "solar");
}

// Edits kept in memory with their birthplaces are written with them, at the
// next opening and at the program's end: never the list while its places
// cannot follow, so that no person on disk is without the place it has.
TEST_F(PersonWindowTest, KeptEditsAndTheirPlacesAreWrittenTogether) {
  WriteUser({{"甲", "男", "1975", "7", "1", "14", "30"}});
  main_ = std::make_unique<MainWindow>([] { return MakeMoment(2024, 6, 15, 10, 30); });
  const auto state = ConnectPersonWindow(*main_, Folder());
  const auto open = [&] {
    main_->OpenPersonWindow();
    form_ = OpenPersonWindowOf(*main_);
    ASSERT_NE(form_, nullptr);
  };
  open();
  {
    // Another copy holds the folder: 甲 becomes 乙 of 成都 in memory only.
    const int held = ::open(dir_.path().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ClickRow(0);
    C<QLineEdit>("nameEdit")->setText("乙");
    form_->birthplace()->finder()->setText("成都");
    form_->birthplace()->timeModeBox()->setCurrentIndex(2);
    Click("modifyButton");
    form_->close();
    ::close(held);
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(state->store->list().unsaved.empty());
  ASSERT_FALSE(state->store->places().unsaved.empty());
  const fs::path places = records::PlaceFilePath(UserPath());
  const records::Fields after{"乙", "男", "1975", "7", "1", "14", "30"};

  // The folder is free, the companion is not (a folder stands in its place).
  fs::create_directory(places);
  open();
  EXPECT_NE(Message().indexOf("記憶體"), -1) << Message().toStdString();
  EXPECT_EQ(records::ReadPersonFile(UserPath()).list.rows.at(0).fields[0], "甲") << "the list waits for its places";
  form_->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // At the end the user is asked once; the retry writes both.
  std::vector<QString> asked;
  UnsavedPrompt prompt;
  prompt.choose = [&](const QString& text) {
    asked.push_back(text);
    fs::remove(places);
    return UnsavedChoice::kRetry;
  };
  EXPECT_TRUE(FinishPersonEdits(*state, prompt));
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(records::ReadPersonFile(UserPath()).list.rows.at(0).fields, after);
  records::PlaceBook book;
  ASSERT_EQ(records::LoadPlaceFile(places, book).status, records::Status::kOk);
  ASSERT_TRUE(records::FindPlaceEntry(book, after));
  EXPECT_EQ(records::FindPlaceEntry(book, after)->name, "成都");
}

}  // namespace
}  // namespace qelm::ui

namespace qelm::ui {
namespace {

// The place name, its coordinates and its zone, shown and stored, belong
// together: a name edited after a pick is resolved again or its coordinates
// go with a word; coordinates typed by hand under a free name are taken and
// said to be so.
TEST_F(PersonWindowTest, ThePlaceNameAndItsCoordinatesBelongTogether) {
  struct Case {
    const char* what;
    const char* typed;  // typed over the picked 成都, then Esc and Tab
    const char* lon;    // then typed by hand with the zone ("": nothing)
    const char* zone;
    const char* shown;      // the finder then shows
    const char* zoneShown;  // and the zone field
    const char* said;       // the correction line holds
    const char* stored;     // the name 輸入 stores with its place; "": 輸入 refused
    double longitude;       // of the place stored
  };
  const Case cases[] = {
      {"another name of the list", "台北", "", "", "臺北市", "Asia/Taipei", "", "臺北市", 121.53},
      {"leftover search text", "Ch", "", "", "Ch", "", "經緯度與時區已清除", "", 0},
      {"a name of no place", "Qxzqvyx", "", "", "Qxzqvyx", "", "經緯度與時區已清除", "", 0},
      {"a free name by hand", "外婆家", "120.5", "Asia/Taipei", "外婆家", "Asia/Taipei", "手填", "外婆家", 120.5},
  };
  const fs::path placesFile = records::PlaceFilePath(UserPath());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(UserPath());
    fs::remove(placesFile);
    PersonWindow& w = Start();
    QLineEdit* finder = w.birthplace()->finder();
    TypeText(finder, "成都");
    QCompleter* completer = w.birthplace()->completer();
    ASSERT_GT(completer->completionModel()->rowCount(), 0);
    emit completer->activated(completer->completionModel()->index(0, 0));
    QApplication::processEvents();
    ASSERT_EQ(finder->text(), "成都");
    ASSERT_EQ(w.birthplace()->zoneEdit()->text(), "Asia/Shanghai");
    w.birthplace()->timeModeBox()->setCurrentIndex(2);

    finder->selectAll();
    TypeText(finder, c.typed);
    QTest::keyClick(finder, Qt::Key_Escape);
    completer->popup()->hide();
    emit finder->editingFinished();  // Tab to the next field
    if (*c.lon) {
      QTest::keyClicks(w.birthplace()->longitudeEdit(), c.lon);
      QTest::keyClicks(w.birthplace()->zoneEdit(), c.zone);
    }
    C<QLineEdit>("nameEdit")->setText("甲");
    PickMoment(1975, 7, 1, 14, 30);
    EXPECT_EQ(finder->text(), QString::fromUtf8(c.shown));
    EXPECT_EQ(w.birthplace()->zoneEdit()->text(), QString::fromUtf8(c.zoneShown));
    const QString line = w.birthplace()->correctionLine()->text();
    EXPECT_TRUE(line.contains(QString::fromUtf8(c.said))) << line.toStdString();
    EXPECT_EQ(line.contains(QStringLiteral("成都")), false) << line.toStdString();

    Click("appendButton");
    records::PlaceBook book;
    records::LoadPlaceFile(placesFile, book);
    const std::optional<records::PlaceEntry> stored = records::FindPlaceEntry(book, records::Fields{"甲", "男", "1975", "7", "1", "14", "30"});
    if (!*c.stored) {
      EXPECT_EQ(Rows(), 0) << "refused";
      EXPECT_FALSE(stored);
      EXPECT_FALSE(Message().isEmpty());
    } else {
      ASSERT_TRUE(stored);
      EXPECT_EQ(stored->name, c.stored);
      EXPECT_NEAR(stored->longitude, c.longitude, 0.01);
    }
    form_->close();
  }
}

// However a row becomes the current one (a click, the arrows, Home and End,
// typing its name), the form shows it and 確定 casts it.
TEST_F(PersonWindowTest, TheCurrentRowIsTheOneShownAndCast) {
  WriteUser({{"王小明", "男", "1990", "5", "17", "14", "30"},
             {"林美", "女", "2001", "2", "3", "4", "5"},
             {"陳大文", "男", "1975", "8", "21", "14", "5"}});
  Start();
  QAbstractItemView* list = List();
  ClickRow(0);
  struct Step {
    Qt::Key key;        // Qt::Key_unknown: type `typed`
    const char* typed;
    const char* name;   // the form then shows
    const char* year;
  };
  const Step steps[] = {
      {Qt::Key_Down, "", "林美", "2001"},    {Qt::Key_End, "", "陳大文", "1975"},
      {Qt::Key_Home, "", "王小明", "1990"},  {Qt::Key_unknown, "陳", "陳大文", "1975"},
      {Qt::Key_Up, "", "林美", "2001"},
  };
  for (const Step& s : steps) {
    if (s.key == Qt::Key_unknown)
      TypeText(list, s.typed);
    else
      QTest::keyClick(list, s.key);
    EXPECT_EQ(C<QLineEdit>("nameEdit")->text(), QString::fromUtf8(s.name)) << s.name;
    EXPECT_EQ(Selector(0)->currentText(), s.year) << s.name;
  }
  Click("chooseButton");
  ASSERT_TRUE(main_->chartLoaded());
  EXPECT_EQ(main_->chart()->PersonName, "林美");
  EXPECT_EQ(main_->chart()->BirthYear, 2001);
}

// From start-up to a cast chart with the keyboard alone: Tab to the list,
// Down to a person, Enter.
TEST_F(PersonWindowTest, AKeyboardAloneCastsAChart) {
  WriteUser({{"王小明", "男", "1990", "5", "17", "14", "30"}, {"林美", "女", "2001", "2", "3", "4", "5"}});
  PersonWindow& w = Start();
  w.activateWindow();
  if (!QTest::qWaitForWindowActive(&w)) GTEST_SKIP() << "no window activation on this platform";
  int tabs = 0;
  while (QApplication::focusWidget() != List() && tabs++ < 30)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), List());
  QTest::keyClick(List(), Qt::Key_Down);
  QTest::keyClick(List(), Qt::Key_Down);
  QTest::keyClick(List(), Qt::Key_Return);
  ASSERT_TRUE(main_->chartLoaded());
  EXPECT_EQ(main_->chart()->PersonName, "林美");
  EXPECT_EQ(main_->chart()->BirthMonth, 2);
  EXPECT_EQ(OpenPersonWindowOf(*main_), nullptr);
}

}  // namespace
}  // namespace qelm::ui

namespace qelm::ui {
namespace {

// The birthplace rows as read: the line under them whole for the longest
// readings, the choice of a repeated hour asked once, hints and the zone
// shown whole, every drop-down list named by its caption, and the line and
// the save result readable by a screen reader.
TEST_F(PersonWindowTest, TheBirthplaceRowsReadWhole) {
  PersonWindow& w = Start();
  w.show();
  BirthplaceRow* row = w.birthplace();
  // A free name with coordinates by hand, a repeated hour, true solar time:
  // the longest line there is.
  row->finder()->setText(QStringLiteral("模里西斯路易港外婆家"));
  row->longitudeEdit()->setText(QStringLiteral("-74.0060"));
  row->latitudeEdit()->setText(QStringLiteral("40.7128"));
  row->zoneEdit()->setText(QStringLiteral("America/Argentina/Buenos_Aires"));
  row->zoneEdit()->setText(QStringLiteral("America/New_York"));
  row->timeModeBox()->setCurrentIndex(2);
  C<QLineEdit>("nameEdit")->setText("甲");
  PickMoment(1990, 10, 28, 1, 30);
  QLabel* line = row->correctionLine();
  ASSERT_TRUE(row->overlapBox()->isVisibleTo(&w));
  EXPECT_EQ(line->text().count(QStringLiteral("請選擇")), 1) << line->text().toStdString();
  EXPECT_TRUE(line->text().contains(QStringLiteral("手填")));
  EXPECT_LE(line->heightForWidth(line->width()), line->height()) << "every line of it";
  EXPECT_TRUE(w.rect().contains(InWindow(line)));
  EXPECT_TRUE(row->rect().contains(line->geometry())) << line->geometry().bottom() << " " << row->height() << " " << w.height();
  EXPECT_FALSE(InWindow(line).intersects(InWindow(row->overlapBox())));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(line)->text(QAccessible::Name), line->text());

  // Hints and values are shown whole.
  for (QLineEdit* e : {row->finder(), row->longitudeEdit(), row->latitudeEdit(), row->zoneEdit()}) {
    const QString text = e->text().isEmpty() ? e->placeholderText() : e->text();
    EXPECT_LE(e->fontMetrics().horizontalAdvance(text) + 12, e->width()) << e->objectName().toStdString();
    EXPECT_LE(e->fontMetrics().horizontalAdvance(e->placeholderText()) + (e->isClearButtonEnabled() ? 28 : 12),
              e->width())
        << e->objectName().toStdString();
  }

  // Each drop-down list is labelled by its caption, not named by its value.
  const std::vector<std::pair<QComboBox*, const char*>> captions{
      {Selector(0), "生日 年"}, {Selector(1), "生日 月"}, {Selector(2), "生日 日"},  {Selector(3), "生日 時"},
      {Selector(4), "生日 分"}, {row->timeModeBox(), "時間"}, {row->overlapBox(), "重複的時刻"}};
  for (const auto& [box, caption] : captions) {
    QStringList labels;
    for (const auto& [label, relation] :
         QAccessible::queryAccessibleInterface(box)->relations(QAccessible::Label))
      labels << label->text(QAccessible::Name);
    EXPECT_TRUE(labels.contains(QString::fromUtf8(caption))) << caption << ": " << labels.join("|").toStdString();
  }

  // The save result is what a screen reader reads of the message line.
  C<QLineEdit>("nameEdit")->setText("a\tb");
  Click("appendButton");
  ASSERT_FALSE(Message().isEmpty());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(C("messageLine"))->text(QAccessible::Name), Message());
}

}  // namespace
}  // namespace qelm::ui

namespace qelm::ui {
namespace {

// The search over the list: part of a name or a year narrows the rows as one
// types, the message line counts them, 修改 and 刪除 act on the person
// shown, Esc shows everyone again.
TEST_F(PersonWindowTest, TheSearchNarrowsTheListAndEditsThePersonShown) {
  WriteUser({{"王小明", "男", "1990", "5", "17", "14", "30"},
             {"林美", "女", "2001", "2", "3", "4", "5"},
             {"王大同", "男", "1975", "8", "21", "14", "5"},
             {"陳美玲", "女", "1990", "1", "1", "1", "1"}});
  Start();
  QLineEdit* search = C<QLineEdit>("personSearch");
  const auto shown = [&] {
    std::vector<std::string> names;
    for (int row = 0; row < Rows(); ++row) names.push_back(Cell(row, 0).toStdString());
    return names;
  };
  struct Case {
    const char* typed;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"王", {"王小明", "王大同"}},
      {"美", {"林美", "陳美玲"}},
      {"1990", {"王小明", "陳美玲"}},
      {"19", {"王小明", "王大同", "陳美玲"}},
      {"x", {}},
      {"", {"王小明", "林美", "王大同", "陳美玲"}},
  };
  for (const Case& c : cases) {
    search->clear();
    TypeText(search, c.typed);
    EXPECT_EQ(shown(), c.names) << c.typed;
    if (*c.typed)
      EXPECT_EQ(Message(), QStringLiteral("顯示 %1 人，共 4 人").arg(c.names.size())) << c.typed;
    else
      EXPECT_EQ(Message(), "");
    EXPECT_EQ(C("modifyButton")->isEnabled(), !c.names.empty()) << c.typed;
  }

  // 修改 on the second person shown is 陳美玲, the fourth of the file.
  search->clear();
  TypeText(search, "美");
  ClickRow(1);
  ASSERT_EQ(C<QLineEdit>("nameEdit")->text(), "陳美玲");
  C<QLineEdit>("nameEdit")->setText("陳美麗");
  Click("modifyButton");
  EXPECT_EQ(form_->windowTitle(), "4");
  EXPECT_EQ(shown(), (std::vector<std::string>{"林美", "陳美麗"}));
  records::LoadResult disk = records::ReadPersonFile(UserPath());
  ASSERT_EQ(disk.list.rows.size(), 4u);
  EXPECT_EQ(disk.list.rows[3].fields[0], "陳美麗");
  EXPECT_EQ(disk.list.rows[1].fields[0], "林美");

  // 刪除 on the first shown takes 林美 away, no one else.
  ClickRow(0);
  Click("deleteButton");
  EXPECT_EQ(shown(), (std::vector<std::string>{"陳美麗"}));
  disk = records::ReadPersonFile(UserPath());
  ASSERT_EQ(disk.list.rows.size(), 3u);
  for (const auto& row : disk.list.rows) EXPECT_NE(row.fields[0], "林美");

  // Esc: everyone again.
  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_EQ(search->text(), "");
  EXPECT_EQ(shown(), (std::vector<std::string>{"王小明", "王大同", "陳美麗"}));
  EXPECT_EQ(Message(), "已刪除「林美」；按「復原刪除」或 Ctrl+Z 可復原");
}

}  // namespace
}  // namespace qelm::ui
