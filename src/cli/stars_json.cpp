// The star rows of a school in JSON.
#include "cli/stars_json.hpp"

#include <array>
#include <cassert>
#include <string>
#include <string_view>

namespace qelm::cli {

namespace {

// The rings' words with the keys around them, made once for each start
// branch and branch: {"Branch":"子","GrowthStage":"長生","StemStars":" and
// ","YearGod":"太歲","VoidMarks":", each in a block of fixed size.
using Opening = InlineText<63>;
using YearGodPiece = InlineText<47>;
template <typename Text>
using ByRing = std::array<std::array<Text, 12>, 13>;  // [start][branch]

// The texts `compose(branch, word)` gives for each ring's words.
template <typename Text, typename MakeText>
ByRing<Text> Around(const std::array<StarPieceRow, 13>& rings, MakeText compose) {
  ByRing<Text> texts{};
  for (std::size_t start = 0; start < rings.size(); ++start) {
    for (std::size_t b = 0; b < 12; ++b) {
      const std::string text = compose(Branch{static_cast<int>(b) + 1}, rings[start][b].view());
      assert(text.size() <= Text::capacity());
      texts[start][b].assign(text);
    }
  }
  return texts;
}

struct RingTexts {
  ByRing<Opening> openings = Around<Opening>(GrowthStageRings(), [](Branch b, std::string_view word) {
    return Compose(R"({"Branch":")", b.name(), R"(","GrowthStage":")", word, R"(","StemStars":")");
  });
  ByRing<YearGodPiece> yearGods = Around<YearGodPiece>(YearGodRings(), [](Branch, std::string_view word) {
    return Compose(R"(","YearGod":")", word, R"(","VoidMarks":")");
  });
};
const RingTexts& RingTextsOnce() {
  static const RingTexts texts;
  return texts;
}

}  // namespace

// A star row's texts are fixed star names, each followed by a blank, and the
// rings' words, which JSON takes as they are. A school's twelve branches are
// written as one array in one piece, each part moved whole.
void WriteStars(JsonWriter& w, const StarParts& parts) {
  const RingTexts& rings = RingTextsOnce();
  const auto& openings = rings.openings[static_cast<std::size_t>(parts.GrowthStart)];
  const auto& yearGods = rings.yearGods[static_cast<std::size_t>(parts.YearBranch)];
  const auto put = [](char* p, const StarParts::Parts& row, std::size_t b) {
    for (int k = 0; k < row.count; ++k) p = PutWhole(p, (*row.rows[static_cast<std::size_t>(k)])[b]);
    return p;
  };
  const std::size_t pieces = static_cast<std::size_t>(parts.StemStars.count + parts.BranchStars.count +
                                                      parts.VoidMarks.count);
  constexpr std::size_t kKeysRoom = 1 + Opening::capacity() + 17 + YearGodPiece::capacity() + 2;
  w.PutValue(2 + 12 * (kKeysRoom + pieces * StarPiece::capacity()), [&](char* p) {
    *p++ = '[';
    for (std::size_t b = 0; b < 12; ++b) {
      if (b > 0) *p++ = ',';
      p = put(PutWhole(p, openings[b]), parts.StemStars, b);
      p = put(PutText(p, R"(","BranchStars":")"), parts.BranchStars, b);
      p = put(PutWhole(p, yearGods[b]), parts.VoidMarks, b);
      p = PutText(p, R"("})");
    }
    *p++ = ']';
    return p;
  });
}

}  // namespace qelm::cli
