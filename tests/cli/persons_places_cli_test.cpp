// qelm-report persons with lines of FILE.places that cannot be read.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "records/big5.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

namespace fs = std::filesystem;

TEST(PersonsPlaces, UnreadablePlaceLinesAreNamedAndTheirPersonsNotCastWithoutThem) {
  std::string tmpl = (fs::temp_directory_path() / "qelm-persons-places-XXXXXX").string();
  const fs::path dir = ::mkdtemp(tmpl.data());
  const std::string user = (dir / "User").string(), places = user + ".places";
  const auto big5 = [](std::string_view s) { return records::EncodeBig5(s).bytes.value(); };
  std::ofstream(user, std::ios::binary) << big5("甲") + "\t" + big5("男") + "\t1975\t7\t1\t9\t30\r\n";
  const std::string key = "甲\t男\t1975\t7\t1\t9\t30\t";
  const std::string sound = "臺北\t121.5319\t25.0478\tAsia/Taipei\tstandard";
  struct Case {
    const char* what;
    std::string line;  // with its end
    bool attributed;   // the line names 甲: 甲 is not cast
  };
  const Case cases[] = {
      {"a field missing", key + "臺北\t121.5319\t25.0478\tAsia/Taipei\n", true},
      {"a field too many", key + sound + "\tx\n", true},
      {"nan", key + "臺北\tnan\t25.0478\tAsia/Taipei\tstandard\n", true},
      {"inf", key + "臺北\tinf\t25.0478\tAsia/Taipei\tstandard\n", true},
      {"1e308", key + "臺北\t1e308\t25.0478\tAsia/Taipei\tstandard\n", true},
      {"180.0001", key + "臺北\t180.0001\t25.0478\tAsia/Taipei\tstandard\n", true},
      {"0x10", key + "臺北\t0x10\t25.0478\tAsia/Taipei\tstandard\n", true},
      {"latitude 91", key + "臺北\t121.5319\t91\tAsia/Taipei\tstandard\n", true},
      {"empty zone", key + "臺北\t121.5319\t25.0478\t\tstandard\n", true},
      {"unknown mode", key + "臺北\t121.5319\t25.0478\tAsia/Taipei\tlunar\n", true},
      {"invalid UTF-8", key + "\xED\xA0\x80\t121.5319\t25.0478\tAsia/Taipei\tstandard\n", false},
      {"CR-only line ends", key + sound + "\r" + key + sound + "\r", true},
      {"a NUL", key + "臺北\t121.5319\t25.0478\tAsia/Taipei\tstandard" + std::string(1, '\0') + "\n", true},
  };
  for (const Case& c : cases) {
    std::ofstream(places, std::ios::binary | std::ios::trunc) << c.line;
    const Ran r = RunReport({"persons", user.c_str(), "--at", "2030-06-15 12:00"});
    EXPECT_EQ(r.status, 1) << c.what;
    const auto errors = Lines(r.err);
    ASSERT_GE(errors.size(), 1u) << c.what;
    EXPECT_EQ(errors[0].rfind(places + ":1: 無法讀取的出生地資料：", 0), 0u) << c.what << ": " << errors[0];
    EXPECT_EQ(r.out.empty(), c.attributed) << c.what;
    if (c.attributed) {
      ASSERT_EQ(errors.size(), 2u) << c.what;
      EXPECT_EQ(errors[1], places + ":1: 「甲」的出生地無法讀取,略過") << c.what;
    }
  }
  // The sound line casts at the corrected moment, without a word.
  std::ofstream(places, std::ios::binary | std::ios::trunc) << key + sound + "\n";
  const Ran r = RunReport({"persons", user.c_str(), "--at", "2030-06-15 12:00"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("標準時間 8時 30分（臺北"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qelm::cli
