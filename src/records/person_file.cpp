#include "records/person_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

#include "records/big5.hpp"

namespace qelm::records {

namespace fs = std::filesystem;

// ======================================================================
// Records in memory
// ======================================================================

bool SameRow(const PersonRecord& a, const PersonRecord& b) {
  if (a.fields != b.fields || a.source.has_value() != b.source.has_value()) return false;
  return !a.source || a.source->bytes == b.source->bytes;
}

Edit Edit::Append(Fields after) {
  Edit e;
  e.kind = Kind::kAppend;
  e.after = std::move(after);
  return e;
}

Edit Edit::Modify(std::size_t index, PersonRecord before, Fields after) {
  Edit e;
  e.kind = Kind::kModify;
  e.index = index;
  e.before = std::move(before);
  e.after = std::move(after);
  return e;
}

Edit Edit::Remove(std::size_t index, PersonRecord before) {
  Edit e;
  e.kind = Kind::kRemove;
  e.index = index;
  e.before = std::move(before);
  return e;
}

DiskState DiskStateOf(std::string_view content) {
  // FNV-1a, 64 bits.
  std::uint64_t h = 0xcbf29ce484222325u;
  for (unsigned char c : content) {
    h ^= c;
    h *= 0x100000001b3u;
  }
  return {true, content.size(), h};
}

namespace {

PersonRecord ParseLine(Big5Codec& codec, std::string_view text, std::string_view lineEnd,
                       std::size_t lineNumber) {
  PersonRecord r;
  PersonRecord::Source src;
  src.line_end = std::string(lineEnd);
  src.line = lineNumber;
  std::size_t start = 0;
  std::size_t kept = text.size();  // end of the seventh field
  for (std::size_t n = 0;; ++n) {
    const std::size_t tab = text.find('\t', start);
    const std::size_t end = tab == std::string_view::npos ? text.size() : tab;
    if (n < kFieldCount) {
      // A field longer than any name (a Big5 character takes at most two
      // bytes) is decoded only as far as it is shown.
      std::string_view bytes = text.substr(start, end - start);
      const bool longBytes = bytes.size() > 2 * kMaxNameLength;
      if (longBytes) bytes = bytes.substr(0, 2 * kMaxNameLength + 2);
      DecodedText d = codec.Decode(bytes);
      if (longBytes || CharacterCount(d.text) > kMaxNameLength) {
        d.text = std::string(FirstCharacters(d.text, kMaxNameLength)) + "…";
        src.overlong = true;
      }
      r.fields[n] = std::move(d.text);
      src.valid_big5 = src.valid_big5 && d.valid;
      if (n + 1 == kFieldCount) kept = end;
    }
    src.field_count = n + 1;
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  src.bytes = std::string(text.substr(0, kept));
  r.source = std::move(src);
  return r;
}

}  // namespace

PersonList ParsePersonFile(std::string_view content, bool complete) {
  PersonList list;
  list.disk = DiskStateOf(content);
  Big5Codec codec;
  std::size_t pos = 0;
  std::size_t lineNumber = 0;
  // A line ends at CR LF, or at a lone CR or LF.
  while (pos < content.size()) {
    std::size_t end = content.find_first_of("\r\n", pos);
    std::string_view lineEnd;
    if (end == std::string_view::npos) {
      if (!complete) break;  // cut off in the middle of a line
      end = content.size();
    } else if (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') {
      lineEnd = content.substr(end, 2);
    } else {
      lineEnd = content.substr(end, 1);
    }
    ++lineNumber;
    const std::string_view text = content.substr(pos, end - pos);
    pos = end + lineEnd.size();
    if (text.empty()) continue;
    if (list.rows.size() == kMaxRecords) {
      list.truncated = true;
      break;
    }
    list.rows.push_back(ParseLine(codec, text, lineEnd, lineNumber));
  }
  if (!complete) list.truncated = true;
  return list;
}

namespace {

// The content of the list and, for each row, how it stands in that content.
std::optional<std::string> Serialize(const PersonList& list,
                                     std::vector<PersonRecord::Source>* sources) {
  std::string out;
  Big5Codec codec;
  std::size_t lineNumber = 0;
  for (const PersonRecord& row : list.rows) {
    PersonRecord::Source src;
    if (row.source) {
      src = *row.source;
      if (src.line_end.empty()) src.line_end = "\r\n";
    } else {
      // name TAB sex TAB year TAB month TAB day TAB hour TAB minute
      for (std::size_t i = 0; i < kFieldCount; ++i) {
        EncodedText e = codec.Encode(row.fields[i]);
        if (!e.bytes || e.bytes->find_first_of("\t\r\n") != std::string::npos) return std::nullopt;
        if (i > 0) src.bytes += '\t';
        src.bytes += *e.bytes;
      }
      src.line_end = "\r\n";
      src.field_count = kFieldCount;
    }
    src.line = ++lineNumber;
    out += src.bytes;
    out += src.line_end;
    if (sources) sources->push_back(std::move(src));
  }
  return out;
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
         (edit.kind == Edit::Kind::kModify && edit.after != edit.before.fields);
}

}  // namespace

std::optional<std::string> SerializePersonFile(const PersonList& list) {
  return Serialize(list, nullptr);
}

SaveResult ApplyEdit(PersonList& list, const Edit& edit) {
  if (WritesFields(edit)) {
    if (SaveResult c = CheckFields(edit.after); !c) return c;
  }
  if (edit.kind == Edit::Kind::kAppend) {
    list.rows.push_back(PersonRecord{edit.after, std::nullopt});
    return {};
  }
  const std::optional<std::size_t> at = Locate(list.rows, edit);
  if (!at) {
    return {Status::kConflict, edit.kind == Edit::Kind::kModify ? "要修改的資料已被變更或刪除"
                                                                 : "要刪除的資料已被變更或刪除"};
  }
  if (edit.kind == Edit::Kind::kRemove) {
    list.rows.erase(list.rows.begin() + static_cast<std::ptrdiff_t>(*at));
  } else if (list.rows[*at].fields != edit.after) {
    list.rows[*at] = PersonRecord{edit.after, std::nullopt};
  }
  return {};
}

std::string DescribeEdit(const Edit& edit) {
  const auto quoted = [](const std::string& name) { return "「" + name + "」"; };
  const std::string row = "第 " + std::to_string(edit.index + 1) + " 筆";
  switch (edit.kind) {
    case Edit::Kind::kAppend: return "輸入" + quoted(edit.after[kName]);
    case Edit::Kind::kRemove: return "刪除" + row + quoted(edit.before.fields[kName]);
    case Edit::Kind::kModify: break;
  }
  return "修改" + row + quoted(edit.before.fields[kName]) + "為" + quoted(edit.after[kName]);
}

// ======================================================================
// The file
// ======================================================================

namespace {

std::string Reason(int error) {
  switch (error) {
    case 0: return {};
    case EACCES:
    case EPERM: return "（沒有權限）";
    case EROFS: return "（唯讀的檔案系統）";
    case ENOSPC:
    case EDQUOT: return "（磁碟空間不足）";
    case ENOENT: return "（資料夾不存在）";
    case ENOTDIR: return "（路徑中有不是資料夾的項目）";
    case EISDIR: return "（同名的資料夾已存在）";
    case EINVAL: return "（不是一般檔案）";
    default: return "（系統錯誤 " + std::to_string(error) + "）";
  }
}

std::string PathText(const fs::path& p) { return p.string(); }

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the error of close (a delayed write error).
  int Close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

struct FileContent {
  bool exists = false;
  int error = 0;          // errno of a failed read (the file is there)
  std::string bytes;
  bool complete = true;   // false: the file is longer than kMaxFileBytes
};

FileContent ReadWhole(const fs::path& path) {
  FileContent r;
  // O_NONBLOCK: a FIFO named User must not block the program.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) {
    if (errno != ENOENT) {
      r.exists = true;
      r.error = errno;
    }
    return r;
  }
  r.exists = true;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    r.error = errno;
    return r;
  }
  if (!S_ISREG(st.st_mode)) {
    r.error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return r;
  }
  if (st.st_size > 0) r.bytes.reserve(std::min<std::size_t>(st.st_size, kMaxFileBytes));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      r.error = errno;
      return r;
    }
    if (n == 0) break;
    const std::size_t room = kMaxFileBytes - r.bytes.size();
    if (static_cast<std::size_t>(n) > room) {
      r.bytes.append(buf, room);
      r.complete = false;
      break;
    }
    r.bytes.append(buf, static_cast<std::size_t>(n));
  }
  return r;
}

