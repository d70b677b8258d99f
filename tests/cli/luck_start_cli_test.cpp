// --luck-start for chart, chart --batch, persons and compare: the school dates the
// luck pillars, the JSON names it always, the reports when it is not the
// default.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "records/big5.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

// The worked examples of the chart tests: 1990-05-17 14:30, a man, forward
// to 芒種 1990/06/06 06:46.
const std::vector<const char*> kChart{"chart", "--name", "王小明", "--sex", "男", "--birth", "1990-05-17 14:30",
                                      "--at", "2024-06-15 10:30"};

std::vector<const char*> With(std::vector<const char*> args, std::initializer_list<const char*> more) {
  args.insert(args.end(), more);
  return args;
}

TEST(LuckStartOption, ChartJsonAndText) {
  struct Row {
    const char* school;  // nullptr: not asked for
    const char* key;
    const char* firstDate;
    const char* heading;
  };
  const std::vector<Row> rows{{nullptr, "table", "1996年11月02日", "交運日期"},
                              {"table", "table", "1996年11月02日", "交運日期"},
                              {"exact", "exact", "1996年12月08日", "交運日期 (三日為一歲精算)"},
                              {"shichen", "shichen", "1996年12月07日", "交運日期 (命理探源時辰法)"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    auto args = r.school ? With(kChart, {"--luck-start", r.school}) : kChart;
    const Ran json = RunReport(With(args, {"--json"}));
    ASSERT_EQ(json.status, 0) << json.err;
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["LuckStart"], r.key);
    EXPECT_EQ(j["LuckChangeDates"][0], r.firstDate);
    EXPECT_NE(j["Report"]["子平法"].get<std::string>().find(std::string(r.heading) + "\r\n"), std::string::npos);

    const Ran text = RunReport(args);
    ASSERT_EQ(text.status, 0) << text.err;
    const auto lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines[19], r.heading);
    EXPECT_EQ(lines[21], std::string("壬午  ") + r.firstDate + "  " + j["LuckMidChangeDates"][0].get<std::string>());
  }
  const Ran exact = RunReport(With(kChart, {"--luck-start", "exact"}));
  EXPECT_NE(exact.out.find("(起運 6歲 6月 21日 8時)"), std::string::npos);
  const Ran bad = RunReport(With(kChart, {"--luck-start", "lunar"}));
  EXPECT_EQ(bad.status, 2);
}

TEST(LuckStartOption, BatchAndPersonsDateAsTheSingleChart) {
  const Ran single = RunReport(With(kChart, {"--json", "--luck-start", "shichen"}));
  const auto one = nlohmann::json::parse(single.out);
  const Ran batch = RunReport({"chart", "--batch", "--luck-start", "shichen"},
                              "王小明\t男\t1990-05-17 14:30\t2024-06-15 10:30\nX\t男\t1990-05-17 14:30\t2024-06-15 10:30\n");
  ASSERT_EQ(batch.status, 0) << batch.err;
  for (const std::string& line : Lines(batch.out)) {
    const auto j = nlohmann::json::parse(line);
    EXPECT_EQ(j["LuckStart"], "shichen");
    EXPECT_EQ(j["LuckChangeDates"], one["LuckChangeDates"]);
    EXPECT_EQ(j["LuckChangeMinutes"], one["LuckChangeMinutes"]);
  }

  namespace fs = std::filesystem;
  std::string tmpl = (fs::temp_directory_path() / "qelm-luck-XXXXXX").string();
  const fs::path dir = ::mkdtemp(tmpl.data());
  const std::string file = (dir / "User").string();
  std::ofstream(file, std::ios::binary) << records::EncodeBig5("王小明\t男\t1990\t5\t17\t14\t30\r\n").bytes.value();
  const Ran persons = RunReport({"persons", file.c_str(), "--at", "2024-06-15 10:30", "--luck-start", "shichen"});
  ASSERT_EQ(persons.status, 0) << persons.err;
  EXPECT_NE(persons.out.find("交運日期 (命理探源時辰法)\n"), std::string::npos);
  EXPECT_NE(persons.out.find("壬午  1996年12月07日"), std::string::npos);
  EXPECT_EQ(persons.out.find("時辰不詳"), std::string::npos);
  // A person marked 時辰不詳 beside the file: the report says which candidate.
  std::ofstream(file + ".hours") << "王小明\t男\t1990\t5\t17\t14\t30\n";
  const Ran marked = RunReport({"persons", file.c_str(), "--at", "2024-06-15 10:30"});
  fs::remove_all(dir);
  EXPECT_NE(marked.out.find("(庚午年四月廿三日未時) 時辰不詳 (候選 8/13, 13:00–14:59)\n"), std::string::npos);
}

// 合盤 at a flow moment between the two schools' first starts (table
// 1996-11-02, exact 1996-12-08): the luck pillar is current under one only.
TEST(LuckStartOption, CompareDatesBothPersonsByTheSchool) {
  for (const auto& [school, luck] : {std::pair{"table", "壬午"}, std::pair{"exact", ""}}) {
    const Ran r = RunReport({"compare", "--a-name", "王小明", "--a-sex", "男", "--a-birth", "1990-05-17 14:30",
                             "--b-name", "林美", "--b-sex", "女", "--b-birth", "2001-02-03 04:05", "--at",
                             "1996-11-15 00:00", "--json", "--luck-start", school});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["a"]["luck"].is_null() ? std::string() : j["a"]["luck"].get<std::string>(), luck) << school;
  }
}

}  // namespace
}  // namespace qelm::cli
