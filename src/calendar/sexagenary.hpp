// Stems, branches, elements, pillars and the ten gods: the signs of the
// sixty-cycle the calendar engine counts in and every chart is made of.
//
// Everything is numbered from 1: stems 1 甲 … 10 癸, branches 1 子 … 12 亥,
// elements 1 木 … 5 水 in generating order (each generates the next, 水
// generates 木). Polarity is parity: odd is yang.
//
// A value is built from its number only when the number is one of its own or
// 0, which stands for none (a default-made value, an absent hidden stem):
// Stem{13} does not compile where the number is constant and throws where it
// is not. `Of` is the checked way for numbers from outside.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qelm {

// Wraps n into 1..cycle.
constexpr int Wrap(int n, int cycle) { return ((n - 1) % cycle + cycle) % cycle + 1; }

namespace detail {
// n when it lies in 0..last. Reached with another number during constant
// evaluation, the throw stops the compilation.
constexpr int SignNumber(int n, int last) {
  if (n < 0 || n > last) throw std::out_of_range("not the number of a stem, branch, element or ten god");
  return n;
}
}  // namespace detail

// ---------------------------------------------------------------- elements

class Element {
 public:
  constexpr Element() = default;
  constexpr explicit Element(int n) : n_(detail::SignNumber(n, 5)) {}
  static constexpr std::optional<Element> Of(int n) {
    return n >= 1 && n <= 5 ? std::optional{Element{n}} : std::nullopt;
  }
  constexpr int number() const { return n_; }
  constexpr bool valid() const { return n_ >= 1 && n_ <= 5; }
  constexpr std::string_view name() const { return valid() ? kNames[n_ - 1] : std::string_view{}; }
  // 24-bit colour, red in the low byte.
  constexpr std::uint32_t colour() const { return valid() ? kColours[n_ - 1] : 0; }
  // The element k steps on in the generating order (1: the one it generates).
  constexpr Element after(int k) const { return Element{Wrap(n_ + k, 5)}; }
  friend constexpr bool operator==(Element, Element) = default;

 private:
  static constexpr std::array<std::string_view, 5> kNames{"木", "火", "土", "金", "水"};
  // 木 0,192,0; 火 255,0,0; 土 128,64,0; 金 255,128,0; 水 0,0,255.
  static constexpr std::array<std::uint32_t, 5> kColours{49152, 255, 16512, 33023, 16711680};
  int n_ = 0;
};

// ---------------------------------------------------------------- ten gods

// 1 比肩 … 10 正印, in the order of their relation to the day master.
class TenGod {
 public:
  constexpr TenGod() = default;
  constexpr explicit TenGod(int n) : n_(detail::SignNumber(n, 10)) {}
  constexpr int number() const { return n_; }
  constexpr bool valid() const { return n_ >= 1 && n_ <= 10; }
  constexpr std::string_view name() const { return valid() ? kNames[n_ - 1] : std::string_view{}; }
  // The one-character form every window shows; 偏財 is "才", 正財 "財".
  constexpr std::string_view shortName() const { return valid() ? kShort[n_ - 1] : std::string_view{}; }
  friend constexpr bool operator==(TenGod, TenGod) = default;

 private:
  static constexpr std::array<std::string_view, 10> kNames{
      "比肩", "劫財", "食神", "傷官", "偏財", "正財", "七殺", "正官", "偏印", "正印"};
  static constexpr std::array<std::string_view, 10> kShort{
      "比", "劫", "食", "傷", "才", "財", "殺", "官", "梟", "印"};
  int n_ = 0;
};

// ---------------------------------------------------------------- stems

class Stem {
 public:
  constexpr Stem() = default;  // no stem (an absent hidden stem)
  constexpr explicit Stem(int n) : n_(detail::SignNumber(n, 10)) {}
  static constexpr std::optional<Stem> Of(int n) { return n >= 1 && n <= 10 ? std::optional{Stem{n}} : std::nullopt; }
  constexpr int number() const { return n_; }
  constexpr bool valid() const { return n_ >= 1 && n_ <= 10; }
  constexpr explicit operator bool() const { return valid(); }
  constexpr bool yang() const { return n_ % 2 == 1; }
  constexpr std::string_view name() const { return valid() ? kNames[n_ - 1] : std::string_view{}; }
  // 甲乙 木, 丙丁 火, 戊己 土, 庚辛 金, 壬癸 水: (stem + 1) div 2.
  constexpr Element element() const { return Element{(n_ + 1) / 2}; }
  // "甲木" … "癸水".
  std::string nameWithElement() const {
    std::string text(name());
    text += element().name();
    return text;
  }
  constexpr Stem next(int k = 1) const { return Stem{Wrap(n_ + k, 10)}; }

