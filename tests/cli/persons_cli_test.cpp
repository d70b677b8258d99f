#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "run_report.hpp"
#include "records/big5.hpp"

namespace qelm::cli {
namespace {

namespace fs = std::filesystem;


std::string Big5(std::string_view utf8) { return records::EncodeBig5(utf8).bytes.value(); }

class PersonsCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "qelm-persons-XXXXXX").string();
    dir_ = ::mkdtemp(tmpl.data());
    file_ = (dir_ / "User").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const std::string& bytes) {
    std::ofstream(file_, std::ios::binary) << bytes;
  }

  fs::path dir_;
  std::string file_;
};

TEST_F(PersonsCommand, ReportsGoodLinesAndNamesDamagedOnes) {
  Write(Big5("王小明") + "\t" + Big5("男") + "\t2000\t2\t4\t20\t35\r\n" +  // 1: good
        Big5("李四") + "\t" + Big5("女") + "\t1980\r\n" +                  // 2: three fields
        Big5("陳") + "\t" + Big5("女") + "\t1980\t2\t30\t1\t0\r\n" +         // 3: no 30 February
        "\xFF\xFE\t" + Big5("男") + "\t1980\t1\t1\t1\t0\r\n" +             // 4: not Big5
        "\r\n" +                                                          // 5: blank
        Big5("陳美玲") + "\t" + Big5("女") + "\t2000\t2\t4\t20\t35");      // 6: good, no line end
  const Ran r = RunReport({"persons", file_.c_str(), "--at", "2030-06-15 12:00"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find('\r'), std::string::npos);

  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u * (1 + 31));
  EXPECT_EQ(lines[0], "王小明");
  EXPECT_EQ(lines[32], "陳美玲");
  // Each report is the chart command's report of that person.
  const Ran man = RunReport({"chart", "--name", "王小明", "--sex", "男", "--birth", "2000-02-04 20:35",
                             "--at", "2030-06-15 12:00"});
  const Ran woman = RunReport({"chart", "--name", "陳美玲", "--sex", "女", "--birth",
                               "2000-02-04 20:35", "--at", "2030-06-15 12:00"});
  ASSERT_EQ(man.status, 0) << man.err;
  EXPECT_EQ(r.out, "王小明\n" + man.out + "陳美玲\n" + woman.out);
  EXPECT_NE(man.out, woman.out);

  const auto errors = Lines(r.err);
  ASSERT_EQ(errors.size(), 3u) << r.err;
  EXPECT_EQ(errors[0], file_ + ":2: 有 3 欄,應為 7 欄,略過");
  EXPECT_EQ(errors[1], file_ + ":3: 出生時刻「1980-2-30 1:0」無效,略過");
  EXPECT_EQ(errors[2], file_ + ":4: 不是有效的 Big5 文字,略過");
}

TEST_F(PersonsCommand, MissingFileIsAnErrorAndStaysMissing) {
  const Ran r = RunReport({"persons", file_.c_str(), "--at", "2030-06-15 12:00"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find(file_), std::string::npos);
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(PersonsCommand, BadFlowMomentIsAUsageError) {
  Write("");
  for (const char* at : {"2030-6-15", "1900-06-15 12:00"}) {
    const Ran r = RunReport({"persons", file_.c_str(), "--at", at});
    EXPECT_EQ(r.status, 2) << at;
    EXPECT_FALSE(r.err.empty());
  }
  // An empty file is no error: nothing to print.
  const Ran r = RunReport({"persons", file_.c_str()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
}

}  // namespace
}  // namespace qelm::cli
