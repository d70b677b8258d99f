// qelm-report find-birth, and --day-change on the commands that cast a birth.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "chart/find_birth.hpp"
#include "records/big5.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

std::string Dashed(Moment t) {
  std::string text = MomentText(t);
  text[4] = text[7] = '-';
  return text;
}

// The command's lines are the core's stretches, in text and in JSON.
TEST(FindBirthCommand, WritesTheStretchesOfTheCore) {
  const struct {
    std::vector<const char*> args;
    EightCharacters pillars;
    DayChange change;
    int from, to;
  } cases[] = {
      {{"庚午", "辛巳", "癸酉", "丁巳"}, {*ParsePillar("庚午"), *ParsePillar("辛巳"), *ParsePillar("癸酉"), *ParsePillar("丁巳")},
       DayChange::AtZiStart, 1901, 2099},
      {{"庚午", "辛巳", "癸酉"}, {*ParsePillar("庚午"), *ParsePillar("辛巳"), *ParsePillar("癸酉"), std::nullopt},
       DayChange::AtZiStart, 1901, 2099},
      {{"丙寅", "壬辰", "戊申", "甲子", "--day-change", "0", "--from", "1950", "--to", "2000"},
       {*ParsePillar("丙寅"), *ParsePillar("壬辰"), *ParsePillar("戊申"), *ParsePillar("甲子")}, DayChange::AtMidnight,
       1950, 2000},
  };
  for (const auto& c : cases) {
    const auto expected = FindBirth(c.pillars, c.change, c.from, c.to).stretches;
    ASSERT_FALSE(expected.empty());
    std::vector<const char*> args{"find-birth"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Ran text = RunReport(args);
    ASSERT_EQ(text.status, 0) << text.err;
    args.push_back("--json");
    const Ran json = RunReport(args);
    ASSERT_EQ(json.status, 0) << json.err;
    auto lines = Lines(text.out);
    const auto objects = Lines(json.out);
    // The text names the day convention first.
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), DayChangeName(c.change));
    lines.erase(lines.begin());
    ASSERT_EQ(lines.size(), expected.size());
    ASSERT_EQ(objects.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(lines[i], Dashed(expected[i].first) + " 至 " + Dashed(expected[i].last));
      const auto j = nlohmann::json::parse(objects[i]);
      EXPECT_EQ(j["first"], Dashed(expected[i].first));
      EXPECT_EQ(j["last"], Dashed(expected[i].last));
      EXPECT_EQ(j["minutes"], (expected[i].last - expected[i].first).count() + 1);
      EXPECT_EQ(j["DayChange"], DayChangeHour(c.change));
    }
  }
}

// The README's examples of find-birth ("    $ qelm-report find-birth …" and
// the indented lines after it) are what the command writes.
TEST(FindBirthCommand, ReadmeShowsTheRealOutput) {
  std::ifstream readme(QELM_SOURCE_DIR "/README.md");
  std::vector<std::string> lines;
  for (std::string line; std::getline(readme, line);) lines.push_back(line);
  const std::string prompt = "    $ qelm-report ";
  int examples = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind(prompt + "find-birth ", 0) != 0) continue;
    std::vector<std::string> words;
    std::istringstream command(lines[i].substr(prompt.size()));
    for (std::string w; command >> w;) words.push_back(w);
    std::vector<const char*> args;
    for (const std::string& w : words) args.push_back(w.c_str());
    std::string shown;
    for (std::size_t j = i + 1; j < lines.size() && lines[j].rfind("    ", 0) == 0 && lines[j].rfind(prompt, 0) != 0;
         ++j)
      shown += lines[j].substr(4) + "\n";
    EXPECT_EQ(RunReport(args).out, shown) << lines[i];
    ++examples;
  }
  EXPECT_GE(examples, 2);
}

