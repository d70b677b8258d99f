// Well-formed UTF-8, as Unicode defines it (the table of well-formed byte
// sequences in chapter 3 of the standard): no overlong forms, no surrogates
// (U+D800..U+DFFF), nothing past U+10FFFF, no sequence cut short. The one
// check the whole program uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qelm::records {

struct Utf8Sequence {
  std::size_t length = 0;  // bytes taken
  bool valid = false;      // a whole character; else bytes a reader replaces by one U+FFFD
};

// The sequence at the start of a text that is not empty: one well-formed
// character of one to four bytes, or else the longest start of one that
// cannot be completed (at least one byte): the "maximal subpart" a reader
// replaces by a single U+FFFD before it goes on with the next byte.
constexpr Utf8Sequence NextUtf8Sequence(std::string_view s) {
  const auto at = [&s](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  const std::uint8_t lead = at(0);
  if (lead < 0x80) return {1, true};
  std::size_t length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong below U+0800
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong below U+10000
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return {1, false};  // a continuation byte, C0, C1 or F5..FF
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (i == s.size()) return {i, false};
    const std::uint8_t b = at(i);
    if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF)) return {i, false};
  }
  return {length, true};
}

// The offset of the first byte that is not part of a well-formed character,
// or npos when the whole text is well-formed.
constexpr std::size_t FirstInvalidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    if (static_cast<std::uint8_t>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    const Utf8Sequence q = NextUtf8Sequence(s.substr(i));
    if (!q.valid) return i;
    i += q.length;
  }
  return std::string_view::npos;
}

constexpr bool IsValidUtf8(std::string_view s) { return FirstInvalidUtf8(s) == std::string_view::npos; }

}  // namespace qelm::records
