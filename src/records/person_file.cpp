#include "records/person_file.hpp"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "records/big5.hpp"
#include "records/file_io.hpp"
#include "records/merge_step.hpp"
#include "records/person_lines.hpp"

namespace qelm::records {

namespace fs = std::filesystem;
using namespace io;

// ======================================================================
// Records in memory
// ======================================================================

void DiskStateHasher::add(std::string_view piece) {
  std::uint64_t h = hash_;
  for (const unsigned char c : piece) {
    h ^= c;
    h *= 0x100000001b3u;
  }
  hash_ = h;
  size_ += piece.size();
}

DiskState DiskStateOf(std::string_view content) {
  DiskStateHasher h;
  h.add(content);
  return h.state();
}

PersonList ParsePersonFile(std::string_view content, bool complete) {
  PersonLines lines(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')));
  lines.Take(content, true, complete);
  return lines.Finish(complete, DiskStateOf(content));
}

namespace {

// For each row that was not read from a file, how it will stand in the
// content (a row read from one keeps its source; only its line number and
// line end change, see SourcesAfterSave). False when such a row cannot be
// written.
bool NewSources(const PersonList& list, std::vector<std::pair<std::size_t, PersonRecord::Source>>& sources) {
  Big5Codec codec;
  std::string line;
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    if (list.rows[i].source) continue;
    line.clear();
    if (!AppendLine(codec, list.rows[i].fields, line)) return false;
    PersonRecord::Source src;
    src.line_end = "\r\n";
    src.field_count = kFieldCount;
    src.line = static_cast<std::uint32_t>(i + 1);
    sources.emplace_back(i, src);
  }
  return true;
}

// The rows as they stand in the content Serialize made of them.
void SourcesAfterSave(std::vector<PersonRecord>& rows,
                      std::vector<std::pair<std::size_t, PersonRecord::Source>>& sources) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].source) continue;
    PersonRecord::Source& src = *rows[i].source;
    if (src.line_end.empty()) src.line_end = "\r\n";
    src.line = static_cast<std::uint32_t>(i + 1);
  }
  for (auto& [index, src] : sources) rows[index].source = src;
}

// Where the row the user chose stands now: at its index if it is still
// there, else at the nearest place that holds it unchanged.
std::optional<std::size_t> Locate(const std::vector<PersonRecord>& rows, const Edit& edit) {
  if (edit.index < rows.size() && SameRow(rows[edit.index], edit.before)) return edit.index;
  std::optional<std::size_t> best;
  std::size_t bestDistance = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::size_t distance = i > edit.index ? i - edit.index : edit.index - i;
    if ((!best || distance < bestDistance) && SameRow(rows[i], edit.before)) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

SaveResult CheckFields(const Fields& f) {
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    TextCheckResult c = i == kName ? CheckName(f[i]) : CheckFieldText(f[i]);
    if (!c) return {Status::kBadText, std::move(c.message)};
  }
  return {};
}

// An edit whose new content must be checked: an append, or a modification
// that changes something (an unchanged damaged row stays as it is).
bool WritesFields(const Edit& edit) {
  return edit.kind == Edit::Kind::kAppend ||
         (edit.kind == Edit::Kind::kModify && !(edit.before.fields == edit.after));
}

}  // namespace

std::optional<std::string> SerializePersonFile(const PersonList& list) {
  std::string out;
  std::size_t size = 0;  // room for the whole content at once
  for (const PersonRecord& row : list.rows) size += row.fields.kept().empty() ? 32 : row.fields.kept().size() + 2;
  out.reserve(size);
  if (!PutContent(list, [&out](std::string_view line) { out += line; })) return std::nullopt;
  return out;
}

