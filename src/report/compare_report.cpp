#include "report/compare_report.hpp"

#include <array>
#include <vector>

#include "analysis/cross_relations.hpp"

namespace qelm {

namespace {

void AppendRelations(std::string& out, const std::vector<CrossRelation>& relations, std::string_view lineEnd) {
  if (relations.empty()) {
    out += "　（無）";
    out += lineEnd;
  }
  for (std::size_t i = 0; i < relations.size(); ++i) {
    const CrossRelation& r = relations[i];
    if (i == 0 || relations[i - 1].relation.kind != r.relation.kind) {
      out += RelationKindName(r.relation.kind);
      out += lineEnd;
    }
    out += "　";
    out += CrossRelationLine(r);
    out += lineEnd;
  }
}

// "a　大運 辛未（7 - 16 歲）", or "a　大運 未起運" before the first.
void AppendLuck(std::string& out, std::string_view side, const ChartState& c, const FlowState& f,
                std::string_view lineEnd) {
  out += side;
  out += "　大運 ";
  if (f.CurrentLuckIndex >= 1 && f.CurrentLuckIndex <= 12) {
    out += c.LuckPillar(f.CurrentLuckIndex).name();
    // " 26 -  35" read as "26 - 35 歲".
    const std::string& range = c.LuckAgeRanges[static_cast<std::size_t>(f.CurrentLuckIndex - 1)];
    out += "（";
    for (std::size_t i = 0; i < range.size(); ++i)
      if (range[i] != ' ' || (i > 0 && range[i - 1] != ' ' && i + 1 < range.size())) out += range[i];
    out += " 歲）";
  } else {
    out += "未起運";
  }
  out += lineEnd;
}

}  // namespace

std::string ComparePersonLines(std::string_view side, const ChartState& c, std::string_view lineEnd) {
  std::string out(side);
  out += "　";
  out += c.PersonName;
  out += lineEnd;
  out += "　";
  out += BirthDataLine(c);
  out += lineEnd;
  const std::array<std::pair<std::string_view, Pillar>, 4> pillars{
      {{"年柱", c.YearPillar()}, {"月柱", c.MonthPillar()}, {"日柱", c.DayPillar()}, {"時柱", c.HourPillar()}}};
  for (const auto& [name, p] : pillars) {
    out += "　";
    out += name;
    out += " ";
    out += p.name();
    out += "　";
    out += name == "日柱" ? std::string_view("日主") : p.stem.tenGodTo(c.DayStem).name();
    out += "　";
    out += SoundElementOf(p).SoundName;
    out += lineEnd;
  }
  return out;
}

std::string CompareReport(const ChartState& a, const ChartState& b, const FlowState* fa, const FlowState* fb,
                          std::string_view lineEnd) {
  std::string out = "合盤";
  out += lineEnd;
  out += ComparePersonLines("a", a, lineEnd);
  out += ComparePersonLines("b", b, lineEnd);
  out += lineEnd;
  out += "兩盤之間";
  out += lineEnd;
  AppendRelations(out, CrossRelationsOf(a, b), lineEnd);
  if (fa && fb) {
    out += lineEnd;
    out += "流時 ";
    out += fa->WesternDateText;
    out += "　流年 ";
    out += fa->YearPillar().name();
    out += lineEnd;
    AppendLuck(out, "a", a, *fa, lineEnd);
    AppendLuck(out, "b", b, *fb, lineEnd);
    out += "流年與兩盤";
    out += lineEnd;
    AppendRelations(out, FlowYearRelationsOf(a, *fa, b, *fb), lineEnd);
  }
  return out;
}

}  // namespace qelm
