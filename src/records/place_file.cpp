#include "records/place_file.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "records/big5.hpp"
#include "records/file_io.hpp"
#include "records/merge_step.hpp"
#include "records/utf8.hpp"

namespace qelm::records {

namespace fs = std::filesystem;
using namespace io;

fs::path PlaceFilePath(const fs::path& personFile) {
  fs::path p = personFile;
  p += ".places";
  return p;
}

namespace {

// The lines of a content read whole or in pieces.
class PlaceLines {
 public:
  // Room for every line at once, rather than growing step by step.
  explicit PlaceLines(std::size_t lineFeeds) { book_.lines.reserve(std::min(lineFeeds + 1, kMaxRecords)); }

  // Takes the lines that end in `content` (at its end: all, but a line cut
  // off when the content is not complete); returns how much it took.
  std::size_t Take(std::string_view content, bool atEnd, bool complete) {
    std::size_t pos = 0;
    while (pos < content.size() && !book_.truncated) {
      const std::size_t nl = content.find('\n', pos);
      if (nl == std::string_view::npos) {
        if (!atEnd) break;
        if (!complete) {
          book_.truncated = true;
          break;
        }
      }
      const std::size_t end = nl == std::string_view::npos ? content.size() : nl + 1;
      if (book_.lines.size() == kMaxRecords) {
        book_.truncated = true;
        break;
      }
      book_.lines.push_back(PlaceLine::Read(content.substr(pos, end - pos), book_.lines.size() + 1));
      pos = end;
    }
    return book_.truncated ? content.size() : pos;  // beyond the most lines: nothing more to keep
  }

  PlaceBook Finish(bool complete, const DiskState& disk) {
    if (!complete) book_.truncated = true;
    book_.disk = disk;
    return std::move(book_);
  }

