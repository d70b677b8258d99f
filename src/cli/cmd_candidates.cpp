// qelm-report candidates: a birth whose hour is not known. The civil date's
// minutes (00:00-23:59 on the clock at the birthplace; UTC+8 table time
// without one), cast as a birth is cast, split into the stretches in which
// all four pillars stay the same.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>

#include "cli/birth_options.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/day_change_option.hpp"
#include "cli/moment_input.hpp"
#include "place/birth_candidates.hpp"

namespace qelm::cli {

namespace {

struct CandidatesOptions {
  std::string sex, date;
  BirthPlaceOptions place;
  int dayChange = 23;
  bool json = false;
};

Date DateArgument(const std::string& text) {
  const auto f = ParseClockText(std::string(Trim(text)) + " 00:00", '-');
  if (!f) throw UsageError("日期「" + text + "」須為 YYYY-MM-DD,且為真實的日期");
  if (f->year < 1901 || f->year > 2099) throw UsageError("日期「" + text + "」超出 1901 至 2099 年");
  return MakeDate(f->year, f->month, f->day);
}

void RunCandidates(const CandidatesOptions& o, Streams& io) {
  if (o.sex != "男" && o.sex != "女") throw UsageError("--sex 須為 男 或 女");
  const Date date = DateArgument(o.date);
  const BirthCaster caster{ResolveBirthPlace(o.place), DayChangeOfOption(o.dayChange)};
  const std::vector<CandidateStretch> stretches = CandidateStretches(date, caster);

  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  std::string text;
  for (const CandidateStretch& s : stretches) {
    const std::string first = UserMomentText(s.first), last = UserMomentText(s.last);
    if (o.json) {
      w.BeginObject();
      w.Field("format", kJsonFormat);
      w.Field("first", JsonReadyText{first});
      w.Field("last", JsonReadyText{last});
      w.Field("minutes", static_cast<int>(s.minutes()));
      w.Key("pillars");
      if (s.pillars) {
        w.BeginObject();
        w.Field("year", PillarNameText(s.pillars->year).json());
        w.Field("month", PillarNameText(s.pillars->month).json());
        w.Field("day", PillarNameText(s.pillars->day).json());
        w.Field("hour", PillarNameText(s.pillars->hour).json());
        w.EndObject();
      } else {
        w.Null();
      }
      w.Field("DayChange", DayChangeHour(caster.dayChange));
      w.EndObject();
      w.EndLine();
    } else if (s.pillars) {
      text += first + " 至 " + last + "  " + s.pillars->year.name() + " " + s.pillars->month.name() + " " +
              s.pillars->day.name() + " " + s.pillars->hour.name() + "\n";
    } else {
      text += first + " 至 " + last + "  (無法排盤:當地時鐘沒有這段時刻,或超出 1901 至 2099 年)\n";
    }
  }
  if (o.json) io.out.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
  else io.out << text;
}

}  // namespace

void AddCandidatesCommand(CLI::App& app, Streams& io) {
  auto opts = std::make_shared<CandidatesOptions>();
  CLI::App* cmd = app.add_subcommand(
      "candidates", "時辰不詳: the stretches of a birth date in which all four pillars stay the same, each as its "
                    "first and last minute on the clock");
  cmd->add_option("--sex", opts->sex, "男 or 女")->required();
  cmd->add_option("--date", opts->date, "the birth date, YYYY-MM-DD")->required();
  AddBirthPlaceOptions(*cmd, opts->place);
  AddDayChangeOption(*cmd, opts->dayChange);
  cmd->add_flag("--json", opts->json,
                "one JSON object a line: {\"format\", \"first\", \"last\", \"minutes\", \"pillars\", \"DayChange\"}");
  cmd->callback([opts, &io] { RunCandidates(*opts, io); });
}

}  // namespace qelm::cli
