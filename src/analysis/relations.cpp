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

// What one entry of a table says: its kind, its characters in the classics'
// order (numbers of stems or branches), what it forms and its name.
struct Fact {
  RelationKind kind{};
  std::array<int, 3> entry{};
  int count = 2;
  Element element;
  std::string_view classicalName;
};
// The facts that hold for one pair of characters; none holds more than three.
struct Facts {
  std::array<Fact, 4> items{};
  int size = 0;
  constexpr void Add(const Fact& f) { items[size++] = f; }
};

// The tables turned around once, when the program is built: for every two
// stems, every two branches and every three branches, the facts that hold.
// Each entry is filed under every order of its characters. Three branches
// make up one entry at most: they hold its index in `tripleFacts`, or -1.
struct Lookup {
  std::array<std::array<Facts, 10>, 10> stems{};
  std::array<std::array<Facts, 12>, 12> branches{};
  std::array<Fact, 10> tripleFacts{};
  int tripleCount = 0;
  std::array<std::array<std::array<std::int8_t, 12>, 12>, 12> triples{};

  constexpr void Pair(auto& table, RelationKind kind, int a, int b, Element element = {},
                      std::string_view classicalName = {}) {
    const Fact f{kind, {a, b, 0}, 2, element, classicalName};
    table[a - 1][b - 1].Add(f);
    if (a != b) table[b - 1][a - 1].Add(f);
  }
  constexpr void Triple(RelationKind kind, const BranchTriple& t) {
    const Fact f{kind, {t.b[0].number(), t.b[1].number(), t.b[2].number()}, 3, t.element, t.classicalName};
    const auto index = static_cast<std::int8_t>(tripleCount);
    tripleFacts[tripleCount++] = f;
    std::array<int, 3> order{0, 1, 2};
    do {
      triples[f.entry[order[0]] - 1][f.entry[order[1]] - 1][f.entry[order[2]] - 1] = index;
    } while (std::next_permutation(order.begin(), order.end()));
  }

