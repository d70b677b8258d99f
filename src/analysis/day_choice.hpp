// 擇日: the dates of a stretch with their almanac (建除, 黃道黑道) and, for a
// person, the relations (刑沖合會) each date's pillar forms with the natal
// pillars, kept or left out by the filters a practitioner sets.
#pragma once

#include <bitset>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/relations.hpp"
#include "calendar/day_officers.hpp"

namespace qelm {

// The natal pillars a day is weighed against: 年 月 日 時 of a chart.
struct NatalPillars {
  std::array<PlacedPillar, 4> pillars{};
  static NatalPillars Of(const ChartState& chart);
};

// Every relation the pillar of a day, at position 流日, forms with the natal
// pillars: pairs and triples, each once, grouped by kind as FindRelations
// groups them, the day's position first.
std::vector<Relation> DayRelations(Pillar day, const NatalPillars& natal);

using RelationKinds = std::bitset<kRelationKindCount>;
using OfficerSet = std::bitset<12>;

// What a date must be to be kept. Empty sets ask nothing.
struct DayFilter {
  RelationKinds avoid;  // no relation of any of these kinds
  RelationKinds want;   // at least one relation of one of these kinds
  OfficerSet officers;  // one of these officers
  bool yellowOnly = false;  // a day of the yellow path
  bool Empty() const { return avoid.none() && want.none() && officers.none() && !yellowOnly; }
  // Whether the filter asks about relations, which need a person.
  bool NeedsPerson() const { return avoid.any() || want.any(); }
};

struct ChosenDay {
  AlmanacDay day;
  std::vector<Relation> relations;  // with a person only
};

bool Keeps(const DayFilter& filter, const ChosenDay& day);

// Each date from `from` to `to` (both included) that the filter keeps, in
// order; relations only when a person is given. Dates outside the almanac's
// range give nothing.
std::vector<ChosenDay> ChooseDays(Date from, Date to, const NatalPillars* person, const DayFilter& filter);

// Lists as a user writes them: names separated by commas (ASCII or 、，),
// "六沖,三刑" or "成,開". Nothing when a name is not one; `unknown` then
// holds it.
std::optional<RelationKinds> ParseRelationKinds(std::string_view list, std::string& unknown);
std::optional<OfficerSet> ParseOfficers(std::string_view list, std::string& unknown);

// A date as one line: "2024-02-04 戊戌 成 司命 黃道 立春", then, for a
// person, a full-width blank and its relations ("；" between them) or
// "無刑沖合會".
std::string DayLine(const ChosenDay& day, bool person);
// An hour as one line: "子 2024-02-03 23:00 至 2024-02-04 00:59 壬子 天牢 黑道".
std::string HourLine(const AlmanacHour& hour);
// "黃道" or "黑道".
std::string_view PathName(PathGod god);

// The marks of a day against the person in a calendar cell: 沖 (六沖,
// 天干相沖), 合 (the combinations and meetings), 刑 and 害, each that occurs
// with the natal positions it touches, "沖日 合年時"; 六破 is left to the
// full list.
std::string DayMarks(const std::vector<Relation>& relations);

}  // namespace qelm
