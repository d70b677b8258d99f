#include "records/big5.hpp"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

#include "records/utf8.hpp"

namespace qelm::records {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

iconv_t Open(const char* to, const char* from) { return iconv_open(to, from); }

iconv_t Cd(void* p) { return static_cast<iconv_t>(p); }

// Length of the UTF-8 sequence that begins with byte b (1 for a stray byte),
// as far as the lead byte tells: what the user is shown of a character that
// cannot be stored.
std::size_t Utf8Length(unsigned char b) {
  if (b >= 0xF0 && b <= 0xF4) return 4;
  if (b >= 0xE0 && b <= 0xEF) return 3;
  if (b >= 0xC2 && b <= 0xDF) return 2;
  return 1;
}

// Runs one iconv conversion to the end; returns the offset of the input byte
// at which it stopped on a sequence it cannot convert, or npos when done.
// Converted bytes are appended to out.
std::size_t Convert(iconv_t cd, std::string_view in, std::size_t from, std::string& out) {
  char* src = const_cast<char*>(in.data()) + from;
  std::size_t left = in.size() - from;
  char buf[1024];
  while (left > 0) {
    char* dst = buf;
    std::size_t room = sizeof buf;
    const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return static_cast<std::size_t>(src - in.data());
  }
  return std::string_view::npos;
}

// The user-defined areas (造字) that iconv's CP950 leaves out, mapped as
// Windows code page 950 does: one to one onto the private use area, lead
// byte by lead byte, each lead with 157 trail bytes (0x40-0x7E, 0xA1-0xFE).
struct UserArea {
  unsigned char firstLead, lastLead;
  char32_t first;
};
constexpr UserArea kUserAreas[] = {
    {0xFA, 0xFE, 0xE000},  // to U+E310
    {0x8E, 0xA0, 0xE311},  // to U+EEB7
    {0x81, 0x8D, 0xEEB8},  // to U+F6B0
};
constexpr unsigned kTrailsPerLead = 157;

int TrailIndex(unsigned char t) {
  if (t >= 0x40 && t <= 0x7E) return t - 0x40;
  if (t >= 0xA1 && t <= 0xFE) return t - 0xA1 + 63;
  return -1;
}

// The private use character of a user-defined Big5 pair, or 0.
char32_t FromUserArea(unsigned char lead, unsigned char trail) {
  const int t = TrailIndex(trail);
  if (t < 0) return 0;
  for (const UserArea& a : kUserAreas)
    if (lead >= a.firstLead && lead <= a.lastLead)
      return a.first + (lead - a.firstLead) * kTrailsPerLead + static_cast<unsigned>(t);
  return 0;
}

// The Big5 pair of a private use character, or an empty text.
std::string ToUserArea(char32_t c) {
  for (const UserArea& a : kUserAreas) {
    const char32_t count = (a.lastLead - a.firstLead + 1u) * kTrailsPerLead;
    if (c < a.first || c >= a.first + count) continue;
    const unsigned off = c - a.first;
    const unsigned t = off % kTrailsPerLead;
    return {static_cast<char>(a.firstLead + off / kTrailsPerLead),
            static_cast<char>(t < 63 ? 0x40 + t : 0xA1 + (t - 63))};
  }
  return {};
}

// The code point of a three-byte UTF-8 sequence at the start of s, or 0.
char32_t ThreeByteCodePoint(std::string_view s) {
  if (s.size() < 3) return 0;
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if ((b(0) & 0xF0) != 0xE0 || (b(1) & 0xC0) != 0x80 || (b(2) & 0xC0) != 0x80) return 0;
  return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
}

void AppendUtf8(std::string& out, char32_t c) {  // c in U+0800..U+FFFF
  out += static_cast<char>(0xE0 | (c >> 12));
  out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (c & 0x3F));
}

}  // namespace

Big5Codec::Big5Codec() : to_utf8_(Open("UTF-8", "CP950")), to_big5_(Open("CP950", "UTF-8")) {}

Big5Codec::~Big5Codec() {
  if (Cd(to_utf8_) != kNoConverter) iconv_close(Cd(to_utf8_));
  if (Cd(to_big5_) != kNoConverter) iconv_close(Cd(to_big5_));
}

bool Big5Codec::available() const {
  return Cd(to_utf8_) != kNoConverter && Cd(to_big5_) != kNoConverter;
}

// What a two-byte character decodes to, looked up by iconv once for each
// pair a codec meets: a file of many persons repeats few characters.
const Big5Codec::Pair* Big5Codec::Decoded(unsigned char lead, unsigned char trail) {
  const int t = TrailIndex(trail);
  if (lead < 0x81 || lead > 0xFE || t < 0) return nullptr;
  if (pairs_.empty()) pairs_.resize((0xFE - 0x81 + 1) * kTrailsPerLead);
  Pair& p = pairs_[(lead - 0x81u) * kTrailsPerLead + static_cast<unsigned>(t)];
  if (p.looked) return p.size ? &p : nullptr;
  p.looked = true;
  const char two[] = {static_cast<char>(lead), static_cast<char>(trail)};
  std::string out;
  const std::size_t stop = Convert(Cd(to_utf8_), std::string_view(two, 2), 0, out);
  if (stop == 0) {
    if (const char32_t c = FromUserArea(lead, trail)) AppendUtf8(out, c);
  } else if (stop != std::string_view::npos) {
    out.clear();
  }
  // One character of at most three bytes, else the pair goes the long way.
  if (!out.empty() && out.size() <= p.bytes.size() && Utf8Length(static_cast<unsigned char>(out[0])) == out.size()) {
    p.size = static_cast<unsigned char>(out.size());
    std::copy(out.begin(), out.end(), p.bytes.begin());
  }
  return p.size ? &p : nullptr;
}