SaveResult ApplyEdit(PersonList& list, const Edit& edit) {
  if (WritesFields(edit)) {
    if (SaveResult c = CheckFields(edit.after); !c) return c;
  }
  if (edit.kind == Edit::Kind::kAppend) {
    list.rows.push_back(PersonRecord{edit.after, std::nullopt});
    return {};
  }
  if (edit.kind == Edit::Kind::kRestore) {
    const std::size_t at = std::min(edit.index, list.rows.size());
    list.rows.insert(list.rows.begin() + static_cast<std::ptrdiff_t>(at), edit.before);
    return {};
  }
  const std::optional<std::size_t> at = Locate(list.rows, edit);
  if (!at) {
    return {Status::kConflict, edit.kind == Edit::Kind::kModify ? "要修改的資料已被變更或刪除"
                                                                 : "要刪除的資料已被變更或刪除"};
  }
  if (edit.kind == Edit::Kind::kRemove) {
    list.rows.erase(list.rows.begin() + static_cast<std::ptrdiff_t>(*at));
  } else if (!(list.rows[*at].fields == edit.after)) {
    // A note after the seventh field stays with the person.
    list.rows[*at] = PersonRecord{RecordFields(edit.after, list.rows[*at].fields.tail()), std::nullopt};
  }
  return {};
}

std::string DescribeEdit(const Edit& edit) {
  const auto quoted = [](std::string_view name) { return "「" + std::string(name) + "」"; };
  const std::string row = "第 " + std::to_string(edit.index + 1) + " 筆";
  switch (edit.kind) {
    case Edit::Kind::kAppend: return "輸入" + quoted(edit.after[kName]);
    case Edit::Kind::kRemove: return "刪除" + row + quoted(edit.before.fields[kName]);
    case Edit::Kind::kRestore: return "復原" + row + quoted(edit.before.fields[kName]);
    case Edit::Kind::kModify: break;
  }
  return "修改" + row + quoted(edit.before.fields[kName]) + "為" + quoted(edit.after[kName]);
}

// ======================================================================
// The file
// ======================================================================

namespace {
std::string TruncatedText() {
  return "檔案超過 " + std::to_string(kMaxRecords) + " 筆資料或過大，只載入了前面的部分";
}

// A save that cannot reach the file keeps the edit in the list, to be
// written by a later save.
SaveResult KeepInMemory(PersonList& list, const std::optional<Edit>& edit, SaveResult failure) {
  if (edit) {
    if (SaveResult r = ApplyEdit(list, *edit); !r) return r;
    list.unsaved.push_back(*edit);
  }
  return failure;
}

}  // namespace

LoadResult ReadPersonFile(const fs::path& path) {
  LoadResult r;
  // Read in pieces: only the records are held, not the file's text.
  PersonLines lines(CountLineFeeds(path, kMaxFileBytes));
  DiskStateHasher hasher;
  const FileContent file = ReadInLines(
      path, kMaxFileBytes,
      [&lines](std::string_view text, bool atEnd, bool complete) { return lines.Take(text, atEnd, complete); },
      [&hasher](std::string_view piece) { hasher.add(piece); });
  if (!file.exists) {
    r.status = Status::kMissing;
    return r;
  }
  if (file.error != 0) {
    r.status = Status::kCannotRead;
    r.error = file.error;
    r.message = "無法讀取檔案 " + PathText(path) + Reason(file.error);
    return r;
  }
  r.list = lines.Finish(file.complete, hasher.state());
  if (r.list.truncated) r.message = TruncatedText();
  return r;
}


LoadResult LoadPersonList(const fs::path& path) {
  RemoveStaleTemporaries(path);
  LoadResult r = ReadPersonFile(path);
  if (r.status != Status::kMissing) return r;
  // No file yet: create it empty.
  Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
  if (fd.get() < 0) {
    if (errno == EEXIST) return ReadPersonFile(path);  // someone else just made it
    r.status = Status::kCannotCreate;
    r.error = errno;
    r.message = "無法建立檔案 " + PathText(path) + Reason(errno);
    return r;
  }
  r.status = Status::kOk;
  r.created = true;
  r.list.disk = DiskStateOf({});
  return r;
}

