// The star rows of a school in JSON.
#include "cli/stars_json.hpp"

#include <array>
#include <cstring>
#include <string_view>

namespace qelm::cli {

namespace {

// {"Branch":"子","GrowthStage":" for each branch, in blocks of fixed size.
constexpr std::size_t kStarOpeningSize = 31;
constexpr auto kStarOpenings = [] {
  std::array<std::array<char, 32>, 12> openings{};
  for (int i = 0; i < 12; ++i) {
    std::size_t n = 0;
    const std::array<std::string_view, 3> parts{R"({"Branch":")", Branch{i + 1}.name(), R"(","GrowthStage":")"};
    for (const std::string_view part : parts)
      for (const char ch : part) openings[static_cast<std::size_t>(i)][n++] = ch;
  }
  return openings;
}();

}  // namespace

// A star row's texts are fixed star names, each followed by a blank, and the
// rings' words, which JSON takes as they are. A school's twelve branches are
// written as one array in one piece, each part of a row moved whole from the
// rows made once.
void WriteStars(JsonWriter& w, const StarParts& parts) {
  const auto put = [](char* p, const StarParts::Parts& row, std::size_t b) {
    for (int k = 0; k < row.count; ++k) {
      const StarPiece& piece = (*row.rows[static_cast<std::size_t>(k)])[b];
      std::memcpy(p, piece.block().data(), StarPiece::capacity());
      p += piece.size();
    }
    return p;
  };
  const int pieces = parts.GrowthStages.count + parts.StemStars.count + parts.BranchStars.count +
                     parts.YearGods.count + parts.VoidMarks.count;
  constexpr std::size_t kKeysSize = 62;  // from "," StemStars to the closing brace
  w.PutValue(2 + 12 * (1 + kStarOpeningSize + kKeysSize + static_cast<std::size_t>(pieces) * StarPiece::capacity()),
             [&](char* p) {
               *p++ = '[';
               for (std::size_t b = 0; b < 12; ++b) {
                 if (b > 0) *p++ = ',';
                 std::memcpy(p, kStarOpenings[b].data(), kStarOpenings[b].size());
                 p = put(p + kStarOpeningSize, parts.GrowthStages, b);
                 p = put(PutText(p, R"(","StemStars":")"), parts.StemStars, b);
                 p = put(PutText(p, R"(","BranchStars":")"), parts.BranchStars, b);
                 p = put(PutText(p, R"(","YearGod":")"), parts.YearGods, b);
                 p = put(PutText(p, R"(","VoidMarks":")"), parts.VoidMarks, b);
                 p = PutText(p, R"("})");
               }
               *p++ = ']';
               return p;
             });
}

}  // namespace qelm::cli
