#include "analysis/stars.hpp"

#include "analysis/star_tables.hpp"

#include <cassert>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace qelm {

namespace {

using namespace star_tables;
using Row = StarRow StarRows::*;

// ------------------------------------------------------------ the lists

enum class Rule {
  Table,      // one stem table
  Noble,      // 旦貴 and 暮貴
  Harmony,    // one three-harmony result
  JinShen,
  GuChen,
  GuaSu,
  CountBack,  // with its constant
  YuanChen,   // 元辰
  GouJiao,    // 勾 and 絞
  Void,       // both branches of the pair
};
enum class Key { DayStem, YearStem, DayBranch, YearBranch, MonthBranch, DayPillar, YearPillar };
constexpr std::size_t kKeyCount = 7;


struct Entry {
  StarName name;
  StarName second;  // the second name of 暮貴 and 絞
  Rule rule;
  Key key;
  Row row;
  std::string_view table{};
  Harmony harmony{};
  int constant = 0;
};

constexpr Entry TableStar(std::string_view name, std::string_view table, Key key) {
  return {name, {}, Rule::Table, key, &StarRows::StemStars, table};
}
constexpr Entry NobleStars(Key key) {
  return {"旦貴", "暮貴", Rule::Noble, key, &StarRows::StemStars};
}
constexpr Entry HarmonyStar(std::string_view name, Harmony h, Key key) {
  return {name, {}, Rule::Harmony, key, &StarRows::BranchStars, {}, h};
}
constexpr Entry BranchStar(std::string_view name, Rule rule, int constant = 0) {
  return {name, {}, rule, Key::YearBranch, &StarRows::BranchStars, {}, {}, constant};
}
constexpr Entry GouJiao() {
  return {"勾", "絞", Rule::GouJiao, Key::YearBranch, &StarRows::BranchStars};
}
constexpr Entry VoidMark(std::string_view name, Key key) {
  return {name, {}, Rule::Void, key, &StarRows::VoidMarks};
}

// 子平法 keys the stars on the day pillar, and on the year branch for the rest.
constexpr std::array kZiPingList{
    VoidMark("日柱空亡", Key::DayPillar),
    VoidMark("年柱空亡", Key::YearPillar),
    TableStar("日祿", kLu, Key::DayStem),
    TableStar("羊刃", kYangRen, Key::DayStem),
    TableStar("金輿", kJinYu, Key::DayStem),
    NobleStars(Key::DayStem),
    TableStar("文昌", kWenChang, Key::DayStem),
    TableStar("學堂", kXueTang, Key::DayStem),
    TableStar("天廚", kTianChu, Key::DayStem),
    TableStar("天官", kTianGuan, Key::DayStem),
    TableStar("紅豔", kHongYan, Key::DayStem),
    TableStar("流霞", kLiuXia, Key::DayStem),
    TableStar("羊刃", kYangRen, Key::YearStem),
    HarmonyStar("驛馬", kYiMa, Key::DayBranch),
    HarmonyStar("華蓋", kHuaGai, Key::DayBranch),
    HarmonyStar("咸池", kXianChi, Key::DayBranch),
    HarmonyStar("驛馬", kYiMa, Key::YearBranch),
    HarmonyStar("華蓋", kHuaGai, Key::YearBranch),
    HarmonyStar("咸池", kXianChi, Key::YearBranch),
    HarmonyStar("劫煞", kJieSha, Key::YearBranch),
    HarmonyStar("亡神", kWangShen, Key::YearBranch),
    HarmonyStar("災煞", kZaiSha, Key::YearBranch),
    HarmonyStar("將星", kJiangXing, Key::YearBranch),
    BranchStar("金神", Rule::JinShen),
    HarmonyStar("六厄", kLiuE, Key::YearBranch),
    BranchStar("孤辰", Rule::GuChen),
    BranchStar("寡宿", Rule::GuaSu),
    BranchStar("紅鑾", Rule::CountBack, 5),
    BranchStar("天喜", Rule::CountBack, 11),
    BranchStar("血刃", Rule::CountBack, 12),
    BranchStar("元辰", Rule::YuanChen),
    GouJiao(),
};

// 三命法 keys the stars on the year pillar (祿元 and its kin) and adds its own.
constexpr std::array kSanMingList{
    VoidMark("六甲空亡", Key::YearPillar),
    TableStar("日祿", kLu, Key::DayStem),
    TableStar("祿元", kLu, Key::YearStem),
    TableStar("羊刃", kYangRen, Key::YearStem),
    TableStar("金輿", kJinYu, Key::YearStem),
    NobleStars(Key::YearStem),
    TableStar("文昌", kWenChang, Key::YearStem),
    TableStar("學堂", kXueTang, Key::YearStem),
    TableStar("天官", kTianGuan, Key::YearStem),
    TableStar("唐符", kTangFu, Key::YearStem),
    TableStar("國印", kGuoYin, Key::YearStem),
    HarmonyStar("驛馬", kYiMa, Key::YearBranch),
    HarmonyStar("華蓋", kHuaGai, Key::YearBranch),
    HarmonyStar("咸池", kXianChi, Key::YearBranch),
    HarmonyStar("劫煞", kJieSha, Key::YearBranch),
    HarmonyStar("亡神", kWangShen, Key::YearBranch),
    HarmonyStar("災煞", kZaiSha, Key::YearBranch),
    BranchStar("金神", Rule::JinShen),
    HarmonyStar("六厄", kLiuE, Key::YearBranch),
    HarmonyStar("飛廉", kXianChi, Key::MonthBranch),
    HarmonyStar("雷公", kLeiGong, Key::MonthBranch),
    BranchStar("孤辰", Rule::GuChen),
    BranchStar("寡宿", Rule::GuaSu),
    BranchStar("紅鑾", Rule::CountBack, 5),
    BranchStar("天喜", Rule::CountBack, 11),
    BranchStar("元辰", Rule::YuanChen),
    GouJiao(),
};

// ------------------------------------------------------------ placing

// What a chart's stars are placed by.
struct Keys {
  Stem dayStem, yearStem;
  Branch dayBranch, yearBranch, monthBranch;
  bool forward = true;  // 陽男陰女
};
Keys KeysOf(const ChartState& c) {
  return {c.DayStem, c.YearStem, c.DayBranch, c.YearBranch, c.MonthBranch, c.Forward()};
}

// The branches an entry yields, 0 where there is none.
std::array<int, 2> Place(const Entry& e, const Keys& k) {
  Stem stem;
  Branch branch;
  switch (e.key) {
    case Key::DayStem: stem = k.dayStem; break;
    case Key::YearStem: stem = k.yearStem; break;
    case Key::DayBranch: branch = k.dayBranch; break;
    case Key::YearBranch: branch = k.yearBranch; break;
    case Key::MonthBranch: branch = k.monthBranch; break;
    case Key::DayPillar: stem = k.dayStem; branch = k.dayBranch; break;
    case Key::YearPillar: stem = k.yearStem; branch = k.yearBranch; break;
  }
  const bool byStem = e.rule == Rule::Table || e.rule == Rule::Noble || e.rule == Rule::Void;
  const bool byBranch = !byStem || e.rule == Rule::Void;
  if ((byStem && !stem.valid()) || (byBranch && !branch.valid())) return {0, 0};

  // 陽男陰女 count forward from the year branch, 陰男陽女 backward.
  const bool forward = k.forward;
  const int b = branch.number();
  switch (e.rule) {
    case Rule::Table: return {StemTableEntry(e.table, stem), 0};
    case Rule::Noble: return {StemTableEntry(kNobleDawn, stem), StemTableEntry(kNobleDusk, stem)};
    case Rule::Harmony: return {e.harmony.of(branch), 0};
    case Rule::JinShen: return {JinShen(branch), 0};
    case Rule::GuChen: return {GuChen(branch), 0};
    case Rule::GuaSu: return {GuaSu(branch), 0};
    case Rule::CountBack: return {CountBack(e.constant, branch), 0};
    case Rule::YuanChen: return {Wrap12(b + (forward ? 7 : 5)), 0};
    case Rule::GouJiao:
      return forward ? std::array{Wrap12(b + 3), Wrap12(b + 9)} : std::array{Wrap12(b + 9), Wrap12(b + 3)};
    case Rule::Void: return VoidBranches(stem, branch);
  }
  return {0, 0};
}

void Append(StarRows& rows, Row row, int branch, const StarName& name) {
  if (branch < 1 || branch > 12) return;
  auto& text = (rows.*row)[branch - 1];
  assert(text.size() + name.size < text.capacity());
  text.append(name.bytes, name.size);
}

void AddEntry(StarRows& rows, const Entry& e, const Keys& k) {
  const auto at = Place(e, k);
  Append(rows, e.row, at[0], e.name);
  Append(rows, e.row, at[1], e.second.empty() ? e.name : e.second);  // a void pair's second branch
}

// ------------------------------------------------------------ made once

// A run: a stretch of a school's list whose entries share their row and key.
// Its stars are placed once for every value of the key, and for both
// directions of counting where one of them counts by the direction.
struct Run {
  Row row;
  StarParts::Parts StarParts::*parts;  // the same row among a chart's parts
  Key key;
  std::size_t directions = 1;          // 2 where a star counts by the direction
  std::vector<StarPieceRow> placed;    // [value × directions + forward], none at value 0
  std::size_t at(int value, bool forward) const {
    return static_cast<std::size_t>(value) * directions + (directions == 2 && forward ? 1 : 0);
  }
};

// The decade (旬) of a pillar by the branch its 甲 stands on, 1 甲子旬, 2 甲寅旬
// … 6 甲戌旬: the void branches follow from it alone. 0 where there is none.
constexpr int DecadeOf(Stem s, Branch b) {
  if (!s.valid() || !b.valid()) return 0;
  int jia = b.number() - s.number() + 1;
  if (jia < 1) jia += 12;
  return jia % 2 == 1 ? (jia + 1) / 2 : 0;
}
// 甲子 and 癸酉 of 甲子旬, 癸亥 of 甲寅旬, 甲戌 of 甲戌旬; 乙子 is no pillar.
static_assert(DecadeOf(Stem{1}, Branch{1}) == 1 && DecadeOf(Stem{10}, Branch{10}) == 1 &&
              DecadeOf(Stem{10}, Branch{12}) == 2 && DecadeOf(Stem{1}, Branch{11}) == 6 &&
              DecadeOf(Stem{2}, Branch{1}) == 0);

int KeyCount(Key key) {
  switch (key) {
    case Key::DayStem: case Key::YearStem: return 10;
    case Key::DayPillar: case Key::YearPillar: return 6;
    default: return 12;
  }
}

// The value of each key, in the order of Key.
std::array<int, kKeyCount> KeyValues(const Keys& k) {
  const auto of = [](auto v) { return v.valid() ? v.number() : 0; };
  return {of(k.dayStem),    of(k.yearStem),    of(k.dayBranch),
          of(k.yearBranch), of(k.monthBranch), DecadeOf(k.dayStem, k.dayBranch),
          DecadeOf(k.yearStem, k.yearBranch)};
}

// Keys that give `key` the value v: a pillar of a decade is its 甲.
Keys KeysWith(Key key, int v, bool forward) {
  switch (key) {
    case Key::DayStem: case Key::YearStem: return {Stem{v}, Stem{v}, {}, {}, {}, forward};
    case Key::DayPillar: case Key::YearPillar:
      return {Stem{1}, Stem{1}, Branch{2 * v - 1}, Branch{2 * v - 1}, {}, forward};
    default: return {{}, {}, Branch{v}, Branch{v}, Branch{v}, forward};
  }
}

void PutPieces(StarPieceRow& pieces, const StarRow& row) {
  for (std::size_t b = 0; b < 12; ++b) {
    assert(row[b].size() <= StarPiece::capacity());
    pieces[b] = StarPiece(row[b].view());
  }
}

StarParts::Parts StarParts::*PartsOf(Row row) {
  if (row == &StarRows::StemStars) return &StarParts::StemStars;
  if (row == &StarRows::BranchStars) return &StarParts::BranchStars;
  assert(row == &StarRows::VoidMarks);
  return &StarParts::VoidMarks;
}

Run MakeRun(std::span<const Entry> entries) {
  const Row row = entries.front().row;
  Run run{row, PartsOf(row), entries.front().key, 1, {}};
  for (const Entry& e : entries)
    if (e.rule == Rule::YuanChen || e.rule == Rule::GouJiao) run.directions = 2;
  const int values = KeyCount(run.key);
  run.placed.resize(static_cast<std::size_t>(values + 1) * run.directions);
  for (int v = 1; v <= values; ++v) {
    for (const bool forward : {false, true}) {
      if (!forward && run.directions == 1) continue;
      StarRows rows;
      const Keys k = KeysWith(run.key, v, forward);
      assert(KeyValues(k)[static_cast<std::size_t>(run.key)] == v);
      for (const Entry& e : entries) AddEntry(rows, e, k);
      PutPieces(run.placed[run.at(v, forward)], rows.*run.row);
    }
  }
  return run;
}

std::vector<Run> MakeRuns(std::span<const Entry> list) {
  std::vector<Run> runs;
  for (std::size_t from = 0, to = 1; from < list.size(); from = to++) {
    while (to < list.size() && list[to].key == list[from].key && list[to].row == list[from].row) ++to;
    runs.push_back(MakeRun(list.subspan(from, to - from)));
  }
  return runs;
}

// The ring of twelve words running forward from the start branch.
void Ring(StarRow& row, int start, const std::array<Word, 12>& words) {
  if (start < 1 || start > 12) return;
  for (std::size_t i = 0, b = static_cast<std::size_t>(start - 1); i < 12; ++i, b = b == 11 ? 0 : b + 1)
    row[b].assign(words[i].bytes, words[i].size);
}

// The rings of every start branch, none at 0.
std::array<StarPieceRow, 13> MakeRings(const std::array<Word, 12>& words) {
  std::array<StarPieceRow, 13> rings{};
  for (int start = 1; start <= 12; ++start) {
    StarRow row;
    Ring(row, start, words);
    PutPieces(rings[static_cast<std::size_t>(start)], row);
  }
  return rings;
}

struct Made {
  std::array<StarPieceRow, 13> growthStages = MakeRings(kGrowthStageNames);
  std::array<StarPieceRow, 13> yearGods = MakeRings(kYearGodNames);
  std::vector<Run> ziPing = MakeRuns(kZiPingList), sanMing = MakeRuns(kSanMingList);
};
const Made& MadeOnce() {
  static const Made made;
  return made;
}

// 長生 of 三命法 follows the element of the year's 納音: 木 亥, 火 寅, 金 巳,
// 土 and 水 申.
int SanMingGrowthStart(const ChartState& c) {
  if (!c.YearPillar().valid()) return 0;
  const auto sound = SoundElementOf((c.YearStem.number() + 1) / 2, (c.YearBranch.number() + 1) / 2);
  if (!sound) return 0;
  constexpr std::array<int, 5> byElement{12, 3, 9, 6, 9};  // 木 火 土 金 水
  const int e = sound->SoundElementIndex;
  return e >= 1 && e <= 5 ? byElement[e - 1] : 0;
}

// The branch of 長生, 0 where the chart lacks its key.
int GrowthStart(const ChartState& c, School school) {
  if (school == School::SanMing) return SanMingGrowthStart(c);
  return c.DayStem.valid() ? StemTableEntry(kGrowthStartZiPing, c.DayStem) : 0;
}

}  // namespace