bool MayHoldFields(std::string_view content, const Fields& fields) {
  // Fields that do not stand in the file as they are (a short, overlong or
  // damaged line): say yes.
  std::string line;
  Big5Codec codec;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const std::string& f = fields[i];
    if ((i > 0 && f.empty()) || f.find("…") != std::string::npos || f.find("\xEF\xBF\xBD") != std::string::npos)
      return true;
    const EncodedText e = codec.Encode(f);
    if (!e.bytes) return true;
    line += (i ? "\t" : "") + *e.bytes;
  }
  for (std::size_t at = content.find(line); at != std::string_view::npos; at = content.find(line, at + 1)) {
    const std::size_t end = at + line.size();
    const bool starts = at == 0 || content[at - 1] == '\n' || content[at - 1] == '\r';
    const bool ends = end == content.size() || std::string_view("\t\r\n").find(content[end]) != std::string_view::npos;
    if (starts && ends) return true;
  }
  return false;
}

namespace {

// The line as MayHoldFields looks for it; nothing for fields that do not
// stand in the file as they are.
std::optional<std::string> LineOfFields(Big5Codec& codec, const Fields& fields) {
  std::string line;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const std::string& f = fields[i];
    if ((i > 0 && f.empty()) || f.find("…") != std::string::npos || f.find("\xEF\xBF\xBD") != std::string::npos)
      return std::nullopt;
    const EncodedText e = codec.Encode(f);
    if (!e.bytes) return std::nullopt;
    line += (i ? "\t" : "") + *e.bytes;
  }
  return line;
}

}  // namespace

std::vector<bool> FileMayHoldFields(const fs::path& path, const std::vector<Fields>& fields) {
  std::vector<bool> found(fields.size(), false);
  std::vector<std::pair<std::size_t, std::string>> lines;  // of the fields that stand as they are
  std::size_t longest = 0;
  Big5Codec codec;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    std::optional<std::string> line = LineOfFields(codec, fields[i]);
    if (!line) {
      found[i] = true;
      continue;
    }
    longest = std::max(longest, line->size());
    lines.emplace_back(i, std::move(*line));
  }
  if (lines.empty()) return found;
  // Lines end at CR or LF; of each, its start is enough to tell (one byte
  // beyond the longest line looked for).
  std::string start;
  bool cut = false;  // the line is longer than `start` holds
  const auto check = [&] {
    for (const auto& [i, line] : lines)
      if (start.starts_with(line) && ((start.size() == line.size() && !cut) || (start.size() > line.size() &&
                                                                                start[line.size()] == '\t')))
        found[i] = true;
    start.clear();
    cut = false;
  };
  const FileContent read = ReadInPieces(path, kMaxFileBytes, [&](std::string_view piece) {
    while (!piece.empty()) {
      const std::size_t end = piece.find_first_of("\r\n");
      const std::string_view text = piece.substr(0, end);
      const std::size_t room = longest + 1 - std::min(start.size(), longest + 1);
      start += text.substr(0, room);
      cut = cut || text.size() > room;
      if (end == std::string_view::npos) break;
      check();
      piece.remove_prefix(end + 1);
    }
  });
  check();
  if (read.error != 0) std::fill(found.begin(), found.end(), true);
  return found;
}

SaveResult CheckBeforeSave(const PersonList& list, const std::optional<Edit>& edit) {
  if (list.truncated) {
    return {Status::kTooLarge, "檔案超過 " + std::to_string(kMaxRecords) +
                                   " 筆資料或過大，為免遺失未載入的資料，不予存檔"};
  }
  if (edit && WritesFields(*edit)) {
    if (SaveResult c = CheckFields(edit->after); !c) return c;
  }
  return {};
}

SaveResult KeepEditInMemory(PersonList& list, const std::optional<Edit>& edit, SaveResult failure) {
  return KeepInMemory(list, edit, std::move(failure));
}

