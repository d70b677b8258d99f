// The relations between the pillars (刑沖合會) as the report command writes
// them in JSON.
#pragma once

#include <span>
#include <vector>

#include "analysis/relations.hpp"
#include "analysis/cross_relations.hpp"
#include "chart/chart.hpp"
#include "cli/json_writer.hpp"

namespace qelm::cli {

// Two fields, inside an object the caller opened: "Relations", those among
// the four natal pillars, and "FlowRelations", those joining at least one of
// 運 流年 流月 流日 流時 at the flow moment. Each relation is
//   {"kind": "六沖", "positions": ["年", "日"], "chars": "子午", "element": null}
// with the characters in the order of the positions and the element ("木" …
// "水") for 天干五合, 六合, 三合, 半合, 拱合 and 三會, null otherwise.
void WriteRelations(JsonWriter& w, const ChartState& chart, const FlowState& flow);
// The same for the pillars of a chart as ChartPositionsInto gives them (at
// most kMaxChartPositions).
void WriteRelations(JsonWriter& w, std::span<const PlacedPillar> pillars);

// One list of relations as an array of such objects.
void WriteRelationList(JsonWriter& w, const std::vector<Relation>& relations);
// Relations across two charts (合盤) as one array value, each relation in the
// same shape with sided positions: "a.年" … "b.時", "a.運", "b.運", "流年".
void WriteCrossRelations(JsonWriter& w, const std::vector<CrossRelation>& relations);

}  // namespace qelm::cli
