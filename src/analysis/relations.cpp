#include "analysis/relations.hpp"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace qelm {

namespace {

// ------------------------------------------------------------ names

// A stem, branch or element by its character; an unknown one stops the
// build when a table is written wrong.
constexpr Stem S(std::string_view name) {
  for (int i = 1; i <= 10; ++i)
    if (Stem{i}.name() == name) return Stem{i};
  throw std::invalid_argument("no such stem");
}
constexpr Branch B(std::string_view name) {
  for (int i = 1; i <= 12; ++i)
    if (Branch{i}.name() == name) return Branch{i};
  throw std::invalid_argument("no such branch");
}
constexpr Element E(std::string_view name) {
  for (int i = 1; i <= 5; ++i)
    if (Element{i}.name() == name) return Element{i};
  throw std::invalid_argument("no such element");
}

constexpr std::array<std::string_view, kRelationKindCount> kKindNames{
    "天干五合", "天干相沖", "六合", "三合", "半合", "拱合", "三會",
    "六沖",     "三刑",     "相刑", "自刑", "六害", "六破"};
constexpr std::array<std::string_view, kPositionCount> kPositionNames{
    "年", "月", "日", "時", "運", "流年", "流月", "流日", "流時"};

// ------------------------------------------------------------ the tables

struct StemPair {
  Stem a, b;
  Element element;
};
struct BranchPair {
  Branch a, b;
  Element element;
  std::string_view classicalName;
};
struct BranchTriple {
  std::array<Branch, 3> b;  // for a 三合: its first, middle and last
  Element element;
  std::string_view classicalName;
};

// 天干五合, the stems five apart, as 《三命通會》 (論十干合) pairs them.
constexpr std::array<StemPair, 5> kStemCombinations{{
    {S("甲"), S("己"), E("土")},
    {S("乙"), S("庚"), E("金")},
    {S("丙"), S("辛"), E("水")},
    {S("丁"), S("壬"), E("木")},
    {S("戊"), S("癸"), E("火")},
}};

// 天干相沖, the stems six apart of opposite directions; 戊 己 of the centre
// clash none (《淵海子平》).
constexpr std::array<StemPair, 4> kStemClashes{{
    {S("甲"), S("庚"), {}},
    {S("乙"), S("辛"), {}},
    {S("丙"), S("壬"), {}},
    {S("丁"), S("癸"), {}},
}};

// 地支六合, 《三命通會》 (論支元六合).
constexpr std::array<BranchPair, 6> kSixCombinations{{
    {B("子"), B("丑"), E("土"), {}},
    {B("寅"), B("亥"), E("木"), {}},
    {B("卯"), B("戌"), E("火"), {}},
    {B("辰"), B("酉"), E("金"), {}},
    {B("巳"), B("申"), E("水"), {}},
    {B("午"), B("未"), E("土"), {}},
}};

// 三合, birth, height and grave of an element, 《三命通會》 (論地支三合). Its
// 半合 and 拱合 pairs follow from it.
constexpr std::array<BranchTriple, 4> kThreeCombinations{{
    {{B("申"), B("子"), B("辰")}, E("水"), {}},
    {{B("亥"), B("卯"), B("未")}, E("木"), {}},
    {{B("寅"), B("午"), B("戌")}, E("火"), {}},
    {{B("巳"), B("酉"), B("丑")}, E("金"), {}},
}};

// 三會, the three branches of one direction, 《子平真詮》 (論刑沖會合解法).
constexpr std::array<BranchTriple, 4> kDirectionMeetings{{
    {{B("寅"), B("卯"), B("辰")}, E("木"), {}},
    {{B("巳"), B("午"), B("未")}, E("火"), {}},
    {{B("申"), B("酉"), B("戌")}, E("金"), {}},
    {{B("亥"), B("子"), B("丑")}, E("水"), {}},
}};

// 六沖, the branches six apart, 《三命通會》 (論沖擊).
constexpr std::array<BranchPair, 6> kSixClashes{{
    {B("子"), B("午"), {}, {}},
    {B("丑"), B("未"), {}, {}},
    {B("寅"), B("申"), {}, {}},
    {B("卯"), B("酉"), {}, {}},
    {B("辰"), B("戌"), {}, {}},
    {B("巳"), B("亥"), {}, {}},
}};

// 三刑, 《三命通會》 (論三刑): 寅巳申 恃勢之刑 and 丑戌未 無恩之刑 when all three
// stand; any two of one of them punish each other (相刑), and so do 子 and 卯,
// 無禮之刑. 辰 午 酉 亥 each punish themselves (自刑).
constexpr std::array<BranchTriple, 2> kThreePunishments{{
    {{B("寅"), B("巳"), B("申")}, {}, "恃勢"},
    {{B("丑"), B("戌"), B("未")}, {}, "無恩"},
}};
constexpr BranchPair kRudePunishment{B("子"), B("卯"), {}, "無禮"};
constexpr std::array<Branch, 4> kSelfPunishments{B("辰"), B("午"), B("酉"), B("亥")};

// 六害, 《三命通會》 (論六害).
constexpr std::array<BranchPair, 6> kSixHarms{{
    {B("子"), B("未"), {}, {}},
    {B("丑"), B("午"), {}, {}},
    {B("寅"), B("巳"), {}, {}},
    {B("卯"), B("辰"), {}, {}},
    {B("申"), B("亥"), {}, {}},
    {B("酉"), B("戌"), {}, {}},
}};

// 六破, 《淵海子平》.
constexpr std::array<BranchPair, 6> kSixBreaks{{
    {B("子"), B("酉"), {}, {}},
    {B("卯"), B("午"), {}, {}},
    {B("辰"), B("丑"), {}, {}},
    {B("未"), B("戌"), {}, {}},
    {B("寅"), B("亥"), {}, {}},
    {B("巳"), B("申"), {}, {}},
}};

// ------------------------------------------------------------ lookup

// An entry as the finder files it, in the bits of a packed RelationHit: its
// index in Lookup::entries (bits 0 to 7), its kind (8 to 15, where the group
// is made) and, under the other order of a pair's characters, bit 40.
using EntryCode = std::uint64_t;
constexpr EntryCode kReversed = EntryCode{1} << 40;
// The entries that hold for one pair of characters; none holds more than four.
struct PairEntries {
  std::array<EntryCode, 4> items{};
  int size = 0;
  constexpr void Add(EntryCode code) { items[size++] = code; }
};

// Every entry of the tables above, with its 半合 拱合 and 相刑 pairs.
constexpr std::size_t kEntryCount = kStemCombinations.size() + kStemClashes.size() + kSixCombinations.size() +
                                    4 * kThreeCombinations.size() + kDirectionMeetings.size() + kSixClashes.size() +
                                    4 * kThreePunishments.size() + 1 + kSelfPunishments.size() + kSixHarms.size() +
                                    kSixBreaks.size();

// The tables turned around once, when the program is built: every entry
// numbered, and for every two stems, every two branches and every three
// branches, the entries that hold. Each entry is filed under every order of
// its characters. Three branches make up one entry at most.
struct Lookup {
  std::array<RelationEntry, kEntryCount> entries{};
  std::size_t entryCount = 0;
  std::array<std::array<PairEntries, 10>, 10> stems{};
  std::array<std::array<PairEntries, 12>, 12> branches{};
  // For two branches, the branches that make up an entry with them, one bit
  // each (bit b - 1 for branch b), and the entry that three branches make up.
  std::array<std::array<std::uint16_t, 12>, 12> thirds{};
  std::array<std::array<std::array<std::uint16_t, 12>, 12>, 12> triples{};  // EntryCode

