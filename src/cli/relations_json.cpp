#include "cli/relations_json.hpp"

#include <vector>

#include "analysis/relations.hpp"

namespace qelm::cli {

// Kinds, positions, characters and elements are the program's own words:
// nothing in them needs escaping.
void WriteRelationList(JsonWriter& w, const std::vector<Relation>& relations) {
  w.BeginArray();
  for (const Relation& r : relations) {
    w.BeginObject();
    w.Field("kind", JsonReadyText{RelationKindName(r.kind)});
    w.Key("positions");
    w.BeginArray();
    for (const Position p : r.joined()) w.Value(JsonReadyText{PositionName(p)});
    w.EndArray();
    w.Field("chars", JsonReadyText{r.chars});
    w.Key("element");
    if (r.element.valid()) w.Value(JsonReadyText{r.element.name()});
    else w.Null();
    w.EndObject();
  }
  w.EndArray();
}

void WriteRelations(JsonWriter& w, const ChartState& chart, const FlowState& flow) {
  const ChartRelations r = RelationsOf(chart, flow);
  w.Key("Relations");
  WriteRelationList(w, r.natal);
  w.Key("FlowRelations");
  WriteRelationList(w, r.flow);
}

}  // namespace qelm::cli
