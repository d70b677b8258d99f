#include "records/big5.hpp"

#include <gtest/gtest.h>

#include <iconv.h>

#include <cstdint>
#include <string>

namespace qelm::records {
namespace {

const std::string kFffd = "\xEF\xBF\xBD";

TEST(Big5, CodePage950IsAvailable) {
  Big5Codec codec;
  EXPECT_TRUE(codec.available());
}

TEST(Big5, KnownNamesRoundTrip) {
  struct Case {
    std::string utf8, big5;
  };
  const Case cases[] = {
      {"張三", "\xB1\x69\xA4\x54"},
      {"陳美玲", "\xB3\xAF\xAC\xFC\xAC\xC2"},
      {"黃", "\xB6\xC0"},
      {"男", "\xA8\x6B"},
      {"女", "\xA4\x6B"},
      {"Li 李 1975", "Li \xA7\xF5 1975"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EncodedText e = EncodeBig5(c.utf8);
    ASSERT_TRUE(e.bytes.has_value());
    EXPECT_EQ(*e.bytes, c.big5);
    DecodedText d = Big5Codec().Decode(c.big5);
    EXPECT_TRUE(d.valid);
    EXPECT_EQ(d.text, c.utf8);
  }
}

// The user-defined areas (造字) map one to one onto the private use area, in
// the order and at the start points of Windows code page 950: FA40-FEFE from
// U+E000, 8E40-A0FE from U+E311, 8140-8DFE from U+EEB8, each lead byte with
// 157 trail bytes (40-7E, A1-FE); C6A1-C8FE from U+F6B1.
TEST(Big5, UserDefinedAreasRoundTrip) {
  struct Case {
    std::string big5;
    char32_t pua;
  };
  const Case cases[] = {
      {"\xFA\x40", 0xE000}, {"\xFA\x7E", 0xE03E}, {"\xFA\xA1", 0xE03F}, {"\xFB\x40", 0xE09D},
      {"\xFE\xFE", 0xE310}, {"\x8E\x40", 0xE311}, {"\xA0\xFE", 0xEEB7}, {"\x81\x40", 0xEEB8},
      {"\x8D\xFE", 0xF6B0}, {"\xC6\xA1", 0xF6B1}, {"\xC8\xFE", 0xF848},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<unsigned>(c.pua));
    // The character as UTF-8 (three bytes in this area).
    const std::string utf8{static_cast<char>(0xE0 | (c.pua >> 12)), static_cast<char>(0x80 | ((c.pua >> 6) & 0x3F)),
                           static_cast<char>(0x80 | (c.pua & 0x3F))};
    const DecodedText d = Big5Codec().Decode("A" + c.big5 + "\xB1\x69");
    EXPECT_TRUE(d.valid);
    EXPECT_EQ(d.text, "A" + utf8 + "張");
    const EncodedText e = EncodeBig5("A" + utf8 + "張");
    ASSERT_TRUE(e.bytes.has_value()) << e.unencodable;
    EXPECT_EQ(*e.bytes, "A" + c.big5 + "\xB1\x69");
    EXPECT_TRUE(CheckName(utf8));
  }
  // Next to the areas: no user-defined character.
  EXPECT_FALSE(Big5Codec().Decode("\x81\x3F").valid);
  EXPECT_FALSE(Big5Codec().Decode("\x81\x80").valid);
  EXPECT_FALSE(Big5Codec().Decode("\xFE\x7F").valid);
  EXPECT_FALSE(Big5Codec().Decode("\xFF\x40").valid);
  EXPECT_FALSE(EncodeBig5("\xEF\xA1\x89").bytes.has_value());  // U+F849
}

TEST(Big5, BytesThatAreNotBig5ShowAsReplacement) {
  struct Case {
    std::string big5, utf8;
  };
  const Case cases[] = {
      {"\xFF", kFffd},
      {"\xB1\x69\xFF\xA4\x54", "張" + kFffd + "三"},  // a bad byte between two characters
      {"A\xA4", "A" + kFffd},                         // a lead byte cut off at the end
      {"\xA4\x20Z", kFffd + " Z"},                    // a lead byte with a trail that is not one
      {std::string("\0x", 2), std::string("\0x", 2)}, // NUL is ASCII
  };
  for (const Case& c : cases) {
    DecodedText d = Big5Codec().Decode(c.big5);
    EXPECT_EQ(d.text, c.utf8);
    EXPECT_EQ(d.valid, c.utf8.find(kFffd) == std::string::npos);
  }
}

// Random texts of ASCII, pairs of every lead and trail range (user-defined
// ones among them) and stray bytes decode as iconv reads them byte by byte,
// however many pairs the codec has met before: the pairs it remembers change
// nothing.
TEST(Big5, RememberedPairsDecodeAsIconvReadsThem) {
  const auto reference = [](std::string_view in) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "CP950");
    std::size_t at = 0;
    while (at < in.size()) {
      // One character at a time: the longest start iconv converts whole.
      char buf[16];
      bool done = false;
      for (std::size_t n = 1; n <= 2 && at + n <= in.size() && !done; ++n) {
        char* src = const_cast<char*>(in.data() + at);
        std::size_t left = n, room = sizeof buf;
        char* dst = buf;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &src, &left, &dst, &room) != static_cast<std::size_t>(-1) && left == 0) {
          out.append(buf, static_cast<std::size_t>(dst - buf));
          at += n;
          done = true;
        }
      }
      if (done) continue;
      // The user-defined pairs, as a codec reads one alone; else a stray byte.
      const DecodedText alone = at + 1 < in.size() ? Big5Codec().Decode(in.substr(at, 2)) : DecodedText{"", false};
      if (alone.valid) {
        out += alone.text;
        at += 2;
      } else {
        out += kFffd;
        ++at;
      }
    }
    iconv_close(cd);
    return out;
  };
  std::uint32_t x = 5;
  const auto next = [&x](unsigned bound) {
    x = x * 1664525u + 1013904223u;
    return (x >> 8) % bound;
  };
  Big5Codec warm;
  for (int i = 0; i < 3000; ++i) {
    std::string big5;
    for (unsigned n = next(8); n > 0; --n) {
      switch (next(4)) {
        case 0: big5 += static_cast<char>(0x20 + next(0x5F)); break;
        case 1: big5 += static_cast<char>(0x80 + next(0x80)); break;  // a lead, or a stray byte
        default: {
          const unsigned char lead = static_cast<unsigned char>(0x81 + next(0x7E));
          const unsigned t = next(157);
          big5 += static_cast<char>(lead);
          big5 += static_cast<char>(t < 63 ? 0x40 + t : 0xA1 + (t - 63));
        }
      }
    }
    const std::string want = reference(big5);
    ASSERT_EQ(warm.Decode(big5).text, want) << i;
    ASSERT_EQ(Big5Codec().Decode(big5).text, want) << i;
  }
}

