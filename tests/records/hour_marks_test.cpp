// The companion file of the 時辰不詳 marks: read back as written, never in
// the way of the person file.
#include "records/hour_marks.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace qelm::records {
namespace {

namespace fs = std::filesystem;

TEST(HourMarks, RoundTripAndDamagedLines) {
  std::string tmpl = (fs::temp_directory_path() / "qelm-hours-XXXXXX").string();
  const fs::path dir = ::mkdtemp(tmpl.data());
  const fs::path file = HourMarkFilePath(dir / "User");
  EXPECT_EQ(file.filename(), "User.hours");
  EXPECT_TRUE(ReadHourMarks(file).empty());  // no file: no marks

  const std::set<Fields> marks{{"王小明", "男", "1990", "5", "17", "14", "30"},
                               {"陳 美玲", "女", "2001", "2", "3", "0", "0"}};
  ASSERT_EQ(WriteHourMarks(file, marks), 0);
  EXPECT_EQ(ReadHourMarks(file), marks);

  // A line of another length, an empty one and CR LF ends: the rest stays readable.
  std::ofstream(file, std::ios::app) << "短\t男\t1990\r\n\r\n張淑芬\t女\t1984\t2\t2\t23\t45\r\n";
  std::set<Fields> more = marks;
  more.insert({"張淑芬", "女", "1984", "2", "2", "23", "45"});
  EXPECT_EQ(ReadHourMarks(file), more);

  // No marks: no file.
  ASSERT_EQ(WriteHourMarks(file, {}), 0);
  EXPECT_FALSE(fs::exists(file));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qelm::records
