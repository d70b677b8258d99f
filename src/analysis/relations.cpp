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

// A fact found at some positions (indices into the pillars given).
struct Hit {
  const Fact* fact;
  std::array<int, 3> at;
};

template <class Name>
void AppendNames(std::string& out, const std::array<int, 3>& numbers, int count, Name name) {
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

std::vector<Relation> FindRelations(std::span<const PlacedPillar> pillars) {
  return FindRelations(pillars, nullptr);
}

std::vector<Relation> FindRelations(std::span<const PlacedPillar> pillars, std::vector<PillarIndices>* joined) {
  // The facts first, as pointers and positions, in the order of the positions.
  std::vector<Hit> hits;
  const int n = static_cast<int>(pillars.size());
  hits.reserve(static_cast<std::size_t>(n * n));
  const auto valid = [&](int i) { return pillars[i].pillar.valid(); };
  const auto stem = [&](int i) { return pillars[i].pillar.stem.number() - 1; };
  const auto branch = [&](int i) { return pillars[i].pillar.branch.number() - 1; };
  const auto fileAll = [&](const Facts& facts, std::array<int, 3> at) {
    for (int f = 0; f < facts.size; ++f) hits.push_back({&facts.items[f], at});
  };
  for (int i = 0; i < n; ++i) {
    if (!valid(i)) continue;
    for (int j = i + 1; j < n; ++j) {
      if (!valid(j)) continue;
      fileAll(kLookup.stems[stem(i)][stem(j)], {i, j, 0});
      fileAll(kLookup.branches[branch(i)][branch(j)], {i, j, 0});
      const auto& third = kLookup.triples[branch(i)][branch(j)];
      for (int k = j + 1; k < n; ++k)
        if (valid(k) && third[branch(k)] >= 0) hits.push_back({&kLookup.tripleFacts[third[branch(k)]], {i, j, k}});
    }
  }

  // Then grouped by kind, each group keeping that order.
  std::vector<Relation> out;
  out.reserve(hits.size());
  if (joined) joined->reserve(joined->size() + hits.size());
  for (int kind = 0; kind < kRelationKindCount; ++kind) {
    for (const Hit& h : hits) {
      const Fact& f = *h.fact;
      if (static_cast<int>(f.kind) != kind) continue;
      if (joined) joined->push_back(h.at);
      Relation& r = out.emplace_back();
      r.kind = f.kind;
      r.count = f.count;
      r.element = f.element;
      r.classicalName = f.classicalName;
      for (int i = 0; i < f.count; ++i) {
        const Pillar p = pillars[h.at[i]].pillar;
        r.positions[i] = pillars[h.at[i]].position;
        r.chars += r.onStems() ? p.stem.name() : p.branch.name();
      }
      if (r.onStems()) AppendNames(r.entry, f.entry, f.count, [](int s) { return Stem{s}.name(); });
      else AppendNames(r.entry, f.entry, f.count, [](int b) { return Branch{b}.name(); });
    }
  }
  return out;
}

std::vector<PlacedPillar> ChartPositions(const ChartState& c, const FlowState* flow) {
  std::vector<PlacedPillar> out{{Position::Year, c.YearPillar()},
                                {Position::Month, c.MonthPillar()},
                                {Position::Day, c.DayPillar()},
                                {Position::Hour, c.HourPillar()}};
  if (!flow) return out;
  if (flow->CurrentLuckIndex >= 1 && flow->CurrentLuckIndex <= 12)
    out.push_back({Position::Luck, c.LuckPillar(flow->CurrentLuckIndex)});
  out.push_back({Position::FlowYear, flow->YearPillar()});
  out.push_back({Position::FlowMonth, flow->MonthPillar()});
  out.push_back({Position::FlowDay, flow->DayPillar()});
  out.push_back({Position::FlowHour, flow->HourPillar()});
  return out;
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
