#include "place/birth_candidates.hpp"

namespace qelm {

std::optional<MomentResult> BirthCaster::Cast(Moment clock) const {
  const MomentInput input = InputOf(clock);
  if (!place) return CalcMoment(input, dayChange).result;
  const CorrectionOutcome c = CorrectStoredBirth(input, *place);
  if (!c) return std::nullopt;
  return CorrectedMoment(*c.correction, dayChange).result;
}

std::optional<FourPillars> BirthCaster::PillarsAt(Moment clock) const {
  const std::optional<MomentResult> r = Cast(clock);
  if (!r) return std::nullopt;
  const MomentPillarSet& p = r->MomentPillars;
  return FourPillars{p.Year, p.Month, p.Day, p.Hour};
}

std::vector<CandidateStretch> CandidateStretches(Date date, const BirthCaster& caster) {
  using std::chrono::minutes;
  std::vector<CandidateStretch> out;
  const Moment end = MakeMoment(date, 24, 0);
  Moment start = MakeMoment(date, 0, 0);
  std::optional<FourPillars> chart = caster.PillarsAt(start);
  while (start < end) {
    // `same` has the chart, `other` (or the day's end) has not.
    Moment same = start, other = end;
    std::optional<FourPillars> otherChart;
    for (minutes step{1}; same + step < end; step *= 2) {
      std::optional<FourPillars> probe = caster.PillarsAt(same + step);
      if (probe != chart) {
        other = same + step;
        otherChart = std::move(probe);
        break;
      }
      same += step;
    }
    while (other - same > minutes{1}) {
      const Moment middle = same + (other - same) / 2;
      std::optional<FourPillars> probe = caster.PillarsAt(middle);
      if (probe == chart) {
        same = middle;
      } else {
        other = middle;
        otherChart = std::move(probe);
      }
    }
    out.push_back({start, same, chart});
    start = other;
    chart = std::move(otherChart);
  }
  return out;
}

int StretchIndexOf(const std::vector<CandidateStretch>& stretches, Moment clock) {
  for (std::size_t i = 0; i < stretches.size(); ++i)
    if (stretches[i].first <= clock && clock <= stretches[i].last) return static_cast<int>(i);
  return -1;
}

}  // namespace qelm