// A `User` that is a symbolic link is written where the link points.
fs::path ResolveTarget(const fs::path& path) {
  std::error_code ec;
  if (fs::is_symlink(path, ec)) {
    fs::path target = fs::weakly_canonical(path, ec);
    if (!ec) return target;
  }
  return path;
}

fs::path FolderOf(const fs::path& path) {
  fs::path dir = path.parent_path();
  return dir.empty() ? fs::path(".") : dir;
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// Writes the content to a new file beside `path`, flushes it to the disk and
// renames it over `path`: the file is then either wholly old or wholly new.
// Returns 0 or the errno of the step that failed; the temporary file never
// stays behind.
int WriteReplacing(const fs::path& path, std::string_view content) {
  // A file the user made read-only stays as it is.
  struct stat old {};
  const bool hasOld = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  if (hasOld && ::access(path.c_str(), W_OK) != 0) return errno;
  // A fresh name in the same folder (rename only replaces within one file
  // system); created exclusively, with the permissions a new file gets.
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temp = path;
    temp += ".saving-" + std::to_string(::getpid()) + "-" + std::to_string(stamp + attempt);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 100)) return errno;
  }
  Fd file(fd);
  if (hasOld) ::fchmod(fd, old.st_mode & 07777);  // keep the permissions of the file replaced

  int err = WriteAll(fd, content);
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  const int closeErr = file.Close();
  if (err == 0) err = closeErr;
  if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    return err;
  }
  // Make the rename itself durable.
  Fd dir(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return 0;
}

