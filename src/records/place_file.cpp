#include "records/place_file.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "records/file_io.hpp"

namespace qelm::records {

namespace fs = std::filesystem;
using namespace io;

fs::path PlaceFilePath(const fs::path& personFile) {
  fs::path p = personFile;
  p += ".places";
  return p;
}

namespace {

bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size() || (n == 2 && c < 0xC2)) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

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

bool Clean(std::string_view s) { return s.find_first_of("\t\r\n") == std::string_view::npos; }

// A line without its end: the key and the entry, when it reads as one.
PlaceLine ReadLine(std::string_view text) {
  PlaceLine line;
  std::vector<std::string_view> f;
  for (std::size_t start = 0;;) {
    const std::size_t tab = text.find('\t', start);
    f.push_back(text.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (f.size() != kPlaceFieldCount || !ValidUtf8(text)) return line;
  for (std::size_t i = 0; i < kFieldCount; ++i) line.key[i] = std::string(f[i]);
  const auto lon = Number(f[kFieldCount + 1], 180), lat = Number(f[kFieldCount + 2], 90);
  const std::string_view zone = f[kFieldCount + 3];
  std::string_view mode = f[kFieldCount + 4];
  const bool later = mode.ends_with(":later");
  if (later) mode.remove_suffix(6);
  if (!lon || !lat || zone.empty() || !KnownMode(mode)) return line;
  line.entry = PlaceEntry{std::string(f[kFieldCount]), *lon, *lat, std::string(zone), std::string(mode), later};
  return line;
}

std::optional<std::string> LineOf(const Fields& key, const PlaceEntry& e) {
  std::string s;
  for (const std::string& k : key) {
    if (!Clean(k)) return std::nullopt;
    s += k + '\t';
  }
  if (!Clean(e.name) || !Clean(e.zone) || !Clean(e.mode)) return std::nullopt;
  s += e.name + '\t' + NumberText(e.longitude) + '\t' + NumberText(e.latitude) + '\t' + e.zone + '\t' + e.mode +
       (e.later ? ":later" : "") + '\n';
  return s;
}

}  // namespace

PlaceBook ParsePlaceFile(std::string_view content, bool complete) {
  PlaceBook book;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t nl = content.find('\n', pos);
    if (nl == std::string_view::npos && !complete) {
      book.truncated = true;
      break;
    }
    const std::size_t end = nl == std::string_view::npos ? content.size() : nl + 1;
    if (book.lines.size() == kMaxRecords) {
      book.truncated = true;
      break;
    }
    std::string_view text = content.substr(pos, end - pos);
    std::string_view body = text;
    if (body.ends_with('\n')) body.remove_suffix(1);
    if (body.ends_with('\r')) body.remove_suffix(1);
    PlaceLine line = ReadLine(body);
    line.bytes = std::string(text);
    book.lines.push_back(std::move(line));
    pos = end;
  }
  if (!complete) book.truncated = true;
  book.disk = DiskStateOf(content);
  return book;
}

std::optional<std::string> SerializePlaceFile(const PlaceBook& book) {
  std::string out;
  for (const PlaceLine& line : book.lines) {
    if (!out.empty() && !out.ends_with('\n')) out += '\n';  // a last line without end, now followed
    if (!line.bytes.empty()) {
      out += line.bytes;
    } else if (line.entry) {
      const auto text = LineOf(line.key, *line.entry);
      if (!text) return std::nullopt;
      out += *text;
    }
  }
  return out;
}

const PlaceEntry* FindPlaceEntry(const PlaceBook& book, const Fields& person) {
  for (const PlaceLine& line : book.lines)
    if (line.entry && line.key == person) return &*line.entry;
  return nullptr;
}

void ApplyPlaceChange(PlaceBook& book, const PlaceChange& change) {
  // Where the new entry goes: the first entry it replaces, else the end.
  std::optional<std::size_t> at;
  const auto drop = [&](const Fields& key) {
    for (std::size_t i = 0; i < book.lines.size();) {
      if (book.lines[i].entry && book.lines[i].key == key) {
        if (!at || i < *at) at = i;
        book.lines.erase(book.lines.begin() + static_cast<std::ptrdiff_t>(i));
      } else {
        ++i;
      }
    }
  };
  if (change.from) drop(*change.from);
  if (!change.to || !change.entry) return;
  drop(*change.to);
  PlaceLine line{*change.to, *change.entry, {}};
  const std::size_t index = std::min(at.value_or(book.lines.size()), book.lines.size());
  book.lines.insert(book.lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

LoadResult LoadPlaceFile(const fs::path& path, PlaceBook& book) {
  RemoveStaleTemporaries(path);
  LoadResult r;
  FileContent file = ReadWhole(path, kMaxFileBytes);
  book = {};
  if (!file.exists) return r;
  if (file.error != 0) {
    r.status = Status::kCannotRead;
    r.error = file.error;
    r.message = "無法讀取出生地檔案 " + PathText(path) + Reason(file.error);
    return r;
  }
  book = ParsePlaceFile(file.bytes, file.complete);
  if (book.truncated) r.message = "出生地檔案過大，只載入了前面的部分";
  return r;
}

namespace {

SaveResult KeepInMemory(PlaceBook& book, const std::optional<PlaceChange>& change, SaveResult failure) {
  if (change) {
    ApplyPlaceChange(book, *change);
    book.unsaved.push_back(*change);
  }
  failure.message += "，出生地的修改暫存在記憶體中";
  return failure;
}

}  // namespace

SaveResult SavePlaceFile(const fs::path& path, PlaceBook& book, const std::optional<PlaceChange>& change) {
  if (book.truncated) return {Status::kTooLarge, "出生地檔案過大，為免遺失未載入的資料，不予存檔"};
  const fs::path target = ResolveTarget(path);
  FolderLock lock(FolderOf(target));
  if (lock.busy()) return KeepInMemory(book, change, {Status::kBusy, "檔案正由另一個程式存檔"});
  FileContent now = ReadWhole(target, kMaxFileBytes);
  if (now.error != 0)
    return KeepInMemory(book, change,
                        {Status::kCannotRead, "無法讀取出生地檔案 " + PathText(target) + Reason(now.error), now.error});
  if (!now.complete) return {Status::kTooLarge, "出生地檔案已被另一個程式變更且過大，不予存檔"};
  const DiskState current = now.exists ? DiskStateOf(now.bytes) : DiskState{};

  PlaceBook work = book;
  SaveResult result;
  if (current != book.disk) {
    // Changed by another copy: its content with this book's changes on top.
    work = ParsePlaceFile(now.bytes);
    if (work.truncated) return {Status::kTooLarge, "出生地檔案已被另一個程式變更且過大，不予存檔"};
    for (const PlaceChange& c : book.unsaved) ApplyPlaceChange(work, c);
    work.unsaved = book.unsaved;
    result.reloaded = true;
  }
  if (change) {
    ApplyPlaceChange(work, *change);
    work.unsaved.push_back(*change);
  }
  const std::optional<std::string> content = SerializePlaceFile(work);
  if (!content) return {Status::kBadText, "出生地的資料含有定位字元或換行"};
  if (!now.exists && content->empty()) {  // nothing to keep: no file needed
    book = std::move(work);
    book.unsaved.clear();
    return result;
  }
  if (const int err = WriteReplacing(target, *content); err != 0) {
    book = std::move(work);  // the change stays in memory, among the unsaved ones
    result.status = Status::kCannotWrite;
    result.error = err;
    result.message = "無法寫入出生地檔案 " + PathText(target) + Reason(err) + "，出生地的修改暫存在記憶體中";
    return result;
  }
  // What was written is now what the file holds, line by line.
  book = ParsePlaceFile(*content);
  return result;
}

}  // namespace qelm::records
