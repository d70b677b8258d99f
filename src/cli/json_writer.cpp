#include "cli/json_writer.hpp"

#include <rapidjson/internal/dtoa.h>

#include "records/utf8.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>

namespace qelm::cli {

// ------------------------------------------------------------ texts in JSON

namespace {

// The length of the well-formed UTF-8 sequence of two to four bytes at the
// start of `s`, or 0.
std::size_t SequenceLength(std::string_view s) {
  const records::Utf8Sequence q = records::NextUtf8Sequence(s);
  return q.valid && q.length > 1 ? q.length : 0;
}

void Append(rapidjson::StringBuffer& out, std::string_view bytes) {
  if (!bytes.empty()) PutText(out.Push(bytes.size()), bytes);
}

// Writes the escape of an ASCII character in a JSON text at p and returns
// the end: the short forms where JSON has them, \u00xx (lower-case) for the
// other control characters. At most kLongestEscape bytes.
constexpr std::size_t kLongestEscape = 6;
char* PutEscape(char* p, std::uint8_t b) {
  *p++ = '\\';
  switch (b) {
    case '"': *p++ = '"'; break;
    case '\\': *p++ = '\\'; break;
    case '\b': *p++ = 'b'; break;
    case '\t': *p++ = 't'; break;
    case '\n': *p++ = 'n'; break;
    case '\f': *p++ = 'f'; break;
    case '\r': *p++ = 'r'; break;
    default: {
      constexpr std::string_view kHex = "0123456789abcdef";
      p = PutText(p, "u00");
      *p++ = kHex[b >> 4];
      *p++ = kHex[b & 0xF];
    }
  }
  return p;
}

void AppendEscape(rapidjson::StringBuffer& out, std::uint8_t b) {
  char* const start = out.Push(kLongestEscape);
  out.Pop(kLongestEscape - static_cast<std::size_t>(PutEscape(start, b) - start));
}

bool NeedsEscape(std::uint8_t b) { return b < 0x20 || b == '"' || b == '\\'; }

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The rest of a text that is not valid UTF-8, a sequence at a time. Each
// ill-formed sequence (the longest start of a character that cannot be
// completed, or a single byte) stands as one U+FFFD; reading goes on with
// the byte after it.
void AppendRepaired(rapidjson::StringBuffer& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    const records::Utf8Sequence q = records::NextUtf8Sequence(text.substr(i));
    if (!q.valid) {
      Append(out, kReplacement);
    } else if (q.length > 1) {
      Append(out, text.substr(i, q.length));
    } else if (NeedsEscape(b)) {
      AppendEscape(out, b);
    } else {
      out.Put(static_cast<char>(b));
    }
    i += q.length;
  }
}

// Bytes that stand for themselves in a JSON text: printable ASCII but '"'
// and '\\'.
constexpr std::array<bool, 256> kPlainAscii = [] {
  std::array<bool, 256> plain{};
  for (int b = 0x20; b < 0x80; ++b) plain[b] = b != '"' && b != '\\';
  return plain;
}();

// The text as a quoted JSON string. Runs that need
// no escaping are copied whole; from the first byte that is not well-formed
// UTF-8 on, AppendRepaired takes over.
void AppendQuoted(rapidjson::StringBuffer& out, std::string_view text) {
  const auto* const begin = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t size = text.size();
  std::size_t copied = 0, i = 0;
  out.Put('"');
  while (i < size) {
    const std::uint8_t b = begin[i];
    if (kPlainAscii[b]) {
      ++i;
    } else if (b < 0x80) {
      Append(out, text.substr(copied, i - copied));
      AppendEscape(out, b);
      copied = ++i;
    } else if ((b & 0xF0) == 0xE0 && b != 0xE0 && b != 0xED && size - i >= 3 && (begin[i + 1] & 0xC0) == 0x80 &&
               (begin[i + 2] & 0xC0) == 0x80) {
      i += 3;  // most of the Chinese text: a three-byte sequence with no special range
    } else if (const std::size_t length = SequenceLength(text.substr(i))) {
      i += length;
    } else {
      break;
    }
  }
  Append(out, text.substr(copied, i - copied));
  if (i < size) AppendRepaired(out, text.substr(i));
  out.Put('"');
}

// Marks the bytes among the eight at p that may need an escape, in the top
// bit of each byte, the first byte lowest: a byte below 0x20 (or a zero byte
// of v ^ c for '"' and '\\') borrows into its top bit when one is taken from
// every byte, and bytes from 0x80 up never do. Only the lowest mark is sure;
// higher ones may come from its borrow, so a caller goes on from the byte
// after it.
std::uint64_t EscapeMarks(const char* p) {
  std::uint64_t v = 0;  // the first byte lowest, on any machine (one load where that is native)
  for (int k = 0; k < 8; ++k) v |= std::uint64_t{static_cast<std::uint8_t>(p[k])} << (8 * k);
  constexpr std::uint64_t kOnes = 0x0101010101010101, kTops = 0x8080808080808080;
  const auto below = [](std::uint64_t x, std::uint64_t n) { return (x - kOnes * n) & ~x & kTops; };
  return below(v, 0x20) | below(v ^ (kOnes * '"'), 1) | below(v ^ (kOnes * '\\'), 1);
}

// The index of the first byte from `from` on that needs an escape, or the
// text's size. Texts of eight bytes or more are looked at eight bytes at a
// time, the last eight again where fewer remain.
std::size_t NextEscape(std::string_view text, std::size_t from) {
  const std::size_t n = text.size();
  if (n < 8) {
    while (from < n && !NeedsEscape(static_cast<std::uint8_t>(text[from]))) ++from;
    return from;
  }
  for (; from < n; from += 8) {
    const std::size_t at = std::min(from, n - 8);
    const std::uint64_t marks = EscapeMarks(text.data() + at);
    if (marks == 0) continue;
    const std::size_t first = at + static_cast<std::size_t>(std::countr_zero(marks)) / 8;
    if (first >= from) return first;
    // The last eight reach back over an escape already taken, whose borrow
    // may mark the bytes after it: the few left are looked at one by one.
    while (from < n && !NeedsEscape(static_cast<std::uint8_t>(text[from]))) ++from;
    return from;
  }
  return n;
}

// A valid UTF-8 text as a quoted JSON string: only the ASCII bytes that need
// it are escaped, looked for eight bytes at a time.
void AppendQuotedValid(rapidjson::StringBuffer& out, std::string_view text) {
  // Room for the worst case, written through a plain pointer; what is left
  // over is given back at the end.
  const std::size_t room = text.size() * kLongestEscape + 2;
  char* const start = out.Push(room);
  char* p = start;
  *p++ = '"';
  std::size_t copied = 0;
  for (std::size_t i = NextEscape(text, 0); i < text.size(); i = NextEscape(text, i + 1)) {
    p = PutText(p, text.substr(copied, i - copied));
    p = PutEscape(p, static_cast<std::uint8_t>(text[i]));
    copied = i + 1;
  }
  p = PutText(p, text.substr(copied));
  *p++ = '"';
  out.Pop(room - static_cast<std::size_t>(p - start));
}

[[maybe_unused]] bool ValidUtf8(std::string_view text) { return records::IsValidUtf8(text); }

}  // namespace

