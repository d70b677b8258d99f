// Big5 (code page 950) text, the encoding of the person file.
//
// The conversion goes through iconv's "CP950" whatever the system's own code
// page is. Text inside the program is UTF-8.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelm::records {

struct DecodedText {
  std::string text;    // UTF-8; every byte that is not Big5 shows as U+FFFD
  bool valid = true;   // false when some byte had to be replaced
};

struct EncodedText {
  std::optional<std::string> bytes;  // the Big5 bytes; nothing when some character has none
  std::string unencodable;           // then the first such character (UTF-8), or the bad byte
};

// One converter pair, opened once and reused for many lines (a load decodes
// every field of the file). Not shared between threads.
class Big5Codec {
 public:
  Big5Codec();
  ~Big5Codec();
  Big5Codec(const Big5Codec&) = delete;
  Big5Codec& operator=(const Big5Codec&) = delete;

  // False when the system's iconv has no CP950; then only ASCII converts.
  bool available() const;
  DecodedText Decode(std::string_view big5);
  EncodedText Encode(std::string_view utf8);

  struct Pair {
    bool looked = false;
    unsigned char size = 0;  // 0: not one character (decoded the long way)
    std::array<char, 3> bytes{};
  };

 private:
  const Pair* Decoded(unsigned char lead, unsigned char trail);

  void* to_utf8_;  // iconv_t
  void* to_big5_;
  std::vector<Pair> pairs_;  // by lead and trail byte, made at the first one met
};

EncodedText EncodeBig5(std::string_view utf8);

// Whether a text can be stored as a field of the person file: no TAB, CR or
// LF (they would split the record when it is read back), every character
// representable in Big5, and a name of at most kMaxNameLength characters.
// No name reaches this many characters; longer text is refused, never cut.
inline constexpr std::size_t kMaxNameLength = 50;

// Characters of a UTF-8 text.
std::size_t CharacterCount(std::string_view utf8);
// The first n characters of a UTF-8 text.
std::string_view FirstCharacters(std::string_view utf8, std::size_t n);

enum class TextCheck { kOk, kSeparator, kUnencodable, kTooLong };
struct TextCheckResult {
  TextCheck status = TextCheck::kOk;
  std::string message;      // for the user, empty when kOk
  std::string unencodable;  // kUnencodable: the first character Big5 lacks
  explicit operator bool() const { return status == TextCheck::kOk; }
};
TextCheckResult CheckName(std::string_view utf8);
// The same check for another field (sex, date and time texts).
TextCheckResult CheckFieldText(std::string_view utf8);

}  // namespace qelm::records
