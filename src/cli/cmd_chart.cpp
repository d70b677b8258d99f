// qelm-report chart: a person's chart at a flow moment, as the text report of
// either school or as JSON holding the whole chart and everything built on it.
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <array>
#include <string>

#include "analysis/scoring.hpp"
#include "analysis/stars.hpp"
#include "calendar/moment.hpp"
#include "chart/chart.hpp"
#include "cli/batch.hpp"
#include "cli/birth_options.hpp"
#include "cli/chart_pdf.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/correction_json.hpp"
#include "cli/day_change_option.hpp"
#include "cli/luck_start_option.hpp"
#include "cli/moment_input.hpp"
#include "cli/relations_json.hpp"
#include "cli/stars_json.hpp"
#include "place/birth_candidates.hpp"
#include "records/big5.hpp"
#include "report/report.hpp"

namespace qelm::cli {

namespace {

constexpr std::string_view kZiPing = "子平法";
constexpr std::string_view kSanMing = "三命法";

// ------------------------------------------------------------ input

// A chart request, or why it cannot be served.
struct Request {
  std::string name;
  Sex sex = Sex::Male;
  MomentResult birth, at;
  LuckStart luckStart = LuckStart::Table;
  std::optional<HourCandidate> hourCandidate;  // --hour-unknown
};
struct Checked {
  std::optional<Request> request;
  std::string error;
};

Checked Check(std::string name, std::string_view sex, std::string_view birth, std::string_view at,
              DayChange dayChange, LuckStart luckStart) {
  Checked c;
  // The person file's limit: a chart of a name it could not hold is refused.
  if (const std::size_t n = records::CharacterCount(name); n > records::kMaxNameLength) {
    c.error = "姓名最多 " + std::to_string(records::kMaxNameLength) + " 個字，這個有 " + std::to_string(n) + " 個字";
    return c;
  }
  const auto s = SexOption(sex);
  if (!s) {
    c.error = "性別「" + std::string(sex) + "」須為 男 或 女";
    return c;
  }
  auto b = MomentOf("出生時刻", birth, c.error, dayChange);
  if (!b) return c;
  // The flow moment is read by the birth's convention, as the chart it is shown with.
  auto f = at.empty() ? CalcMoment(NowInput(), dayChange).result : MomentOf("流時", at, c.error, dayChange);
  if (!f && c.error.empty()) c.error = "現在的時刻超出 " + CalendarRangeText() + ",請用 --at";
  if (!f) return c;
  c.request = Request{std::move(name), *s, *b, *f, luckStart, std::nullopt};
  return c;
}

// ------------------------------------------------------------ JSON

void WritePillar(JsonWriter& w, Pillar p) { w.Value(std::array{p.stem.number(), p.branch.number()}); }

// The chart's texts are the program's own words, numbers and dates, none of
// which JSON escapes.
JsonReadyText Own(std::string_view text) { return {text}; }

// Each item of an array as `each` gives it.
template <typename T, std::size_t N, typename F>
auto Map(const std::array<T, N>& items, F each) {
  std::array<decltype(each(items[0])), N> out;
  for (std::size_t i = 0; i < N; ++i) out[i] = each(items[i]);
  return out;
}

// The names of the twelve luck pillars as one array, written in one piece:
// ["己卯","庚辰",…].
void WriteLuckPillarNames(JsonWriter& w, const ChartState& c) {
  std::array<char, 2 + 12 * 9> text;
  char* p = text.data();
  *p++ = '[';
  for (int k = 1; k <= 12; ++k) {
    if (k > 1) *p++ = ',';
    *p++ = '"';
    p = PutText(p, PillarNameText(c.LuckPillar(k)).view());
    *p++ = '"';
  }
  *p++ = ']';
  w.RawValue(std::string_view(text.data(), static_cast<std::size_t>(p - text.data())));
}

// The whole chart as one object: the chart's fields in their order, the
// birth moment, then everything built on the chart at the flow moment, and
// the birthplace correction when there is one.
void WriteChart(JsonWriter& w, const ChartState& c, const FlowState& f, const BirthCorrection* correction,
                bool latitudeGiven) {
  const auto stemNumber = [](Stem s) { return s.number(); };
  const auto branchNumber = [](Branch b) { return b.number(); };

  w.BeginObject();
  w.Field("format", kJsonFormat);
  w.Field("PersonName", UserText{c.PersonName});
  w.Members(Member{"Sex", static_cast<int>(c.Sex)}, Member{"BirthYear", c.BirthYear},
            Member{"BirthMonth", c.BirthMonth}, Member{"BirthDay", c.BirthDay}, Member{"BirthHour", c.BirthHour},
            Member{"BirthMinute", c.BirthMinute}, Member{"DayChange", DayChangeHour(c.birth.dayChange)},
            Member{"NewYearStem", c.NewYearStem.number()}, Member{"NewYearBranch", c.NewYearBranch.number()},
            Member{"NewYearPillar", PillarNameText({c.NewYearStem, c.NewYearBranch}).json()},
            Member{"YearPolarity", static_cast<int>(c.YearPolarity)}, Member{"LunarYear", c.LunarYear},
            Member{"LunarMonth", c.LunarMonth}, Member{"LunarDay", c.LunarDay},
            Member{"LunarHourBranch", c.LunarHourBranch.number()}, Member{"YearStem", c.YearStem.number()},
            Member{"MonthStem", c.MonthStem.number()}, Member{"DayStem", c.DayStem.number()},
            Member{"HourStem", c.HourStem.number()}, Member{"YearBranch", c.YearBranch.number()},
            Member{"MonthBranch", c.MonthBranch.number()}, Member{"DayBranch", c.DayBranch.number()},
            Member{"HourBranch", c.HourBranch.number()}, Member{"YearPillar", PillarNameText(c.YearPillar()).json()},
            Member{"MonthPillar", PillarNameText(c.MonthPillar()).json()},
            Member{"DayPillar", PillarNameText(c.DayPillar()).json()},
            Member{"HourPillar", PillarNameText(c.HourPillar()).json()}, Member{"ChartKind", Own(c.ChartKind)},
            Member{"BirthJieDays", c.BirthJieDays},
            // The commanding stem follows the shown moment, as the luck index
            // and the age do; the birth month's stands in the report's
            // commanding-stem line.
            Member{"CommandStem", f.CommandStem.number()}, Member{"CommandStemName", Own(f.CommandStemName)});
  w.Key("LifePalace");
  WritePillar(w, c.LifePalace);
  w.Key("BodyPalace");
  WritePillar(w, c.BodyPalace);
  w.Key("ConceptionPillar");
  WritePillar(w, c.ConceptionPillar);
  w.Key("BreathPillar");
  WritePillar(w, c.BreathPillar);
  w.Field("PalaceText", Own(c.PalaceText));
  w.Field("LuckStems", Map(c.LuckStems, stemNumber));
  w.Field("LuckBranches", Map(c.LuckBranches, branchNumber));
  w.Key("LuckPillars");
  WriteLuckPillarNames(w, c);
  w.Members(Member{"LuckStartAge", c.LuckStartAge}, Member{"LuckStart", Own(LuckStartKey(c.conventions.luckStart))});
  w.Key("LuckAgeRanges");
  w.ReadyTexts(c.LuckAgeRanges);
  w.Field("LuckTermMoments", Map(c.LuckTermMoments, Own));
  w.Field("LuckMidTermMoments", Map(c.LuckMidTermMoments, Own));
  w.Field("LuckChangeMinutes", c.LuckChangeMinutes);
  w.Key("LuckChangeDates");
  w.ReadyTexts(c.LuckChangeDates);
  w.Key("LuckMidChangeDates");
  w.ReadyTexts(c.LuckMidChangeDates);
  w.Members(Member{"BirthDateText", Own(c.BirthDateText)}, Member{"BirthMomentText", Own(c.BirthMomentText)},
            Member{"CurrentLuckIndex", f.CurrentLuckIndex}, Member{"FlowAge", f.FlowAge});
  w.Key("birth");
  w.BeginObject();
  WriteMomentFields(w, c.birth);
  w.EndObject();

  w.Field("MomentPillars", PillarNumbers(f.moment.MomentPillars));
  w.Key("FlowPillars");
  WritePillarNames(w, f.moment.MomentPillars);
  w.Field("NatalScores", NatalScores(c));
  const std::array<ElementScores, 5> levels = AllLevelScores(c, f);
  std::array<std::array<int, 5>, 5> pairs;
  for (std::size_t k = 0; k < levels.size(); ++k) pairs[k] = PairSums(levels[k], c.DayStem);
  w.Field("LevelScores", levels);
  w.Field("PairSums", pairs);
  w.Field("SeasonNames", Map(SeasonStates(c.MonthBranch, c.BirthJieDays).SeasonNames, Own));
  w.Key("Stars");
  w.BeginObject();
  w.Key(kZiPing);
  WriteStars(w, StarPartsOf(c, School::ZiPing));
  w.Key(kSanMing);
  WriteStars(w, StarPartsOf(c, School::SanMing));
  w.EndObject();
  const Virtues v = BuildVirtues(c.MonthBranch);
  w.Key("Virtues");
  w.BeginObject();
  w.Members(Member{"HeavenlyVirtue", Own(v.HeavenlyVirtue)},
            Member{"HeavenlyVirtueCombination", Own(v.HeavenlyVirtueCombination)},
            Member{"MonthlyVirtue", Own(v.MonthlyVirtue)},
            Member{"MonthlyVirtueCombination", Own(v.MonthlyVirtueCombination)});
  w.EndObject();
  WriteRelations(w, c, f);
  w.Key("Report");
  w.BeginObject();
  if (correction) {
    // A corrected chart: its reports end with the correction line, written
    // through the escaping path.
    const std::string line = CorrectionLine(*correction);
    w.Field(kZiPing, ChartReport(c, f, School::ZiPing, line));
    w.Field(kSanMing, ChartReport(c, f, School::SanMing, line));
  } else {
    // Both reports composed in their JSON form: nothing in them but the line
    // ends needs escaping.
    constexpr std::string_view kJsonLineEnd = "\\r\\n";
    // Their room is kept from chart to chart on each thread.
    thread_local std::string ziPing, sanMing;
    ziPing.clear();
    sanMing.clear();
    ziPing.reserve(2048);
    sanMing.reserve(2048);
    AppendBothReports(ziPing, sanMing, c, f, kJsonLineEnd);
    w.Field(kZiPing, JsonReadyText{ziPing});
    w.Field(kSanMing, JsonReadyText{sanMing});
  }
  w.EndObject();
  if (correction) {
    w.Key("BirthCorrection");
    WriteBirthCorrection(w, *correction, latitudeGiven);
  }
  if (c.hourCandidate) {
    w.Key("HourCandidate");
    w.BeginObject();
    w.Field("index", c.hourCandidate->index);
    w.Field("count", c.hourCandidate->count);
    w.Field("first", UserMomentText(c.hourCandidate->first));
    w.Field("last", UserMomentText(c.hourCandidate->last));
    w.EndObject();
  }
  w.EndObject();
}

void WriteRequest(JsonWriter& w, const Request& r, const BirthCorrection* correction = nullptr,
                  bool latitudeGiven = true) {
  ChartState chart = LoadChart(r.name, r.sex, r.birth, r.luckStart);
  chart.hourCandidate = r.hourCandidate;
  const FlowState flow = ComputeFlow(&chart, r.at);
  WriteChart(w, chart, flow, correction, latitudeGiven);
}

// ------------------------------------------------------------ running

struct ChartOptions {
  std::string name, sex, birth, at;
  std::string school{kZiPing};
  std::string pdf;
  bool pdfGiven = false;
  bool json = false, crlf = false, batch = false, hourUnknown = false;
  int jobs = DefaultJobs();
  BirthPlaceOptions place;
  bool placeGiven = false;
  int dayChange = 23;
  std::string luckStart = "table";
};

// "NAME<TAB>男|女<TAB>birth<TAB>flow moment"
Checked CheckLine(std::string_view line, DayChange dayChange, LuckStart luckStart) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::array<std::string_view, 4> fields;
  std::size_t count = 0;
  for (std::size_t from = 0;; ++count) {
    const std::size_t tab = line.find('\t', from);
    if (count < fields.size()) fields[count] = line.substr(from, tab == std::string_view::npos ? tab : tab - from);
    if (tab == std::string_view::npos) break;
    from = tab + 1;
  }
  if (++count != fields.size()) {
    return {std::nullopt, "每行須為 姓名<TAB>性別<TAB>出生時刻<TAB>流時 四欄,此行有 " + std::to_string(count) + " 欄"};
  }
  // Each line names its own flow moment; the clock never stands in for it.
  if (Trim(fields[3]).empty()) return {std::nullopt, "此行缺少流時,格式須為 YYYY-MM-DD HH:MM"};
  return Check(std::string(fields[0]), fields[1], fields[2], fields[3], dayChange, luckStart);
}

void RunBatch(const ChartOptions& o, Streams& io) {
  if (!o.name.empty() || !o.sex.empty() || !o.birth.empty() || !o.at.empty())
    throw UsageError("--batch 從標準輸入讀取每個命盤,不另給 --name --sex --birth --at");
  if (o.placeGiven) throw UsageError(kBatchTakesNoPlace);
  if (o.hourUnknown) throw UsageError("--hour-unknown 只用於單一命盤,不用於 --batch");
  const DayChange dayChange = DayChangeOfOption(o.dayChange);
  const LuckStart luckStart = LuckStartOfOption(o.luckStart);
  const bool skipped = RunJsonLines(io.in, io.out, io.err, o.jobs, [dayChange, luckStart](std::string_view line,
                                                                                        JsonWriter& w) {
    Checked c = CheckLine(line, dayChange, luckStart);
    if (c.request) WriteRequest(w, *c.request);
    else WriteError(w, c.error);
    return std::move(c.error);
  });
  if (skipped) io.Skipped();
}

// A PDF is written into a FIFO or a device as it is; else only as a regular
// file in a folder that exists and may be written. Otherwise the command is
// refused, naming the file's full path.
void CheckPdfFolder(const std::string& pdf) {
  std::error_code ignored;
  const std::filesystem::path target = std::filesystem::absolute(pdf, ignored);
  const std::filesystem::file_status kind = std::filesystem::status(target, ignored);
  if (kind.type() == std::filesystem::file_type::fifo || kind.type() == std::filesystem::file_type::character)
    return;
  if (kind.type() == std::filesystem::file_type::directory)
    throw UsageError("無法寫入 PDF 檔「" + target.string() + "」:這是資料夾,請給檔名");
  if (std::filesystem::exists(kind) && kind.type() != std::filesystem::file_type::regular)
    throw UsageError("無法寫入 PDF 檔「" + target.string() + "」:不是一般檔案");
  const std::filesystem::path folder = target.parent_path();
  if (!std::filesystem::is_directory(folder, ignored))
    throw UsageError("無法寫入 PDF 檔「" + target.string() + "」:資料夾不存在");
  if (access(folder.c_str(), W_OK) != 0)
    throw UsageError("無法寫入 PDF 檔「" + target.string() + "」:資料夾不可寫入");
}

void RunChart(const ChartOptions& o, Streams& io) {
  if (o.batch) return RunBatch(o, io);
  if (o.name.empty()) throw UsageError("缺少 --name");
  if (o.sex.empty()) throw UsageError("缺少 --sex(男 或 女)");
  if (o.birth.empty()) throw UsageError("缺少 --birth \"YYYY-MM-DD HH:MM\"");
  if (o.school != kZiPing && o.school != kSanMing)
    throw UsageError("--school 須為 子平法 或 三命法,不是「" + o.school + "」");
  const DayChange dayChange = DayChangeOfOption(o.dayChange);
  const LuckStart luckStart = LuckStartOfOption(o.luckStart);
  Checked c = Check(o.name, o.sex, o.birth, o.at, dayChange, luckStart);
  if (!c.request) throw UsageError(c.error);
  // The birth as the clock showed it at the birthplace, resolved by the core.
  Birth birth = BirthOfOptions(o.place, c.request->birth.entered, dayChange);
  birth.luckStart = luckStart;
  const ResolvedBirth resolved = ResolveBirthOrRefuse(birth);
  c.request->birth = resolved.moment;
  const BirthCorrection* correction = ReportedCorrection(birth, resolved);
  if (o.hourUnknown) {
    // The birth is one of the charts its date allows: which, of how many.
    const MomentInput& clock = birth.clock;
    const BirthCaster caster{ResolveBirthPlace(o.place), dayChange};
    const Moment at = MakeMoment(clock.InputYear, clock.InputMonth, clock.InputDay, clock.InputHour, clock.InputMinute);
    const std::vector<CandidateStretch> stretches = CandidateStretches(DateOf(at), caster);
    const int i = StretchIndexOf(stretches, at);
    if (i >= 0) {
      const CandidateStretch& s = stretches[static_cast<std::size_t>(i)];
      birth.hourCandidate = HourCandidate{i + 1, static_cast<int>(stretches.size()), s.first, s.last};
      c.request->hourCandidate = birth.hourCandidate;
    }
  }

  if (o.pdfGiven) {
    if (o.hourUnknown) throw UsageError("--hour-unknown 不與 --pdf 並用");
    CheckPdfFolder(o.pdf);
    return RunChartPdf(c.request->name, c.request->sex, birth, c.request->at.input, o.pdf, io);
  }

  if (o.json) {
    rapidjson::StringBuffer buffer;
    JsonWriter w(buffer);
    WriteRequest(w, *c.request, correction, !o.place.longitude || o.place.latitude);
    w.EndLine();
    io.out.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
    return;
  }
  ChartState chart = LoadChart(c.request->name, c.request->sex, c.request->birth, luckStart);
  chart.hourCandidate = c.request->hourCandidate;
  const FlowState flow = ComputeFlow(&chart, c.request->at);
  const std::string report = ChartReport(chart, flow, o.school == kSanMing ? School::SanMing : School::ZiPing,
                                         correction ? CorrectionLine(*correction) : "");
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
                    "write the printed chart (the main window and the 子平法 report) as a PDF file")
      ->check(CLI::Validator([](std::string& path) { return path.empty() ? "須給檔名" : ""; }, "FILE", "NonEmpty"));
  chart->add_flag("--batch", opts->batch,
                  "read NAME<TAB>男|女<TAB>birth<TAB>flow moment lines from standard input, "
                  "write one JSON object a line");
  chart->add_option("--jobs", opts->jobs, "threads for --batch (default: the number of cores); lines keep their order")
      ->check(CLI::Range(1, kMaxJobs));
  AddBirthPlaceOptions(*chart, opts->place);
  AddDayChangeOption(*chart, opts->dayChange);
  AddLuckStartOption(*chart, opts->luckStart);
  chart->add_flag("--hour-unknown", opts->hourUnknown,
                  "時辰不詳: the birth is one candidate of its date; the birth line and the JSON (HourCandidate) "
                  "say which of the date's stretches it is (see candidates)");
  chart->callback([opts, chart, &io] {
    opts->placeGiven = BirthPlaceGiven(*chart);
    opts->pdfGiven = chart->count("--pdf") > 0;
    RunChart(*opts, io);
  });
}

}  // namespace qelm::cli