  constexpr EntryCode Add(RelationKind kind, std::array<int, 3> chars, int count, Element element,
                          std::string_view classicalName) {
    RelationEntry& e = entries[entryCount];
    e = {kind, count, element, classicalName, {}};
    for (int c = 0; c < 3; ++c) e.chars[c] = static_cast<std::int8_t>(chars[c]);
    return static_cast<EntryCode>(entryCount++ | static_cast<std::size_t>(kind) << 8);
  }
  constexpr void Pair(auto& table, RelationKind kind, int a, int b, Element element = {},
                      std::string_view classicalName = {}) {
    const EntryCode code = Add(kind, {a, b, 0}, 2, element, classicalName);
    table[a - 1][b - 1].Add(code);
    if (a != b) table[b - 1][a - 1].Add(code | kReversed);
  }
  constexpr void Triple(RelationKind kind, const BranchTriple& t) {
    const std::array<int, 3> chars{t.b[0].number(), t.b[1].number(), t.b[2].number()};
    const EntryCode code = Add(kind, chars, 3, t.element, t.classicalName);
    std::array<int, 3> order{0, 1, 2};
    do {
      const int x = chars[order[0]] - 1, y = chars[order[1]] - 1, z = chars[order[2]] - 1;
      triples[x][y][z] = static_cast<std::uint16_t>(code);
      thirds[x][y] = static_cast<std::uint16_t>(thirds[x][y] | 1u << z);
    } while (std::next_permutation(order.begin(), order.end()));
  }

