// The person window and the birthplace file: lines that cannot be read are
// named in the message line when the window opens.
#include <gtest/gtest.h>

#include <QApplication>
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

}  // namespace
}  // namespace qelm::ui
