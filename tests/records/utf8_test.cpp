#include "records/utf8.hpp"

#include <gtest/gtest.h>

#include <string>

namespace qelm::records {
namespace {

// UTF-8 as the standard writes the code point c out (surrogates included,
// which are then not well-formed).
std::string Encode(char32_t c) {
  std::string s;
  const auto put = [&s](unsigned b) { s += static_cast<char>(b); };
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | (c >> 6));
    put(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    put(0xE0 | (c >> 12));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  } else {
    put(0xF0 | (c >> 18));
    put(0x80 | ((c >> 12) & 0x3F));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  }
  return s;
}

bool Surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

TEST(Utf8, EveryCodePointAndNothingElse) {
  // Each scalar value is one well-formed character; a surrogate is not.
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    const std::string s = Encode(c);
    const Utf8Sequence q = NextUtf8Sequence(s);
    const unsigned shown = c;
    ASSERT_EQ(q.valid, !Surrogate(c)) << std::hex << shown;
    ASSERT_EQ(q.length, q.valid ? s.size() : 1u) << std::hex << shown;
    ASSERT_EQ(IsValidUtf8(s), !Surrogate(c)) << std::hex << shown;
  }
  // Every two- and three-byte string is well-formed exactly when it is the
  // encoding of the scalar value its bits spell (which rules out the
  // overlong forms): agreement with the definition, byte for byte.
  const auto spelled = [](const std::string& s) -> std::optional<char32_t> {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    for (std::size_t i = 1; i < s.size(); ++i)
      if ((b(i) & 0xC0) != 0x80) return std::nullopt;
    if (s.size() == 2 && (b(0) & 0xE0) == 0xC0) return ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    if (s.size() == 3 && (b(0) & 0xF0) == 0xE0)
      return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    return std::nullopt;
  };
  for (unsigned x = 0x8000; x < 0x10000; ++x) {
    const std::string s{static_cast<char>(x >> 8), static_cast<char>(x & 0xFF)};
    if (static_cast<unsigned char>(s[0]) >= 0x80 || static_cast<unsigned char>(s[1]) >= 0x80) {
      const auto c = spelled(s);
      ASSERT_EQ(IsValidUtf8(s), c && Encode(*c) == s) << std::hex << x;
    }
  }
  for (unsigned x = 0xE00000; x < 0xF00000; ++x) {
    const std::string s{static_cast<char>(x >> 16), static_cast<char>((x >> 8) & 0xFF), static_cast<char>(x & 0xFF)};
    const auto c = spelled(s);
    ASSERT_EQ(IsValidUtf8(s), c && Encode(*c) == s && !Surrogate(*c)) << std::hex << x;
  }
}

TEST(Utf8, IllFormedSequencesAndWhereAReaderResumes) {
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t length;  // of the first sequence
    bool valid;
    std::size_t firstInvalid;
  };
  constexpr std::size_t npos = std::string::npos;
  const Case cases[] = {
      {"ASCII", "a", 1, true, npos},
      {"NUL", std::string(1, '\0'), 1, true, npos},
      {"two bytes", "\xC2\x80", 2, true, npos},
      {"three bytes", "臺", 3, true, npos},
      {"four bytes", "\xF0\x9F\x98\x80", 4, true, npos},
      {"U+10FFFF", "\xF4\x8F\xBF\xBF", 4, true, npos},
      {"a continuation byte alone", "\x80" "a", 1, false, 0},
      {"overlong two bytes (C0)", "\xC0\xAF", 1, false, 0},
      {"overlong two bytes (C1)", "\xC1\xBF", 1, false, 0},
      {"overlong three bytes", "\xE0\x80\xAF", 1, false, 0},
      {"overlong four bytes", "\xF0\x80\x80\xAF", 1, false, 0},
      {"a high surrogate", "\xED\xA0\x80", 1, false, 0},
      {"a low surrogate", "\xED\xBF\xBF", 1, false, 0},
      {"past U+10FFFF", "\xF4\x90\x80\x80", 1, false, 0},
      {"lead F5", "\xF5\x80\x80\x80", 1, false, 0},
      {"lead F7", "\xF7\xBF\xBF\xBF", 1, false, 0},
      {"lead FF", "\xFF", 1, false, 0},
      {"cut short at the end", "\xE8\x87", 2, false, 0},
      {"cut short by ASCII", "\xF1\x80\x80" "a", 3, false, 0},
      {"cut short by a lead byte", "\xE8\xE8\x87\xBA", 1, false, 0},
      {"good, then bad", "臺\xED\xA0\x80", 3, true, 3},
  };
  for (const Case& c : cases) {
    const Utf8Sequence q = NextUtf8Sequence(c.bytes);
    EXPECT_EQ(q.length, c.length) << c.what;
    EXPECT_EQ(q.valid, c.valid) << c.what;
    EXPECT_EQ(FirstInvalidUtf8(c.bytes), c.firstInvalid) << c.what;
    EXPECT_EQ(IsValidUtf8(c.bytes), c.firstInvalid == npos) << c.what;
  }
  static_assert(IsValidUtf8("八字") && !IsValidUtf8("\xED\xA0\x80"));
}

}  // namespace
}  // namespace qelm::records