  constexpr Lookup() {
    for (const StemPair& e : kStemCombinations)
      Pair(stems, RelationKind::StemCombination, e.a.number(), e.b.number(), e.element);
    for (const StemPair& e : kStemClashes) Pair(stems, RelationKind::StemClash, e.a.number(), e.b.number());
    const auto pairs = [&](RelationKind kind, const auto& table) {
      for (const BranchPair& e : table) Pair(branches, kind, e.a.number(), e.b.number(), e.element, e.classicalName);
    };
    pairs(RelationKind::SixCombination, kSixCombinations);
    for (const BranchTriple& t : kThreeCombinations) Triple(RelationKind::ThreeCombination, t);
    for (const BranchTriple& t : kThreeCombinations) {
      const int first = t.b[0].number(), middle = t.b[1].number(), last = t.b[2].number();
      Pair(branches, RelationKind::HalfCombination, first, middle, t.element);
      Pair(branches, RelationKind::HalfCombination, middle, last, t.element);
    }
    for (const BranchTriple& t : kThreeCombinations)
      Pair(branches, RelationKind::ArchedCombination, t.b[0].number(), t.b[2].number(), t.element);
    for (const BranchTriple& t : kDirectionMeetings) Triple(RelationKind::DirectionMeeting, t);
    pairs(RelationKind::SixClash, kSixClashes);
    for (const BranchTriple& t : kThreePunishments) Triple(RelationKind::ThreePunishment, t);
    for (const BranchTriple& t : kThreePunishments)
      for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b)
          Pair(branches, RelationKind::MutualPunishment, t.b[a].number(), t.b[b].number(), {}, t.classicalName);
    Pair(branches, RelationKind::MutualPunishment, kRudePunishment.a.number(), kRudePunishment.b.number(), {},
         kRudePunishment.classicalName);
    for (const Branch b : kSelfPunishments) Pair(branches, RelationKind::SelfPunishment, b.number(), b.number());
    pairs(RelationKind::SixHarm, kSixHarms);
    pairs(RelationKind::SixBreak, kSixBreaks);
  }
};
constexpr Lookup kLookup;
static_assert(kLookup.entryCount == kEntryCount);

// ------------------------------------------------------------ matching

template <class Name>
void AppendNames(std::string& out, const std::array<std::int8_t, 3>& numbers, int count, Name name) {
  for (int i = 0; i < count; ++i) out += name(numbers[i]);
}

}  // namespace

std::span<const RelationEntry> RelationEntries() { return {kLookup.entries.data(), kLookup.entryCount}; }
std::string_view RelationKindName(RelationKind kind) { return kKindNames[static_cast<int>(kind)]; }
std::string_view PositionName(Position p) { return kPositionNames[static_cast<int>(p)]; }

bool Relation::flowing() const {
  return std::ranges::any_of(joined(), [](Position p) { return !IsNatal(p); });
}

