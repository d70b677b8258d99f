// qelm-report persons: the 子平法 report of every person in a person file, at
// one flow moment. A person with a birthplace in the companion file
// (FILE.places) is cast at the corrected moment and the report ends with
// the line that states the correction. Lines that cannot be read as a
// person, lines of the companion that cannot be read (and the persons they
// belong to), and births the birthplace refuses, are named on the error
// stream and skipped (exit status 1).
#include <CLI/CLI.hpp>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <ostream>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"
#include "chart/chart.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/day_change_option.hpp"
#include "cli/luck_start_option.hpp"
#include "cli/moment_input.hpp"
#include "records/big5.hpp"
#include "records/person_store.hpp"
#include "place/birth.hpp"
#include "place/birth_candidates.hpp"
#include "place/stored_place.hpp"
#include "records/hour_marks.hpp"
#include "records/person_file.hpp"
#include "records/place_file.hpp"
#include "report/report.hpp"

namespace qelm::cli {

namespace {

namespace fs = std::filesystem;
using records::PersonRecord;

struct PersonsOptions {
  std::string file;
  std::string at;
  int dayChange = 23;
  std::string luckStart = "table";
};

void RunPersons(const PersonsOptions& o, Streams& io) {
  std::string error;
  // The flow moment is read by the same convention as the births.
  const DayChange dayChange = DayChangeOfOption(o.dayChange);
  const auto flow = o.at.empty() ? CalcMoment(NowInput(), dayChange).result : MomentOf("流時", o.at, error, dayChange);
  if (!flow) throw UsageError(error.empty() ? "現在的時刻超出 " + CalendarRangeText() + ",請用 --at" : error);

  const records::LoadResult loaded = records::ReadPersonFile(o.file);
  if (loaded.status == records::Status::kMissing) {
    io.err << "qelm-report: 找不到人員檔 " << o.file << "\n";
    io.status = kBadInput;
    return;
  }
  if (loaded.status != records::Status::kOk) {
    io.err << "qelm-report: " << loaded.message << "\n";
    io.status = kBadInput;
    return;
  }
  if (loaded.list.truncated) {
    io.err << "qelm-report: " << o.file << ": " << loaded.message << "\n";
    io.Skipped();
  }

  records::PlaceBook places;
  const fs::path placeFile = records::PlaceFilePath(o.file);
  if (const records::LoadResult p = records::LoadPlaceFile(placeFile, places); !p.message.empty()) {
    io.err << "qelm-report: " << p.message << "\n";
    io.Skipped();
  }
  // Lines of the companion that cannot be read: named, and their persons
  // not cast without the place they were given.
  for (const records::PlaceLine& line : places.lines) {
    const std::string problem = line.readable() ? std::string() : line.problem();
    if (problem.empty()) continue;
    io.err << placeFile.string() << ":" << line.line() << ": 無法讀取的出生地資料：" << problem << "\n";
    io.Skipped();
  }

  // Persons marked 時辰不詳 (FILE.hours): cast as a candidate of their date.
  const std::set<records::Fields> hourUnknown = records::ReadHourMarks(records::HourMarkFilePath(o.file));

  for (const PersonRecord& r : loaded.list.rows) {
    if (const auto problem = records::RecordProblem(r)) {
      io.err << o.file << ":" << r.source->line << ": " << *problem << ",略過\n";
      io.Skipped();
      continue;
    }
    const std::string name(r.fields[records::kName]);
    // As the person window hands a person over: "男" is male, anything else female.
    const Sex sex = SexOfText(r.fields[records::kSex]);
    const std::optional<records::PlaceEntry> entry = records::FindPlaceEntry(places, r.fields);
    const records::PlaceLine* unreadable = entry ? nullptr : records::UnreadablePlaceOf(places, r.fields);
    if (unreadable) {
      io.err << placeFile.string() << ":" << unreadable->line() << ": 「" << name << "」的出生地無法讀取，略過\n";
      continue;  // counted above
    }
    // The person's birth with the place kept beside it, cast by the core.
    const std::optional<StoredBirthPlace> stored = entry ? FromPlaceEntry(*entry) : std::nullopt;
    const records::FieldMinute m = *records::MinuteOfFields(r.fields);  // a sound record names one
    const MomentInput clock{m.year, m.month, m.day, m.hour, m.minute};
    if (entry && !stored) {
      io.err << placeFile.string() << ": 「" << name << "」的出生地無法套用,略過\n";
      io.Skipped();
      continue;
    }
    Birth birth = BirthOf(clock, stored, dayChange);
    birth.luckStart = LuckStartOfOption(o.luckStart);
    if (hourUnknown.contains(r.fields.value())) {
      // A person marked 時辰不詳: the birth is one candidate of its date.
      const Moment at = MakeMoment(clock.InputYear, clock.InputMonth, clock.InputDay, clock.InputHour,
                                   clock.InputMinute);
      const std::vector<CandidateStretch> stretches =
          CandidateStretches(DateOf(at), BirthCaster{stored, dayChange});
      if (const int i = StretchIndexOf(stretches, at); i >= 0) {
        const CandidateStretch& s = stretches[static_cast<std::size_t>(i)];
        birth.hourCandidate = HourCandidate{i + 1, static_cast<int>(stretches.size()), s.first, s.last};
      }
    }
    const CastOutcome cast = CastBirth(name, sex, birth);
    if (!cast) {
      io.err << placeFile.string() << ": 「" << name << "」的出生地無法套用(" << cast.problem << "),略過\n";
      io.Skipped();
      continue;
    }
    const ChartState& chart = *cast.chart;
    const std::string note = cast.correction ? CorrectionLine(*cast.correction) : "";
    const FlowState flowState = ComputeFlow(&chart, *flow);
    io.out << name << "\n" << LfLineEnds(ChartReport(chart, flowState, School::ZiPing, note));
  }
}

}  // namespace

void AddPersonsCommand(CLI::App& app, Streams& io) {
  auto opts = std::make_shared<PersonsOptions>();
  CLI::App* persons = app.add_subcommand(
      "persons", "The 子平法 report of every person in a person file (Big5, as the program keeps it)");
  persons->add_option("FILE", opts->file, "the person file")->required();
  persons->add_option("--at", opts->at, "the flow moment, \"YYYY-MM-DD HH:MM\" (default: now, local time)");
  AddDayChangeOption(*persons, opts->dayChange);
  AddLuckStartOption(*persons, opts->luckStart);
  persons->callback([opts, &io] { RunPersons(*opts, io); });
}

}  // namespace qelm::cli
