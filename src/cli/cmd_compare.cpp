// qelm-report compare: two persons' charts side by side (合盤), their pillars
// and 納音 and every relation across them, as text or JSON.
#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "analysis/cross_relations.hpp"
#include "chart/chart.hpp"
#include "cli/birth_options.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/correction_json.hpp"
#include "cli/day_change_option.hpp"
#include "cli/luck_start_option.hpp"
#include "cli/moment_input.hpp"
#include "cli/relations_json.hpp"
#include "records/big5.hpp"
#include "report/compare_report.hpp"

namespace qelm::cli {

namespace {

// One person's options, named with the person's prefix: --a-name ….
struct PersonOptions {
  std::string name, sex, birth;
  BirthPlaceOptions place;
};

struct CompareOptions {
  PersonOptions a, b;
  std::string at;
  bool json = false, crlf = false;
  int dayChange = 23;
  std::string luckStart = "table";
};

// A person's chart cast from the options, with its birthplace correction.
struct Person {
  ChartState chart;
  std::optional<BirthCorrection> correction;
};

Person Cast(const PersonOptions& o, DayChange dayChange, LuckStart luckStart) {
  const std::string prefix = "--" + o.place.prefix;
  if (o.name.empty()) throw UsageError("缺少 " + prefix + "name");
  if (o.sex.empty()) throw UsageError("缺少 " + prefix + "sex(男 或 女)");
  if (o.birth.empty()) throw UsageError("缺少 " + prefix + "birth \"YYYY-MM-DD HH:MM\"");
  // The person file's limit, as for a single chart.
  if (const std::size_t n = records::CharacterCount(o.name); n > records::kMaxNameLength)
    throw UsageError(prefix + "name 最多 " + std::to_string(records::kMaxNameLength) + " 個字，這個有 " +
                     std::to_string(n) + " 個字");
  if (o.sex != "男" && o.sex != "女") throw UsageError(prefix + "sex「" + o.sex + "」須為 男 或 女");
  std::string error;
  std::optional<MomentResult> birth = MomentOf(o.place.prefix.substr(0, 1) + " 的出生時刻", o.birth, error, dayChange);
  if (!birth) throw UsageError(error);
  // The birth as the clock showed it at the birthplace, resolved by the core.
  Birth b = BirthOfOptions(o.place, birth->entered, dayChange);
  b.luckStart = luckStart;
  const ResolvedBirth resolved = ResolveBirthOrRefuse(b);
  Person p;
  if (const BirthCorrection* c = ReportedCorrection(b, resolved)) p.correction = *c;
  p.chart = LoadChart(o.name, o.sex == "男" ? Sex::Male : Sex::Female, resolved.moment, b.luckStart);
  return p;
}

void WritePerson(JsonWriter& w, const Person& p, const FlowState* flow) {
  const ChartState& c = p.chart;
  w.BeginObject();
  w.Field("name", UserText{c.PersonName});
  w.Field("sex", JsonReadyText{c.Sex == Sex::Male ? "男" : "女"});
  w.Key("pillars");
  w.BeginObject();
  w.Field("year", PillarNameText(c.YearPillar()).json());
  w.Field("month", PillarNameText(c.MonthPillar()).json());
  w.Field("day", PillarNameText(c.DayPillar()).json());
  w.Field("hour", PillarNameText(c.HourPillar()).json());
  w.EndObject();
  w.Field("yearSound", JsonReadyText{SoundElementOf(c.YearPillar()).SoundName});
  if (flow) {
    w.Key("luck");
    if (flow->CurrentLuckIndex >= 1 && flow->CurrentLuckIndex <= 12)
      w.Value(PillarNameText(c.LuckPillar(flow->CurrentLuckIndex)).json());
    else
      w.Null();
  }
  if (p.correction) {
    w.Key("BirthCorrection");
    WriteBirthCorrection(w, *p.correction);
  }
  w.EndObject();
}

void RunCompare(const CompareOptions& o, Streams& io) {
  const DayChange dayChange = DayChangeOfOption(o.dayChange);
  const LuckStart luckStart = LuckStartOfOption(o.luckStart);
  const Person a = Cast(o.a, dayChange, luckStart), b = Cast(o.b, dayChange, luckStart);
  // Each chart at the flow moment, when one is asked for.
  std::optional<FlowState> fa, fb;
  if (!o.at.empty()) {
    std::string error;
    const std::optional<MomentResult> at = MomentOf("流時", o.at, error);
    if (!at) throw UsageError(error);
    fa = ComputeFlow(&a.chart, *at);
    fb = ComputeFlow(&b.chart, *at);
  }
  if (!o.json) {
    const std::string report =
        CompareReport(a.chart, b.chart, fa ? &*fa : nullptr, fb ? &*fb : nullptr);
    io.out << (o.crlf ? report : LfLineEnds(report));
    return;
  }
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  w.BeginObject();
  w.Field("format", kJsonFormat);
  w.Key("a");
  WritePerson(w, a, fa ? &*fa : nullptr);
  w.Key("b");
  WritePerson(w, b, fb ? &*fb : nullptr);
  w.Key("Relations");
  WriteCrossRelations(w, CrossRelationsOf(a.chart, b.chart));
  if (fa && fb) {
    w.Field("flowYear", PillarNameText(fa->YearPillar()).json());
    w.Key("FlowRelations");
    WriteCrossRelations(w, FlowYearRelationsOf(a.chart, *fa, b.chart, *fb));
  }
  w.EndObject();
  w.EndLine();
  io.out.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
}

void AddPersonOptions(CLI::App& command, PersonOptions& o, const std::string& prefix, const char* who) {
  command.add_option("--" + prefix + "name", o.name, std::string(who) + "'s name");
  command.add_option("--" + prefix + "sex", o.sex, "男 or 女");
  command.add_option("--" + prefix + "birth", o.birth, std::string(who) + "'s birth moment, \"YYYY-MM-DD HH:MM\"");
  AddBirthPlaceOptions(command, o.place, prefix);
}

}  // namespace

void AddCompareCommand(CLI::App& app, Streams& io) {
  auto opts = std::make_shared<CompareOptions>();
  CLI::App* compare = app.add_subcommand(
      "compare", "Two persons' charts side by side (合盤): their pillars, 納音 and the relations across them");
  AddPersonOptions(*compare, opts->a, "a-", "the first person");
  AddPersonOptions(*compare, opts->b, "b-", "the second person");
  compare->add_option("--at", opts->at,
                      "a flow moment, \"YYYY-MM-DD HH:MM\": adds each one's luck pillar and what the flow year "
                      "forms with both charts");
  compare->add_flag("--json", opts->json, "write one JSON object");
  compare->add_flag("--crlf", opts->crlf, "end the text's lines with CR LF");
  AddDayChangeOption(*compare, opts->dayChange);
  AddLuckStartOption(*compare, opts->luckStart);
  compare->callback([opts, &io] { RunCompare(*opts, io); });
}

}  // namespace qelm::cli