// Two copies of the program take turns at the read-compare-write of a save:
// an advisory lock on the folder, held for the duration of the save.
class FolderLock {
 public:
  explicit FolderLock(const fs::path& folder, std::chrono::milliseconds wait = std::chrono::seconds{2})
      : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_.get() < 0) return;  // no folder: the write will say so
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + wait;
    while (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) return;  // no locking here: go on without
      if (steady_clock::now() >= deadline) {
        busy_ = true;
        return;
      }
      std::this_thread::sleep_for(milliseconds{10});
    }
  }
  bool busy() const { return busy_; }  // the lock is closed with fd_
  bool held() const { return fd_.get() >= 0 && !busy_; }

 private:
  Fd fd_;
  bool busy_ = false;
};

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
  FileContent file = ReadWhole(path);
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
  r.list = ParsePersonFile(file.bytes, file.complete);
  if (r.list.truncated) r.message = TruncatedText();
  return r;
}

namespace {

// Temporary files of saves that were killed half-way ("User.saving-…"): no
// save runs while the folder's lock is held, so whatever is there then is
// left over.
void RemoveStaleTemporaries(const fs::path& path) {
  const fs::path target = ResolveTarget(path);
  const FolderLock lock(FolderOf(target), std::chrono::milliseconds{0});
  if (!lock.held()) return;
  const std::string prefix = target.filename().string() + ".saving-";
  std::error_code ec;
  for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code ignored;
    if (name.starts_with(prefix) && it->is_regular_file(ignored)) fs::remove(it->path(), ignored);
  }
}

}  // namespace

