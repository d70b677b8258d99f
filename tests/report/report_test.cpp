#include "report/report.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace qelm {
namespace {

struct Loaded {
  ChartState chart;
  FlowState flow;
};

Loaded Load(Sex sex, MomentInput birth, MomentInput at) {
  const auto b = CalcMoment(birth);
  const auto f = CalcMoment(at);
  EXPECT_TRUE(b && f);
  Loaded l;
  l.chart = LoadChart("測試", sex, *b.result);
  l.flow = ComputeFlow(&l.chart, *f.result);
  return l;
}

// Splits at CR LF; the text must end with one and hold no other line ends.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
    lines.push_back(text.substr(from, at - from));
    from = at + 2;
  }
  EXPECT_EQ(from, text.size()) << "text does not end with CR LF";
  for (const auto& l : lines) EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos) << l;
  return lines;
}

void ExpectLines(const std::string& text, const std::vector<std::string>& expected) {
  const auto lines = Lines(text);
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

// A man born at the very minute of 立春 2000 (庚辰 年, 戊寅 月, 壬辰 日, 庚戌 時),
// seen at 2030-06-15 12:00, inside his third luck pillar 辛巳.
const Loaded& Man2000() {
  static const Loaded l = Load(Sex::Male, {2000, 2, 4, 20, 35}, {2030, 6, 15, 12, 0});
  return l;
}

const std::vector<std::string> kHead{
    "乾造 西元 2000年 2月 4日 20時 35分 (己卯年十二月廿九日戌時)",
    "立春後第 0日 0時 0分 戊土用事 (約 10歲起運)",
    "旺相休囚: 木旺 火相 土死 金囚 水休",
};

const std::vector<std::string> kDates{
    "交運日期",
    "大運  換柱與天干上五年  地支下五年",
    "己卯  2009年11月13日  2014年10月23日",
    "庚辰  2019年10月16日  2024年10月25日",
    "辛巳  2029年11月19日  2034年12月28日",
    "壬午  2040年02月16日  2045年04月14日",
    "癸未  2050年06月14日  2055年08月14日",
    "甲申  2060年10月08日  2065年11月25日",
    "乙酉  2070年12月30日  2076年01月20日",
    "丙戌  2081年01月24日  2086年01月14日",
    "丁亥  2090年12月19日  2095年11月10日",
    "戊子  2100年09月22日  2105年07月28日",
};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(Report, ZiPingTextOfAFullChart) {
  const auto& l = Man2000();
  ASSERT_EQ(l.flow.CurrentLuckIndex, 3);
  const auto expected = Concat({kHead,
                                {
                                    "五行強弱: 木 14 火 5 土 22 金 12 水 7",
                                    "",
                                    "梟日殺梟",
                                    "庚壬戊庚",
                                    "戌辰寅辰",
                                    "",
                                    "戊丁丙乙甲癸壬辛庚己",
                                    "子亥戌酉申未午巳辰卯",
                                    "",
                                    "西元 2030年 6月 15日 12時 0分",
                                    "",
                                    "運歲月日時",
                                    "印梟比印食",
                                    "辛庚壬辛甲",
                                    "巳戌午巳午",
                                    "",
                                },
                                kDates});
  ASSERT_EQ(expected.size(), 31u);
  ExpectLines(ZiPingReport(l.chart, l.flow), expected);
}

TEST(Report, SanMingTextOfAFullChart) {
  const auto& l = Man2000();
  const auto expected = Concat({kHead,
                                {
                                    "命宮:辛巳 身宮:己丑 息元:丁酉 胎元:己巳",
                                    "",
                                    "胎時日月年",
                                    "己庚壬戊庚",
                                    "巳戌辰寅辰",
                                    "",
                                    "大釵長城白",
                                    "林釧流頭臘",
                                    "木金水土金",
                                    "",
                                    "戊丁丙乙甲癸壬辛庚己",
                                    "子亥戌酉申未午巳辰卯",
                                    "",
                                    "霹屋屋泉泉楊楊白白城",
                                    "靂上上中中柳柳臘臘頭",
                                    "火土土水水木木金金土",
                                    "",
                                    "西元 2030年 6月 15日 12時 0分",
                                    "",
                                    "運歲月日時",
                                    "辛庚壬辛甲",
                                    "巳戌午巳午",
                                    "",
                                    "白釵楊白砂",
                                    "臘釧柳臘中",
                                    "金金木金金",
                                    "",
                                },
                                kDates});
  ASSERT_EQ(expected.size(), 42u);
  ExpectLines(SanMingReport(l.chart, l.flow), expected);
}

TEST(Report, BeforeTheFirstLuckPillarTheLuckColumnIsBlank) {
  // Six days after birth: 庚辰 年, 戊寅 月, 戊戌 日, 丁巳 時.
  const Loaded l = Load(Sex::Male, {2000, 2, 4, 20, 35}, {2000, 2, 10, 10, 0});
  ASSERT_EQ(l.flow.CurrentLuckIndex, 0);
  const auto zi = Lines(ZiPingReport(l.chart, l.flow));
  ASSERT_EQ(zi.size(), 31u);
  EXPECT_EQ(zi[12], "西元 2000年 2月 10日 10時 0分");
  EXPECT_EQ(zi[15], "　梟殺殺財");
  EXPECT_EQ(zi[16], "　庚戊戊丁");
  EXPECT_EQ(zi[17], "　辰寅戌巳");
  const auto san = Lines(SanMingReport(l.chart, l.flow));
  ASSERT_EQ(san.size(), 42u);
  EXPECT_EQ(san[23], "　庚戊戊丁");
  EXPECT_EQ(san[24], "　辰寅戌巳");
  EXPECT_EQ(san[26], "　白城平沙");
  EXPECT_EQ(san[27], "　臘頭地中");
  EXPECT_EQ(san[28], "　金土木土");
}

TEST(Report, WomanOfTheSameMomentRunsBackwardFromAgeZero) {
  // 庚 is yang: a woman's luck runs backward and begins at the 立春 of her birth.
  const Loaded l = Load(Sex::Female, {2000, 2, 4, 20, 35}, {2030, 6, 15, 12, 0});
  const auto lines = Lines(ZiPingReport(l.chart, l.flow));
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[0], "坤造 西元 2000年 2月 4日 20時 35分 (己卯年十二月廿九日戌時)");
  EXPECT_EQ(lines[1], "立春後第 0日 0時 0分 戊土用事 (約 0歲起運)");
  EXPECT_EQ(lines[9], "戊己庚辛壬癸甲乙丙丁");
  EXPECT_EQ(lines[10], "辰巳午未申酉戌亥子丑");
  // The first change at minute 0; its mid-point from 大寒 2000-01-21 02:23,
  // 21252 minutes before birth, times 120, is 1771 days on.
  EXPECT_EQ(lines[21], "丁丑  2000年02月04日  2004年12月10日");
}

