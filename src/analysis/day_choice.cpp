#include "analysis/day_choice.hpp"

#include <algorithm>

namespace qelm {

namespace {

// The separators a list may use between its names.
constexpr std::array<std::string_view, 3> kSeparators{",", "、", "，"};

// Calls `each` with every name of the list; false when a name is empty.
template <typename F>
bool ForEachName(std::string_view list, F each) {
  while (true) {
    std::size_t cut = std::string_view::npos, width = 0;
    for (const std::string_view sep : kSeparators) {
      const std::size_t at = list.find(sep);
      if (at < cut) {
        cut = at;
        width = sep.size();
      }
    }
    std::string_view name = list.substr(0, cut);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name.empty() || !each(name)) return false;
    if (cut == std::string_view::npos) return true;
    list.remove_prefix(cut + width);
  }
}

// The groups of a calendar cell, in the order they are shown; 破 is not shown.
constexpr std::array<std::string_view, 5> kGroups{"沖", "合", "刑", "害", "破"};
constexpr int kShownGroups = 4;

int GroupOf(RelationKind kind) {
  switch (kind) {
    case RelationKind::StemClash:
    case RelationKind::SixClash: return 0;
    case RelationKind::StemCombination:
    case RelationKind::SixCombination:
    case RelationKind::ThreeCombination:
    case RelationKind::HalfCombination:
    case RelationKind::ArchedCombination:
    case RelationKind::DirectionMeeting: return 1;
    case RelationKind::ThreePunishment:
    case RelationKind::MutualPunishment:
    case RelationKind::SelfPunishment: return 2;
    case RelationKind::SixHarm: return 3;
    case RelationKind::SixBreak: return 4;
  }
  return 1;
}

}  // namespace

NatalPillars NatalPillars::Of(const ChartState& chart) {
  return {{{{Position::Year, chart.YearPillar()},
            {Position::Month, chart.MonthPillar()},
            {Position::Day, chart.DayPillar()},
            {Position::Hour, chart.HourPillar()}}}};
}

std::vector<Relation> DayRelations(Pillar day, const NatalPillars& natal) {
  std::array<PlacedPillar, 5> all{{{Position::FlowDay, day}}};
  std::ranges::copy(natal.pillars, all.begin() + 1);
  std::vector<Relation> out = FindRelations(all);
  // Those among the natal pillars alone are the chart's, not the day's.
  std::erase_if(out, [](const Relation& r) { return !r.flowing(); });
  return out;
}

bool Keeps(const DayFilter& filter, const ChosenDay& d) {
  if (filter.yellowOnly && !d.day.god.yellow()) return false;
  if (filter.officers.any() && !filter.officers.test(static_cast<std::size_t>(d.day.officer.number() - 1)))
    return false;
  const auto has = [&](const RelationKinds& kinds) {
    return std::ranges::any_of(d.relations, [&](const Relation& r) { return kinds.test(static_cast<std::size_t>(r.kind)); });
  };
  if (filter.avoid.any() && has(filter.avoid)) return false;
  if (filter.want.any() && !has(filter.want)) return false;
  return true;
}

std::vector<ChosenDay> ChooseDays(Date from, Date to, const NatalPillars* person, const DayFilter& filter) {
  std::vector<ChosenDay> out;
  from = std::max(from, kFirstAlmanacDate);
  to = std::min(to, kLastAlmanacDate);
  if (from > to) return out;
  out.reserve(static_cast<std::size_t>(DaysBetween(from, to) + 1));
  for (Date d = from; d <= to; d += std::chrono::days{1}) {
    const auto day = AlmanacDayOf(d);
    if (!day) continue;
    ChosenDay chosen{*day, person ? DayRelations(day->pillar, *person) : std::vector<Relation>{}};
    if (Keeps(filter, chosen)) out.push_back(std::move(chosen));
  }
  return out;
}

std::optional<RelationKinds> ParseRelationKinds(std::string_view list, std::string& unknown) {
  RelationKinds kinds;
  const bool ok = ForEachName(list, [&](std::string_view name) {
    for (int k = 0; k < kRelationKindCount; ++k) {
      if (RelationKindName(static_cast<RelationKind>(k)) == name) {
        kinds.set(static_cast<std::size_t>(k));
        return true;
      }
    }
    unknown = name;
    return false;
  });
  if (!ok) return std::nullopt;
  return kinds;
}

std::optional<OfficerSet> ParseOfficers(std::string_view list, std::string& unknown) {
  OfficerSet officers;
  const bool ok = ForEachName(list, [&](std::string_view name) {
    const auto officer = DayOfficer::Named(name);
    if (!officer) unknown = name;
    else officers.set(static_cast<std::size_t>(officer->number() - 1));
    return officer.has_value();
  });
  if (!ok) return std::nullopt;
  return officers;
}

std::string DayMarks(const std::vector<Relation>& relations) {
  std::string out;
  for (int g = 0; g < kShownGroups; ++g) {
    std::array<bool, 4> touched{};
    for (const Relation& r : relations) {
      if (GroupOf(r.kind) != g) continue;
      for (const Position p : r.joined())
        if (IsNatal(p)) touched[static_cast<std::size_t>(p)] = true;
    }
    if (std::ranges::none_of(touched, [](bool t) { return t; })) continue;
    if (!out.empty()) out += " ";
    out += kGroups[g];
    for (int p = 0; p < 4; ++p)
      if (touched[p]) out += PositionName(static_cast<Position>(p));
  }
  return out;
}

std::string_view PathName(PathGod god) { return god.yellow() ? "黃道" : "黑道"; }

std::string DayLine(const ChosenDay& d, bool person) {
  const AlmanacDay& a = d.day;
  std::string out = IsoDateText(a.date) + " " + a.pillar.name();
  for (const std::string_view part : {a.officer.name(), a.god.name(), PathName(a.god)}) {
    out += " ";
    out += part;
  }
  if (a.month.termDay) {
    out += " ";
    out += a.month.termName;
  }
  if (!person) return out;
  out += "　";
  if (d.relations.empty()) out += "無刑沖合會";
  for (std::size_t i = 0; i < d.relations.size(); ++i) out += (i ? "；" : "") + RelationLine(d.relations[i]);
  return out;
}

std::string HourLine(const AlmanacHour& h) {
  std::string out(h.branch.name());
  out += " " + UserMomentText(h.first) + " 至 " + UserMomentText(h.last) + " " + h.pillar.name();
  for (const std::string_view part : {h.god.name(), PathName(h.god)}) {
    out += " ";
    out += part;
  }
  return out;
}

}  // namespace qelm