namespace {

// A relation as first found, packed as a RelationHit: its entry code with
// its group (bits 8 to 15) made from the kind, moved past all kinds when the
// relation joins a flowing pillar and the natal ones come first; its
// pillars; and their positions.
using RawHit = std::uint64_t;
constexpr std::size_t kGroupCount = 2 * kRelationKindCount;

// A valid pillar as the finder reads it.
struct Held {
  std::uint8_t stem, branch;    // numbers less one
  std::uint16_t laterBranches;  // of the valid pillars after it, one bit each
  // Its index in the pillars given, its position and its group's move, as
  // the first, second or third pillar of a packed relation; a relation's
  // parts are joined with |.
  std::array<RawHit, 3> asPart;
};

// Finds the relations of the pillars into `room` (MostRelationHits long) in
// the order of the positions, then files them into `out` (as long) by group,
// each group keeping that order. `held` holds one per pillar.
HitCounts FindInto(std::span<const PlacedPillar> pillars, bool natalFirst, std::span<RawHit> room,
                   std::span<Held> held, std::span<RelationHit> out) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < pillars.size(); ++i) {
    const PlacedPillar& p = pillars[i];
    if (!p.pillar.valid()) continue;
    Held& h = held[n++];
    h = {static_cast<std::uint8_t>(p.pillar.stem.number() - 1), static_cast<std::uint8_t>(p.pillar.branch.number() - 1),
         0, {}};
    const RawHit move = natalFirst && !IsNatal(p.position) ? kRelationKindCount : 0;
    const auto position = static_cast<RawHit>(p.position);
    for (int part = 0; part < 3; ++part)
      h.asPart[part] = move << 8 | RawHit{i} << (16 + 8 * part) | position << (44 + 4 * part);
  }
  for (std::size_t i = n; i-- > 1;)
    held[i - 1].laterBranches = static_cast<std::uint16_t>(held[i].laterBranches | 1u << held[i].branch);

  std::array<std::size_t, kGroupCount + 1> first{};  // of each group in `out`, once counted
  std::size_t found = 0;
  const auto file = [&](RawHit hit) {
    room[found++] = hit;
    ++first[(hit >> 8 & 0xff) + 1];
  };
  for (std::size_t a = 0; a < n; ++a) {
    const Held x = held[a];  // a copy, which the stores to `room` leave alone
    for (std::size_t b = a + 1; b < n; ++b) {
      const Held& y = held[b];
      const RawHit pair = x.asPart[0] | y.asPart[1];
      const std::uint8_t yBranch = y.branch;
      const unsigned later = y.laterBranches;
      const PairEntries& stems = kLookup.stems[x.stem][y.stem];
      const PairEntries& branches = kLookup.branches[x.branch][yBranch];
      for (int e = 0; e < stems.size; ++e) file(pair + stems.items[e]);
      for (int e = 0; e < branches.size; ++e) file(pair + branches.items[e]);
      const unsigned thirds = kLookup.thirds[x.branch][yBranch];
      if ((thirds & later) == 0) continue;
      for (std::size_t c = b + 1; c < n; ++c) {
        const Held& z = held[c];
        if (thirds >> z.branch & 1u)
          file((pair | z.asPart[2]) + kLookup.triples[x.branch][yBranch][z.branch]);
      }
    }
  }
  for (std::size_t g = 1; g < first.size(); ++g) first[g] += first[g - 1];
  const HitCounts counts{found, first[kRelationKindCount]};
  for (std::size_t h = 0; h < found; ++h) out[first[room[h] >> 8 & 0xff]++] = {room[h]};
  return counts;
}

// Calls use(hits, natal count) with the relations of the pillars, found
// with room on the stack for a chart's pillars and on the heap for more.
template <class Use>
auto WithHits(std::span<const PlacedPillar> pillars, bool natalFirst, Use use) {
  const std::size_t n = pillars.size();
  if (n <= kMaxChartPositions) {
    ChartRelationHits hits;
    std::array<RawHit, MostRelationHits(kMaxChartPositions)> room;
    std::array<Held, kMaxChartPositions> held;
    const HitCounts c = FindInto(pillars, natalFirst, room, held, hits);
    return use(std::span<const RelationHit>(hits.data(), c.all), c.natal);
  }
  // A packed relation holds each pillar's index in a byte.
  if (n > 256) throw std::length_error("more pillars than can be related at once");
  std::vector<RelationHit> hits(MostRelationHits(n));
  std::vector<RawHit> room(MostRelationHits(n));
  std::vector<Held> held(n);
  const HitCounts c = FindInto(pillars, natalFirst, room, held, hits);
  return use(std::span<const RelationHit>(hits.data(), c.all), c.natal);
}