void JsonWriter::Key(std::string_view key) {
  NoteKey();
  char* p = Begin(key.size() + 3);
  *p++ = '"';
  p = PutText(p, key);
  *p++ = '"';
  *p++ = ':';
  EndKey(p);
}

void JsonWriter::Value(std::string_view text) {
  assert(ValidUtf8(text));
  NoteValue();
  EndValue(Begin(0));  // the comma, if one is due
  AppendQuotedValid(out_, text);
}

void JsonWriter::Value(double x) {
  if (!std::isfinite(x)) return Null();
  // Room for RapidJSON's longest form, as its own writer makes.
  PutValue(25, [x](char* p) { return rapidjson::internal::dtoa(x, p); });
}

void JsonWriter::EndLine() {
  assert(open_.empty());
  out_.Put('\n');
  afterValue_ = false;
}

namespace {
// What a JSON text may hold unescaped: no control character, and a '"' or
// '\\' only as part of an escape.
[[maybe_unused]] bool JsonReady(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    if (b < 0x20 || b == '"') return false;
    if (b == '\\' && ++i == text.size()) return false;
  }
  return true;
}
}  // namespace

void JsonWriter::Value(JsonReadyText text) {
  assert(JsonReady(text.text));
  PutValue(text.text.size() + 2, [text](char* p) {
    *p++ = '"';
    p = PutText(p, text.text);
    *p++ = '"';
    return p;
  });
}

void JsonWriter::Value(UserText text) {
  NoteValue();
  EndValue(Begin(0));  // the comma, if one is due
  AppendQuoted(out_, text.text);
}

#ifndef NDEBUG
void JsonWriter::CheckReady(JsonReadyText text) { assert(JsonReady(text.text)); }

void JsonWriter::NoteKey() {
  assert(!open_.empty() && open_.back() == '{' && keyDue_);
  keyDue_ = false;
}

void JsonWriter::NoteValue() {
  assert(!keyDue_);
  keyDue_ = !open_.empty() && open_.back() == '{';
}

void JsonWriter::NoteOpen(char bracket) {
  assert(!keyDue_);
  open_ += bracket;
  keyDue_ = bracket == '{';
}

void JsonWriter::NoteClose(char bracket) {
  // An object closes where its next key would come, never after a key.
  assert(!open_.empty() && (bracket == '}' ? open_.back() == '{' && keyDue_ : open_.back() == '['));
  open_.pop_back();
  keyDue_ = !open_.empty() && open_.back() == '{';
}
#endif

void WriteError(JsonWriter& w, std::string_view error) {
  w.BeginObject();
  w.Field("error", UserText{error});
  w.EndObject();
}

}  // namespace qelm::cli
