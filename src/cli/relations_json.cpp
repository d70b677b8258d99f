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
// its positions quoted (the first, one after a comma, and the last with what
// follows up to the characters), its end by element (null for none).
struct Pieces {
  std::array<Piece<48>, kRelationKindCount> heads;
  std::array<Piece<8>, kPositionCount> firstPositions;
  std::array<Piece<16>, kPositionCount> middlePositions;
  std::array<Piece<24>, kPositionCount> lastPositions;
  std::array<Piece<24>, 6> tails;
  Pieces() {
    for (int k = 0; k < kRelationKindCount; ++k)
      heads[k] = Piece<48>(std::string(R"({"kind":")") + std::string(RelationKindName(RelationKind(k))) +
                           R"(","positions":[)");
    for (int p = 0; p < kPositionCount; ++p) {
      const std::string quoted = '"' + std::string(PositionName(Position(p))) + '"';
      firstPositions[p] = Piece<8>(quoted);
      middlePositions[p] = Piece<16>(',' + quoted);
      lastPositions[p] = Piece<24>(',' + quoted + R"(],"chars":")");
    }
    tails[0] = Piece<24>(R"(","element":null})");
    for (int e = 1; e <= 5; ++e) tails[e] = Piece<24>(R"(","element":")" + std::string(Element{e}.name()) + R"("})");
  }
};

// A stem's or branch's name: one character of three bytes, kept in four so
// that it is copied in one piece.
constexpr std::size_t kSignBytes = 3;
using SignBytes = std::array<char, 4>;
SignBytes SignOf(std::string_view name) {
  SignBytes out{};
  if (name.size() == kSignBytes) name.copy(out.data(), kSignBytes);
  return out;
}

// Room for one relation in its JSON form and the comma after it, with the
// blocks' slack past its end: a head, three positions, the characters and a
// tail.
constexpr std::size_t kRelationRoom = 48 + 8 + 16 + 24 + 3 * kSignBytes + 1 + 24 + 1;

// The pillars as a list writes them: each one's position and the names of
// its stem and branch.
struct PillarSigns {
  std::array<std::uint8_t, kMaxChartPositions> positions{};
  std::array<SignBytes, kMaxChartPositions> stems{}, branches{};
  explicit PillarSigns(std::span<const PlacedPillar> pillars) {
    for (std::size_t i = 0; i < pillars.size(); ++i) {
      positions[i] = static_cast<std::uint8_t>(pillars[i].position);
      stems[i] = SignOf(pillars[i].pillar.stem.name());
      branches[i] = SignOf(pillars[i].pillar.branch.name());
    }
  }
};

// The relations as one array written straight into the output. Kinds,
// positions, characters and elements are the program's own words: nothing in
// them needs escaping.
void WriteList(JsonWriter& w, const PillarSigns& signs, std::span<const RelationHit> hits) {
  static const Pieces pieces;
  w.PutValue(2 + hits.size() * kRelationRoom, [&](char* p) {
    *p++ = '[';
    for (const RelationHit& h : hits) {
      const RelationEntry& e = *h.entry;
      const int last = e.count - 1;
      p = pieces.heads[static_cast<std::size_t>(e.kind)].Put(p);
      p = pieces.firstPositions[signs.positions[h.at[0]]].Put(p);
      if (last == 2) p = pieces.middlePositions[signs.positions[h.at[1]]].Put(p);
      p = pieces.lastPositions[signs.positions[h.at[last]]].Put(p);
      // Three names whatever the count: a pair's third (of its first
      // pillar) is written over by the tail.
      const auto& names = e.onStems() ? signs.stems : signs.branches;
      for (int i = 0; i < 3; ++i) std::memcpy(p + i * kSignBytes, names[h.at[i]].data(), sizeof(SignBytes));
      p += static_cast<std::size_t>(e.count) * kSignBytes;
      p = pieces.tails[static_cast<std::size_t>(e.element.number())].Put(p);
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
  const PillarSigns signs(pillars);
  w.Key("Relations");
  WriteList(w, signs, std::span(hits.data(), counts.natal));
  w.Key("FlowRelations");
  WriteList(w, signs, std::span(hits.data() + counts.natal, counts.all - counts.natal));
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
