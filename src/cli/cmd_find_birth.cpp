// qelm-report find-birth: the stretches of time of the calendar's years whose moments have
// the four pillars given (八字反查).
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "chart/find_birth.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/day_change_option.hpp"
#include "cli/moment_input.hpp"

namespace qelm::cli {

namespace {

struct FindBirthOptions {
  std::vector<std::string> pillars;
  int from = kFirstSearchYear, to = kLastSearchYear;
  int dayChange = 23;
  bool json = false;
};

Pillar PillarArgument(const std::string& text) {
  const auto p = ParsePillar(Trim(text));
  if (!p) throw UsageError("無法解讀「" + text + "」:每一柱須為一個天干加一個地支,如 庚午");
  return *p;
}

void RunFindBirth(const FindBirthOptions& o, Streams& io) {
  if (o.pillars.size() < 3 || o.pillars.size() > 4)
    throw UsageError("請給年、月、日柱,時柱可省略,如 find-birth 庚午 辛巳 癸酉 丁巳");
  if (o.from > o.to) throw UsageError("--from 須不晚於 --to");
  EightCharacters p{PillarArgument(o.pillars[0]), PillarArgument(o.pillars[1]), PillarArgument(o.pillars[2]),
                    std::nullopt};
  if (o.pillars.size() == 4) p.hour = PillarArgument(o.pillars[3]);
  const DayChange dayChange = DayChangeOfOption(o.dayChange);
  const FindBirthOutcome found = FindBirth(p, dayChange, o.from, o.to);
  if (found.problem) throw UsageError(found.problem->text);

  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  // The text names the day convention the stretches follow, on a line of
  // its own before them.
  std::string text = found.stretches.empty() ? std::string() : std::string(DayChangeName(dayChange)) + "\n";
  for (const BirthStretch& s : found.stretches) {
    const std::string first = UserMomentText(s.first), last = UserMomentText(s.last);
    if (o.json) {
      w.BeginObject();
      w.Field("format", kJsonFormat);
      w.Field("first", JsonReadyText{first});
      w.Field("last", JsonReadyText{last});
      w.Field("minutes", static_cast<int>((s.last - s.first).count()) + 1);
      w.Field("DayChange", DayChangeHour(dayChange));
      w.EndObject();
      w.EndLine();
    } else {
      text += first + " 至 " + last + "\n";
    }
  }
  if (o.json) io.out.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
  else io.out << text;
  if (found.stretches.empty()) {
    io.err << "qelm-report: " << o.from << " 至 " << o.to << " 年間沒有這四柱的時刻\n";
    io.status = kDoneWithSkips;
  }
}

}  // namespace

void AddFindBirthCommand(CLI::App& app, Streams& io) {
  auto opts = std::make_shared<FindBirthOptions>();
  CLI::App* find = app.add_subcommand(
      "find-birth", "八字反查: every stretch of time whose moments have the year, month, day and (optional) hour "
                    "pillars, as its first and last minute (UTC+8)");
  find->add_option("pillars", opts->pillars, "the pillars: year month day [hour], as 庚午 辛巳 癸酉 丁巳")
      ->required();
  find->add_option("--from", opts->from, "the first year searched (default " + std::to_string(kFirstYear) + ")")
      ->check(CLI::Range(kFirstYear, kLastYear));
  find->add_option("--to", opts->to, "the last year searched (default " + std::to_string(kLastYear) + ")")
      ->check(CLI::Range(kFirstYear, kLastYear));
  AddDayChangeOption(*find, opts->dayChange);
  find->add_flag("--json", opts->json, "one JSON object a line: {\"format\", \"first\", \"last\", \"minutes\", \"DayChange\"}");
  find->footer(
      "Exit status: 0 = stretches found; 1 = none in the years searched; 2 = bad arguments, or pillars that can "
      "never stand together (the rule is named: 陰陽, 五虎遁, 五鼠遁).");
  find->callback([opts, &io] { RunFindBirth(*opts, io); });
}

}  // namespace qelm::cli
