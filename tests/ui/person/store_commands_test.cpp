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
#include <QAbstractItemView>
#include <filesystem>
#include <fstream>
#include <memory>
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
  // The window over the list, shown and past its first activation (which
  // prepares a new entry).
  void Open() {
    main_ = std::make_unique<MainWindow>([] { return MakeMoment(2024, 6, 15, 10, 30); });
    store_ = std::make_unique<records::PersonStore>(folder_ / "User");
    window_ = std::make_unique<PersonWindow>(*main_, *store_);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    commands_ = window_->findChild<StoreCommands*>(QStringLiteral("storeCommands"));
    ASSERT_NE(commands_, nullptr);
  }
  void TearDown() override {
    window_.reset();  // before the store it shows
    store_.reset();
  }
  // Clicks row `row` of the list, as the mouse does.
  void Click(int row) {
    QAbstractItemView* list = window_->personList()->view();
    list->scrollTo(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
  }
  void Press(const char* button) { window_->findChild<QPushButton*>(QString::fromLatin1(button))->click(); }
  QLineEdit* Name() const { return window_->findChild<QLineEdit*>(QStringLiteral("nameEdit")); }

  QTemporaryDir dir_;
  fs::path folder_;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<records::PersonStore> store_;
  std::unique_ptr<PersonWindow> window_;
  StoreCommands* commands_ = nullptr;
};

TEST_F(StoreCommandsTest, AModifyReturnsAtOnceAndTheNextClickActsOnTheListAsWritten) {
  Open();
  Click(1);
  Name()->setText(QStringLiteral("李"));
  Press("modifyButton");
  // Back before the files are written: the rows are still there.
  ASSERT_TRUE(commands_->running());
  const QAbstractItemModel* rows = window_->personList()->view()->model();
  EXPECT_EQ(rows->data(rows->index(0, 0)).toString(), QStringLiteral("王0"));
  // The click on another row waits for the save, whose prepared new entry
  // comes first: the entry then shows the row clicked.
  Click(2);
  EXPECT_FALSE(commands_->running());
  EXPECT_EQ(Name()->text(), QStringLiteral("王2"));
  EXPECT_EQ(rows->data(rows->index(1, 0)).toString(), QStringLiteral("李"));
  EXPECT_NE(Read(folder_ / "User").find(records::EncodeBig5("李").bytes.value() + "\t"), std::string::npos);
}

TEST_F(StoreCommandsTest, WhatIsTypedWhileTheListIsWrittenStays) {
  Open();
  Click(0);
  Press("deleteButton");
  ASSERT_TRUE(commands_->running());
  Name()->setText(QStringLiteral("新來的"));
  QTRY_VERIFY(!commands_->running());
  EXPECT_EQ(Name()->text(), QStringLiteral("新來的"));
  EXPECT_EQ(store_->list().rows.size(), StoreCommands::kBackgroundRows);
}

}  // namespace
}  // namespace qelm::ui