 private:
  PlaceBook book_;
};

}  // namespace

PlaceBook ParsePlaceFile(std::string_view content, bool complete) {
  PlaceLines lines(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')));
  lines.Take(content, true, complete);
  return lines.Finish(complete, DiskStateOf(content));
}

bool PutPlaceContent(const PlaceBook& book, std::string_view more, const std::function<void(std::string_view)>& put,
                     const std::vector<bool>* keep) {
  const auto kept = [&](std::size_t i) { return !keep || (*keep)[i]; };
  for (std::size_t i = 0; i < book.lines.size(); ++i)
    if (kept(i) && !book.lines[i].writable()) return false;
  bool open = false;  // the last piece put ended without LF
  const auto line = [&](std::string_view text) {
    if (text.empty()) return;
    if (open) put("\n");  // a last line without end, now followed
    put(text);
    open = !text.ends_with('\n');
  };
  for (std::size_t i = 0; i < book.lines.size(); ++i)
    if (kept(i)) line(book.lines[i].text());
  line(more);
  return true;
}

void PlacesWritten(PlaceBook& book, std::string_view more, const DiskState& disk) {
  if (!more.empty()) {
    PlaceBook added = ParsePlaceFile(more);
    book.lines.insert(book.lines.end(), std::make_move_iterator(added.lines.begin()),
                      std::make_move_iterator(added.lines.end()));
  }
  for (std::size_t i = 0; i < book.lines.size(); ++i) book.lines[i].Written(i + 1, i + 1 < book.lines.size());
  book.unsaved.clear();
  book.disk = disk;
}

std::optional<std::string> SerializePlaceFile(const PlaceBook& book) {
  std::string out;
  std::size_t size = 0;
  for (const PlaceLine& line : book.lines) size += line.text().size() + 1;
  out.reserve(size);
  if (!PutPlaceContent(book, {}, [&out](std::string_view piece) { out += piece; })) return std::nullopt;
  return out;
}

std::string UnreadablePlacesText(const PlaceBook& book) {
  constexpr std::size_t kNamed = 3;
  std::size_t count = 0;
  std::string named;
  for (const PlaceLine& line : book.lines) {
    if (line.readable()) continue;
    const std::string problem = line.problem();
    if (problem.empty()) continue;
    if (++count <= kNamed) named += (count > 1 ? "；" : "") + ("第 " + std::to_string(line.line()) + " 行") + problem;
  }
  if (count == 0) return {};
  return "出生地檔案有 " + std::to_string(count) + " 行無法讀取，已原樣保留（" + named + (count > kNamed ? "；……" : "") +
         "）";
}

const PlaceLine* UnreadablePlaceOf(const PlaceBook& book, FieldsView person) {
  for (const PlaceLine& line : book.lines)
    if (!line.readable() && line.HasKey(person) && !line.problem().empty()) return &line;
  return nullptr;
}

std::optional<PlaceEntry> FindPlaceEntry(const PlaceBook& book, FieldsView person) {
  for (const PlaceLine& line : book.lines)
    if (line.readable() && line.HasKey(person)) return line.entry();
  return std::nullopt;
}

void ApplyPlaceChange(PlaceBook& book, const PlaceChange& change) {
  // Where the new entry goes: the first entry it replaces, else the end.
  std::optional<std::size_t> at;
  const auto drop = [&](const Fields& key) {
    for (std::size_t i = 0; i < book.lines.size();) {
      if (book.lines[i].readable() && book.lines[i].HasKey(key)) {
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
  const std::size_t index = std::min(at.value_or(book.lines.size()), book.lines.size());
  book.lines.insert(book.lines.begin() + static_cast<std::ptrdiff_t>(index), PlaceLine::Written(*change.to, *change.entry));
}

LoadResult LoadPlaceFile(const fs::path& path, PlaceBook& book) {
  RemoveStaleTemporaries(path);
  LoadResult r;
  book = {};
  // Read in pieces: only the lines are held, not the file's text once more.
  PlaceLines lines(CountLineFeeds(path, kMaxFileBytes));
  DiskStateHasher hasher;
  const FileContent file = ReadInLines(
      path, kMaxFileBytes,
      [&lines](std::string_view text, bool atEnd, bool complete) { return lines.Take(text, atEnd, complete); },
      [&hasher](std::string_view piece) { hasher.add(piece); });
  if (!file.exists) return r;
  if (file.error != 0) {
    r.status = Status::kCannotRead;
    r.error = file.error;
    r.message = "無法讀取出生地檔案 " + PathText(path) + Reason(file.error);
    return r;
  }
  book = lines.Finish(file.complete, hasher.state());
  if (book.truncated) r.message = "出生地檔案過大，只載入了前面的部分";
  return r;
}

SaveResult KeepInMemory(PlaceBook& book, const std::vector<PlaceChange>& changes, SaveResult failure) {
  for (const PlaceChange& c : changes) {
    ApplyPlaceChange(book, c);
    book.unsaved.push_back(c);
  }
  failure.message += "，出生地的修改暫存在記憶體中";
  return failure;
}


PlaceSave PreparePlaceSave(const fs::path& target, PlaceBook& book, const std::vector<PlaceChange>& changes,
                           bool take) {
  PlaceSave s;
  // Changed by another copy: its content with this book's changes on top
  // (changes are by person: they always fit).
  Merged<PlaceBook, PlaceChange> m = ReadAndMerge<PlaceBook, PlaceChange>(
      target, book, take, "出生地檔案", [](std::string_view content) { return ParsePlaceFile(content); },
      [](PlaceBook& b, const PlaceChange& c) {
        ApplyPlaceChange(b, c);
        return true;
      });
  if (!m.result) {
    s.result = m.result.status == Status::kCannotRead ? KeepInMemory(book, changes, std::move(m.result))
                                                       : std::move(m.result);
    return s;
  }
  s.existed = m.existed;
  s.disk = m.disk;
  s.reloaded = m.changed;
  s.work = std::move(m.work);
  for (const PlaceChange& c : changes) {
    ApplyPlaceChange(s.work, c);
    s.work.unsaved.push_back(c);
  }
  return s;
}

SaveResult SavePlaceFile(const fs::path& path, PlaceBook& book, const std::optional<PlaceChange>& change) {
  if (book.truncated) return {Status::kTooLarge, "出生地檔案過大，為免遺失未載入的資料，不予存檔"};
  const std::vector<PlaceChange> changes = change ? std::vector{*change} : std::vector<PlaceChange>{};
  const fs::path target = ResolveTarget(path);
  FolderLock lock(FolderOf(target));
  if (lock.busy()) return KeepInMemory(book, changes, {Status::kBusy, "檔案正由另一個程式存檔"});
  PlaceSave s = PreparePlaceSave(target, book, changes);
  if (!s.result) return s.result;
  SaveResult result;
  result.reloaded = s.reloaded;
  const std::optional<std::string> content = SerializePlaceFile(s.work);
  if (!content) return {Status::kBadText, "出生地的資料含有定位字元或換行"};
  if (!s.existed && content->empty()) {  // nothing to keep: no file needed
    book = std::move(s.work);
    book.unsaved.clear();
    return result;
  }
  if (const int err = WriteReplacing(target, *content); err != 0) {
    book = std::move(s.work);  // the change stays in memory, among the unsaved ones
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
