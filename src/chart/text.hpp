// Building the chart's texts without throw-away strings: a text is composed
// in one buffer from its parts, and a short text can live inside its owner.
#pragma once

#include <algorithm>
#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qelm {

// A number as the texts compose it: its digits after one blank (" 5", " -3").
struct Num {
  long long n;
};

// Copies s to p and returns the end; short texts (most parts are one to
// three characters) are copied inline rather than through a library call,
// 4 to 32 bytes as two fixed-size copies that may overlap.
inline char* PutText(char* p, std::string_view s) {
  const std::size_t n = s.size();
  if (n > 32) return std::copy_n(s.data(), n, p);
  if (n >= 16) {
    std::memcpy(p, s.data(), 16);
    std::memcpy(p + n - 16, s.data() + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(p, s.data(), 8);
    std::memcpy(p + n - 8, s.data() + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(p, s.data(), 4);
    std::memcpy(p + n - 4, s.data() + n - 4, 4);
  } else {
    for (const char c : s) *p++ = c;
    return p;
  }
  return p + n;
}

namespace detail {
constexpr std::size_t kNumMaxSize = 21;  // the blank, a sign and 19 digits
inline std::size_t MaxPartSize(Num) { return kNumMaxSize; }
inline std::size_t MaxPartSize(std::string_view s) { return s.size(); }
// A string literal's length is known without counting (a char array passed
// as a part must be a literal: all of it but the final NUL is written).
template <std::size_t N>
constexpr std::size_t MaxPartSize(const char (&)[N]) {
  return N - 1;
}
char* PutPart(char* p, Num n);
inline char* PutPart(char* p, std::string_view s) { return PutText(p, s); }
template <std::size_t N>
char* PutPart(char* p, const char (&literal)[N]) {
  return PutText(p, std::string_view(literal, N - 1));
}
}  // namespace detail

// The most bytes the parts take, and the parts written at p (which has that
// room) in order, returning their end.
template <typename... Parts>
constexpr std::size_t PartsRoom(const Parts&... parts) {
  return (detail::MaxPartSize(parts) + ...);
}
template <typename... Parts>
char* PutParts(char* p, const Parts&... parts) {
  ((p = detail::PutPart(p, parts)), ...);
  return p;
}

// Appends the parts in order: room is made once and each part written into it.
template <typename... Parts>
void AppendParts(std::string& out, const Parts&... parts) {
  const std::size_t at = out.size();
  out.resize(at + PartsRoom(parts...));
  out.resize(static_cast<std::size_t>(PutParts(out.data() + at, parts...) - out.data()));
}

// The parts joined: Compose("西元", Num(2000), "年") is "西元 2000年".
// A short text is composed on the stack first, so that a result that fits
// the string's own room takes no heap block for the room it might have needed.
template <typename... Parts>
std::string Compose(const Parts&... parts) {
  const std::size_t room = PartsRoom(parts...);
  constexpr std::size_t kStackRoom = 128;
  if (room > kStackRoom) {
    std::string out;
    AppendParts(out, parts...);
    return out;
  }
  std::array<char, kStackRoom> text;
  char* p = text.data();
  // GCC 12 sees a part longer than the room here, which the test above rules out.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#endif
  ((p = detail::PutPart(p, parts)), ...);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
  return std::string(text.data(), static_cast<std::size_t>(p - text.data()));
}

// The two digits of each number below 100, "00" to "99".
inline constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();
// Writes v (below 100) as two digits at p; returns the end.
inline char* PutTwoDigits(char* p, unsigned v) {
  std::memcpy(p, &kDigitPairs[2 * v], 2);
  return p + 2;
}

// Writes v with exactly `width` digits (leading zeros) at p; returns the end.
inline char* PutDigits(char* p, unsigned v, int width) {
  for (int i = width - 1; i >= 0; --i) {
    p[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  return p + width;
}

// A text of at most N bytes held inside its owner, with no heap block of its
// own; a longer text is cut to N bytes. It reads as a std::string_view and
// converts to std::string where one is wanted.
template <std::size_t N>
class InlineText {
  static_assert(N <= 255);

 public:
  InlineText() = default;
  InlineText(std::string_view s) { assign(s); }
  InlineText(const char* s) : InlineText(std::string_view(s)) {}
  // Only the bytes in use are copied.
  InlineText(const InlineText& other) { assign(other.view()); }
  InlineText& operator=(const InlineText& other) {
    assign(other.view());
    return *this;
  }

  void assign(std::string_view s) {
    size_ = static_cast<std::uint8_t>(std::min(s.size(), N));
    PutText(chars_.data(), {s.data(), size_});
  }
  // Adds to the end, cut at N bytes as a whole text is.
  void append(std::string_view s) {
    const std::size_t n = std::min(s.size(), N - size_);
    PutText(chars_.data() + size_, {s.data(), n});
    size_ = static_cast<std::uint8_t>(size_ + n);
  }
  // Adds the first n bytes of a block, moved whole where there is room for
  // all of it (what lies past the n bytes is written over later or never
  // read): short texts appended many times over, with no branching on their
  // length.
  template <std::size_t K>
  void append(const std::array<char, K>& block, std::size_t n) {
    if (size_ + K > N) return append(std::string_view(block.data(), std::min(n, K)));
    std::memcpy(chars_.data() + size_, block.data(), K);
    size_ = static_cast<std::uint8_t>(size_ + std::min(n, K));
  }
  template <std::size_t K>
  void assign(const std::array<char, K>& block, std::size_t n) {
    size_ = 0;
    append(block, n);
  }
  void push_back(char c) {
    if (size_ < N) chars_[size_++] = c;
  }

  std::string_view view() const { return {chars_.data(), size_}; }
  // The whole block the text is held in, the text its first size() bytes:
  // short texts written one after another, each with a copy of fixed size.
  const std::array<char, N>& block() const { return chars_; }
  operator std::string_view() const { return view(); }
  operator std::string() const { return std::string(view()); }
  bool empty() const { return size_ == 0; }
  static constexpr std::size_t capacity() { return N; }
  std::size_t size() const { return size_; }

  friend bool operator==(const InlineText& a, std::string_view b) { return a.view() == b; }
  friend std::strong_ordering operator<=>(const InlineText& a, std::string_view b) { return a.view() <=> b; }

 private:
  std::array<char, N> chars_;  // bytes past size_ are never read
  std::uint8_t size_ = 0;
};

// Moves the whole block of an inline text to p (which has room for all N
// bytes); returns the end of the text.
template <std::size_t N>
char* PutWhole(char* p, const InlineText<N>& text) {
  std::memcpy(p, text.block().data(), N);
  return p + text.size();
}

}  // namespace qelm
