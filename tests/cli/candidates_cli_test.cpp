// qelm-report candidates: the stretches of a birth date, as text and JSON.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "run_report.hpp"

namespace qelm::cli {
namespace {

TEST(CandidatesCommand, TheDateInStretches) {
  const Ran r = RunReport({"candidates", "--sex", "男", "--date", "1990-05-17", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], R"({"format":2,"first":"1990-05-17 00:00","last":"1990-05-17 00:59","minutes":60,)"
                      R"("pillars":{"year":"庚午","month":"辛巳","day":"壬午","hour":"庚子"},"DayChange":23})");
  int minutes = 0;
  for (const std::string& line : lines) minutes += nlohmann::json::parse(line)["minutes"].get<int>();
  EXPECT_EQ(minutes, 1440);

  const Ran text = RunReport({"candidates", "--sex", "男", "--date", "1990-05-17", "--day-change", "0"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(Lines(text.out).back(), "1990-05-17 23:00 至 1990-05-17 23:59  庚午 辛巳 壬午 壬子");

  // A place in solar time moves the hours: 成都 lies about an hour west of
  // Beijing time's meridian.
  const Ran solar = RunReport({"candidates", "--sex", "女", "--date", "1990-05-17", "--place", "成都", "--time",
                               "solar", "--json"});
  ASSERT_EQ(solar.status, 0) << solar.err;
  EXPECT_NE(Lines(solar.out)[0].find("\"last\":\"1990-05-17 01:"), std::string::npos) << Lines(solar.out)[0];
}

// chart --hour-unknown names the stretch candidates lists for the birth.
TEST(CandidatesCommand, AChartCastAsACandidate) {
  const std::vector<const char*> chart{"chart", "--name", "甲", "--sex", "女", "--birth", "1990-05-17 14:30", "--at",
                                       "2024-06-15 10:30", "--place", "成都", "--time", "solar", "--hour-unknown"};
  auto json = chart;
  json.push_back("--json");
  const Ran r = RunReport(json);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto candidate = nlohmann::json::parse(r.out)["HourCandidate"];
  const Ran listed = RunReport({"candidates", "--sex", "女", "--date", "1990-05-17", "--place", "成都", "--time",
                                "solar", "--json"});
  const auto lines = Lines(listed.out);
  ASSERT_EQ(candidate["count"].get<std::size_t>(), lines.size());
  const auto stretch = nlohmann::json::parse(lines.at(candidate["index"].get<std::size_t>() - 1));
  EXPECT_EQ(candidate["first"], stretch["first"]);
  EXPECT_EQ(candidate["last"], stretch["last"]);
  const Ran text = RunReport(chart);
  EXPECT_NE(Lines(text.out).at(0).find("時辰不詳 (候選 " + std::to_string(candidate["index"].get<int>()) + "/"),
            std::string::npos);
  // Without the flag nothing is said; a batch or a PDF does not take it.
  EXPECT_EQ(RunReport({"chart", "--json", "--name", "甲", "--sex", "女", "--birth", "1990-05-17 14:30", "--at",
                       "2024-06-15 10:30"})
                .out.find("HourCandidate"),
            std::string::npos);
  EXPECT_EQ(RunReport({"chart", "--batch", "--hour-unknown"}, "").status, 2);
}

TEST(CandidatesCommand, RefusesWhatIsNoDate) {
  for (const char* date : {"1990-02-30", "1900-12-31", "1990/05/17", "17 May"})
    EXPECT_EQ(RunReport({"candidates", "--sex", "男", "--date", date}).status, 2) << date;
  EXPECT_EQ(RunReport({"candidates", "--sex", "X", "--date", "1990-05-17"}).status, 2);
  EXPECT_EQ(RunReport({"candidates", "--date", "1990-05-17"}).status, 2);
  EXPECT_EQ(RunReport({"candidates", "--sex", "男", "--date", "1990-05-17", "--place", "州"}).status, 2);
}

}  // namespace
}  // namespace qelm::cli
