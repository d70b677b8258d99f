// qelm-report chart: a person's chart at a flow moment, as the text report of
// either school or as JSON holding the whole chart and everything built on it.
#include <CLI/CLI.hpp>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/scoring.hpp"
#include "analysis/stars.hpp"
#include "calendar/moment.hpp"
#include "chart/chart.hpp"
#include "cli/chart_pdf.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "report/report.hpp"

namespace qelm::cli {

namespace {

constexpr std::string_view kZiPing = "子平法";
constexpr std::string_view kSanMing = "三命法";

// ------------------------------------------------------------ input

// A chart request, or why it cannot be served.
struct Request {
  std::string name;
  int sex = 1;
  MomentResult birth, at;
};
struct Checked {
  std::optional<Request> request;
  std::string error;
};

std::optional<int> SexOf(std::string_view text) {
  if (text == "男") return 1;
  if (text == "女") return 0;
  return std::nullopt;
}

Checked Check(std::string name, std::string_view sex, std::string_view birth, std::string_view at) {
  Checked c;
  const auto s = SexOf(sex);
  if (!s) {
    c.error = "性別「" + std::string(sex) + "」須為 男 或 女";
    return c;
  }
  auto b = MomentOf("出生時刻", birth, c.error);
  if (!b) return c;
  auto f = at.empty() ? CalcMoment(NowInput()).result : MomentOf("流時", at, c.error);
  if (!f && c.error.empty()) c.error = "現在的時刻超出 1901-01-01 至 2099-12-31,請用 --at";
  if (!f) return c;
  c.request = Request{std::move(name), *s, *b, *f};
  return c;
}

// ------------------------------------------------------------ JSON

Json PillarJson(Pillar p) { return Json::array({p.stem.number(), p.branch.number()}); }

template <typename T, std::size_t N, typename F>
Json ArrayJson(const std::array<T, N>& items, F each) {
  Json a = Json::array();
  for (const auto& item : items) a.push_back(each(item));
  return a;
}

Json StarsJson(const StarRows& rows) {
  Json a = Json::array();
  for (int i = 0; i < 12; ++i) {
    a.push_back({{"NB", rows.NB[i]}, {"SS1", rows.SS1[i]}, {"SS2", rows.SS2[i]}, {"SS3", rows.SS3[i]},
                 {"VAC", rows.VAC[i]}});
  }
  return a;
}

Json ChartJson(const ChartState& c, const FlowState& f) {
  const auto stemNumber = [](Stem s) { return s.number(); };
  const auto branchNumber = [](Branch b) { return b.number(); };
  const auto text = [](const std::string& s) { return s; };

  Json j;
  j["PersonName"] = c.PersonName;
  j["Sex"] = c.Sex;
  j["BirthYear"] = c.BirthYear;
  j["BirthMonth"] = c.BirthMonth;
  j["BirthDay"] = c.BirthDay;
  j["BirthHour"] = c.BirthHour;
  j["BirthMinute"] = c.BirthMinute;
  j["NewYearStem"] = c.NewYearStem.number();
  j["NewYearBranch"] = c.NewYearBranch.number();
  j["YearPolarity"] = c.YearPolarity;
  j["LunarYear"] = c.LunarYear;
  j["LunarMonth"] = c.LunarMonth;
  j["LunarDay"] = c.LunarDay;
  j["LunarHourBranch"] = c.LunarHourBranch.number();
  j["YearStem"] = c.YearStem.number();
  j["MonthStem"] = c.MonthStem.number();
  j["DayStem"] = c.DayStem.number();
  j["HourStem"] = c.HourStem.number();
  j["YearBranch"] = c.YearBranch.number();
  j["MonthBranch"] = c.MonthBranch.number();
  j["DayBranch"] = c.DayBranch.number();
  j["HourBranch"] = c.HourBranch.number();
  j["ChartLoaded"] = c.ChartLoaded;
  j["ChartKind"] = c.ChartKind;
  j["BirthJieDays"] = c.BirthJieDays;
  // The commanding stem follows the shown moment, as the luck index and the
  // age do; the birth month's stands in CommandLineText.
  j["CommandStem"] = f.CommandStem.number();
  j["CommandStemName"] = f.CommandStemName;
  j["LifePalace"] = PillarJson(c.LifePalace);
  j["BodyPalace"] = PillarJson(c.BodyPalace);
  j["ConceptionPillar"] = PillarJson(c.ConceptionPillar);
  j["BreathPillar"] = PillarJson(c.BreathPillar);
  j["PalaceText"] = c.PalaceText;
  j["LuckStems"] = ArrayJson(c.LuckStems, stemNumber);
  j["LuckBranches"] = ArrayJson(c.LuckBranches, branchNumber);
  j["LuckStartAge"] = c.LuckStartAge;
  j["LuckAgeRanges"] = ArrayJson(c.LuckAgeRanges, text);
  j["LuckTermMoments"] = ArrayJson(c.LuckTermMoments, text);
  j["LuckMidTermMoments"] = ArrayJson(c.LuckMidTermMoments, text);
  j["LuckChangeMinutes"] = ArrayJson(c.LuckChangeMinutes, [](const std::optional<std::int32_t>& m) {
    return m ? Json(*m) : Json(nullptr);
  });
  j["LuckChangeDates"] = ArrayJson(c.LuckChangeDates, text);
  j["LuckMidChangeDates"] = ArrayJson(c.LuckMidChangeDates, text);
  j["BirthDateText"] = c.BirthDateText;
  j["BirthMomentText"] = c.BirthMomentText;
  j["CurrentLuckIndex"] = f.CurrentLuckIndex;
  j["FlowAge"] = f.FlowAge;
  j["DateLabText"] = c.DateLabText;
  j["CommandLineText"] = c.CommandLineText;
  j["PalaceLineText"] = c.PalaceLineText;
  j["birth"] = MomentJson(c.birth);

  j["MomentPillars"] = f.moment.MomentPillars;
  j["NatalScores"] = NatalScores(c);
  Json levels = Json::array(), pairs = Json::array();
  for (int level = 1; level <= 5; ++level) {
    const ElementScores s = LevelScores(c, f, level);
    levels.push_back(s);
    pairs.push_back(PairSums(s, c.DayStem));
  }
  j["LevelScores"] = levels;
  j["PairSums"] = pairs;
  const SeasonRanking season = SeasonStates(c.MonthBranch, c.BirthJieDays);
  j["SeasonNames"] = ArrayJson(season.SeasonNames, [](std::string_view s) { return std::string(s); });
  j["Stars"] = {{kZiPing, StarsJson(BuildStarRows(c, School::ZiPing))},
                {kSanMing, StarsJson(BuildStarRows(c, School::SanMing))}};
  const Virtues v = BuildVirtues(c.MonthBranch);
  j["Virtues"] = {{"TED", v.TED}, {"TEDHER", v.TEDHER}, {"UED", v.UED}, {"UEDHER", v.UEDHER}};
  j["Report"] = {{kZiPing, ZiPingReport(c, f)}, {kSanMing, SanMingReport(c, f)}};
  return j;
}

Json RequestJson(const Request& r) {
  const ChartState chart = LoadChart(r.name, r.sex, r.birth);
  const FlowState flow = ComputeFlow(&chart, r.at);
  return ChartJson(chart, flow);
}

// ------------------------------------------------------------ running

struct ChartOptions {
  std::string name, sex, birth, at;
  std::string school{kZiPing};
  std::string pdf;
  bool json = false, crlf = false, batch = false;
};

// "NAME<TAB>男|女<TAB>birth<TAB>flow moment"
Checked CheckLine(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::vector<std::string> fields;
  std::size_t from = 0;
  for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', from)) {
    fields.push_back(line.substr(from, tab - from));
    from = tab + 1;
  }
  fields.push_back(line.substr(from));
  if (fields.size() != 4) {
    return {std::nullopt, "每行須為 姓名<TAB>性別<TAB>出生時刻<TAB>流時 四欄,此行有 " +
                              std::to_string(fields.size()) + " 欄"};
  }
  // Each line names its own flow moment; the clock never stands in for it.
  if (Trim(fields[3]).empty()) return {std::nullopt, "此行缺少流時,格式須為 YYYY-MM-DD HH:MM"};
  return Check(fields[0], fields[1], fields[2], fields[3]);
}

void RunBatch(const ChartOptions& o, Streams& io) {
  if (!o.name.empty() || !o.sex.empty() || !o.birth.empty() || !o.at.empty())
    throw UsageError("--batch 從標準輸入讀取每個命盤,不另給 --name --sex --birth --at");
  std::string line;
  while (std::getline(io.in, line)) {
    const Checked c = CheckLine(line);
    io.out << Dump(c.request ? RequestJson(*c.request) : Json{{"error", c.error}}) << "\n";
    if (!c.request) io.Skipped();
  }
}

void RunChart(const ChartOptions& o, Streams& io) {
  if (o.batch) return RunBatch(o, io);
  if (o.name.empty()) throw UsageError("缺少 --name");
  if (o.sex.empty()) throw UsageError("缺少 --sex(男 或 女)");
  if (o.birth.empty()) throw UsageError("缺少 --birth \"YYYY-MM-DD HH:MM\"");
  if (o.school != kZiPing && o.school != kSanMing)
    throw UsageError("--school 須為 子平法 或 三命法,不是「" + o.school + "」");
  const Checked c = Check(o.name, o.sex, o.birth, o.at);
  if (!c.request) throw UsageError(c.error);

  if (!o.pdf.empty())
    return RunChartPdf(c.request->name, c.request->sex, c.request->birth.input, c.request->at.input, o.pdf, io);

  if (o.json) {
    io.out << Dump(RequestJson(*c.request)) << "\n";
    return;
  }
  const ChartState chart = LoadChart(c.request->name, c.request->sex, c.request->birth);
  const FlowState flow = ComputeFlow(&chart, c.request->at);
  const std::string report = o.school == kSanMing ? SanMingReport(chart, flow) : ZiPingReport(chart, flow);
  io.out << (o.crlf ? report : LfLineEnds(report));
}

}  // namespace

void AddChartCommand(CLI::App& app, Streams& io) {
  auto opts = std::make_shared<ChartOptions>();
  CLI::App* chart = app.add_subcommand("chart", "The text report of a person's chart at a flow moment");
  chart->add_option("--name", opts->name, "the person's name");
  chart->add_option("--sex", opts->sex, "男 or 女");
  chart->add_option("--birth", opts->birth, "the birth moment, \"YYYY-MM-DD HH:MM\"");
  chart->add_option("--at", opts->at, "the flow moment, \"YYYY-MM-DD HH:MM\" (default: now, local time)");
  chart->add_option("--school", opts->school, "子平法 (default) or 三命法");
  chart->add_flag("--json", opts->json, "write one JSON object with the whole chart and both reports");
  chart->add_flag("--crlf", opts->crlf, "end the report's lines with CR LF");
  chart->add_option("--pdf", opts->pdf,
                    "write the printed chart (the main window and the 子平法 report) as a PDF file");
  chart->add_flag("--batch", opts->batch,
                  "read NAME<TAB>男|女<TAB>birth<TAB>flow moment lines from standard input, "
                  "write one JSON object a line");
  chart->callback([opts, &io] { RunChart(*opts, io); });
}

}  // namespace qelm::cli
