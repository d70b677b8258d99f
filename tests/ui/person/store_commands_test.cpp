// A 修改 of a list long enough to be written in the background: the window
// is back at once with the rows still on screen, the next click waits for
// the save and acts on the list as written, and nothing typed meanwhile is
// thrown away.
#include "ui/person/store_commands.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <string>

#include "records/big5.hpp"
#include "tests/ui/test_app.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_list_model.hpp"
#include "ui/person/person_window.hpp"

namespace qelm::ui {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class StoreCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
    folder_ = QFile::encodeName(dir_.path()).toStdString();
    std::ofstream out(folder_ / "User", std::ios::binary);
    for (std::size_t i = 0; i <= StoreCommands::kBackgroundRows; ++i)
      out << records::EncodeBig5("王" + std::to_string(i)).bytes.value() << "\t\xA8\x6B\t1975\t7\t1\t14\t30\r\n";
  }
  // Clicks row `row` of the list, as the mouse does.
  void Click(PersonWindow& w, int row) {
    QTreeView* list = w.personList()->view();
    list->scrollTo(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
  }
  QTemporaryDir dir_;
  fs::path folder_;
};

TEST_F(StoreCommandsTest, AModifyReturnsAtOnceAndTheNextClickActsOnTheListAsWritten) {
  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  records::PersonStore store(folder_ / "User");
  PersonWindow w(main, store);
  w.show();
  // The first activation prepares a new entry: over before the test types.
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  auto* commands = w.findChild<StoreCommands*>(QStringLiteral("storeCommands"));
  ASSERT_NE(commands, nullptr);

  Click(w, 1);
  w.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("李"));
  w.findChild<QPushButton*>(QStringLiteral("modifyButton"))->click();
  // Back before the files are written: the rows are still there.
  ASSERT_TRUE(commands->running());
  const QAbstractItemModel* rows = w.personList()->view()->model();
  EXPECT_EQ(rows->data(rows->index(0, 0)).toString(), QStringLiteral("王0"));
  // The click on another row waits for the save, whose prepared new entry
  // comes first: the entry then shows the row clicked.
  Click(w, 2);
  EXPECT_FALSE(commands->running());
  EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->text(), QStringLiteral("王2"));
  EXPECT_EQ(rows->data(rows->index(1, 0)).toString(), QStringLiteral("李"));
  EXPECT_NE(Read(folder_ / "User").find(records::EncodeBig5("李").bytes.value() + "\t"), std::string::npos);
}

TEST_F(StoreCommandsTest, WhatIsTypedWhileTheListIsWrittenStays) {
  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  records::PersonStore store(folder_ / "User");
  PersonWindow w(main, store);
  w.show();
  // The first activation prepares a new entry: over before the test types.
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  auto* commands = w.findChild<StoreCommands*>(QStringLiteral("storeCommands"));
  Click(w, 0);
  w.findChild<QPushButton*>(QStringLiteral("deleteButton"))->click();
  ASSERT_TRUE(commands->running());
  w.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("新來的"));
  QTRY_VERIFY(!commands->running());
  EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->text(), QStringLiteral("新來的"));
  EXPECT_EQ(store.list().rows.size(), StoreCommands::kBackgroundRows);
}

}  // namespace
}  // namespace qelm::ui
