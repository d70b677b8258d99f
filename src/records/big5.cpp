#include "records/big5.hpp"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace qelm::records {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

iconv_t Open(const char* to, const char* from) { return iconv_open(to, from); }

iconv_t Cd(void* p) { return static_cast<iconv_t>(p); }

// Length of the UTF-8 sequence that begins with byte b (1 for a stray byte).
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

}  // namespace

Big5Codec::Big5Codec() : to_utf8_(Open("UTF-8", "CP950")), to_big5_(Open("CP950", "UTF-8")) {}

Big5Codec::~Big5Codec() {
  if (Cd(to_utf8_) != kNoConverter) iconv_close(Cd(to_utf8_));
  if (Cd(to_big5_) != kNoConverter) iconv_close(Cd(to_big5_));
}

bool Big5Codec::available() const {
  return Cd(to_utf8_) != kNoConverter && Cd(to_big5_) != kNoConverter;
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
  std::size_t at = 0;
  while ((at = Convert(Cd(to_utf8_), big5, at, r.text)) != std::string_view::npos) {
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
  std::string out;
  out.reserve(utf8.size());
  std::size_t stop = std::string_view::npos;
  if (available()) {
    stop = Convert(Cd(to_big5_), utf8, 0, out);
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

DecodedText DecodeBig5(std::string_view big5) {
  Big5Codec codec;
  return codec.Decode(big5);
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