DecodedText Big5Codec::Decode(std::string_view big5) {
  DecodedText r;
  r.text.reserve(big5.size() + big5.size() / 2);
  if (!available()) {
    for (unsigned char c : big5) {
      if (c < 0x80) {
        r.text += static_cast<char>(c);
      } else {
        r.text += kReplacement;
        r.valid = false;
      }
    }
    return r;
  }
  // ASCII and the pairs met before at once; from anything else on, iconv
  // reads the rest.
  std::size_t at = 0;
  for (; at < big5.size(); ++at) {
    const auto c = static_cast<unsigned char>(big5[at]);
    if (c < 0x80) {
      r.text += static_cast<char>(c);
      continue;
    }
    const Pair* p = at + 1 < big5.size() ? Decoded(c, static_cast<unsigned char>(big5[at + 1])) : nullptr;
    if (!p) break;
    r.text.append(p->bytes.data(), p->size);
    ++at;
  }
  if (at == big5.size()) return r;
  while ((at = Convert(Cd(to_utf8_), big5, at, r.text)) != std::string_view::npos) {
    if (at + 1 < big5.size()) {
      if (const char32_t c = FromUserArea(static_cast<unsigned char>(big5[at]),
                                          static_cast<unsigned char>(big5[at + 1]))) {
        AppendUtf8(r.text, c);
        at += 2;
        continue;
      }
    }
    // A byte that begins no Big5 character: show it replaced and go on
    // with the next byte.
    r.text += kReplacement;
    r.valid = false;
    ++at;
  }
  return r;
}

EncodedText Big5Codec::Encode(std::string_view utf8) {
  EncodedText r;
  // Text that is not well-formed UTF-8 has no Big5 form (whatever iconv's
  // reader would let through).
  if (const std::size_t bad = FirstInvalidUtf8(utf8); bad != std::string_view::npos) {
    r.unencodable = std::string(utf8.substr(bad, Utf8Length(static_cast<unsigned char>(utf8[bad]))));
    return r;
  }
  std::string out;
  out.reserve(utf8.size());
  std::size_t stop = std::string_view::npos;
  if (available()) {
    std::size_t at = 0;
    while ((stop = Convert(Cd(to_big5_), utf8, at, out)) != std::string_view::npos) {
      const std::string pair = ToUserArea(ThreeByteCodePoint(utf8.substr(stop)));
      if (pair.empty()) break;
      out += pair;
      at = stop + 3;
    }
  } else {
    for (std::size_t i = 0; i < utf8.size() && stop == std::string_view::npos; ++i) {
      if (static_cast<unsigned char>(utf8[i]) < 0x80) out += utf8[i];
      else stop = i;
    }
  }
  if (stop == std::string_view::npos) {
    r.bytes = std::move(out);
  } else {
    r.unencodable = std::string(utf8.substr(stop, Utf8Length(static_cast<unsigned char>(utf8[stop]))));
  }
  return r;
}

EncodedText EncodeBig5(std::string_view utf8) {
  Big5Codec codec;
  return codec.Encode(utf8);
}

std::size_t CharacterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

std::string_view FirstCharacters(std::string_view utf8, std::size_t n) {
  std::size_t at = 0;
  for (; at < utf8.size(); ++at) {
    if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 && n-- == 0) break;
  }
  return utf8.substr(0, at);
}

namespace {

TextCheckResult Check(std::string_view utf8, std::string_view separatorMessage,
                      std::string_view unencodableMessage, std::string_view what = {}) {
  TextCheckResult r;
  if (!what.empty()) {
    if (const std::size_t n = CharacterCount(utf8); n > kMaxNameLength) {
      r.status = TextCheck::kTooLong;
      r.message = std::string(what) + "最多 " + std::to_string(kMaxNameLength) + " 個字，這個有 " +
                  std::to_string(n) + " 個字";
      return r;
    }
  }
  if (utf8.find_first_of("\t\r\n") != std::string_view::npos) {
    r.status = TextCheck::kSeparator;
    r.message = separatorMessage;
    return r;
  }
  EncodedText e = EncodeBig5(utf8);
  if (!e.bytes) {
    r.status = TextCheck::kUnencodable;
    r.message = unencodableMessage;
    r.unencodable = std::move(e.unencodable);
  }
  return r;
}

}  // namespace

TextCheckResult CheckName(std::string_view utf8) {
  return Check(utf8, "姓名不可含有定位字元或換行", "姓名含有 Big5 無法表示的字", "姓名");
}

TextCheckResult CheckFieldText(std::string_view utf8) {
  return Check(utf8, "資料不可含有定位字元或換行", "資料含有 Big5 無法表示的字");
}

}  // namespace qelm::records
