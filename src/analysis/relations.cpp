#include "analysis/relations.hpp"

#include <algorithm>
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

// ------------------------------------------------------------ matching

template <class T>
std::string Chars(std::initializer_list<T> items) {
  std::string out;
  for (const T& t : items) out += t.name();
  return out;
}

struct Finder {
  std::span<const PlacedPillar> pillars;
  std::vector<Relation> out;

  void Add(RelationKind kind, std::initializer_list<int> at, std::string chars, std::string entry,
           Element element = {}, std::string_view classicalName = {}) {
    Relation r;
    r.kind = kind;
    r.count = 0;
    for (const int i : at) r.positions[r.count++] = pillars[i].position;
    r.chars = std::move(chars);
    r.entry = std::move(entry);
    r.element = element;
    r.classicalName = classicalName;
    out.push_back(std::move(r));
  }

  // The stems of pillars i and j.
  void StemPairs(int i, int j) {
    const Stem x = pillars[i].pillar.stem, y = pillars[j].pillar.stem;
    const std::string chars = Chars({x, y});
    const auto scan = [&](RelationKind kind, const auto& table) {
      for (const StemPair& e : table)
        if ((x == e.a && y == e.b) || (x == e.b && y == e.a)) Add(kind, {i, j}, chars, Chars({e.a, e.b}), e.element);
    };
    scan(RelationKind::StemCombination, kStemCombinations);
    scan(RelationKind::StemClash, kStemClashes);
  }

  // The branches of pillars i and j.
  void BranchPairs(int i, int j) {
    const Branch x = pillars[i].pillar.branch, y = pillars[j].pillar.branch;
    const std::string chars = Chars({x, y});
    const auto match = [&](Branch a, Branch b) { return (x == a && y == b) || (x == b && y == a); };
    const auto pair = [&](RelationKind kind, const BranchPair& e) {
      if (match(e.a, e.b)) Add(kind, {i, j}, chars, Chars({e.a, e.b}), e.element, e.classicalName);
    };
    for (const BranchPair& e : kSixCombinations) pair(RelationKind::SixCombination, e);
    for (const BranchTriple& t : kThreeCombinations) {
      const auto [first, middle, last] = t.b;
      if (match(first, middle)) Add(RelationKind::HalfCombination, {i, j}, chars, Chars({first, middle}), t.element);
      if (match(middle, last)) Add(RelationKind::HalfCombination, {i, j}, chars, Chars({middle, last}), t.element);
      if (match(first, last)) Add(RelationKind::ArchedCombination, {i, j}, chars, Chars({first, last}), t.element);
    }
    for (const BranchPair& e : kSixClashes) pair(RelationKind::SixClash, e);
    for (const BranchTriple& t : kThreePunishments) {
      for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b)
          pair(RelationKind::MutualPunishment, {t.b[a], t.b[b], {}, t.classicalName});
    }
    pair(RelationKind::MutualPunishment, kRudePunishment);
    if (x == y && std::ranges::find(kSelfPunishments, x) != kSelfPunishments.end())
      Add(RelationKind::SelfPunishment, {i, j}, chars, chars);
    for (const BranchPair& e : kSixHarms) pair(RelationKind::SixHarm, e);
    for (const BranchPair& e : kSixBreaks) pair(RelationKind::SixBreak, e);
  }

  // The branches of pillars i, j and k: three different branches that make
  // up one entry.
  void BranchTriples(int i, int j, int k) {
    const std::array<Branch, 3> have{pillars[i].pillar.branch, pillars[j].pillar.branch, pillars[k].pillar.branch};
    const auto scan = [&](RelationKind kind, const auto& table) {
      for (const BranchTriple& t : table) {
        if (std::ranges::is_permutation(have, t.b))
          Add(kind, {i, j, k}, Chars({have[0], have[1], have[2]}), Chars({t.b[0], t.b[1], t.b[2]}), t.element,
              t.classicalName);
      }
    };
    scan(RelationKind::ThreeCombination, kThreeCombinations);
    scan(RelationKind::DirectionMeeting, kDirectionMeetings);
    scan(RelationKind::ThreePunishment, kThreePunishments);
  }
};

// "支" or "干" after a position, by what the relation joins.
std::string_view Part(const Relation& r) { return r.onStems() ? "干" : "支"; }

}  // namespace

std::string_view RelationKindName(RelationKind kind) { return kKindNames[static_cast<int>(kind)]; }
std::string_view PositionName(Position p) { return kPositionNames[static_cast<int>(p)]; }

bool Relation::flowing() const {
  return std::ranges::any_of(joined(), [](Position p) { return !IsNatal(p); });
}

std::vector<Relation> FindRelations(std::span<const PlacedPillar> pillars) {
  Finder f{pillars, {}};
  const int n = static_cast<int>(pillars.size());
  const auto valid = [&](int i) { return pillars[i].pillar.valid(); };
  for (int i = 0; i < n; ++i) {
    if (!valid(i)) continue;
    for (int j = i + 1; j < n; ++j) {
      if (!valid(j)) continue;
      f.StemPairs(i, j);
      f.BranchPairs(i, j);
      for (int k = j + 1; k < n; ++k)
        if (valid(k)) f.BranchTriples(i, j, k);
    }
  }
  // Found pair by pair; grouped by kind, each group keeping the order found,
  // which is that of the positions.
  std::ranges::stable_sort(f.out, {}, [](const Relation& r) { return static_cast<int>(r.kind); });
  return std::move(f.out);
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
