// A line of the place file: its text, the person it names and the place it
// gives, read from the text when asked.
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "records/big5.hpp"
#include "records/place_file.hpp"
#include "records/utf8.hpp"

namespace qelm::records {

namespace {

std::optional<double> Number(std::string_view s, double limit) {
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(v) || std::fabs(v) > limit)
    return std::nullopt;
  return v;
}

std::string NumberText(double v) {
  std::array<char, 32> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  return std::string(buf.data(), r.ptr);
}

bool KnownMode(std::string_view m) { return m == "clock" || m == "standard" || m == "solar"; }

// A text a field can hold: no separator, no line end, no NUL, well-formed UTF-8.
bool Clean(std::string_view s) {
  return s.find_first_of(std::string_view("\t\r\n\0", 4)) == std::string_view::npos && IsValidUtf8(s);
}

// A field as the user is shown it: its start, when it is long.
std::string Quoted(std::string_view field) {
  constexpr std::size_t kShown = 20;
  const std::string_view start = FirstCharacters(field, kShown);
  return "「" + std::string(start) + (start.size() < field.size() ? "…" : "") + "」";
}

// What a line without its end holds: the key, and the entry or why it
// cannot be read.
struct LineContent {
  std::optional<std::size_t> keyEnd;  // of the first seven fields, when the line has them
  std::optional<PlaceEntry> entry;
  std::string problem;
};

// The line without its end.
std::string_view Body(std::string_view text) {
  if (text.ends_with('\n')) text.remove_suffix(1);
  if (text.ends_with('\r')) text.remove_suffix(1);
  return text;
}

LineContent ReadLine(std::string_view text) {
  LineContent line;
  if (text.empty()) return line;  // an empty line holds nothing to lose
  if (const std::size_t bad = FirstInvalidUtf8(text); bad != std::string_view::npos) {
    line.problem = "第 " + std::to_string(bad + 1) + " 個位元組起不是有效的 UTF-8 文字";
    return line;
  }
  std::array<std::string_view, kPlaceFieldCount> f;
  std::size_t count = 0;
  for (std::size_t start = 0;;) {
    const std::size_t tab = text.find('\t', start);
    const std::string_view field =
        text.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
    if (count < f.size()) f[count] = field;
    ++count;
    // The person the line was written for, when that much can be read.
    if (count == kFieldCount) line.keyEnd = static_cast<std::size_t>(field.data() + field.size() - text.data());
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (text.find('\0') != std::string_view::npos) {
    line.problem = "含有 NUL 字元";
    return line;
  }
  if (text.find('\r') != std::string_view::npos) {
    line.problem = "含有單獨的 CR（行尾應為 LF）";
    return line;
  }
  if (count != kPlaceFieldCount) {
    line.problem = "有 " + std::to_string(count) + " 欄，應為 " + std::to_string(kPlaceFieldCount) + " 欄";
    return line;
  }
  const std::string_view lonText = f[kFieldCount + 1], latText = f[kFieldCount + 2];
  const auto lon = Number(lonText, kMaxLongitude), lat = Number(latText, kMaxLatitude);
  const std::string_view zone = f[kFieldCount + 3];
  std::string_view mode = f[kFieldCount + 4];
  const bool later = mode.ends_with(":later");
  if (later) mode.remove_suffix(6);
  if (!lon) {
    line.problem = "經度" + Quoted(lonText) + "不是 -180 到 180 之間的數";
  } else if (!lat) {
    line.problem = "緯度" + Quoted(latText) + "不是 -90 到 90 之間的數";
  } else if (zone.empty()) {
    line.problem = "沒有時區";
  } else if (!KnownMode(mode)) {
    line.problem = "時間模式" + Quoted(f[kFieldCount + 4]) + "不明";
  }
  if (!line.problem.empty()) return line;
  line.entry = PlaceEntry{std::string(f[kFieldCount]), *lon, *lat, std::string(zone), std::string(mode), later};
  return line;
}

}  // namespace

std::optional<std::string> CheckPlaceEntry(const PlaceEntry& e) {
  if (!std::isfinite(e.longitude) || std::fabs(e.longitude) > kMaxLongitude)
    return "經度必須是 -180 到 180 之間的數";
  if (!std::isfinite(e.latitude) || std::fabs(e.latitude) > kMaxLatitude) return "緯度必須是 -90 到 90 之間的數";
  if (e.zone.empty()) return "出生地沒有時區";
  if (!KnownMode(e.mode)) return "出生地的時間模式不明";
  for (const std::string* text : {&e.name, &e.zone})
    if (!Clean(*text)) return "出生地的資料含有定位字元、換行或無效的文字";
  return std::nullopt;
}

PlaceLine PlaceLine::Read(std::string_view text, std::size_t line) {
  PlaceLine l;
  l.SetText(text);
  l.line_ = static_cast<std::uint32_t>(line);
  const LineContent c = ReadLine(Body(text));
  if (c.keyEnd) l.keyEnd_ = static_cast<std::uint32_t>(*c.keyEnd);
  l.kind_ = c.entry ? Kind::kEntry : Kind::kUnreadable;
  return l;
}

void PlaceLine::SetText(std::string_view text) {
  // Exactly the room the text needs: a file holds many lines.
  std::unique_ptr<char[]> copy = text.empty() ? nullptr : std::make_unique_for_overwrite<char[]>(text.size());
  std::copy(text.begin(), text.end(), copy.get());
  text_ = std::move(copy);
  size_ = static_cast<std::uint32_t>(text.size());
}

PlaceLine& PlaceLine::operator=(const PlaceLine& other) {
  if (this == &other) return *this;
  SetText(other.text());
  keyEnd_ = other.keyEnd_;
  line_ = other.line_;
  kind_ = other.kind_;
  return *this;
}

PlaceLine PlaceLine::Written(const Fields& key, const PlaceEntry& entry) {
  PlaceLine l;
  l.kind_ = Kind::kEntry;
  std::size_t keyEnd = 0;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    if (!Clean(key[i])) l.kind_ = Kind::kUnwritable;
    keyEnd += key[i].size() + (i > 0 ? 1 : 0);
  }
  if (CheckPlaceEntry(entry)) l.kind_ = Kind::kUnwritable;
  l.keyEnd_ = static_cast<std::uint32_t>(keyEnd);
  std::string s;
  s.reserve(keyEnd + entry.name.size() + entry.zone.size() + entry.mode.size() + 64);
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    s += key[i];
    s += '\t';
  }
  s += entry.name + '\t' + NumberText(entry.longitude) + '\t' + NumberText(entry.latitude) + '\t' + entry.zone +
       '\t' + entry.mode + (entry.later ? ":later" : "") + '\n';
  l.SetText(s);
  return l;
}

