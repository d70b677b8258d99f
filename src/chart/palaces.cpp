// The auxiliary pillars 命宮, 身宮, 胎元, 息元 and the stem in command of the month.
#include <array>
#include <limits>

#include "chart/chart.hpp"

namespace qelm {

PalaceSet Palaces(Stem yearStem, Pillar monthPillar, Pillar dayPillar, Branch hourBranch, int PastMidTerm) {
  const int monthBranch = monthPillar.branch.number();
  // The stem of the 寅 month of the year (甲己之年丙作首 …) heads the palaces too.
  const int yinMonthStem = FirstMonthStem(yearStem.number());
  const auto stemFor = [yinMonthStem](int branch) {
    int sinceYin = branch - 3;
    if (sinceYin < 0) sinceYin += 12;
    int stem = yinMonthStem + sinceYin;
    if (stem > 10) stem -= 10;
    return Stem{stem};
  };

  int monthByJie = monthBranch - 3;  // months counted from 寅 by jie: 0 寅 … 11 丑
  if (monthByJie < 0) monthByJie += 12;
  // The same, a birth past the principal term counting as the next month.
  int monthByQi = monthBranch + PastMidTerm - 3;
  if (monthByQi > 12) monthByQi -= 12;
  if (monthByQi < 0) monthByQi += 12;
  int hourIndex = hourBranch.number() - 1;  // 0 for 子
  if (hourIndex < 0) hourIndex += 12;

  // 命宮: count the month back from 卯, then the hour back from there.
  int monthStation = 4 - monthByQi;
  if (monthStation < 1) monthStation += 12;
  int life = monthStation - hourIndex;
  if (life < 1) life += 12;
  if (life > 12) life %= 12;

  // 身宮: count the month forward from 卯, then the hour forward.
  int body = monthByJie + 4 + hourIndex;
  if (body > 12) body %= 12;
  if (body == 0) body = 12;

  PalaceSet p;
  p.LifePalace = {stemFor(life), Branch{life}};
  p.BodyPalace = {stemFor(body), Branch{body}};
  // 胎元: 月干進一, 月支進三.
  p.ConceptionPillar = {monthPillar.stem.next(1), monthPillar.branch.next(3)};
  // 息元: the stem and the branch that combine with those of the day
  // (甲己 乙庚 丙辛 丁壬 戊癸; 子丑 寅亥 卯戌 辰酉 巳申 午未).
  int breathStem = dayPillar.stem.number() + 5;
  if (breathStem > 10) breathStem -= 10;
  int breathBranch = 3 - dayPillar.branch.number();
  if (breathBranch <= 0) breathBranch += 12;
  p.BreathPillar = {Stem{breathStem}, Branch{breathBranch}};
  return p;
}

namespace {

struct CommandSpan {
  int lastDay;  // the span holds while the days since the jie are at most this
  int stem;
};
constexpr int kRest = std::numeric_limits<int>::max();  // to the end of the month

// 人元司令: the hidden stems take command of the month in turn, counted in
// whole days from the month's jie (寅月 戊七日 丙七日 甲十六日 …).
constexpr std::array<std::array<CommandSpan, 3>, 12> kCommand{{
    {{{10, 9}, {kRest, 10}, {kRest, 10}}},  // 子 壬 癸
    {{{9, 10}, {12, 8}, {kRest, 6}}},       // 丑 癸 辛 己
    {{{7, 5}, {14, 3}, {kRest, 1}}},        // 寅 戊 丙 甲
    {{{10, 1}, {kRest, 2}, {kRest, 2}}},    // 卯 甲 乙
    {{{9, 2}, {12, 10}, {kRest, 5}}},       // 辰 乙 癸 戊
    {{{7, 5}, {14, 7}, {kRest, 3}}},        // 巳 戊 庚 丙
    {{{10, 3}, {19, 6}, {kRest, 4}}},       // 午 丙 己 丁
    {{{9, 4}, {12, 2}, {kRest, 6}}},        // 未 丁 乙 己
    {{{7, 5}, {14, 9}, {kRest, 7}}},        // 申 戊 壬 庚
    {{{10, 7}, {kRest, 8}, {kRest, 8}}},    // 酉 庚 辛
    {{{9, 8}, {12, 4}, {kRest, 5}}},        // 戌 辛 丁 戊
    {{{7, 5}, {14, 1}, {kRest, 9}}},        // 亥 戊 甲 壬
}};

}  // namespace

std::optional<Stem> CommandingStem(Branch monthBranch, int jieDays) {
  if (!monthBranch.valid()) return std::nullopt;
  for (const CommandSpan& span : kCommand[monthBranch.number() - 1]) {
    if (jieDays <= span.lastDay) return Stem{span.stem};
  }
  return Stem{kCommand[monthBranch.number() - 1].back().stem};
}

}  // namespace qelm
