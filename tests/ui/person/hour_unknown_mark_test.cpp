// 時辰不詳 in the person window: the mark is kept with the person in
// User.hours (User itself unchanged), shown again when the person is chosen,
// and 確定 with it lists the candidates in the main window.
#include "ui/person/hour_unknown_mark.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QAbstractItemView>
#include <fstream>
#include <iterator>

#include "records/big5.hpp"
#include "records/hour_marks.hpp"
#include "tests/ui/test_app.hpp"
#include "ui/main/candidate_list.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window_state.hpp"
#include "ui/person/person_window.hpp"

namespace qelm::ui {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(HourUnknownMark, KeptBesideTheListAndHandedOver) {
  TestApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const fs::path folder = QFile::encodeName(dir.path()).toStdString();
  const std::string user = records::EncodeBig5("王小明\t男\t1990\t5\t17\t14\t30\r\n林美\t女\t2001\t2\t3\t4\t5\r\n").bytes.value();
  std::ofstream(folder / "User", std::ios::binary) << user;

  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  ConnectPersonWindow(main, folder);
  main.show();
  main.OpenPersonWindow();
  QApplication::processEvents();
  PersonWindow* form = OpenPersonWindowOf(main);
  ASSERT_NE(form, nullptr);
  HourUnknownMark* mark = form->hourUnknownMark();
  EXPECT_FALSE(mark->isChecked());  // a new entry

  QAbstractItemView* list = form->findChild<QAbstractItemView*>(QStringLiteral("personList"));
  const auto clickRow = [list](int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
  };
  clickRow(0);
  EXPECT_FALSE(mark->isChecked());
  QTest::mouseClick(mark, Qt::LeftButton);
  ASSERT_TRUE(mark->isChecked());
  const records::Fields marked{"王小明", "男", "1990", "5", "17", "14", "30"};
  EXPECT_EQ(records::ReadHourMarks(folder / "User.hours"), std::set<records::Fields>{marked});
  EXPECT_EQ(ReadAll(folder / "User"), user);

  clickRow(1);
  EXPECT_FALSE(mark->isChecked());
  clickRow(0);
  EXPECT_TRUE(mark->isChecked());

  // 修改 carries the mark to the changed person.
  form->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("王大明"));
  QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("modifyButton")), Qt::LeftButton);
  const records::Fields renamed{"王大明", "男", "1990", "5", "17", "14", "30"};
  EXPECT_EQ(records::ReadHourMarks(folder / "User.hours"), std::set<records::Fields>{renamed});
  clickRow(0);
  ASSERT_TRUE(mark->isChecked());

  // 確定: the chart and, beside it, the day's candidates.
  QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("chooseButton")), Qt::LeftButton);
  QApplication::processEvents();
  ASSERT_TRUE(main.chartLoaded());
  EXPECT_TRUE(main.candidateList()->isVisible());
  EXPECT_EQ(main.chart()->hourCandidate->count, 13);
}

// A mark that cannot be written is said, not lost in silence.
TEST(HourUnknownMark, AMarkNotWrittenIsSaid) {
  TestApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const fs::path blocked = fs::path(QFile::encodeName(dir.path()).toStdString()) / "file";
  std::ofstream(blocked) << "a file, not a folder";
  HourUnknownMark mark(nullptr);
  QString said;
  QObject::connect(&mark, &HourUnknownMark::notKept, [&said](const QString& problem) { said = problem; });
  mark.setPersonFile(blocked / "User");
  mark.showPerson(records::Fields{"王小明", "男", "1990", "5", "17", "14", "30"});
  mark.click();
  EXPECT_TRUE(said.startsWith(QStringLiteral("時辰不詳的標記無法寫入"))) << said.toStdString();
}

}  // namespace
}  // namespace qelm::ui
