#include "cli/relations_json.hpp"

#include <array>
#include <cassert>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "analysis/cross_relations.hpp"

namespace qelm::cli {

namespace {

// A fixed piece of a relation's JSON form, held in a block of K bytes that
// is copied whole (a fixed-size copy, with no branching on the length); only
// its first `size` bytes count, the rest is written over or given back.
template <std::size_t K>
struct Piece {
  std::array<char, K> bytes{};
  std::size_t size = 0;
  Piece() = default;
  explicit Piece(std::string_view text) : size(text.size()) {
    assert(text.size() <= K);
    text.copy(bytes.data(), K);
  }
  char* Put(char* p) const {
    std::memcpy(p, bytes.data(), K);
    return p + size;
  }
};

// The fixed pieces of a relation's JSON form, made once: its start by kind,
// each position quoted, its end by element (null for none).
struct Pieces {
  std::array<Piece<48>, kRelationKindCount> heads;
  std::array<Piece<8>, kPositionCount> positions;
  std::array<Piece<24>, 6> tails;
  Pieces() {
    for (int k = 0; k < kRelationKindCount; ++k)
      heads[k] = Piece<48>(std::string(R"({"kind":")") + std::string(RelationKindName(RelationKind(k))) +
                           R"(","positions":[)");
    for (int p = 0; p < kPositionCount; ++p) positions[p] = Piece<8>('"' + std::string(PositionName(Position(p))) + '"');
    tails[0] = Piece<24>(R"(","element":null})");
    for (int e = 1; e <= 5; ++e) tails[e] = Piece<24>(R"(","element":")" + std::string(Element{e}.name()) + R"("})");
  }
};

// Room for one relation in its JSON form, with the blocks' slack past its
// end: a head, three positions and their commas, the characters and a tail.
constexpr std::size_t kRelationRoom = 48 + 3 * 9 + 16 + 3 * 3 + 24;

// A stem's or branch's name: one character of three bytes.
constexpr std::size_t kSignBytes = 3;
char* PutSign(char* p, std::string_view name) {
  assert(name.size() == kSignBytes);
  std::memcpy(p, name.data(), kSignBytes);
  return p + kSignBytes;
}

// The relations, each written as one object straight into the output. Kinds, positions, characters and elements are
// the program's own words: nothing in them needs escaping.
void WriteList(JsonWriter& w, std::span<const PlacedPillar> pillars, std::span<const RelationHit* const> hits) {
  static const Pieces pieces;
  w.BeginArray();
  for (const RelationHit* const hit : hits) {
    const RelationHit& h = *hit;
    w.PutValue(kRelationRoom, [&](char* p) {
      p = pieces.heads[static_cast<std::size_t>(h.kind)].Put(p);
      for (int i = 0; i < h.count; ++i) {
        if (i > 0) *p++ = ',';
        p = pieces.positions[static_cast<std::size_t>(pillars[h.at[i]].position)].Put(p);
      }
      p = PutText(p, R"(],"chars":")");
      for (int i = 0; i < h.count; ++i) {
        const Pillar pillar = pillars[h.at[i]].pillar;
        p = PutSign(p, h.onStems() ? pillar.stem.name() : pillar.branch.name());
      }
      return pieces.tails[static_cast<std::size_t>(h.element.number())].Put(p);
    });
  }
  w.EndArray();
}

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
  std::array<PlacedPillar, kMaxChartPositions> room;
  const std::span<const PlacedPillar> pillars(room.data(), ChartPositionsInto(chart, &flow, room));
  // The room of the list is kept from chart to chart on each thread.
  thread_local std::vector<RelationHit> hits;
  thread_local std::vector<const RelationHit*> natal, flowing;
  FindRelationHits(pillars, hits);
  natal.clear();
  flowing.clear();
  for (const RelationHit& h : hits) {
    bool joinsFlow = false;
    for (int i = 0; i < h.count; ++i) joinsFlow = joinsFlow || !IsNatal(pillars[h.at[i]].position);
    (joinsFlow ? flowing : natal).push_back(&h);
  }
  w.Key("Relations");
  WriteList(w, pillars, natal);
  w.Key("FlowRelations");
  WriteList(w, pillars, flowing);
}

void WriteCrossRelations(JsonWriter& w, const std::vector<CrossRelation>& relations) {
  w.BeginArray();
  for (const CrossRelation& r : relations)
    WriteRelation(w, r.relation, [&r](int i) { return SidedPositionName(r.at(i)); });
  w.EndArray();
}

}  // namespace qelm::cli
