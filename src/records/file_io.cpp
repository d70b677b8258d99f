#include "records/file_io.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <system_error>
#include <thread>

namespace qelm::records::io {

namespace fs = std::filesystem;

Fd::~Fd() {
  if (fd_ >= 0) ::close(fd_);
}

int Fd::Close() {
  const int rc = ::close(fd_);
  fd_ = -1;
  return rc == 0 ? 0 : errno;
}

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
    case EIO: return "（讀寫裝置時發生錯誤）";
    case ENAMETOOLONG: return "（名稱過長）";
    case ELOOP: return "（符號連結層數過多）";
    case EMFILE:
    case ENFILE: return "（開啟的檔案過多）";
    case ENOMEM: return "（記憶體不足）";
    case EBUSY:
    case ETXTBSY: return "（檔案正被使用）";
    case EEXIST: return "（檔案已存在）";
    case EFBIG: return "（檔案過大）";
    case EAGAIN: return "（資源暫時無法使用）";
    case EINTR: return "（被中斷）";
    case ENXIO:
    case ENODEV: return "（沒有這個裝置，或管道沒有讀取的一方）";
    case EPIPE: return "（管道的讀取端已關閉）";
    case ESTALE: return "（網路檔案已失效）";
    case ETIMEDOUT: return "（逾時）";
    case ENOTEMPTY: return "（資料夾不是空的）";
    case EXDEV: return "（不在同一個檔案系統）";
    // Rarer errors in the system's own words, with their number.
    default: return "（系統錯誤 " + std::to_string(error) + "：" + std::generic_category().message(error) + "）";
  }
}

std::string PathText(const fs::path& p) { return p.string(); }



FileContent ReadWhole(const fs::path& path, std::size_t limit) {
  std::string bytes;
  // Room for the whole at once: growing step by step would hold two copies.
  FileContent r = ReadInPieces(
      path, limit, [&bytes](std::string_view piece) { bytes += piece; },
      [&bytes](std::size_t size) { bytes.reserve(size); });
  r.bytes = std::move(bytes);
  return r;
}

FileContent ReadInPieces(const fs::path& path, std::size_t limit, const std::function<void(std::string_view)>& piece,
                         const std::function<void(std::size_t)>& sized) {
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
  if (st.st_size > 0 && sized) sized(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), limit));
  std::size_t read = 0;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      r.error = errno;
      return r;
    }
    if (n == 0) break;
    const std::size_t room = limit - read;
    if (static_cast<std::size_t>(n) > room) {
      piece(std::string_view(buf, room));
      r.complete = false;
      break;
    }
    piece(std::string_view(buf, static_cast<std::size_t>(n)));
    read += static_cast<std::size_t>(n);
  }
  return r;
}

FileContent ReadInLines(const fs::path& path, std::size_t limit, const TakeLines& take,
                        const std::function<void(std::string_view)>& each) {
  std::string pending;
  FileContent r = ReadInPieces(path, limit, [&](std::string_view piece) {
    if (each) each(piece);
    if (pending.empty()) {
      pending.assign(piece.substr(take(piece, false, true)));
    } else {
      // A line longer than a piece is only gathered until a line end (or a
      // CR left at the end, which the piece tells) comes: searching it again
      // at every piece would take time as its square.
      const bool ends = pending.back() == '\r' || piece.find_first_of("\r\n") != std::string_view::npos;
      pending += piece;
      if (ends) pending.erase(0, take(pending, false, true));
    }
  });
  if (r.exists && r.error == 0) take(pending, true, r.complete);
  return r;
}

std::size_t CountLineFeeds(const fs::path& path, std::size_t limit) {
  std::size_t count = 0;
  ReadInPieces(path, limit, [&count](std::string_view piece) {
    count += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n'));
  });
  return count;
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

namespace {
std::atomic<WriteStepHook> writeStepHook{nullptr};

int Reached(WriteStep step, const fs::path& file) {
  if (const WriteStepHook hook = writeStepHook.load()) return hook(step, file);
  return 0;
}
}  // namespace

void SetWriteStepHook(WriteStepHook hook) { writeStepHook.store(hook); }

static int WriteAll(int fd, std::string_view bytes) {
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
  return WriteReplacing(path, [content](const PutPiece& put) {
    put(content);
    return 0;
  });
}

int WriteReplacing(const fs::path& path, const std::function<int(const PutPiece& put)>& produce) {
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

  // The pieces go out through a buffer; a large one straight away.
  constexpr std::size_t kBuffer = 65536;
  std::string buffer;
  buffer.reserve(kBuffer);
  int err = 0;
  const PutPiece put = [&](std::string_view piece) {
    if (err != 0) return;
    if (buffer.size() + piece.size() > kBuffer) {
      err = WriteAll(fd, buffer);
      buffer.clear();
    }
    if (err != 0) return;
    if (piece.size() >= kBuffer) err = WriteAll(fd, piece);
    else buffer += piece;
  };
  const int made = produce(put);
  if (err == 0) err = made;
  if (err == 0) err = WriteAll(fd, buffer);
  buffer = {};
  if (err == 0) err = Reached(WriteStep::kSyncFile, path);
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  const int closeErr = file.Close();
  if (err == 0) err = closeErr;
  if (err == 0) err = Reached(WriteStep::kRename, path);
  if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    return err;
  }
  // Make the rename itself durable.
  (void)Reached(WriteStep::kSyncFolder, path);  // the file is new already: a failure here changes nothing
  Fd dir(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return 0;
}

FolderLock::FolderLock(const fs::path& folder, std::chrono::milliseconds wait)
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


}  // namespace qelm::records::io
