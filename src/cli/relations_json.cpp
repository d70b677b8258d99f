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

// A stem's or branch's name: one character of three bytes.
constexpr std::size_t kSignBytes = 3;
char* PutSign(char* p, std::string_view name) {
  assert(name.size() == kSignBytes);
  std::memcpy(p, name.data(), kSignBytes);
  return p + kSignBytes;
}

// The fixed pieces of a relation's JSON form, made once: its start by kind
// with its first position, the other positions quoted (one after a comma, and
// the last with what follows up to the characters), its end by element (null
// for none), and for a pair its characters in either order with its end.
struct Pieces {
  std::array<std::array<Piece<48>, kPositionCount>, kRelationKindCount> heads;
  std::array<Piece<16>, kPositionCount> middlePositions;
  std::array<Piece<24>, kPositionCount> lastPositions;
  std::array<Piece<24>, 6> tails;
  std::vector<std::array<Piece<32>, 2>> pairEnds;  // by entry, as found and reversed
  Pieces() {
    for (int p = 0; p < kPositionCount; ++p) {
      const std::string quoted = '"' + std::string(PositionName(Position(p))) + '"';
      for (int k = 0; k < kRelationKindCount; ++k)
        heads[k][p] = Piece<48>(std::string(R"({"kind":")") + std::string(RelationKindName(RelationKind(k))) +
                                R"(","positions":[)" + quoted);
      middlePositions[p] = Piece<16>(',' + quoted);
      lastPositions[p] = Piece<24>(',' + quoted + R"(],"chars":")");
    }
    const auto tail = [](Element e) {
      return e.valid() ? R"(","element":")" + std::string(e.name()) + R"("})" : std::string(R"(","element":null})");
    };
    for (int e = 0; e <= 5; ++e) tails[e] = Piece<24>(tail(Element{e}));
    for (const RelationEntry& e : RelationEntries()) {
      const auto name = [&e](int i) { return e.onStems() ? Stem{e.chars[i]}.name() : Branch{e.chars[i]}.name(); };
      const std::string a(name(0)), b(name(1));
      pairEnds.push_back({Piece<32>(a + b + tail(e.element)), Piece<32>(b + a + tail(e.element))});
    }
  }
};

// Room for one relation in its JSON form and the comma after it, with the
// blocks' slack past its end: a head, two more positions, the characters and
// a tail.
constexpr std::size_t kRelationRoom = 48 + 16 + 24 + 3 * kSignBytes + 24 + 1;
static_assert(kRelationRoom >= 48 + 24 + 32 + 1);

// The relations as one array written straight into the output. Kinds,
// positions, characters and elements are the program's own words: nothing in
// them needs escaping.
void WriteList(JsonWriter& w, std::span<const PlacedPillar> pillars, std::span<const RelationHit> hits) {
  static const Pieces pieces;
  const std::span<const RelationEntry> entries = RelationEntries();
  w.PutValue(2 + hits.size() * kRelationRoom, [&](char* p) {
    *p++ = '[';
    for (const RelationHit h : hits) {
      const std::size_t number = h.entryNumber();
      const RelationEntry& e = entries[number];
      const auto position = [h](int i) { return static_cast<std::size_t>(h.position(i)); };
      p = pieces.heads[static_cast<std::size_t>(e.kind)][position(0)].Put(p);
      if (e.count == 2) {
        p = pieces.lastPositions[position(1)].Put(p);
        p = pieces.pairEnds[number][h.reversed() ? 1 : 0].Put(p);
      } else {
        p = pieces.middlePositions[position(1)].Put(p);
        p = pieces.lastPositions[position(2)].Put(p);
        for (int i = 0; i < 3; ++i) {
          const Pillar pillar = pillars[h.at(i)].pillar;
          p = PutSign(p, e.onStems() ? pillar.stem.name() : pillar.branch.name());
        }
        p = pieces.tails[static_cast<std::size_t>(e.element.number())].Put(p);
      }
      *p++ = ',';
    }
    // The last comma closes the array.
    if (hits.empty()) *p++ = ']';
    else p[-1] = ']';
    return p;
  });
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

void WriteRelations(JsonWriter& w, std::span<const PlacedPillar> pillars) {
  ChartRelationHits hits;
  const HitCounts counts = FindChartRelationHits(pillars, hits);
  w.Key("Relations");
  WriteList(w, pillars, std::span(hits.data(), counts.natal));
  w.Key("FlowRelations");
  WriteList(w, pillars, std::span(hits.data() + counts.natal, counts.all - counts.natal));
}

void WriteRelations(JsonWriter& w, const ChartState& chart, const FlowState& flow) {
  std::array<PlacedPillar, kMaxChartPositions> room;
  WriteRelations(w, std::span<const PlacedPillar>(room.data(), ChartPositionsInto(chart, &flow, room)));
}

void WriteCrossRelations(JsonWriter& w, const std::vector<CrossRelation>& relations) {
  w.BeginArray();
  for (const CrossRelation& r : relations)
    WriteRelation(w, r.relation, [&r](int i) { return SidedPositionName(r.at(i)); });
  w.EndArray();
}

}  // namespace qelm::cli