std::optional<PlaceEntry> PlaceLine::entry() const {
  if (kind_ == Kind::kUnreadable) return std::nullopt;
  return ReadLine(Body(text())).entry;
}

std::string PlaceLine::problem() const {
  if (kind_ != Kind::kUnreadable) return {};
  return ReadLine(Body(text())).problem;
}

std::optional<std::string_view> PlaceLine::key() const {
  if (keyEnd_ == kNoKey) return std::nullopt;
  return text().substr(0, keyEnd_);
}

bool PlaceLine::HasKey(FieldsView person) const {
  if (keyEnd_ == kNoKey) return false;
  std::size_t size = kFieldCount - 1;
  for (const std::string_view f : person.views()) size += f.size();
  if (size != keyEnd_) return false;
  const char* at = text_.get();
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const std::string_view f = person[i];
    if (std::string_view(at, f.size()) != f) return false;
    at += f.size();
    if (i + 1 < kFieldCount && *at++ != '\t') return false;
  }
  return true;
}

Fields PlaceLine::keyFields() const {
  Fields f;
  const std::optional<std::string_view> k = key();
  if (!k) return f;
  std::size_t start = 0;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const std::size_t tab = i + 1 < kFieldCount ? k->find('\t', start) : k->size();
    f[i] = std::string(k->substr(start, tab - start));
    start = tab + 1;
  }
  return f;
}

void PlaceLine::Written(std::size_t line, bool followed) {
  line_ = static_cast<std::uint32_t>(line);
  if (followed && !text().ends_with('\n')) SetText(std::string(text()) + '\n');
}

}  // namespace qelm::records
