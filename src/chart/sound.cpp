// The thirty sound elements (納音) of the sixty pillars.
#include <array>

#include "chart/chart.hpp"

namespace qelm {
namespace {

struct SoundCell {
  std::string_view name, c1, c2, c3;
  int element;
};

// 甲子乙丑海中金, 丙寅丁卯爐中火 …: each pair of consecutive pillars shares one
// name. Rows by stem pair (甲乙 … 壬癸), columns by branch pair (子丑 … 戌亥).
constexpr std::array<std::array<SoundCell, 6>, 5> kSoundTable{{
    {{{"海中金", "海", "中", "金", 4}, {"大溪水", "大", "溪", "水", 5}, {"覆燈火", "覆", "燈", "火", 2},
      {"砂中金", "砂", "中", "金", 4}, {"泉中水", "泉", "中", "水", 5}, {"山頭火", "山", "頭", "火", 2}}},
    {{{"澗下水", "澗", "下", "水", 5}, {"爐中火", "爐", "中", "火", 2}, {"沙中土", "沙", "中", "土", 3},
      {"天河水", "天", "河", "水", 5}, {"山下火", "山", "下", "火", 2}, {"屋上土", "屋", "上", "土", 3}}},
    {{{"霹靂火", "霹", "靂", "火", 2}, {"城頭土", "城", "頭", "土", 3}, {"大林木", "大", "林", "木", 1},
      {"天上火", "天", "上", "火", 2}, {"大驛土", "大", "驛", "土", 3}, {"平地木", "平", "地", "木", 1}}},
    {{{"壁上土", "壁", "上", "土", 3}, {"松柏木", "松", "柏", "木", 1}, {"白臘金", "白", "臘", "金", 4},
      {"路旁土", "路", "旁", "土", 3}, {"石榴木", "石", "榴", "木", 1}, {"釵釧金", "釵", "釧", "金", 4}}},
    {{{"桑拓木", "桑", "拓", "木", 1}, {"金箔金", "金", "箔", "金", 4}, {"長流水", "長", "流", "水", 5},
      {"楊柳木", "楊", "柳", "木", 1}, {"劍鋒金", "劍", "鋒", "金", 4}, {"大海水", "大", "海", "水", 5}}},
}};

}  // namespace

std::optional<SoundElement> SoundElementOf(int P, int Q) {
  if (P < 1 || P > 5 || Q < 1 || Q > 6) return std::nullopt;
  const SoundCell& c = kSoundTable[P - 1][Q - 1];
  return SoundElement{c.name, c.c1, c.c2, c.c3, c.element};
}

SoundElement SoundElementOf(Pillar p) {
  return SoundElementOf((p.stem.number() + 1) / 2, (p.branch.number() + 1) / 2).value_or(SoundElement{});
}

}  // namespace qelm
