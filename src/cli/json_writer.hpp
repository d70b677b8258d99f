// Writing JSON: RapidJSON's writer keeps the structure (the commas and
// colons between values), and values are written straight into its buffer,
// with the program's own texts, texts from outside and texts already in their
// JSON form told apart.
#pragma once

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "chart/text.hpp"

namespace qelm::cli {

// RapidJSON's writer, through its public interface: a value written straight
// into the buffer is first announced as an empty raw value of its type,
// which writes the comma or colon before it and counts it.
class OpenJsonWriter : public rapidjson::Writer<rapidjson::StringBuffer> {
 public:
  using rapidjson::Writer<rapidjson::StringBuffer>::Writer;
  void BeginRawValue(rapidjson::Type type) { RawValue("", 0, type); }
  // A key known whole, already in its JSON form with its quotes.
  void RawKey(std::string_view quoted) { RawValue(quoted.data(), quoted.size(), rapidjson::kStringType); }
};

// A text that came from outside the program (a name, a line of input): any
// bytes, invalid UTF-8 included.
struct UserText {
  std::string_view text;
};

// A text already in its JSON form, without the quotes. The program's own
// texts that hold no byte JSON escapes ('"', '\\' and the control
// characters: the fixed words, numbers and dates) are their own JSON form,
// and so is a report composed with escaped line ends. Written as it is, never
// scanned (debug builds check it).
struct JsonReadyText {
  std::string_view text;
};

// Whole numbers, or nothing (null) in their place.
template <typename T>
constexpr bool kIsNumber = std::is_integral_v<T> && !std::is_same_v<T, bool>;
template <typename T>
constexpr bool kIsNumber<std::optional<T>> = kIsNumber<T>;

// Writes JSON straight into a buffer, with no document tree in between:
// compact, numbers in decimal, texts with '"', '\\' and the control characters escaped (short
// forms where JSON has them, \u00xx otherwise) and, in a UserText, each
// invalid UTF-8 sequence replaced by U+FFFD. The program's own texts are
// valid UTF-8 and skip that check (debug builds assert it).
class JsonWriter {
 public:
  explicit JsonWriter(rapidjson::StringBuffer& out) : out_(out), writer_(out) {}

  void BeginObject() { writer_.StartObject(); }
  void EndObject() { writer_.EndObject(); }
  void BeginArray() { writer_.StartArray(); }
  void EndArray() { writer_.EndArray(); }
  // Keys are the program's own names, printable and never escaped. A key
  // written as a literal has its length known where it is written.
  void Key(std::string_view key);
  template <std::size_t N>
  void Key(const char (&key)[N]) {
    std::array<char, N + 1> quoted{};
    quoted[0] = '"';
    PutText(quoted.data() + 1, std::string_view(key, N - 1));
    quoted[N] = '"';
    writer_.RawKey(std::string_view(quoted.data(), N + 1));
  }

  void Value(std::int64_t n) { writer_.Int64(n); }
  void Value(int n) { writer_.Int(n); }
  void Value(double x) { writer_.Double(x); }
  void Value(bool b) { writer_.Bool(b); }  // the shortest decimal that reads back as x
  void Value(std::string_view text);  // the program's own text
  void Value(UserText text);
  void Value(JsonReadyText text);
  void Value(const std::string& text) { Value(std::string_view(text)); }
  void Value(const char* text) { Value(std::string_view(text)); }
  void Null() { writer_.Null(); }
  template <typename T>
  void Value(const std::optional<T>& v) {
    if (v) Value(*v);
    else Null();
  }
  // An array of numbers is written in one piece; other arrays item by item.
  template <typename T, std::size_t N>
  void Value(const std::array<T, N>& items) {
    if constexpr (kIsNumber<T>) {
      writer_.BeginRawValue(rapidjson::kArrayType);
      constexpr std::size_t room = 2 + N * (kNumberRoom + 1);
      char* const start = out_.Push(room);
      char* p = start;
      *p++ = '[';
      for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) *p++ = ',';
        p = PutNumber(p, items[i]);
      }
      *p++ = ']';
      out_.Pop(room - static_cast<std::size_t>(p - start));
    } else {
      BeginArray();
      for (const auto& item : items) Value(item);
      EndArray();
    }
  }

  // A whole value already in its JSON form, written straight into the
  // buffer from its parts (texts and Num, as AppendParts takes them).
  template <typename... Parts>
  void RawValue(rapidjson::Type type, const Parts&... parts) {
    writer_.BeginRawValue(type);
    const std::size_t room = (qelm::detail::MaxPartSize(parts) + ...);
    char* const start = out_.Push(room);
    char* p = start;
    ((p = qelm::detail::PutPart(p, parts)), ...);
    out_.Pop(room - static_cast<std::size_t>(p - start));
  }

  // "key": value
  template <typename K, typename T>
  void Field(const K& key, const T& value) {
    Key(key);
    Value(value);
  }
  // The most common fields, a literal key with a number or a ready text, are
  // written in one piece.
  template <std::size_t N>
  void Field(const char (&key)[N], int n) {
    char* p = BeginField(key, rapidjson::kNumberType, kNumberRoom);
    EndField(PutNumber(p, n));
  }
  template <std::size_t N>
  void Field(const char (&key)[N], JsonReadyText text) {
    char* p = BeginField(key, rapidjson::kStringType, text.text.size() + 2);
    *p++ = '"';
    p = PutText(p, text.text);
    *p++ = '"';
    EndField(p);
  }

  // Ends a finished value so that the next one may start: one JSON value a line.
  void EndLine() {
    out_.Put('\n');
    writer_.Reset(out_);
  }

 private:
  // Writes "key": and makes room for a value of at most `room` bytes after it.
  template <std::size_t N>
  char* BeginField(const char (&key)[N], rapidjson::Type type, std::size_t room) {
    Key(key);
    writer_.BeginRawValue(type);
    fieldRoom_ = room;
    fieldStart_ = out_.Push(fieldRoom_);
    return fieldStart_;
  }
  void EndField(char* end) { out_.Pop(fieldRoom_ - static_cast<std::size_t>(end - fieldStart_)); }

  static constexpr std::size_t kNumberRoom = 20;  // a sign and 19 digits
  template <typename T>
  static char* PutNumber(char* p, T n) {
    return std::to_chars(p, p + kNumberRoom, n).ptr;
  }
  template <typename T>
  static char* PutNumber(char* p, const std::optional<T>& n) {
    return n ? PutNumber(p, *n) : PutText(p, "null");
  }

  rapidjson::StringBuffer& out_;
  OpenJsonWriter writer_;
  char* fieldStart_ = nullptr;  // of the field being written
  std::size_t fieldRoom_ = 0;
};

// {"error": …} for a batch line that could not be used; the message quotes
// the input, so it is checked as user text.
void WriteError(JsonWriter& w, std::string_view error);

}  // namespace qelm::cli
