#include "analysis/stars.hpp"

#include <cassert>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace qelm {

namespace {

using Row = StarRow StarRows::*;

// ------------------------------------------------------------ fixed words

// A word of a row (a star's name with the blank that follows it, or a ring's
// word) held in a block of fixed size: a row takes it with one fixed-size move.
struct Word {
  std::array<char, 16> bytes{};
  std::size_t size = 0;
  constexpr Word() = default;
  constexpr Word(std::string_view text, std::string_view after = {}) : size(text.size() + after.size()) {
    std::size_t i = 0;
    for (const char c : text) bytes[i++] = c;
    for (const char c : after) bytes[i++] = c;
  }
  constexpr Word(const char* text) : Word(std::string_view(text)) {}
  bool empty() const { return size == 0; }
};

// A star's name and the blank that follows it.
struct StarName : Word {
  constexpr StarName() = default;
  constexpr StarName(std::string_view name) : Word(name, " ") {}
  constexpr StarName(const char* name) : StarName(std::string_view(name)) {}
};

constexpr std::array<Word, 12> kGrowthStageNames{
    "長生", "沐浴", "冠帶", "臨官", "帝旺", "衰", "病", "死", "墓", "絕", "胎", "養"};
constexpr std::array<Word, 12> kYearGodNames{
    "太歲", "太陽", "喪門", "太陰", "官符", "死符", "歲破", "龍德", "白虎", "天德", "弔客", "病符"};

// ------------------------------------------------------------ stem tables

// Two digits per stem, 甲 first: the branch on which the star stands.
constexpr std::string_view kGrowthStartZiPing = "12120303030306060909";  // 長生: 甲乙亥 丙丁戊己寅 庚辛巳 壬癸申
constexpr std::string_view kLu = "03040607060709101201";          // 祿: 甲祿在寅, 乙祿在卯 …
constexpr std::string_view kNobleDawn = "02011212020102070606";   // 旦貴
constexpr std::string_view kNobleDusk = "08091010080908030404";   // 暮貴
constexpr std::string_view kWenChang = "06070910091012010304";    // 文昌
constexpr std::string_view kXueTang = "12070310031006010904";     // 學堂
constexpr std::string_view kTianChu = "06070607091012010304";     // 天廚
constexpr std::string_view kTianGuan = "08050610110402090307";    // 天官
constexpr std::string_view kHongYan = "07090308050511100109";     // 紅豔
constexpr std::string_view kLiuXia = "10110809060705040312";      // 流霞

// The stars that stand a fixed count of branches past the 祿, counted
// forward round the twelve: "祿前一位為羊刃", 金輿 two past it, 唐符 seven
// and 國印 eight.
template <int Shift>
constexpr std::array<char, 20> kPastLu = [] {
  std::array<char, 20> table{};
  for (std::size_t k = 0; k < table.size(); k += 2) {
    const int lu = (kLu[k] - '0') * 10 + (kLu[k + 1] - '0');
    const int branch = (lu - 1 + Shift) % 12 + 1;
    table[k] = static_cast<char>('0' + branch / 10);
    table[k + 1] = static_cast<char>('0' + branch % 10);
  }
  return table;
}();
constexpr std::string_view kYangRen{kPastLu<1>.data(), kPastLu<1>.size()};  // 羊刃
constexpr std::string_view kJinYu{kPastLu<2>.data(), kPastLu<2>.size()};    // 金輿
constexpr std::string_view kTangFu{kPastLu<7>.data(), kPastLu<7>.size()};   // 唐符
constexpr std::string_view kGuoYin{kPastLu<8>.data(), kPastLu<8>.size()};   // 國印

// The entry of stem k sits at characters 2k − 1 and 2k.
constexpr int StemTableEntry(std::string_view table, Stem s) {
  const int k = s.number();
  return (table[2 * k - 2] - '0') * 10 + (table[2 * k - 1] - '0');
}
static_assert(StemTableEntry(kLu, Stem{1}) == 3 && StemTableEntry(kLu, Stem{10}) == 1);
static_assert(StemTableEntry(kGrowthStartZiPing, Stem{9}) == 9);
// 甲: 祿 寅, 羊刃 卯, 金輿 辰, 唐符 酉, 國印 戌; 癸: 祿 子, 國印 申.
static_assert(StemTableEntry(kYangRen, Stem{1}) == 4 && StemTableEntry(kJinYu, Stem{1}) == 5 &&
              StemTableEntry(kTangFu, Stem{1}) == 10 && StemTableEntry(kGuoYin, Stem{1}) == 11 &&
              StemTableEntry(kGuoYin, Stem{10}) == 9);

// ------------------------------------------------------------ branch rules

// Three-harmony groups: 申子辰, 巳酉丑, 寅午戌, 亥卯未.
struct Harmony {
  int shenZiChen, siYouChou, yinWuXu, haiMaoWei;
  constexpr int of(Branch key) const {
    switch (key.number() % 4) {
      case 1: return shenZiChen;
      case 2: return siYouChou;
      case 3: return yinWuXu;
      default: return haiMaoWei;
    }
  }
};
constexpr Harmony kYiMa{3, 12, 9, 6};       // 驛馬: 申子辰馬在寅 …
constexpr Harmony kHuaGai{5, 2, 11, 8};     // 華蓋: the tomb of the group
constexpr Harmony kXianChi{10, 7, 4, 1};    // 咸池 (and 飛廉)
constexpr Harmony kJieSha{6, 3, 12, 9};     // 劫煞
constexpr Harmony kWangShen{12, 9, 6, 3};   // 亡神
constexpr Harmony kJiangXing{1, 10, 7, 4};  // 將星: the middle of the group
constexpr Harmony kZaiSha{7, 4, 1, 10};     // 災煞
constexpr Harmony kLiuE{4, 1, 10, 7};       // 六厄
constexpr Harmony kLeiGong{9, 6, 3, 12};    // 雷公

constexpr int Wrap12(int x) { return x > 12 ? x - 12 : x; }

// 金神: 寅巳申亥 酉, 子卯午酉 巳, 丑辰未戌 丑.
constexpr int JinShen(Branch key) {
  constexpr std::array<int, 3> byRest{10, 6, 2};
  return byRest[key.number() % 3];
}

// 孤辰 寡宿 by season: 亥子丑 寅戌, 寅卯辰 巳丑, 巳午未 申辰, 申酉戌 亥未.
constexpr int SeasonOf(Branch key) { return (key.number() == 12 ? 0 : key.number()) / 3; }
constexpr int GuChen(Branch key) { return std::array{3, 6, 9, 12}[SeasonOf(key)]; }
constexpr int GuaSu(Branch key) { return std::array{11, 2, 5, 8}[SeasonOf(key)]; }

// 紅鑾 卯, 天喜 酉 and 血刃 戌 for 子, counting back one branch per year.
constexpr int CountBack(int c, Branch key) {
  const int r = c - key.number();
  return r < 1 ? r + 12 : r;
}

// 空亡: the two branches the decade of the pillar leaves without a stem.
// v = 1 甲子旬 戌亥, 11 甲戌旬 申酉, 9 甲申旬 午未, 7 甲午旬 辰巳,
// 5 甲辰旬 寅卯, 3 甲寅旬 子丑.
constexpr std::array<int, 2> VoidBranches(Stem s, Branch b) {
  int v = b.number() - s.number() + 1;
  if (v < 1) v += 12;
  if (v % 2 == 0) return {0, 0};
  const int first = Wrap(v - 2, 12);
  return {first, first + 1};
}
static_assert(VoidBranches(Stem{1}, Branch{1}) == std::array{11, 12});
static_assert(VoidBranches(Stem{1}, Branch{11}) == std::array{9, 10});
static_assert(VoidBranches(Stem{1}, Branch{3}) == std::array{1, 2});

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

// ------------------------------------------------------------ placed once

// A run: a stretch of a school's list whose entries share their row and a key
// of one stem or one branch. Its stars are placed once for every value of the
// key and both directions of counting; a chart copies the texts of the
// branches given stars.
struct Placed {
  int count = 0;                          // of the branches given stars
  std::array<std::uint8_t, 12> branch{};  // each one's index
  std::array<StarText, 12> text;          // and its stars
};
struct Run {
  std::span<const Entry> entries;
  std::vector<std::array<Placed, 2>> placed;  // [key − 1][forward]; none for a pillar key
};

int KeyValue(Key key, const Keys& k) {
  switch (key) {
    case Key::DayStem: return k.dayStem.valid() ? k.dayStem.number() : 0;
    case Key::YearStem: return k.yearStem.valid() ? k.yearStem.number() : 0;
    case Key::DayBranch: return k.dayBranch.valid() ? k.dayBranch.number() : 0;
    case Key::YearBranch: return k.yearBranch.valid() ? k.yearBranch.number() : 0;
    case Key::MonthBranch: return k.monthBranch.valid() ? k.monthBranch.number() : 0;
    default: return 0;
  }
}

Run MakeRun(std::span<const Entry> entries) {
  Run run{entries, {}};
  const Key key = entries.front().key;
  if (key == Key::DayPillar || key == Key::YearPillar) return run;
  const bool byStem = key == Key::DayStem || key == Key::YearStem;
  run.placed.resize(byStem ? 10 : 12);
  for (int v = 1; v <= static_cast<int>(run.placed.size()); ++v) {
    for (const bool forward : {false, true}) {
      const Keys k = byStem ? Keys{Stem{v}, Stem{v}, {}, {}, {}, forward}
                            : Keys{{}, {}, Branch{v}, Branch{v}, Branch{v}, forward};
      StarRows rows;
      for (const Entry& e : entries) AddEntry(rows, e, k);
      Placed& placed = run.placed[v - 1][forward];
      const StarRow& row = rows.*entries.front().row;
      for (std::uint8_t b = 0; b < 12; ++b) {
        if (row[b].empty()) continue;
        placed.branch[placed.count] = b;
        placed.text[placed.count++] = row[b];
      }
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

const std::vector<Run>& RunsOf(School school) {
  static const std::vector<Run> ziPing = MakeRuns(kZiPingList), sanMing = MakeRuns(kSanMingList);
  return school == School::ZiPing ? ziPing : sanMing;
}

// The ring of twelve words running forward from the start branch.
void Ring(StarRow& row, int start, const std::array<Word, 12>& words) {
  if (start < 1 || start > 12) return;
  for (std::size_t i = 0, b = static_cast<std::size_t>(start - 1); i < 12; ++i, b = b == 11 ? 0 : b + 1)
    row[b].assign(words[i].bytes, words[i].size);
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

// The rings of growth stages and year gods; `place` adds the stars.
template <typename Place>
StarRows Rows(const ChartState& c, School school, Place place) {
  StarRows rows;
  const bool ziPing = school == School::ZiPing;
  const int start = ziPing ? (c.DayStem.valid() ? StemTableEntry(kGrowthStartZiPing, c.DayStem) : 0)
                           : SanMingGrowthStart(c);
  Ring(rows.GrowthStages, start, kGrowthStageNames);
  place(rows);
  // 太歲 stands on the year branch, 歲破 opposite it.
  if (c.YearBranch.valid()) Ring(rows.YearGods, c.YearBranch.number(), kYearGodNames);
  return rows;
}

}  // namespace

StarRows BuildStarRows(const ChartState& c, School school) {
  return Rows(c, school, [&c, school](StarRows& rows) {
    const Keys k = KeysOf(c);
    for (const Run& run : RunsOf(school)) {
      const Entry& first = run.entries.front();
      if (run.placed.empty()) {
        for (const Entry& e : run.entries) AddEntry(rows, e, k);
        continue;
      }
      const int v = KeyValue(first.key, k);
      if (v == 0) continue;
      const Placed& placed = run.placed[static_cast<std::size_t>(v - 1)][k.forward];
      StarRow& row = rows.*first.row;
      for (int i = 0; i < placed.count; ++i) row[placed.branch[i]].append(placed.text[i].view());
    }
  });
}

StarRows StarRowsEntryByEntry(const ChartState& c, School school) {
  return Rows(c, school, [&c, school](StarRows& rows) {
    const Keys k = KeysOf(c);
    for (const Entry& e : school == School::ZiPing ? std::span<const Entry>(kZiPingList)
                                                   : std::span<const Entry>(kSanMingList))
      AddEntry(rows, e, k);
  });
}

}  // namespace qelm
