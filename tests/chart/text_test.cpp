#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "chart/text.hpp"

namespace qelm {
namespace {

// Every length across the copy sizes 1-3, 4-7, 8-15, 16-32 and beyond.
TEST(Text, PutTextCopiesEveryLengthExactly) {
  const std::string source = "0123456789abcdefghijklmnopqrstuvwxyz!@#$";
  for (std::size_t n = 0; n <= source.size(); ++n) {
    std::string target(48, '.');
    char* end = PutText(target.data() + 2, std::string_view(source).substr(0, n));
    EXPECT_EQ(end, target.data() + 2 + n) << n;
    EXPECT_EQ(target, ".." + source.substr(0, n) + std::string(46 - n, '.')) << n;
  }
}

TEST(Text, ComposeWritesNumbersAfterOneBlank) {
  EXPECT_EQ(Compose("西元", Num{2000}, "年", Num{-3}, std::string_view("月"), Num{0}),
            "西元 2000年 -3月 0");
  std::string out = "頭";
  AppendParts(out, Num{-9223372036854775807LL - 1}, "尾");
  EXPECT_EQ(out, "頭 -9223372036854775808尾");
}

TEST(Text, InlineTextIsCutAtItsRoom) {
  InlineText<5> t("abcdefg");
  EXPECT_EQ(t, "abcde");
  t.assign("ab");
  t.append("cdef");
  EXPECT_EQ(t.view(), "abcde");
  t.push_back('x');
  EXPECT_EQ(t.size(), 5u);
  const InlineText<5> copy = t;
  EXPECT_EQ(copy, "abcde");
  EXPECT_LT(InlineText<5>("ab"), "b");
  EXPECT_EQ(std::string(InlineText<5>("王")), "王");
}

TEST(Text, TwoDigitsAsPrintfWritesThem) {
  for (unsigned v = 0; v < 100; ++v) {
    char text[3] = {};
    char expected[3];
    std::snprintf(expected, sizeof expected, "%02u", v);
    EXPECT_EQ(PutTwoDigits(text, v), text + 2);
    EXPECT_EQ(std::string(text, 2), expected);
  }
}

}  // namespace
}  // namespace qelm
