// qelm-report moment / tables: the calendar engine from the command line.
#include <CLI/CLI.hpp>
#include <istream>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "calendar/lunar.hpp"
#include "calendar/moment.hpp"
#include "calendar/tables.hpp"
#include "cli/commands.hpp"

namespace qelm::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A stem and a branch as the two characters of a pillar.
std::string PillarName(int stem, int branch) {
  const NameTable& names = InitNameTable();
  std::string out;
  if (stem >= 1 && stem <= 10) out += names[stem - 1].stem;
  if (branch >= 1 && branch <= 12) out += names[branch - 1].branch;
  return out;
}

std::string PillarName(const MomentResult& r, PillarPlace stem) {
  return PillarName(r.MomentPillars[stem], r.MomentPillars[stem + 5]);
}

// Either the result for the text or the reason it cannot be used.
struct Computed {
  std::optional<MomentResult> result;
  std::string error;
};

// Why a text is not a moment: the field at fault when the shape is right.
std::string WhyNotAMoment(std::string_view text) {
  const std::string quoted = "「" + std::string(text) + "」";
  bool shape = text.size() == 16 && text[4] == '-' && text[7] == '-' && text[10] == ' ' && text[13] == ':';
  for (std::size_t i = 0; shape && i < text.size(); ++i)
    if (i != 4 && i != 7 && i != 10 && i != 13) shape = text[i] >= '0' && text[i] <= '9';
  if (!shape) return "無法解讀時刻" + quoted + ",格式須為 YYYY-MM-DD HH:MM";
  const auto field = [&](std::size_t pos, std::size_t len) {
    int v = 0;
    for (std::size_t i = pos; i < pos + len; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  if (const int m = field(5, 2); m < 1 || m > 12) return "時刻" + quoted + "的月份須在 01 至 12 之間";
  if (field(11, 2) > 23) return "時刻" + quoted + "的小時須在 00 至 23 之間";
  if (field(14, 2) > 59) return "時刻" + quoted + "的分鐘須在 00 至 59 之間";
  return "時刻" + quoted + "的日期不存在";
}

Computed Compute(std::string_view text) {
  text = Trim(text);
  const auto in = ParseUserMoment(text);
  if (!in) return {std::nullopt, WhyNotAMoment(text)};
  const MomentOutcome outcome = CalcMoment(*in);
  if (!outcome)
    return {std::nullopt, "時刻「" + std::string(text) + "」超出範圍:" +
                              std::string(MomentErrorText(outcome.error))};
  return {outcome.result, {}};
}

Json ToJson(const MomentResult& r) {
  Json j;
  j["MomentLunarYear"] = r.MomentLunarYear;
  j["MomentLunarMonth"] = r.MomentLunarMonth;
  j["MomentLunarDay"] = r.MomentLunarDay;
  j["MomentLeapFlag"] = r.MomentLeapFlag;
  j["MomentHourBranch"] = r.MomentHourBranch;
  j["MomentPillars"] = r.MomentPillars;
  j["JieIndex"] = r.JieIndex;
  j["JieName"] = std::string(r.JieName);
  j["JieDays"] = r.JieDays;
  j["JieHours"] = r.JieHours;
  j["JieMinutes"] = r.JieMinutes;
  j["PastMidTerm"] = r.PastMidTerm;
  j["LastTermName"] = std::string(r.LastTermName);
  j["LastTermDays"] = r.LastTermDays;
  j["LastTermHours"] = r.LastTermHours;
  j["LastTermMinutes"] = r.LastTermMinutes;
  j["WeekdayNumber"] = r.WeekdayNumber;
  j["pillars"] = {
      {"year", PillarName(r, kYearStem)},   {"month", PillarName(r, kMonthStem)},
      {"day", PillarName(r, kDayStem)},     {"hour", PillarName(r, kHourStem)},
      {"newYear", PillarName(r, kNewYearStem)},
  };
  return j;
}

std::string Dump(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

// "陰曆 己卯年十二月廿九日戌時", composed as the main window composes it.
std::string LunarLine(const MomentResult& r) {
  const LunarNamesResult names = LunarNames(r.MomentLunarMonth, r.MomentLunarDay, r.MomentLeapFlag);
  std::string line = "陰曆 " + PillarName(r, kNewYearStem) + "年";
  line += names.LeapMark;
  line += names.LunarMonthName;
  line += "月";
  line += names.LunarDayName;
  line += "日";
  line += InitNameTable()[r.MomentHourBranch - 1].branch;
  line += "時";
  return line;
}

std::string ElapsedText(std::string_view term, int days, int hours, int minutes) {
  return std::string(term) + " 已過 " + std::to_string(days) + " 日 " + std::to_string(hours) + " 時 " +
         std::to_string(minutes) + " 分";
}

void WriteText(std::ostream& out, const MomentResult& r) {
  out << "西曆 " << MomentText(r.moment) << " " << r.WeekdayText << "\n";
  out << LunarLine(r) << "\n";
  out << "四柱 " << PillarName(r, kYearStem) << "年 " << PillarName(r, kMonthStem) << "月 "
      << PillarName(r, kDayStem) << "日 " << PillarName(r, kHourStem) << "時\n";
  out << "農曆年柱 " << PillarName(r, kNewYearStem) << "\n";
  out << "本月節 " << ElapsedText(r.JieName, r.JieDays, r.JieHours, r.JieMinutes) << "\n";
  out << "上一節氣 " << ElapsedText(r.LastTermName, r.LastTermDays, r.LastTermHours, r.LastTermMinutes)
      << "\n";
}

struct MomentOptions {
  std::string text;
  bool json = false;
  bool batch = false;
};

void RunMoment(const MomentOptions& o, Streams& io) {
  if (o.batch) {
    if (!o.text.empty()) throw UsageError("--batch 從標準輸入讀取時刻,不另給時刻參數");
    std::string line;
    while (std::getline(io.in, line)) {
      const Computed c = Compute(line);
      io.out << Dump(c.result ? ToJson(*c.result) : Json{{"error", c.error}}) << "\n";
    }
    return;
  }
  if (o.text.empty()) throw UsageError("請給一個時刻,格式 \"YYYY-MM-DD HH:MM\",或用 --batch");
  const Computed c = Compute(o.text);
  if (!c.result) throw UsageError(c.error);
  if (o.json)
    io.out << Dump(ToJson(*c.result)) << "\n";
  else
    WriteText(io.out, *c.result);
}

void RunTables(Streams& io) {
  for (int y = kFirstTableYear; y <= kLastTableYear; ++y)
    if (const auto row = LunarYearInfo(y)) io.out << *row << "\n";
  for (int n = 1; n <= kSolarTermCount; ++n)
    if (const auto term = SolarTermMoment(n)) io.out << *term << "\n";
}

}  // namespace

void AddMomentCommands(CLI::App& app, Streams& io) {
  auto opts = std::make_shared<MomentOptions>();
  CLI::App* moment = app.add_subcommand(
      "moment", "Lunar date, four pillars and solar terms of a moment \"YYYY-MM-DD HH:MM\"");
  moment->add_option("moment", opts->text, "the moment, \"YYYY-MM-DD HH:MM\" (1901-01-01 … 2099-12-31)");
  moment->add_flag("--json", opts->json, "write one JSON object");
  moment->add_flag("--batch", opts->batch,
                   "read one moment a line from standard input, write one JSON object a line");
  moment->callback([opts, &io] { RunMoment(*opts, io); });

  CLI::App* tables = app.add_subcommand(
      "tables", "Print the 201 lunar-year descriptors, then the 4824 solar-term moments, one a line");
  tables->callback([&io] { RunTables(io); });
}

}  // namespace qelm::cli