PersonSave PreparePersonSave(const fs::path& target, PersonList& list, const std::optional<Edit>& edit) {
  PersonSave s;
  s.target = target;
  // The list to write: this one, or the file's new content with this list's
  // unsaved edits that still fit applied again.
  Merged<PersonList, Edit> m = ReadAndMerge<PersonList, Edit>(
      target, list, true, "檔案", [](std::string_view content) { return ParsePersonFile(content); },
      [](PersonList& l, const Edit& e) { return static_cast<bool>(ApplyEdit(l, e)); });
  if (!m.result) {
    if (m.result.status == Status::kCannotRead) {
      m.result.message += "，這次的修改尚未存檔";
      s.result = KeepInMemory(list, edit, std::move(m.result));
    } else {
      s.result = std::move(m.result);
    }
    return s;
  }
  s.existed = m.existed;
  s.changed = m.changed;
  s.dropped = std::move(m.dropped);
  s.work = std::move(m.work);
  if (s.changed) s.changedText = "檔案已被另一個程式變更，已重新載入；";
  if (!s.dropped.empty()) {
    s.changedText += "無法套用先前暫存的修改（該筆資料已被變更或刪除）：";
    for (std::size_t i = 0; i < s.dropped.size(); ++i)
      s.changedText += (i ? "、" : "") + DescribeEdit(s.dropped[i]);
    s.changedText += "；";
  }
  if (edit) {
    if (SaveResult r = ApplyEdit(s.work, *edit); !r) {
      list = std::move(s.work);  // as it was, or the file's content
      r.message = s.changedText + r.message;
      r.reloaded = s.changed;
      r.dropped = std::move(s.dropped);
      s.result = std::move(r);
      return s;
    }
    s.work.unsaved.push_back(*edit);
    s.edited = true;
  }
  if (!NewSources(s.work, s.sources)) {
    list = std::move(s.work);
    s.result = {Status::kBadText, "資料含有 Big5 無法表示的字"};
    return s;
  }
  return s;
}

bool PersonContentWritable(const PersonList& list) {
  std::vector<std::pair<std::size_t, PersonRecord::Source>> sources;
  return NewSources(list, sources);  // a line read from the file writes itself back
}

int WritePersonFile(const fs::path& path, const PersonList& list, DiskState* written) {
  DiskStateHasher hasher;
  const int err = WriteReplacing(path, [&](const PutPiece& put) {
    const bool made = PutContent(list, [&](std::string_view line) {
      hasher.add(line);
      put(line);
    });
    return made ? 0 : EILSEQ;
  });
  if (err == 0 && written) *written = hasher.state();
  return err;
}

int WritePersonSave(PersonSave& s) { return WritePersonFile(s.target, s.work, &s.written); }

SaveResult FinishPersonSave(PersonList& list, PersonSave&& s, SaveResult written) {
  SaveResult result = std::move(written);
  result.reloaded = s.changed;
  result.dropped = std::move(s.dropped);
  if (!result) {
    // Not written: the edits stay in the list, among its unsaved ones.
    result.message = s.changedText + result.message;
  } else {
    SourcesAfterSave(s.work.rows, s.sources);
    s.work.disk = s.written;
    s.work.unsaved.clear();
    if (!result.dropped.empty()) {
      result.message = s.changedText + (s.edited ? "這次的修改已存檔" : "其餘的修改已存檔");
    } else if (s.changed) {
      result.message = "檔案已被另一個程式變更，已重新載入並存入這次的修改";
    }
  }
  list = std::move(s.work);
  return result;
}

SaveResult SavePersonList(const fs::path& path, PersonList& list, const std::optional<Edit>& edit) {
  if (SaveResult c = CheckBeforeSave(list, edit); !c) return c;
  const fs::path target = ResolveTarget(path);
  FolderLock lock(FolderOf(target));
  if (lock.busy()) {
    return KeepInMemory(list, edit, {Status::kBusy, "檔案正由另一個程式存檔，這次的修改尚未存檔"});
  }
  PersonSave s = PreparePersonSave(target, list, edit);
  if (!s.result) return s.result;
  SaveResult written;
  if (const int err = WritePersonSave(s); err != 0)
    written = {Status::kCannotWrite, "無法寫入檔案 " + PathText(target) + Reason(err), err};
  return FinishPersonSave(list, std::move(s), std::move(written));
}

}  // namespace qelm::records