LoadResult InputData(const fs::path& path) {
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

SaveResult SAVELIST(const fs::path& path, PersonList& list, const std::optional<Edit>& edit) {
  if (list.truncated) {
    return {Status::kTooLarge, "檔案超過 " + std::to_string(kMaxRecords) +
                                   " 筆資料或過大，為免遺失未載入的資料，不予存檔"};
  }
  if (edit && WritesFields(*edit)) {
    if (SaveResult c = CheckFields(edit->after); !c) return c;
  }
  const fs::path target = ResolveTarget(path);
  FolderLock lock(FolderOf(target));
  if (lock.busy()) {
    return KeepInMemory(list, edit, {Status::kBusy, "檔案正由另一個程式存檔，這次的修改尚未存檔"});
  }

  // What is in the file now.
  FileContent now = ReadWhole(target);
  if (now.error != 0) {
    return KeepInMemory(list, edit,
                        {Status::kCannotRead,
                         "無法讀取檔案 " + PathText(target) + Reason(now.error) + "，這次的修改尚未存檔",
                         now.error});
  }
  if (!now.complete) {
    return {Status::kTooLarge, "檔案已被另一個程式變更且過大，不予存檔"};
  }
  const DiskState current = now.exists ? DiskStateOf(now.bytes) : DiskState{};

  // The list to write: this one, or the file's new content with this list's
  // unsaved edits applied again.
  PersonList reloaded;
  PersonList* work = &list;
  std::vector<Edit> dropped;
  const bool changed = current != list.disk;
  if (changed) {
    reloaded = ParsePersonFile(now.bytes);
    reloaded.disk = current;
    if (reloaded.truncated) return {Status::kTooLarge, "檔案已被另一個程式變更且過大，不予存檔"};
    // Edits kept from earlier saves: those that still fit are applied
    // again; the others go back to the caller.
    for (const Edit& e : list.unsaved) {
      if (ApplyEdit(reloaded, e)) {
        reloaded.unsaved.push_back(e);
      } else {
        dropped.push_back(e);
      }
    }
    work = &reloaded;
  }
  std::string changedText = changed ? "檔案已被另一個程式變更，已重新載入；" : "";
  if (!dropped.empty()) {
    changedText += "無法套用先前暫存的修改（該筆資料已被變更或刪除）：";
    for (std::size_t i = 0; i < dropped.size(); ++i)
      changedText += (i ? "、" : "") + DescribeEdit(dropped[i]);
    changedText += "；";
  }
  if (edit) {
    if (SaveResult r = ApplyEdit(*work, *edit); !r) {
      if (changed) list = std::move(reloaded);
      r.message = changedText + r.message;
      r.reloaded = changed;
      r.dropped = std::move(dropped);
      return r;
    }
    work->unsaved.push_back(*edit);
  }

  std::vector<PersonRecord::Source> sources;
  const std::optional<std::string> content = Serialize(*work, &sources);
  if (!content) return {Status::kBadText, "資料含有 Big5 無法表示的字"};

  SaveResult result;
  result.reloaded = changed;
  result.dropped = std::move(dropped);
  if (const int err = WriteReplacing(target, *content); err != 0) {
    result.status = Status::kCannotWrite;
    result.error = err;
    result.message = changedText + "無法寫入檔案 " + PathText(target) + Reason(err);
  } else {
    for (std::size_t i = 0; i < sources.size(); ++i) work->rows[i].source = std::move(sources[i]);
    work->disk = DiskStateOf(*content);
    work->unsaved.clear();
    if (!result.dropped.empty()) {
      result.message = changedText + (edit ? "這次的修改已存檔" : "其餘的修改已存檔");
    } else if (changed) {
      result.message = "檔案已被另一個程式變更，已重新載入並存入這次的修改";
    }
  }
  if (changed) list = std::move(reloaded);
  return result;
}

SaveResult WritePersonFile(const fs::path& path, const PersonList& list) {
  const std::optional<std::string> content = SerializePersonFile(list);
  if (!content) return {Status::kBadText, "資料含有 Big5 無法表示的字"};
  const fs::path target = ResolveTarget(path);
  if (const int err = WriteReplacing(target, *content); err != 0)
    return {Status::kCannotWrite, "無法寫入檔案 " + PathText(target) + Reason(err), err};
  return {};
}

}  // namespace qelm::records
