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
#include "records/person_file.hpp"

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
        Big5("陳美玲") + "\t" + Big5("女") + "\t2000\t2\t4\t20\t35\textra\tmore\r\n" +  // 6: good, 9 fields
        std::string(60, 'x') + "\t" + Big5("男") + "\t1980\t1\t1\t1\t0");       // 7: name too long, no line end
  const Ran r = RunReport({"persons", file_.c_str(), "--at", "2030-06-15 12:00"});
  ASSERT_EQ(r.status, 1) << r.err;  // done, with lines skipped
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
  ASSERT_EQ(errors.size(), 4u) << r.err;
  EXPECT_EQ(errors[0], file_ + ":2: 有 3 欄，應為 7 欄,略過");
  EXPECT_EQ(errors[1], file_ + ":3: 出生時刻「1980-2-30 1:0」無效,略過");
  EXPECT_EQ(errors[2], file_ + ":4: 不是有效的 Big5 文字,略過");
  EXPECT_EQ(errors[3], file_ + ":7: 欄位超過 50 個字,略過");
}

TEST_F(PersonsCommand, AppliesTheStoredBirthplaces) {
  // Taipei kept daylight saving in 1975: 09:30 on the clock is 08:30
  // standard time. A New York clock time in the hour skipped in 1990 cannot
  // be cast; a person without an entry is cast as entered.
  Write(Big5("甲") + "\t" + Big5("男") + "\t1975\t7\t1\t9\t30\r\n" +
        Big5("乙") + "\t" + Big5("女") + "\t1990\t4\t1\t2\t30\r\n" +
        Big5("丙") + "\t" + Big5("女") + "\t1975\t7\t1\t9\t30\r\n");
  std::ofstream(file_ + ".places", std::ios::binary)
      << "甲\t男\t1975\t7\t1\t9\t30\t臺北\t121.5319\t25.0478\tAsia/Taipei\tstandard\n"
      << "乙\t女\t1990\t4\t1\t2\t30\t\t-74.006\t40.7143\tAmerica/New_York\tsolar\n";
  const Ran r = RunReport({"persons", file_.c_str(), "--at", "2030-06-15 12:00"});
  EXPECT_EQ(r.status, 1);
  // The first person's report is the chart command's for the same birthplace:
  // a birth line read in UTC+8 and the correction line after the report.
  const Ran standard = RunReport({"chart", "--name", "甲", "--sex", "男", "--birth", "1975-07-01 09:30",
                                  "--longitude", "121.5319", "--latitude", "25.0478", "--zone", "Asia/Taipei",
                                  "--time", "standard", "--at", "2030-06-15 12:00"});
  const Ran clock = RunReport({"chart", "--name", "丙", "--sex", "女", "--birth", "1975-07-01 09:30",
                               "--at", "2030-06-15 12:00"});
  ASSERT_EQ(standard.status, 0) << standard.err;
  EXPECT_NE(standard.out.find("8時 30分 東八區 ("), std::string::npos);
  // Up to the correction line, which names the place the file gives.
  const std::string first = "甲\n" + standard.out.substr(0, standard.out.find("\n標準時間") + 1);
  ASSERT_EQ(r.out.substr(0, first.size()), first);
  const std::string rest = r.out.substr(first.size());
  EXPECT_EQ(rest.substr(0, rest.find('\n')), "標準時間 8時 30分（臺北 UTC+9，夏令時 +60分，換算東八區 －60分）");
  EXPECT_EQ(rest.substr(rest.find('\n') + 1), "丙\n" + clock.out);
  EXPECT_NE(r.err.find("「乙」的出生地無法套用"), std::string::npos) << r.err;
  // In the words chart and moment use: the change of the clocks.
  const Ran chart = RunReport({"chart", "--name", "乙", "--sex", "女", "--birth", "1990-04-01 02:30", "--longitude",
                               "-74.006", "--zone", "America/New_York", "--time", "solar"});
  const std::string change = "此時刻並不存在：當地時鐘在 1990/04/01 2時 0分 撥快到 3時 0分";
  EXPECT_NE(chart.err.find(change), std::string::npos) << chart.err;
  EXPECT_NE(r.err.find(change), std::string::npos) << r.err;
}

TEST_F(PersonsCommand, NamesWithUserDefinedCharacters) {
  Write("\xFA\x40\xA4\x70\t" + Big5("男") + "\t2000\t2\t4\t20\t35\r\n");  // U+E000 小
  const Ran r = RunReport({"persons", file_.c_str(), "--at", "2030-06-15 12:00"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "\xEE\x80\x80小");
}

// 0: all done; 1: done, with lines skipped or the file cut at the caps;
// 2: bad arguments or a file that cannot be read.
TEST_F(PersonsCommand, ExitStatuses) {
  struct Case {
    const char* what;
    std::string content;  // "" with exists false: no file
    bool exists;
    int status;
    bool output;
  };
  const std::string good = Big5("王小明") + "\t" + Big5("男") + "\t2000\t2\t4\t20\t35\r\n";
  const Case cases[] = {
      {"all good", good, true, 0, true},
      {"empty", "", true, 0, false},
      {"a line skipped", good + "x\r\n", true, 1, true},
      {"over the size cap", good + std::string(records::kMaxFileBytes, 'x'), true, 1, true},
      {"missing", "", false, 2, false},
  };
  for (const Case& c : cases) {
    fs::remove(file_);
    if (c.exists) Write(c.content);
    const Ran r = RunReport({"persons", file_.c_str(), "--at", "2030-06-15 12:00"});
    EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err.substr(0, 200);
    EXPECT_EQ(!r.out.empty(), c.output) << c.what;
    EXPECT_EQ(r.err.empty(), c.status == 0) << c.what;
    EXPECT_EQ(fs::exists(file_), c.exists) << c.what << ": a missing file stays missing";
  }
  // A folder where the file should be cannot be read.
  fs::create_directory(dir_ / "folder");
  EXPECT_EQ(RunReport({"persons", (dir_ / "folder").c_str()}).status, 2);
  // The scheme is stated in the help.
  EXPECT_NE(RunReport({"--help"}).out.find("1 = done, but lines were skipped"), std::string::npos);
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
