// Ten gods and the stems hidden in the branches.
#include "chart/chart.hpp"

namespace qelm {

TenGod TenGodOf(Stem s, Stem dayMaster) { return s.tenGodTo(dayMaster); }

std::array<std::optional<Stem>, 3> HiddenStemsOf(Branch b) { return b.hiddenStems(); }

PillarNotes AnnotatePillar(Pillar p, std::optional<Stem> dayMaster) {
  PillarNotes n;
  n.StemColour = p.stem.element().colour();
  n.Hidden = HiddenStemsOf(p.branch);
  for (std::size_t i = 0; i < 3; ++i) {
    // An absent hidden stem has no element and so no colour.
    if (n.Hidden[i]) n.HiddenColour[i] = n.Hidden[i]->element().colour();
  }
  if (dayMaster && dayMaster->valid()) {
    n.StemTenGod = TenGodOf(p.stem, *dayMaster).shortName();
    for (std::size_t i = 0; i < 3; ++i)
      if (n.Hidden[i]) n.HiddenTenGod[i] = TenGodOf(*n.Hidden[i], *dayMaster).shortName();
  }
  return n;
}

PillarDrawing DrawPillar(Pillar p, std::optional<Stem> dayMaster) {
  const PillarNotes n = AnnotatePillar(p, dayMaster);
  PillarDrawing d;
  d.stem = {p.stem.name(), n.StemColour};
  d.stemTenGod = {n.StemTenGod, n.StemColour};
  d.branch = {p.branch.name(), n.HiddenColour[0]};
  for (std::size_t i = 0; i < 3; ++i) {
    if (!n.Hidden[i]) continue;  // absent: empty texts
    d.hidden[i] = {n.Hidden[i]->name(), n.HiddenColour[i]};
    d.hiddenTenGod[i] = {n.HiddenTenGod[i], n.HiddenColour[i]};
  }
  return d;
}

}  // namespace qelm