StarParts StarPartsOf(const ChartState& c, School school) {
  const Made& made = MadeOnce();
  StarParts parts;
  parts.GrowthStart = GrowthStart(c, school);
  parts.GrowthStages = {{&made.growthStages[static_cast<std::size_t>(parts.GrowthStart)]}, 1};
  // 太歲 stands on the year branch, 歲破 opposite it.
  parts.YearBranch = c.YearBranch.valid() ? c.YearBranch.number() : 0;
  parts.YearGods = {{&made.yearGods[static_cast<std::size_t>(parts.YearBranch)]}, 1};
  const Keys k = KeysOf(c);
  const std::array<int, kKeyCount> values = KeyValues(k);
  for (const Run& run : school == School::ZiPing ? made.ziPing : made.sanMing) {
    StarParts::Parts& p = parts.*run.parts;
    assert(p.count < static_cast<int>(p.rows.size()));
    const int v = values[static_cast<std::size_t>(run.key)];
    p.rows[static_cast<std::size_t>(p.count++)] = &run.placed[run.at(v, k.forward)];
  }
  return parts;
}

const std::array<StarPieceRow, 13>& GrowthStageRings() { return MadeOnce().growthStages; }
const std::array<StarPieceRow, 13>& YearGodRings() { return MadeOnce().yearGods; }

