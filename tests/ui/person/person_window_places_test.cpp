// The person window and lines it cannot use: named in the message line when
// the window opens and when the person is chosen, and never cast silently.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QAbstractItemView>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>

#include "records/big5.hpp"
#include "records/place_file.hpp"
#include "tests/ui/test_app.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"

namespace qelm::ui {
namespace {

namespace fs = std::filesystem;

TEST(PersonWindowPlaces, UnreadablePlaceLinesAreNamedInTheMessageLine) {
  TestApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const fs::path folder = QFile::encodeName(dir.path()).toStdString();
  const auto big5 = [](std::string_view s) { return records::EncodeBig5(s).bytes.value(); };
  std::ofstream(folder / "User", std::ios::binary) << big5("甲") + "\t" + big5("男") + "\t1975\t7\t1\t14\t30\r\n";
  const std::string lines = "甲\t男\t1975\t7\t1\t14\t30\t臺北\tnan\t25.0478\tAsia/Taipei\tstandard\n";
  std::ofstream(records::PlaceFilePath(folder / "User"), std::ios::binary) << lines;
  {
    MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
    records::PersonStore store(folder / "User");
    PersonWindow w(main, store);
    const std::string message = w.message().toStdString();
    EXPECT_NE(message.find("出生地檔案有 1 行無法讀取，已原樣保留（第 1 行經度「nan」不是 -180 到 180 之間的數）"),
              std::string::npos)
        << message;
  }
  std::ifstream in(records::PlaceFilePath(folder / "User"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), lines);
}

// A person whose place line cannot be read, and a line whose date does not
// exist: both named on opening and on choosing; 確定 says why it does not
// cast (it used to cast the first at clock time, without the place, and do
// nothing for the second).
TEST(PersonWindowPlaces, UnusableLinesAreNamedAndNotCast) {
  TestApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const fs::path folder = QFile::encodeName(dir.path()).toStdString();
  const auto big5 = [](std::string_view s) { return records::EncodeBig5(s).bytes.value(); };
  std::ofstream(folder / "User", std::ios::binary) << big5("甲") + "\t" + big5("男") + "\t1975\t7\t1\t14\t30\r\n" +
                                                          big5("乙") + "\t" + big5("女") + "\t1980\t2\t30\t1\t1\r\n";
  std::ofstream(records::PlaceFilePath(folder / "User"), std::ios::binary)
      << "甲\t男\t1975\t7\t1\t14\t30\t臺北\tnan\t25.0478\tAsia/Taipei\tstandard\n";
  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  records::PersonStore store(folder / "User");
  auto* w = new PersonWindow(main, store);
  w->show();
  const auto message = [&] { return w->message().toStdString(); };
  EXPECT_NE(message().find("清單有 1 行無法排盤，已原樣保留（第 2 行出生時刻「1980-2-30 1:1」無效）"), std::string::npos) << message();
  QAbstractItemView* list = w->findChild<QAbstractItemView*>("personList");
  const auto choose = [&](int row) {
    const QModelIndex index = list->model()->index(row, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
  };
  QPushButton* cast = w->findChild<QPushButton*>("chooseButton");
  choose(0);
  EXPECT_NE(message().find("此人的出生地無法讀取（出生地檔案第 1 行經度"), std::string::npos) << message();
  QTest::mouseClick(cast, Qt::LeftButton);
  EXPECT_FALSE(main.chart().has_value());
  EXPECT_NE(message().find("不以時鐘時間排盤"), std::string::npos) << message();
  choose(1);
  EXPECT_NE(message().find("清單第 2 行無法排盤"), std::string::npos) << message();
  QTest::mouseClick(cast, Qt::LeftButton);
  EXPECT_FALSE(main.chart().has_value());
  EXPECT_NE(message().find("無法排盤：清單第 2 行出生時刻"), std::string::npos) << message();
  delete w;
}

}  // namespace
}  // namespace qelm::ui
