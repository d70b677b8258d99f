// The virtue marks (天德, 月德 and their combinations) of the birth month.
#include <array>
#include <string>
#include <string_view>

#include "analysis/stars.hpp"

namespace qelm {

Virtues BuildVirtues(Branch monthBranch) {
  // 天德: 正丁 二申 三壬 四辛 五亥 六甲 七癸 八寅 九丙 十乙 冬巳 臘庚; 天德合 the
  // stem or branch that combines with it.
  constexpr std::array<std::string_view, 12> kHeaven{"巳", "庚", "丁", "申", "壬", "辛",
                                                     "亥", "甲", "癸", "寅", "丙", "乙"};
  constexpr std::array<std::string_view, 12> kHeavenHe{"申", "乙", "壬", "巳", "丁", "丙",
                                                       "寅", "己", "戊", "亥", "辛", "庚"};
  // 月德: 寅午戌 丙, 申子辰 壬, 亥卯未 甲, 巳酉丑 庚; 月德合 its partner stem.
  constexpr std::array<std::string_view, 4> kMonth{"甲", "壬", "庚", "丙"};
  constexpr std::array<std::string_view, 4> kMonthHe{"己", "丁", "乙", "辛"};

  std::string_view heavenly, heavenlyCombination, monthly, monthlyCombination;
  if (monthBranch.valid()) {
    const int m = monthBranch.number();
    heavenly = kHeaven[m - 1];
    heavenlyCombination = kHeavenHe[m - 1];
    monthly = kMonth[m % 4];
    monthlyCombination = kMonthHe[m % 4];
  }
  auto join = [](std::string_view head, std::string_view mark) {
    Virtues::Text text(head);
    text.append(mark);
    return text;
  };
  return {join("天德   ", heavenly), join("天德合 ", heavenlyCombination), join("月德   ", monthly),
          join("月德合 ", monthlyCombination)};
}

}  // namespace qelm