// The relation a hit stands for, its texts composed.
Relation Compose(std::span<const PlacedPillar> pillars, const RelationHit& h) {
  const RelationEntry& e = kLookup.entries[h.entryNumber()];
  Relation r;
  r.kind = e.kind;
  r.count = e.count;
  r.element = e.element;
  r.classicalName = e.classicalName;
  for (int i = 0; i < e.count; ++i) {
    const Pillar p = pillars[h.at(i)].pillar;
    r.positions[i] = pillars[h.at(i)].position;
    r.chars += e.onStems() ? p.stem.name() : p.branch.name();
  }
  if (e.onStems()) AppendNames(r.entry, e.chars, e.count, [](int s) { return Stem{s}.name(); });
  else AppendNames(r.entry, e.chars, e.count, [](int b) { return Branch{b}.name(); });
  return r;
}

}  // namespace

HitCounts FindChartRelationHits(std::span<const PlacedPillar> pillars, ChartRelationHits& out) {
  if (pillars.size() > kMaxChartPositions) throw std::length_error("more pillars than a chart holds");
  std::array<RawHit, MostRelationHits(kMaxChartPositions)> room;
  std::array<Held, kMaxChartPositions> held;
  return FindInto(pillars, true, room, held, out);
}

std::vector<Relation> FindRelations(std::span<const PlacedPillar> pillars) {
  return FindRelations(pillars, nullptr);
}

std::vector<Relation> FindRelations(std::span<const PlacedPillar> pillars, std::vector<PillarIndices>* joined) {
  return WithHits(pillars, false, [&](std::span<const RelationHit> hits, std::size_t) {
    std::vector<Relation> out;
    out.reserve(hits.size());
    if (joined) joined->reserve(joined->size() + hits.size());
    for (const RelationHit& h : hits) {
      if (joined)
        joined->push_back({static_cast<int>(h.at(0)), static_cast<int>(h.at(1)), static_cast<int>(h.at(2))});
      out.push_back(Compose(pillars, h));
    }
    return out;
  });
}

std::size_t ChartPositionsInto(const ChartState& c, const FlowState* flow,
                               std::array<PlacedPillar, kMaxChartPositions>& out) {
  std::size_t n = 0;
  out[n++] = {Position::Year, c.YearPillar()};
  out[n++] = {Position::Month, c.MonthPillar()};
  out[n++] = {Position::Day, c.DayPillar()};
  out[n++] = {Position::Hour, c.HourPillar()};
  if (!flow) return n;
  if (flow->CurrentLuckIndex >= 1 && flow->CurrentLuckIndex <= 12)
    out[n++] = {Position::Luck, c.LuckPillar(flow->CurrentLuckIndex)};
  out[n++] = {Position::FlowYear, flow->YearPillar()};
  out[n++] = {Position::FlowMonth, flow->MonthPillar()};
  out[n++] = {Position::FlowDay, flow->DayPillar()};
  out[n++] = {Position::FlowHour, flow->HourPillar()};
  return n;
}

std::vector<PlacedPillar> ChartPositions(const ChartState& c, const FlowState* flow) {
  std::array<PlacedPillar, kMaxChartPositions> room;
  const std::size_t n = ChartPositionsInto(c, flow, room);
  return {room.begin(), room.begin() + static_cast<std::ptrdiff_t>(n)};
}

ChartRelations RelationsOf(std::span<const PlacedPillar> pillars) {
  return WithHits(pillars, true, [&](std::span<const RelationHit> hits, std::size_t natal) {
    ChartRelations out;
    out.natal.reserve(natal);
    out.flow.reserve(hits.size() - natal);
    for (std::size_t h = 0; h < hits.size(); ++h)
      (h < natal ? out.natal : out.flow).push_back(Compose(pillars, hits[h]));
    return out;
  });
}

ChartRelations RelationsOf(const ChartState& chart, const FlowState& flow) {
  return RelationsOf(ChartPositions(chart, &flow));
}

}  // namespace qelm
