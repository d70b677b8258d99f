// qelm-report moment / tables: the calendar engine from the command line.
#include <CLI/CLI.hpp>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "calendar/lunar.hpp"
#include "calendar/moment.hpp"
#include "calendar/tables.hpp"
#include "chart/chart.hpp"
#include "cli/batch.hpp"
#include "cli/birth_options.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/correction_json.hpp"
#include "cli/day_change_option.hpp"
#include "cli/moment_input.hpp"

namespace qelm::cli {

namespace {

// The engine's result, its pillars by name and, for a corrected birth, the
// correction.
void WriteMoment(JsonWriter& w, const MomentResult& r, const BirthCorrection* correction = nullptr,
                 bool latitudeGiven = true) {
  w.BeginObject();
  w.Field("format", kJsonFormat);
  WriteMomentFields(w, r);
  w.Field("DayChange", DayChangeHour(r.dayChange));
  if (correction) {
    w.Key("BirthCorrection");
    WriteBirthCorrection(w, *correction, latitudeGiven);
  }
  w.EndObject();
}


std::string ElapsedText(std::string_view term, int days, int hours, int minutes) {
  return std::string(term) + " 已過 " + std::to_string(days) + " 日 " + std::to_string(hours) + " 時 " +
         std::to_string(minutes) + " 分";
}

void WriteText(std::ostream& out, const MomentResult& r) {
  out << "西曆 " << MomentText(r.moment) << " " << r.WeekdayText << "\n";
  out << "陰曆 " << LunarDateText(r) << (r.lateZi ? " 子正換日" : "") << "\n";
  const MomentPillarSet& p = r.MomentPillars;
  out << "四柱 " << p.Year.name() << "年 " << p.Month.name() << "月 " << p.Day.name() << "日 " << p.Hour.name()
      << "時\n";
  out << "農曆年柱 " << p.NewYear.name() << "\n";
  out << "本月節 " << ElapsedText(r.JieName, r.JieDays, r.JieHours, r.JieMinutes) << "\n";
  out << "上一節氣 " << ElapsedText(r.LastTermName, r.LastTermDays, r.LastTermHours, r.LastTermMinutes)
      << "\n";
}

struct MomentOptions {
  std::string text;
  bool json = false;
  bool batch = false;
  BirthPlaceOptions place;
  bool placeGiven = false;
  int dayChange = 23;
};

void RunMoment(const MomentOptions& o, Streams& io) {
  if (o.batch) {
    if (o.placeGiven) throw UsageError(kBatchTakesNoPlace);
    if (!o.text.empty()) throw UsageError("--batch 從標準輸入讀取時刻,不另給時刻參數");
    const DayChange dayChange = DayChangeOfOption(o.dayChange);
    const bool skipped = RunJsonLines(io.in, io.out, io.err, 1, [dayChange](std::string_view line, JsonWriter& w) {
      std::string error;
      if (const auto r = MomentOf("時刻", line, error, dayChange)) WriteMoment(w, *r);
      else WriteError(w, error);
      return error;
    });
    if (skipped) io.Skipped();
    return;
  }
  if (o.text.empty()) throw UsageError("請給一個時刻,格式 \"YYYY-MM-DD HH:MM\",或用 --batch");
  std::string error;
  const DayChange dayChange = DayChangeOfOption(o.dayChange);
  auto r = MomentOf("時刻", o.text, error, dayChange);
  if (!r) throw UsageError(error);
  // The moment as the clock showed it at a place, resolved by the core.
  const Birth birth = BirthOfOptions(o.place, r->entered, dayChange);
  const ResolvedBirth resolved = ResolveBirthOrRefuse(birth);
  r = resolved.moment;
  const BirthCorrection* correction = ReportedCorrection(birth, resolved);
  if (o.json) {
    rapidjson::StringBuffer buffer;
    JsonWriter w(buffer);
    WriteMoment(w, *r, correction, !o.place.longitude || o.place.latitude);
    w.EndLine();
    io.out.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
  } else {
    WriteText(io.out, *r);
    if (correction && correction->applies()) io.out << CorrectionLine(*correction) << "\n";
  }
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
  moment->add_option("moment", opts->text, "the moment, \"YYYY-MM-DD HH:MM\" (" + std::to_string(kFirstYear) + "-01-01 … " +
                         std::to_string(kLastYear) + "-12-31)");
  moment->add_flag("--json", opts->json, "write one JSON object");
  moment->add_flag("--batch", opts->batch,
                   "read one moment a line from standard input, write one JSON object a line");
  AddBirthPlaceOptions(*moment, opts->place);
  AddDayChangeOption(*moment, opts->dayChange);
  moment->callback([opts, moment, &io] {
    opts->placeGiven = BirthPlaceGiven(*moment);
    RunMoment(*opts, io);
  });

  CLI::App* tables = app.add_subcommand(
      "tables", "Print the 201 lunar-year descriptors, then the 4824 solar-term moments, one a line");
  tables->callback([&io] { RunTables(io); });
}

}  // namespace qelm::cli
