// Writing JSON straight into a RapidJSON string buffer, with the program's
// own texts, texts from outside and texts already in their JSON form told
// apart. The writer keeps only what the commas need: whether the value or key
// to come follows another in its object or array.
#pragma once

#include <rapidjson/stringbuffer.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "chart/text.hpp"

namespace qelm::cli {

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

// One member of an object as JsonWriter::Members writes it: a literal key
// with a whole number or a ready text.
template <std::size_t N, typename V>
struct Member {
  const char (&key)[N];
  V value;
};
template <std::size_t N>
Member(const char (&)[N], int) -> Member<N, int>;
template <std::size_t N>
Member(const char (&)[N], JsonReadyText) -> Member<N, JsonReadyText>;

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
  explicit JsonWriter(rapidjson::StringBuffer& out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // Keys are the program's own names, printable and never escaped. A key
  // written as a literal has its length known where it is written.
  void Key(std::string_view key);
  template <std::size_t N>
  void Key(const char (&key)[N]) {
    NoteKey();
    char* p = Begin(N + 2);
    EndKey(PutKey(p, key));
  }

  void Value(std::int64_t n) { PutValue(kNumberRoom, [n](char* p) { return PutNumber(p, n); }); }
  void Value(int n) { PutValue(kNumberRoom, [n](char* p) { return PutNumber(p, n); }); }
  void Value(double x);  // the shortest decimal that reads back as x; null if x is not finite
  void Value(bool b) { PutValue(5, [b](char* p) { return PutText(p, b ? "true" : "false"); }); }
  void Value(std::string_view text);  // the program's own text
  void Value(UserText text);
  void Value(JsonReadyText text);
  void Value(const std::string& text) { Value(std::string_view(text)); }
  void Value(const char* text) { Value(std::string_view(text)); }
  void Null() { PutValue(4, [](char* p) { return PutText(p, "null"); }); }
  template <typename T>
  void Value(const std::optional<T>& v) {
    if (v) Value(*v);
    else Null();
  }
  // An array of numbers or of ready texts is written in one piece; other
  // arrays item by item.
  template <typename T, std::size_t N>
  void Value(const std::array<T, N>& items) {
    if constexpr (kIsNumber<T>) {
      PutValue(2 + N * (kNumberRoom + 1), [&items](char* p) {
        *p++ = '[';
        for (std::size_t i = 0; i < N; ++i) {
          if (i > 0) *p++ = ',';
          p = PutNumber(p, items[i]);
        }
        *p++ = ']';
        return p;
      });
    } else if constexpr (std::is_same_v<T, JsonReadyText>) {
      std::size_t room = 2 + N * 3;
      for (const JsonReadyText& item : items) room += item.text.size();
      PutValue(room, [&items](char* p) {
        *p++ = '[';
        for (std::size_t i = 0; i < N; ++i) {
          if (i > 0) *p++ = ',';
          *p++ = '"';
          p = PutText(p, items[i].text);
          *p++ = '"';
        }
        *p++ = ']';
        return p;
      });
    } else {
      BeginArray();
      for (const auto& item : items) Value(item);
      EndArray();
    }
  }

  // An array of the program's own short texts held inline (dates, age
  // ranges), each moved whole with its block, in one piece.
  template <std::size_t K, std::size_t N>
  void ReadyTexts(const std::array<InlineText<K>, N>& items) {
    PutValue(2 + N * (K + 3), [&items](char* p) {
      *p++ = '[';
      for (std::size_t i = 0; i < N; ++i) {
        CheckReady({items[i].view()});
        if (i > 0) *p++ = ',';
        *p++ = '"';
        p = PutWhole(p, items[i]);
        *p++ = '"';
      }
      *p++ = ']';
      return p;
    });
  }

  // A whole value already in its JSON form, written straight into the
  // buffer from its parts (texts and Num, as AppendParts takes them).
  template <typename... Parts>
  void RawValue(const Parts&... parts) {
    PutValue(PartsRoom(parts...), [&parts...](char* p) { return PutParts(p, parts...); });
  }
  // A whole value in its JSON form of at most `room` bytes, which put(p)
  // writes at p, returning its end.
  template <typename Put>
  void PutValue(std::size_t room, Put put) {
    NoteValue();
    char* p = Begin(room);
    EndValue(put(p));
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
    NoteKey();
    NoteValue();
    char* p = Begin(N + 2 + kNumberRoom);
    EndValue(PutNumber(PutKey(p, key), n));
  }
  template <std::size_t N>
  void Field(const char (&key)[N], JsonReadyText text) {
    NoteKey();
    NoteValue();
    char* p = PutKey(Begin(N + 4 + text.text.size()), key);
    *p++ = '"';
    p = PutText(p, text.text);
    *p++ = '"';
    EndValue(p);
  }

  // Members of the open object one after another, written in one piece
  // with room made once for all of them.
  template <std::size_t... N, typename... V>
  void Members(const Member<N, V>&... members) {
    NoteKey();
    NoteValue();
    char* p = Begin(((N + 4 + MemberRoom(members.value)) + ...));
    bool first = true;
    ((p = PutMember(p, members, first)), ...);
    EndValue(p);
  }

  // Ends a finished value so that the next one may start: one JSON value a line.
  void EndLine();

 private:
  // Makes room for a comma and `room` bytes after it; the comma is kept
  // where a value or key comes before in the same object or array.
  [[gnu::always_inline]] char* Begin(std::size_t room) {
    room_ = room + 1;
    start_ = out_.Push(room_);
    *start_ = ',';
    return start_ + (afterValue_ ? 1 : 0);
  }
  // Gives back the room left over after `end`.
  void EndKey(char* end) {
    out_.Pop(room_ - static_cast<std::size_t>(end - start_));
    afterValue_ = false;
  }
  void EndValue(char* end) {
    out_.Pop(room_ - static_cast<std::size_t>(end - start_));
    afterValue_ = true;
  }
  void Open(char bracket) {
    NoteOpen(bracket);
    char* p = Begin(1);
    *p++ = bracket;
    EndKey(p);  // the first member follows with no comma
  }
  void Close(char bracket) {
    NoteClose(bracket);
    out_.Put(bracket);
    afterValue_ = true;
  }
  // "key": for a literal key (N - 1 bytes), at most N + 2 bytes.
  template <std::size_t N>
  static char* PutKey(char* p, const char (&key)[N]) {
    *p++ = '"';
    std::memcpy(p, key, N - 1);  // of a size known here: moved inline
    p += N - 1;
    *p++ = '"';
    *p++ = ':';
    return p;
  }

  static std::size_t MemberRoom(int) { return kNumberRoom; }
  static std::size_t MemberRoom(JsonReadyText text) { return text.text.size() + 2; }
  // ,"key":value (no comma before the first of a run).
  template <std::size_t N, typename V>
  static char* PutMember(char* p, const Member<N, V>& m, bool& first) {
    if (!first) *p++ = ',';
    first = false;
    p = PutKey(p, m.key);
    if constexpr (std::is_same_v<V, int>) {
      return PutNumber(p, m.value);
    } else {
      CheckReady(m.value);
      *p++ = '"';
      p = PutText(p, m.value.text);
      *p++ = '"';
      return p;
    }
  }

  static constexpr std::size_t kNumberRoom = 20;  // a sign and 19 digits
  template <typename T>
  [[gnu::always_inline]] static char* PutNumber(char* p, T n) {
    // Most numbers of a chart are single digits (a negative one is not,
    // seen unsigned).
    const auto u = static_cast<std::make_unsigned_t<T>>(n);
    if (u < 10) {
      *p = static_cast<char>('0' + n);
      return p + 1;
    }
    if (u < 100) return PutTwoDigits(p, static_cast<unsigned>(u));
    return PutLongNumber(p, n);
  }
  template <typename T>
  [[gnu::noinline]] static char* PutLongNumber(char* p, T n) {
    return std::to_chars(p, p + kNumberRoom, n).ptr;
  }
  template <typename T>
  static char* PutNumber(char* p, const std::optional<T>& n) {
    return n ? PutNumber(p, *n) : PutText(p, "null");
  }

  // Debug builds check that keys and values come where they may: a key only
  // where an object's member is due, a value anywhere else.
#ifdef NDEBUG
  static void CheckReady(JsonReadyText) {}
  void NoteKey() {}
  void NoteValue() {}
  void NoteOpen(char) {}
  void NoteClose(char) {}
#else
  static void CheckReady(JsonReadyText text);  // nothing JSON escapes in it
  void NoteKey();
  void NoteValue();
  void NoteOpen(char bracket);
  void NoteClose(char bracket);
  std::string open_;     // the brackets of the objects and arrays open, outermost first
  bool keyDue_ = false;  // in an object, its next member's key
#endif

  rapidjson::StringBuffer& out_;
  bool afterValue_ = false;  // a comma is due before the next key or value
  char* start_ = nullptr;    // of the piece being written
  std::size_t room_ = 0;     // made for it
};

// {"error": …} for a batch line that could not be used; the message quotes
// the input, so it is checked as user text.
void WriteError(JsonWriter& w, std::string_view error);

}  // namespace qelm::cli
