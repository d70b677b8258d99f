// A relation as a line of text reads.
#include "analysis/relations.hpp"

namespace qelm {

namespace {

// "支" or "干" after a position, by what the relation joins.
std::string_view Part(const Relation& r) { return r.onStems() ? "干" : "支"; }

}  // namespace

std::string RelationName(const Relation& r) {
  std::string out = r.entry;
  const std::string_view element = r.element.name();
  switch (r.kind) {
    case RelationKind::StemCombination:
    case RelationKind::SixCombination: out += "合"; break;
    case RelationKind::StemClash:
    case RelationKind::SixClash: out += "沖"; break;
    case RelationKind::SixHarm: out += "害"; break;
    case RelationKind::SixBreak: out += "破"; break;
    default: out += RelationKindName(r.kind);
  }
  out += element;
  if (!r.classicalName.empty()) {
    out += "（";
    out += r.classicalName;
    out += "之刑）";
  }
  return out;
}

std::string RelationPlaces(const Relation& r) {
  std::string out;
  for (const Position p : r.joined()) {
    if (!out.empty()) out += "—";
    out += PositionName(p);
    out += Part(r);
  }
  return out;
}

std::string RelationLine(const Relation& r) { return RelationName(r) + "　" + RelationPlaces(r); }

}  // namespace qelm
