// Pieces the subcommands of qelm-report share: the JSON writer, reading a
// moment the user typed, the engine's result in JSON and line ends.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"
#include "cli/json_writer.hpp"

namespace qelm::cli {

// The pillars as the JSON output has always numbered them: the stems of the
// year, month, day, hour and New-Year pillars, then their branches.
std::array<int, 10> PillarNumbers(const MomentPillarSet& p);

// The version of the JSON format, written first as "format". It grows by one
// when a key changes its meaning or goes away; keys may be added without it.
// data/qelm-report.schema.json describes the format.
inline constexpr int kJsonFormat = 2;

// Every field of the engine's result under its own name, then "pillars" with
// the pillars by name, inside an object the caller opened.
void WriteMomentFields(JsonWriter& w, const MomentResult& r);
// {"year": "庚午", "month": …, "day": …, "hour": …, "newYear": …}
void WritePillarNames(JsonWriter& w, const MomentPillarSet& p);

// A pillar's name, its two characters, held in place with no heap block;
// being the program's own words, it is its own JSON form.
class PillarNameText {
 public:
  // Taken from the names made once for every stem and branch, either of
  // them missing (0) or not.
  explicit PillarNameText(Pillar p) : PillarNameText(All()[Index(p.stem.number(), p.branch.number())]) {}
  std::string_view view() const { return {bytes_.data(), size_}; }
  JsonReadyText json() const { return {view()}; }

 private:
  static constexpr std::size_t kCharBytes = 3;
  static constexpr std::size_t Index(int stem, int branch) { return static_cast<std::size_t>(stem * 13 + branch); }
  // The name composed: each name is one character of three bytes, or none.
  struct Composed {};
  constexpr PillarNameText(Pillar p, Composed) {
    size_ = p.stem.name().copy(bytes_.data(), kCharBytes);
    size_ += p.branch.name().copy(bytes_.data() + size_, kCharBytes);
  }
  static const std::array<PillarNameText, 11 * 13>& All() {
    static constexpr std::array<PillarNameText, 11 * 13> kAll = [] {
      std::array<PillarNameText, 11 * 13> all{};
      for (int s = 0; s <= 10; ++s)
        for (int b = 0; b <= 12; ++b) all[Index(s, b)] = PillarNameText(Pillar{Stem{s}, Branch{b}}, Composed{});
      return all;
    }();
    return kAll;
  }
  constexpr PillarNameText() = default;

  std::array<char, 2 * kCharBytes> bytes_{};
  std::size_t size_ = 0;
};

// The text with CR LF line ends turned into LF.
std::string LfLineEnds(std::string_view text);

}  // namespace qelm::cli