TEST(Big5, CharactersBig5LacksAreReported) {
  struct Case {
    std::string utf8, bad;
  };
  const Case cases[] = {
      {"王😀明", "😀"},
      {"김", "김"},
      {"張𠀋", "𠀋"},
      {"a\xC3", "\xC3"},      // UTF-8 cut off
      {"\xED\xA0\x80", "\xED\xA0\x80"},  // a surrogate is no character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EncodedText e = EncodeBig5(c.utf8);
    EXPECT_FALSE(e.bytes.has_value());
    EXPECT_EQ(e.unencodable, c.bad);
  }
  // The replacement character itself has no Big5 form.
  EXPECT_FALSE(EncodeBig5(kFffd).bytes.has_value());
}

std::string Repeat(std::string_view s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

TEST(Big5, NameCheck) {
  struct Case {
    std::string name;
    TextCheck status;
    std::string message;
  };
  const Case cases[] = {
      {"陳美玲", TextCheck::kOk, ""},
      {"", TextCheck::kOk, ""},
      {"張\t三", TextCheck::kSeparator, "姓名不可含有定位字元或換行"},
      {"張三\r", TextCheck::kSeparator, "姓名不可含有定位字元或換行"},
      {"\n", TextCheck::kSeparator, "姓名不可含有定位字元或換行"},
      {"王😀", TextCheck::kUnencodable, "姓名含有 Big5 無法表示的字"},
      {Repeat("陳", 50), TextCheck::kOk, ""},
      {Repeat("陳", 51), TextCheck::kTooLong, "姓名最多 50 個字，這個有 51 個字"},
      {Repeat("a", 40000), TextCheck::kTooLong, "姓名最多 50 個字，這個有 40000 個字"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextCheckResult r = CheckName(c.name);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(static_cast<bool>(r), c.status == TextCheck::kOk);
  }
  EXPECT_EQ(CheckName("王😀").unencodable, "😀");
  EXPECT_EQ(CheckFieldText("1\t2").message, "資料不可含有定位字元或換行");
}

}  // namespace
}  // namespace qelm::records
