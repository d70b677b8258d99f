// qelm-report days: 擇日, the dates of a stretch with their pillar, officer
// (建除) and day god (黃道黑道), for a person with the relations each date's
// pillar forms with the natal pillars, kept or left out by filters.
#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "analysis/day_choice.hpp"
#include "chart/chart.hpp"
#include "cli/birth_options.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/day_change_option.hpp"
#include "cli/moment_input.hpp"
#include "cli/relations_json.hpp"

namespace qelm::cli {

namespace {

struct DaysOptions {
  std::string from, to;
  std::string sex, birth;
  BirthPlaceOptions place;
  bool placeGiven = false;
  int dayChange = 23;
  bool hours = false, yellow = false, json = false;
  std::optional<std::string> avoid, want, officer;
};

Date DateArgument(std::string_view what, const std::string& text) {
  const auto d = ParseIsoDate(Trim(text));
  if (!d) throw UsageError(std::string(what) + "「" + text + "」須為存在的日期 YYYY-MM-DD");
  if (*d < kFirstAlmanacDate || *d > kLastAlmanacDate)
    throw UsageError(std::string(what) + "「" + text + "」須在 1901-02-20 至 2099-12-31 之間");
  return *d;
}

RelationKinds KindsArgument(std::string_view option, const std::string& list) {
  std::string unknown;
  const auto kinds = ParseRelationKinds(list, unknown);
  if (!kinds)
    throw UsageError(std::string(option) + (unknown.empty() ? " 的清單有空項" : " 不認得「" + unknown + "」") +
                     ":須為以逗號分開的 天干五合 天干相沖 六合 三合 半合 拱合 三會 六沖 三刑 相刑 自刑 六害 六破");
  return *kinds;
}

OfficerSet OfficersArgument(const std::string& list) {
  std::string unknown;
  const auto officers = ParseOfficers(list, unknown);
  if (!officers)
    throw UsageError(std::string("--officer") + (unknown.empty() ? " 的清單有空項" : " 不認得「" + unknown + "」") +
                     ":須為以逗號分開的 建 除 滿 平 定 執 破 危 成 收 開 閉");
  return *officers;
}

void WriteHoursJson(JsonWriter& w, const std::vector<AlmanacHour>& hours) {
  w.Key("hours");
  w.BeginArray();
  for (const AlmanacHour& h : hours) {
    const std::string first = UserMomentText(h.first), last = UserMomentText(h.last);
    w.BeginObject();
    w.Field("branch", JsonReadyText{h.branch.name()});
    w.Field("first", JsonReadyText{first});
    w.Field("last", JsonReadyText{last});
    w.Field("pillar", PillarNameText(h.pillar).json());
    w.Field("hourGod", JsonReadyText{h.god.name()});
    w.Field("yellow", h.god.yellow());
    w.EndObject();
  }
  w.EndArray();
}

// One line a date, its hours below it.
void AppendText(std::string& out, const ChosenDay& d, bool person, const std::vector<AlmanacHour>* hours) {
  out += DayLine(d, person) + "\n";
  if (hours)
    for (const AlmanacHour& h : *hours) out += "  " + HourLine(h) + "\n";
}

void RunDays(const DaysOptions& o, Streams& io) {
  const Date from = DateArgument("起日", o.from), to = DateArgument("迄日", o.to);
  if (from > to) throw UsageError("起日 " + o.from + " 晚於迄日 " + o.to);
  DayFilter filter;
  if (o.avoid) filter.avoid = KindsArgument("--avoid", *o.avoid);
  if (o.want) filter.want = KindsArgument("--want", *o.want);
  if (o.officer) filter.officers = OfficersArgument(*o.officer);
  filter.yellowOnly = o.yellow;

  const bool person = !o.birth.empty();
  if (!person && !o.sex.empty()) throw UsageError("--sex 須與 --birth 一起給");
  if (!person && o.placeGiven) throw UsageError("出生地選項須與 --birth 一起給");
  if (!person && filter.NeedsPerson()) throw UsageError("--avoid 與 --want 看日柱與本命四柱的關係,須給 --birth");
  const DayChange dayChange = DayChangeOfOption(o.dayChange);
  std::optional<NatalPillars> natal;
  if (person) {
    std::optional<Sex> sex = Sex::Male;  // the relations do not depend on it
    if (!o.sex.empty() && !(sex = SexOption(o.sex))) throw UsageError("性別「" + o.sex + "」須為 男 或 女");
    std::string error;
    const std::optional<MomentResult> clock = MomentOf("出生時刻", o.birth, error, dayChange);
    if (!clock) throw UsageError(error);
    const ResolvedBirth birth = ResolveBirthOrRefuse(BirthOfOptions(o.place, clock->entered, dayChange));
    natal = NatalPillars::Of(LoadChart({}, *sex, birth.moment));
  }

  const std::vector<ChosenDay> days = ChooseDays(from, to, natal ? &*natal : nullptr, filter);
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  std::string text;
  for (const ChosenDay& d : days) {
    std::optional<std::vector<AlmanacHour>> hours;
    if (o.hours) hours = HoursOf(d.day.date, dayChange);
    if (!o.json) {
      AppendText(text, d, person, hours ? &*hours : nullptr);
      continue;
    }
    const std::string date = IsoDateText(d.day.date);
    w.BeginObject();
    w.Field("format", kJsonFormat);
    w.Field("date", JsonReadyText{date});
    w.Field("pillar", PillarNameText(d.day.pillar).json());
    w.Field("monthBranch", JsonReadyText{d.day.month.branch.name()});
    if (d.day.month.termDay) w.Field("term", JsonReadyText{d.day.month.termName});
    w.Field("officer", JsonReadyText{d.day.officer.name()});
    w.Field("dayGod", JsonReadyText{d.day.god.name()});
    w.Field("yellow", d.day.god.yellow());
    w.Field("DayChange", DayChangeHour(dayChange));
    if (person) {
      w.Key("relations");
      WriteRelationList(w, d.relations);
    }
    if (hours) WriteHoursJson(w, *hours);
    w.EndObject();
    w.EndLine();
  }
  if (o.json) io.out.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
  else io.out << text;
  if (days.empty()) {
    io.err << "qelm-report: " << o.from << " 至 " << o.to << " 沒有合乎條件的日子\n";
    io.status = kDoneWithSkips;
  }
}

}  // namespace

void AddDaysCommand(CLI::App& app, Streams& io) {
  auto opts = std::make_shared<DaysOptions>();
  CLI::App* days = app.add_subcommand(
      "days", "擇日: each date from FROM to TO with its day pillar, officer (建除) and day god (黃道黑道); with a "
              "birth, the relations (刑沖合會) its pillar forms with the natal pillars");
  days->add_option("from", opts->from, "the first date, YYYY-MM-DD (1901-02-20 to 2099-12-31)")->required();
  days->add_option("to", opts->to, "the last date, included")->required();
  days->add_option("--sex", opts->sex, "男 or 女 (optional: the relations do not depend on it)");
  days->add_option("--birth", opts->birth, "the person's birth moment, \"YYYY-MM-DD HH:MM\"");
  AddBirthPlaceOptions(*days, opts->place);
  AddDayChangeOption(*days, opts->dayChange);
  days->add_flag("--hours", opts->hours, "each date's twelve hours with their pillar and god");
  days->add_option("--avoid", opts->avoid, "leave out dates with any relation of these kinds, as 六沖,三刑");
  days->add_option("--want", opts->want, "keep dates with at least one relation of these kinds, as 六合,三合");
  days->add_option("--officer", opts->officer, "keep dates of these officers, as 成,開");
  days->add_flag("--yellow", opts->yellow, "keep dates of the yellow path (黃道)");
  days->add_flag("--json", opts->json, "one JSON object a date");
  days->footer("Exit status: 0 = dates listed; 1 = no date is left; 2 = bad arguments.");
  days->callback([opts, days, &io] {
    opts->placeGiven = BirthPlaceGiven(*days);
    RunDays(*opts, io);
  });
}

}  // namespace qelm::cli
