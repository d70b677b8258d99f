// The tables the symbolic stars are placed by: the branch each star stands
// on for each stem or branch, and the words of the rings. Used by stars.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "calendar/sexagenary.hpp"

namespace qelm::star_tables {

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

}  // namespace qelm::star_tables
