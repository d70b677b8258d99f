#include "cli/relations_json.hpp"

#include <vector>

#include "analysis/cross_relations.hpp"

namespace qelm::cli {

namespace {

// Kinds, positions, characters and elements are the program's own words:
// nothing in them needs escaping. `position(i)` names the i-th position.
template <class PositionName>
void WriteRelation(JsonWriter& w, const Relation& r, PositionName position) {
  w.BeginObject();
  w.Field("kind", JsonReadyText{RelationKindName(r.kind)});
  w.Key("positions");
  w.BeginArray();
  for (int i = 0; i < r.count; ++i) w.Value(position(i));
  w.EndArray();
  w.Field("chars", JsonReadyText{r.chars});
  w.Key("element");
  if (r.element.valid()) w.Value(JsonReadyText{r.element.name()});
  else w.Null();
  w.EndObject();
}

}  // namespace

void WriteRelationList(JsonWriter& w, const std::vector<Relation>& relations) {
  w.BeginArray();
  for (const Relation& r : relations)
    WriteRelation(w, r, [&r](int i) { return JsonReadyText{PositionName(r.positions[static_cast<std::size_t>(i)])}; });
  w.EndArray();
}

void WriteRelations(JsonWriter& w, const ChartState& chart, const FlowState& flow) {
  const ChartRelations r = RelationsOf(chart, flow);
  w.Key("Relations");
  WriteRelationList(w, r.natal);
  w.Key("FlowRelations");
  WriteRelationList(w, r.flow);
}

void WriteCrossRelations(JsonWriter& w, const std::vector<CrossRelation>& relations) {
  w.BeginArray();
  for (const CrossRelation& r : relations)
    WriteRelation(w, r.relation, [&r](int i) { return SidedPositionName(r.at(i)); });
  w.EndArray();
}

}  // namespace qelm::cli