TEST(Report, EveryChartHasItsLineCountAndSixtyPoints) {
  const MomentInput births[] = {{1901, 1, 1, 0, 0},  {1955, 8, 8, 23, 30}, {1984, 2, 2, 12, 0},
                                {2023, 6, 30, 7, 7}, {2099, 12, 31, 22, 59}};
  for (const auto& b : births) {
    for (Sex sex : {Sex::Female, Sex::Male}) {
      const Loaded l = Load(sex, b, {2024, 1, 1, 0, 0});
      const auto zi = Lines(ZiPingReport(l.chart, l.flow));
      ASSERT_EQ(zi.size(), 31u);
      EXPECT_EQ(Lines(SanMingReport(l.chart, l.flow)).size(), 42u);
      // "五行強弱: 木 a 火 b 土 c 金 d 水 e"
      int total = 0;
      for (const char* e : {"木", "火", "土", "金", "水"}) {
        const size_t at = zi[3].find(e);
        ASSERT_NE(at, std::string::npos);
        total += std::stoi(zi[3].substr(at + 3));
      }
      EXPECT_EQ(total, 60) << zi[0];
      EXPECT_EQ(zi[0].substr(0, 6), sex == Sex::Male ? "乾造" : "坤造");
    }
  }
}

}  // namespace
}  // namespace qelm

namespace qelm {
namespace {

// Composed at once with the lines they share copied, the reports are those
// composed one by one, whatever the line end; with a longer line end the
// copied stretches must still fall on whole lines.
TEST(Report, BothAtOnceAreTheReportsOneByOne) {
  const MomentInput births[] = {{1901, 1, 1, 0, 0}, {1955, 8, 8, 23, 30}, {2099, 12, 31, 22, 59}};
  const MomentInput flows[] = {{1901, 1, 2, 0, 0}, {2024, 1, 1, 0, 0}};
  const auto replaced = [](std::string text, std::string_view lineEnd) {
    std::string out;
    for (std::size_t from = 0, at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
      out.append(text, from, at - from).append(lineEnd);
    return out;
  };
  for (const auto& b : births) {
    for (const auto& at : flows) {
      for (Sex sex : {Sex::Female, Sex::Male}) {
        const Loaded l = Load(sex, b, at);
        for (std::string_view lineEnd : {"\r\n", "\\r\\n"}) {
          std::string zi = "kept ", san;  // appended to, not replaced
          AppendBothReports(zi, san, l.chart, l.flow, lineEnd);
          EXPECT_EQ(zi, "kept " + replaced(ZiPingReport(l.chart, l.flow), lineEnd));
          EXPECT_EQ(san, replaced(SanMingReport(l.chart, l.flow), lineEnd));
        }
      }
    }
  }
}

}  // namespace
}  // namespace qelm

namespace qelm {
namespace {

// The one report every output shows: the school's report, and a correction
// line after its last line only when there is one.
TEST(ChartReport, TheSchoolsReportWithTheCorrectionLineLast) {
  const Loaded l = Load(Sex::Male, {2000, 2, 4, 20, 35}, {2030, 6, 15, 12, 0});
  const std::string line = "真太陽時 20時 10分";
  for (const School school : {School::ZiPing, School::SanMing}) {
    const std::string plain = school == School::ZiPing ? ZiPingReport(l.chart, l.flow) : SanMingReport(l.chart, l.flow);
    EXPECT_EQ(ChartReport(l.chart, l.flow, school), plain);
    const auto lines = Lines(ChartReport(l.chart, l.flow, school, line));
    ASSERT_EQ(lines.size(), Lines(plain).size() + 1);
    EXPECT_EQ(lines.back(), line);
  }
}

}  // namespace
}  // namespace qelm