  // The relation of this stem to the day master. Stems run in generating
  // order, yang before yin, so the distance fixes the element relation and
  // its parity against the day master's polarity fixes same or other polarity:
  //   d      0  1  2  3  4  5  6  7  8  9
  //   yang   比 劫 食 傷 才 財 殺 官 梟 印
  //   yin    比 傷 食 財 才 官 殺 印 梟 劫
  constexpr TenGod tenGodTo(Stem dayMaster) const {
    constexpr std::array<int, 10> yangRow{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    constexpr std::array<int, 10> yinRow{1, 4, 3, 6, 5, 8, 7, 10, 9, 2};
    if (!valid() || !dayMaster.valid()) return TenGod{};
    const int d = (n_ - dayMaster.n_ + 10) % 10;
    return TenGod{dayMaster.yang() ? yangRow[d] : yinRow[d]};
  }
  friend constexpr bool operator==(Stem, Stem) = default;

 private:
  static constexpr std::array<std::string_view, 10> kNames{"甲", "乙", "丙", "丁", "戊",
                                                           "己", "庚", "辛", "壬", "癸"};
  int n_ = 0;
};

// ---------------------------------------------------------------- branches

class Branch {
 public:
  constexpr Branch() = default;
  constexpr explicit Branch(int n) : n_(detail::SignNumber(n, 12)) {}
  static constexpr std::optional<Branch> Of(int n) {
    return n >= 1 && n <= 12 ? std::optional{Branch{n}} : std::nullopt;
  }
  constexpr int number() const { return n_; }
  constexpr bool valid() const { return n_ >= 1 && n_ <= 12; }
  constexpr bool yang() const { return n_ % 2 == 1; }
  constexpr std::string_view name() const { return valid() ? kNames[n_ - 1] : std::string_view{}; }
  constexpr Branch next(int k = 1) const { return Branch{Wrap(n_ + k, 12)}; }

  // The stems stored in the branch, main first; a branch holds one, two or
  // three (none when it is no branch).
  //   子 癸        丑 己癸辛    寅 甲丙戊    卯 乙
  //   辰 戊乙癸    巳 丙戊庚    午 丁己      未 己丁乙
  //   申 庚壬戊    酉 辛        戌 戊辛丁    亥 壬甲
  constexpr std::array<std::optional<Stem>, 3> hiddenStems() const {
    constexpr std::array<std::array<int, 3>, 12> table{{{10, 0, 0}, {6, 10, 8}, {1, 3, 5}, {2, 0, 0},
                                                        {5, 2, 10}, {3, 5, 7}, {4, 6, 0}, {6, 4, 2},
                                                        {7, 9, 5}, {8, 0, 0}, {5, 8, 4}, {9, 1, 0}}};
    if (!valid()) return {};
    const auto& row = table[n_ - 1];
    return {Stem::Of(row[0]), Stem::Of(row[1]), Stem::Of(row[2])};
  }
  // A branch takes the element (and colour) of its main hidden stem.
  constexpr Element element() const {
    const std::optional<Stem> main = hiddenStems()[0];
    return main ? main->element() : Element{};
  }
  friend constexpr bool operator==(Branch, Branch) = default;

 private:
  static constexpr std::array<std::string_view, 12> kNames{"子", "丑", "寅", "卯", "辰", "巳",
                                                           "午", "未", "申", "酉", "戌", "亥"};
  int n_ = 0;
};

// ---------------------------------------------------------------- pillars

struct Pillar {
  Stem stem;
  Branch branch;
  constexpr bool valid() const { return stem.valid() && branch.valid(); }
  // "甲子".
  std::string name() const { return std::string(stem.name()) + std::string(branch.name()); }
  constexpr Pillar next(int k = 1) const { return {stem.next(k), branch.next(k)}; }
  friend constexpr bool operator==(Pillar, Pillar) = default;
};

}  // namespace qelm
