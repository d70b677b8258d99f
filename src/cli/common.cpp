#include "cli/common.hpp"

namespace qelm::cli {

std::array<int, 10> PillarNumbers(const MomentPillarSet& p) {
  return {p.Year.stem.number(),   p.Month.stem.number(),  p.Day.stem.number(),  p.Hour.stem.number(),
          p.NewYear.stem.number(), p.Year.branch.number(), p.Month.branch.number(), p.Day.branch.number(),
          p.Hour.branch.number(), p.NewYear.branch.number()};
}

void WriteMomentFields(JsonWriter& w, const MomentResult& r) {
  w.Members(Member{"MomentLunarYear", r.MomentLunarYear}, Member{"MomentLunarMonth", r.MomentLunarMonth},
            Member{"MomentLunarDay", r.MomentLunarDay},
            Member{"MomentLeapFlag", static_cast<int>(r.MomentMonthKind)},
            Member{"MomentHourBranch", r.MomentHourBranch});
  w.Field("MomentPillars", PillarNumbers(r.MomentPillars));
  w.Members(Member{"JieIndex", r.JieIndex}, Member{"JieName", JsonReadyText{r.JieName}},
            Member{"JieDays", r.JieDays}, Member{"JieHours", r.JieHours}, Member{"JieMinutes", r.JieMinutes},
            Member{"PastMidTerm", r.PastMidTerm}, Member{"LastTermName", JsonReadyText{r.LastTermName}},
            Member{"LastTermDays", r.LastTermDays}, Member{"LastTermHours", r.LastTermHours},
            Member{"LastTermMinutes", r.LastTermMinutes}, Member{"WeekdayNumber", r.WeekdayNumber},
            Member{"WeekdayText", JsonReadyText{r.WeekdayText}});
  w.Key("pillars");
  WritePillarNames(w, r.MomentPillars);
}

// GCC 12 at -O2 follows the writer's copy of texts longer than 16 bytes into
// these six-byte names and warns of reading past them (-Warray-bounds,
// -Wstringop-overread), a branch never taken for a pillar's name: silenced
// here only.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif
void WritePillarNames(JsonWriter& w, const MomentPillarSet& p) {
  w.BeginObject();
  w.Members(Member{"year", PillarNameText(p.Year).json()}, Member{"month", PillarNameText(p.Month).json()},
            Member{"day", PillarNameText(p.Day).json()}, Member{"hour", PillarNameText(p.Hour).json()},
            Member{"newYear", PillarNameText(p.NewYear).json()});
  w.EndObject();
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

std::string LfLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace qelm::cli