TEST(FindBirthCommand, ExitStatusSaysWhatHappened) {
  const struct {
    std::vector<const char*> args;
    int status;
    const char* says;  // on the error stream
  } cases[] = {
      {{"find-birth", "甲子", "丙寅", "甲子", "甲子", "--from", "2000", "--to", "2001"}, 1, "沒有"},
      {{"find-birth", "甲子", "甲寅", "甲子"}, 2, "五虎遁"},
      {{"find-birth", "甲子", "丙寅", "甲子", "丙子"}, 2, "五鼠遁"},
      {{"find-birth", "丙寅", "壬辰", "戊申", "甲子"}, 2, "五鼠遁"},
      {{"find-birth", "甲丑", "丙寅", "甲子"}, 2, "陰陽"},
      {{"find-birth", "甲子", "丙寅", "甲"}, 2, "無法解讀"},
      {{"find-birth", "甲子", "丙寅"}, 2, "年、月、日柱"},
      {{"find-birth", "甲子", "丙寅", "甲子", "--from", "2000", "--to", "1990"}, 2, "--from"},
      {{"find-birth", "甲子", "丙寅", "甲子", "--day-change", "12"}, 2, "day-change"},
      {{"find-birth", "甲子", "丙寅", "甲子", "--from", "1900"}, 2, "from"},
  };
  for (const auto& c : cases) {
    const Ran r = RunReport(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[1] << " " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
}

TEST(DayChangeOption, EveryBirthCommandTakesIt) {
  // moment: one object, and a batch of them.
  for (const char* hour : {"23", "0"}) {
    const Ran one = RunReport({"moment", "--json", "--day-change", hour, "1986-05-04 23:00"});
    ASSERT_EQ(one.status, 0) << one.err;
    const auto j = nlohmann::json::parse(one.out);
    EXPECT_EQ(j["DayChange"], std::stoi(hour));
    EXPECT_EQ(j["pillars"]["day"], std::string(hour) == "0" ? "戊申" : "己酉");
    EXPECT_EQ(j["pillars"]["hour"], "甲子");
    const Ran batch = RunReport({"moment", "--batch", "--day-change", hour}, "1986-05-04 23:00\n1986-05-04 22:00\n");
    ASSERT_EQ(batch.status, 0) << batch.err;
    const auto lines = Lines(batch.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(nlohmann::json::parse(lines[0]), j);
  }
  EXPECT_NE(RunReport({"moment", "--day-change", "0", "1986-05-04 23:00"}).out.find("子正換日"), std::string::npos);
  EXPECT_EQ(RunReport({"moment", "--day-change", "5", "1986-05-04 23:00"}).status, 2);

  // chart: the JSON says which, the reports' birth line says 子正換日.
  const auto chart = [](const char* hour) {
    const Ran r = RunReport({"chart", "--json", "--name", "甲", "--sex", "男", "--birth", "1986-05-04 23:00", "--at",
                             "2020-01-01 12:00", "--day-change", hour});
    EXPECT_EQ(r.status, 0) << r.err;
    return nlohmann::json::parse(r.out);
  };
  const auto midnight = chart("0"), zi = chart("23");
  EXPECT_EQ(midnight["DayChange"], 0);
  EXPECT_EQ(zi["DayChange"], 23);
  EXPECT_EQ(midnight["DayStem"], 5);  // 戊
  EXPECT_EQ(zi["DayStem"], 6);        // 己
  for (const char* school : {"子平法", "三命法"}) {
    EXPECT_NE(midnight["Report"][school].get<std::string>().find("子正換日"), std::string::npos);
    EXPECT_EQ(zi["Report"][school].get<std::string>().find("子正換日"), std::string::npos);
  }
  const Ran batch = RunReport({"chart", "--batch", "--day-change", "0"},
                              "甲\t男\t1986-05-04 23:00\t2020-01-01 12:00\n");
  ASSERT_EQ(batch.status, 0) << batch.err;
  EXPECT_EQ(nlohmann::json::parse(batch.out)["DayStem"], 5);

  // persons: the report of each person in the file.
  namespace fs = std::filesystem;
  std::string dir = (fs::temp_directory_path() / "qelm-daychange-XXXXXX").string();
  ASSERT_NE(::mkdtemp(dir.data()), nullptr);
  const std::string file = dir + "/User";
  std::ofstream(file, std::ios::binary) << records::EncodeBig5("甲\t男\t1986\t5\t4\t23\t0\r\n").bytes.value();
  const Ran persons = RunReport({"persons", file.c_str(), "--at", "2020-01-01 12:00", "--day-change", "0"});
  const Ran plain = RunReport({"persons", file.c_str(), "--at", "2020-01-01 12:00"});
  fs::remove_all(dir);
  ASSERT_EQ(persons.status, 0) << persons.err;
  EXPECT_NE(persons.out.find("子正換日"), std::string::npos);
  EXPECT_EQ(plain.out.find("子正換日"), std::string::npos);
}

// The flow moment is read by the chart's convention: under --day-change 0 the
// chart's flow pillars at a 23:xx minute are those `moment --day-change 0`
// gives for it, in a single chart (with and without a birthplace) and a batch.
TEST(DayChangeOption, FlowMomentFollowsTheChartsConvention) {
  std::mt19937 random(25);
  std::string lines;
  std::vector<nlohmann::json> expected;
  for (int i = 0; i < 60; ++i) {
    char at[32];
    std::snprintf(at, sizeof at, "%04d-%02d-%02d 23:%02d", 1950 + static_cast<int>(random() % 140),
                  1 + static_cast<int>(random() % 12), 1 + static_cast<int>(random() % 28),
                  static_cast<int>(random() % 60));
    SCOPED_TRACE(at);
    const Ran moment = RunReport({"moment", "--json", "--day-change", "0", at});
    ASSERT_EQ(moment.status, 0) << moment.err;
    const auto pillars = nlohmann::json::parse(moment.out)["pillars"];
    expected.push_back(pillars);
    const auto flowOf = [](const Ran& r) {
      EXPECT_EQ(r.status, 0) << r.err;
      return nlohmann::json::parse(r.out)["FlowPillars"];
    };
    EXPECT_EQ(flowOf(RunReport({"chart", "--json", "--name", "甲", "--sex", "女", "--birth", "1986-05-04 23:00",
                                "--at", at, "--day-change", "0"})),
              pillars);
    if (i % 6 == 0) {
      EXPECT_EQ(flowOf(RunReport({"chart", "--json", "--name", "甲", "--sex", "女", "--birth", "1986-05-04 23:00",
                                  "--at", at, "--day-change", "0", "--place", "成都", "--time", "solar"})),
                pillars);
    }
    lines += std::string("甲\t男\t1970-01-01 12:00\t") + at + "\n";
  }
  const Ran batch = RunReport({"chart", "--batch", "--day-change", "0"}, lines);
  ASSERT_EQ(batch.status, 0) << batch.err;
  const auto out = Lines(batch.out);
  ASSERT_EQ(out.size(), expected.size());
  for (std::size_t i = 0; i < out.size(); ++i)
    EXPECT_EQ(nlohmann::json::parse(out[i])["FlowPillars"]["day"], expected[i]["day"]) << i;
}

}  // namespace
}  // namespace qelm::cli
