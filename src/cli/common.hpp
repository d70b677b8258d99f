// Pieces the subcommands of qelm-report share: JSON output, reading a
// moment the user typed, and the present moment.
#pragma once

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"
#include "chart/text.hpp"

namespace qelm::cli {

using Json = nlohmann::ordered_json;

// One compact line; invalid UTF-8 is replaced, never thrown.
std::string Dump(const Json& j);

std::string_view Trim(std::string_view s);

// RapidJSON's writer, opened for a value written straight into its buffer.
class OpenJsonWriter : public rapidjson::Writer<rapidjson::StringBuffer> {
 public:
  using rapidjson::Writer<rapidjson::StringBuffer>::Writer;
  void BeginRawValue(rapidjson::Type type) { Prefix(type); }
  void EndRawValue() { EndValue(true); }
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

// Writes JSON straight into a buffer, with no document tree in between. The
// bytes are those Dump writes for the same values: compact, numbers in
// decimal, texts with '"', '\\' and the control characters escaped (short
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
    writer_.BeginRawValue(rapidjson::kStringType);
    char* p = out_.Push(N + 1);
    *p++ = '"';
    p = PutText(p, std::string_view(key, N - 1));
    *p = '"';
    writer_.EndRawValue();
  }

  void Value(std::int64_t n) { writer_.Int64(n); }
  void Value(int n) { writer_.Int(n); }
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
  template <typename T, std::size_t N>
  void Value(const std::array<T, N>& items) {
    BeginArray();
    for (const auto& item : items) Value(item);
    EndArray();
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
    writer_.EndRawValue();
  }

  // "key": value
  template <typename K, typename T>
  void Field(const K& key, const T& value) {
    Key(key);
    Value(value);
  }

  // Ends a finished value so that the next one may start: one JSON value a line.
  void EndLine() {
    out_.Put('\n');
    writer_.Reset(out_);
  }

 private:
  rapidjson::StringBuffer& out_;
  OpenJsonWriter writer_;
};

// Every field of the engine's result under its own name, inside an object the
// caller opened.
void WriteMomentFields(JsonWriter& w, const MomentResult& r);
// The same as one object.
Json MomentJson(const MomentResult& r);

// The engine's result for a "YYYY-MM-DD HH:MM" text (blanks around it are
// ignored), or nothing with the reason in `error`, naming the field at fault.
// `what` names the moment in the message ("時刻", "出生時刻", "流時").
std::optional<MomentResult> MomentOf(std::string_view what, std::string_view text, std::string& error);

// The text with CR LF line ends turned into LF.
std::string LfLineEnds(std::string_view text);

// The present local clock time, to the minute.
MomentInput NowInput();

}  // namespace qelm::cli