  constexpr Lookup() {
    for (auto& plane : triples)
      for (auto& row : plane) row.fill(-1);
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

// ------------------------------------------------------------ matching

template <class Name>
void AppendNames(std::string& out, const std::array<std::int8_t, 3>& numbers, int count, Name name) {
  for (int i = 0; i < count; ++i) out += name(numbers[i]);
}

// "支" or "干" after a position, by what the relation joins.
std::string_view Part(const Relation& r) { return r.onStems() ? "干" : "支"; }

}  // namespace

std::string_view RelationKindName(RelationKind kind) { return kKindNames[static_cast<int>(kind)]; }
std::string_view PositionName(Position p) { return kPositionNames[static_cast<int>(p)]; }

bool Relation::flowing() const {
  return std::ranges::any_of(joined(), [](Position p) { return !IsNatal(p); });
}

namespace {

// A fact found at some positions (indices into the pillars given).
struct RawHit {
  const Fact* fact;
  std::array<std::uint8_t, 3> at;
};

// The most facts n pillars can hold: every pair a stem fact and up to four
// branch facts, every triple one.
constexpr std::size_t MostHits(std::size_t n) { return n * (n - 1) / 2 * 5 + n * (n - 1) * (n - 2) / 6; }

// Finds the facts into `room` (at least MostHits long) in the order of the
// positions, then files them into `out` grouped by kind, each group keeping
// that order.
void FindInto(std::span<const PlacedPillar> pillars, std::span<RawHit> room, std::vector<RelationHit>& out) {
  std::size_t found = 0;
  const int n = static_cast<int>(pillars.size());
  const auto valid = [&](int i) { return pillars[i].pillar.valid(); };
  const auto stem = [&](int i) { return pillars[i].pillar.stem.number() - 1; };
  const auto branch = [&](int i) { return pillars[i].pillar.branch.number() - 1; };
  const auto at = [](int i, int j, int k) {
    return std::array{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(j), static_cast<std::uint8_t>(k)};
  };
  std::array<std::size_t, kRelationKindCount + 1> first{};  // of each kind in `out`, once counted
  const auto file = [&](const Fact& f, int i, int j, int k) {
    room[found++] = {&f, at(i, j, k)};
    ++first[static_cast<std::size_t>(f.kind) + 1];
  };
  for (int i = 0; i < n; ++i) {
    if (!valid(i)) continue;
    for (int j = i + 1; j < n; ++j) {
      if (!valid(j)) continue;
      const Facts& stems = kLookup.stems[stem(i)][stem(j)];
      for (int f = 0; f < stems.size; ++f) file(stems.items[f], i, j, 0);
      const Facts& branches = kLookup.branches[branch(i)][branch(j)];
      for (int f = 0; f < branches.size; ++f) file(branches.items[f], i, j, 0);
      const auto& third = kLookup.triples[branch(i)][branch(j)];
      for (int k = j + 1; k < n; ++k)
        if (valid(k) && third[branch(k)] >= 0) file(kLookup.tripleFacts[third[branch(k)]], i, j, k);
    }
  }
  for (std::size_t k = 1; k < first.size(); ++k) first[k] += first[k - 1];
  out.resize(found);
  for (std::size_t h = 0; h < found; ++h) {
    const Fact& f = *room[h].fact;
    RelationHit& r = out[first[static_cast<std::size_t>(f.kind)]++];
    r.kind = f.kind;
    r.at = room[h].at;
    r.count = f.count;
    r.element = f.element;
    r.classicalName = f.classicalName;
    for (int e = 0; e < 3; ++e) r.entry[e] = static_cast<std::int8_t>(f.entry[e]);
  }
}

}  // namespace

void FindRelationHits(std::span<const PlacedPillar> pillars, std::vector<RelationHit>& out) {
  out.clear();
  if (pillars.size() < 2) return;
  // A chart's pillars fit on the stack; more are given room on the heap.
  constexpr std::size_t kStackHits = MostHits(kMaxChartPositions);
  if (pillars.size() <= kMaxChartPositions) {
    std::array<RawHit, kStackHits> room;
    FindInto(pillars, room, out);
  } else {
    std::vector<RawHit> room(MostHits(pillars.size()));
    FindInto(pillars, room, out);
  }
}

std::vector<Relation> FindRelations(std::span<const PlacedPillar> pillars) {
  return FindRelations(pillars, nullptr);
}

std::vector<Relation> FindRelations(std::span<const PlacedPillar> pillars, std::vector<PillarIndices>* joined) {
  std::vector<RelationHit> hits;
  hits.reserve(pillars.size() * pillars.size());
  FindRelationHits(pillars, hits);
  std::vector<Relation> out;
  out.reserve(hits.size());
  if (joined) joined->reserve(joined->size() + hits.size());
  for (const RelationHit& h : hits) {
    if (joined) joined->push_back({h.at[0], h.at[1], h.at[2]});
    Relation& r = out.emplace_back();
    r.kind = h.kind;
    r.count = h.count;
    r.element = h.element;
    r.classicalName = h.classicalName;
    for (int i = 0; i < h.count; ++i) {
      const Pillar p = pillars[h.at[i]].pillar;
      r.positions[i] = pillars[h.at[i]].position;
      r.chars += r.onStems() ? p.stem.name() : p.branch.name();
    }
    if (r.onStems()) AppendNames(r.entry, h.entry, h.count, [](int s) { return Stem{s}.name(); });
    else AppendNames(r.entry, h.entry, h.count, [](int b) { return Branch{b}.name(); });
  }
  return out;
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
  ChartRelations out;
  for (Relation& r : FindRelations(pillars)) (r.flowing() ? out.flow : out.natal).push_back(std::move(r));
  return out;
}

ChartRelations RelationsOf(const ChartState& chart, const FlowState& flow) {
  return RelationsOf(ChartPositions(chart, &flow));
}

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
