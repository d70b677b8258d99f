// The file handling the person file and its companion files share: whole
// reads with a size limit, atomic replacement (temporary file, flush,
// rename) and the folder lock under which a save reads, merges and writes.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace qelm::records::io {

// The reason of a failed system call, for the user: "（沒有權限）".
std::string Reason(int error);
std::string PathText(const std::filesystem::path& p);

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd();
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the error of close (a delayed write error).
  int Close();

 private:
  int fd_;
};

struct FileContent {
  bool exists = false;
  int error = 0;          // errno of a failed read (the file is there)
  std::string bytes;
  bool complete = true;   // false: the file is longer than the limit
};
// At most `limit` bytes of a regular file.
FileContent ReadWhole(const std::filesystem::path& path, std::size_t limit);
// The same read handing the bytes to `piece` as they come, a buffer at a
// time, without holding the whole file (`bytes` stays empty). `sized`, when
// given, learns first how many bytes are coming (as far as the file's size
// tells).
FileContent ReadInPieces(const std::filesystem::path& path, std::size_t limit,
                         const std::function<void(std::string_view)>& piece,
                         const std::function<void(std::size_t)>& sized = {});

// The same read handing `take` the text not yet taken, in lines: `take`
// takes the lines that end in it and returns how much it took; the rest is
// handed again with the next piece. At the end (`atEnd`) it gets what is
// left, `complete` false when the file was longer than the limit. `each`,
// when given, sees every piece as it comes. Only a piece and the line it
// cuts are held at a time.
using TakeLines = std::function<std::size_t(std::string_view text, bool atEnd, bool complete)>;
FileContent ReadInLines(const std::filesystem::path& path, std::size_t limit, const TakeLines& take,
                        const std::function<void(std::string_view)>& each = {});
// The line feeds of a file, counted in pieces.
std::size_t CountLineFeeds(const std::filesystem::path& path, std::size_t limit);

// A file that is a symbolic link is written where the link points.
std::filesystem::path ResolveTarget(const std::filesystem::path& path);
std::filesystem::path FolderOf(const std::filesystem::path& path);

// Writes the content to a new file beside `path`, flushes it to the disk and
// renames it over `path`: the file is then either wholly old or wholly new.
// Returns 0 or the errno of the step that failed; the temporary file
// ("<name>.saving-…") never stays behind.
int WriteReplacing(const std::filesystem::path& path, std::string_view content);
// The same with content made piece by piece: `produce` hands every piece to
// `put` in turn (which writes them through a buffer); it returns 0, or an
// errno when the content cannot be made, and then nothing is replaced.
using PutPiece = std::function<void(std::string_view)>;
int WriteReplacing(const std::filesystem::path& path, const std::function<int(const PutPiece& put)>& produce);

// The steps of WriteReplacing after the content is written, at which a kill
// leaves the most telling states: before the flush of the new file, before
// the rename, before the flush of the folder.
enum class WriteStep { kSyncFile, kRename, kSyncFolder };
// Tests stop a save at any of them (as a kill would), or make the step fail:
// the hook runs before each step, in every WriteReplacing of the program,
// and returns 0 to go on or the errno the step is to fail with. Nothing: no
// hook.
using WriteStepHook = int (*)(WriteStep step, const std::filesystem::path& file);
void SetWriteStepHook(WriteStepHook hook);

// Two copies of the program take turns at the read-compare-write of a save:
// an advisory lock on the folder, held while the object lives. Not to be
// taken twice at once by one program.
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& folder,
                      std::chrono::milliseconds wait = std::chrono::seconds{2});
  bool busy() const { return busy_; }  // the lock is closed with fd_
  bool held() const { return fd_.get() >= 0 && !busy_; }

 private:
  Fd fd_;
  bool busy_ = false;
};

// Temporary files of saves of `path` that were killed half-way: no save runs
// while the folder's lock is held, so whatever is there then is left over.
void RemoveStaleTemporaries(const std::filesystem::path& path);

}  // namespace qelm::records::io