StarRows BuildStarRows(const ChartState& c, School school) {
  const StarParts parts = StarPartsOf(c, school);
  StarRows rows;
  const auto join = [](StarRow& row, const StarParts::Parts& p) {
    for (std::size_t b = 0; b < 12; ++b)
      for (int k = 0; k < p.count; ++k) row[b].append((*p.rows[static_cast<std::size_t>(k)])[b].view());
  };
  join(rows.GrowthStages, parts.GrowthStages);
  join(rows.StemStars, parts.StemStars);
  join(rows.BranchStars, parts.BranchStars);
  join(rows.YearGods, parts.YearGods);
  join(rows.VoidMarks, parts.VoidMarks);
  return rows;
}

StarRows StarRowsEntryByEntry(const ChartState& c, School school) {
  StarRows rows;
  Ring(rows.GrowthStages, GrowthStart(c, school), kGrowthStageNames);
  const Keys k = KeysOf(c);
  for (const Entry& e : school == School::ZiPing ? std::span<const Entry>(kZiPingList)
                                                 : std::span<const Entry>(kSanMingList))
    AddEntry(rows, e, k);
  if (c.YearBranch.valid()) Ring(rows.YearGods, c.YearBranch.number(), kYearGodNames);
  return rows;
}

}  // namespace qelm
