// The person file `User`: one person a line, seven TAB-separated fields
// (name, sex, year, month, day, hour, minute), Big5 text, CR LF after every
// line. Fields after the seventh (a note written by hand) are kept with
// their person, also when it is changed.
//
// The store never loses what is in the file:
// - a line that is short of fields or is not valid Big5 is shown as well as
//   it can be and, while the user leaves it alone, written back byte for byte;
// - a save writes a temporary file beside `User`, flushes it to the disk and
//   renames it over `User`, so that a failed or interrupted save leaves the
//   old file whole;
// - edits are saved as edits: when another copy of the program has changed
//   the file since it was read, the save reloads it and applies the edit to
//   what is there now, or refuses when the edit no longer fits.
//
// The folder is the caller's choice; every function takes the file's path.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qelm::records {

inline constexpr std::size_t kFieldCount = 7;
// Beyond these the file is not loaded further (a stray huge or binary file
// must not stall the program).
inline constexpr std::size_t kMaxRecords = 100'000;
inline constexpr std::size_t kMaxFileBytes = std::size_t{32} << 20;

enum FieldIndex : std::size_t { kName = 0, kSex, kYear, kMonth, kDay, kHour, kMinute };
using Fields = std::array<std::string, kFieldCount>;  // UTF-8 texts

// The end of a line as the file had it: "\r\n", "\n", "\r" or none, held in
// the record itself (a file of the most records keeps 100,000 of them).
class LineEnd {
 public:
  LineEnd() = default;
  LineEnd(std::string_view end) : size_(static_cast<std::uint8_t>(end.size() < 2 ? end.size() : 2)) {
    for (std::size_t i = 0; i < size_; ++i) chars_[i] = end[i];
  }
  LineEnd(const char* end) : LineEnd(std::string_view(end)) {}
  std::string_view view() const { return {chars_.data(), size_}; }
  operator std::string_view() const { return view(); }
  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  friend bool operator==(const LineEnd& a, const LineEnd& b) { return a.view() == b.view(); }
  friend bool operator==(const LineEnd& a, std::string_view b) { return a.view() == b; }

 private:
  std::array<char, 2> chars_{};
  std::uint8_t size_ = 0;
};

// The texts of a record packed together: its seven fields (UTF-8), the
// fields after the seventh as the file holds them (Big5, each after its
// TAB: the tail) and, for a line that its fields would not write back the
// same (short of fields, not valid Big5, not round-tripping), the line's
// bytes. A file of the most records holds 100,000 of them: the texts of a
// usual person stand in the record itself, longer ones in one block on the
// heap.
class RecordFields {
 public:
  RecordFields() = default;
  RecordFields(const Fields& fields, std::string_view tail = {}, std::string_view kept = {});
  RecordFields(const std::array<std::string_view, kFieldCount>& fields, std::string_view tail, std::string_view kept);
  ~RecordFields();
  RecordFields(const RecordFields& other);
  RecordFields& operator=(const RecordFields& other);
  RecordFields(RecordFields&& other) noexcept : raw_(other.raw_) { other.raw_ = {}; }
  RecordFields& operator=(RecordFields&& other) noexcept;

  std::string_view operator[](std::size_t i) const { return Piece(i == 0 ? 0 : End(i - 1), End(i)); }
  static constexpr std::size_t size() { return kFieldCount; }
  Fields value() const;  // the seven, copied
  std::array<std::string_view, kFieldCount> views() const;
  std::string_view tail() const { return Piece(End(kFieldCount - 1), End(kFieldCount)); }
  // The line as the file holds it (without its line end) when the fields
  // and the tail would not write it back the same; empty otherwise.
  std::string_view kept() const { return Piece(End(kFieldCount), End(kFieldCount + 1)); }

  friend bool operator==(const RecordFields& a, const RecordFields& b);  // fields, tail and kept bytes
  friend bool operator==(const RecordFields& a, const Fields& b);        // the seven fields

 private:
  // Where each field, the tail and the kept bytes end.
  static constexpr std::size_t kEnds = kFieldCount + 2;
  static constexpr std::size_t kSize = 40;
  // In the record: raw_[0] is 0, the ends follow as bytes, then the texts.
  static constexpr std::size_t kInlineText = kSize - 1 - kEnds;
  // On the heap: raw_[0] is 1 and raw_ holds at kBlockAt the block's
  // address; the block holds the ends (4 bytes each), then the texts.
  static constexpr std::size_t kBlockAt = 8;
  bool onHeap() const { return raw_[0] != 0; }
  const char* Block() const {
    const char* block = nullptr;
    std::memcpy(&block, raw_.data() + kBlockAt, sizeof block);
    return block;
  }
  std::uint32_t End(std::size_t i) const {
    if (!onHeap()) return raw_[1 + i];
    std::uint32_t end = 0;
    std::memcpy(&end, Block() + 4 * i, sizeof end);
    return end;
  }
  const char* Text() const {
    return onHeap() ? Block() + 4 * kEnds : reinterpret_cast<const char*>(raw_.data() + 1 + kEnds);
  }
  std::string_view Piece(std::uint32_t from, std::uint32_t to) const { return {Text() + from, to - from}; }
  void Free();
  alignas(8) std::array<unsigned char, kSize> raw_{};
};

struct PersonRecord {
  RecordFields fields;

  // How the line stands in the file. Absent for a record entered or changed
  // in this session, which is written from its fields. Kept small: a loaded
  // file holds one for every record.
  struct Source {
    std::uint32_t line = 0;         // line number in the file, from 1 (a file holds at most kMaxFileBytes)
    std::uint32_t field_count = 0;  // fields the line had (7 for a sound line)
    LineEnd line_end;               // empty for a last line without one
    bool valid_big5 : 1 = true;
    bool overlong : 1 = false;      // a field is longer than any name (kept whole; a list shows its start)
  };
  std::optional<Source> source;

  bool damaged() const {
    return source && (source->field_count < kFieldCount || !source->valid_big5 || source->overlong);
  }
};

// The seven fields of a person however they are held (a Fields value or a
// record's), as texts: what a person's place and birth are found by.
class FieldsView {
 public:
  FieldsView(const Fields& f) : views_{f[0], f[1], f[2], f[3], f[4], f[5], f[6]} {}
  FieldsView(const RecordFields& f) : views_(f.views()) {}
  std::string_view operator[](std::size_t i) const { return views_[i]; }
  const std::array<std::string_view, kFieldCount>& views() const { return views_; }
  friend bool operator==(const FieldsView&, const FieldsView&) = default;

 private:
  std::array<std::string_view, kFieldCount> views_;
};

// The same row: equal fields and equal stored bytes.
bool SameRow(const PersonRecord& a, const PersonRecord& b);

// What the file looked like when it was last read or written by this list.
struct DiskState {
  bool exists = false;
  std::uintmax_t size = 0;
  std::uint64_t hash = 0;  // of the content
  friend bool operator==(const DiskState&, const DiskState&) = default;
};

// One change the user makes to the list.
struct Edit {
  // kRestore puts a removed row back where it stood, as it was.
  enum class Kind { kAppend, kModify, kRemove, kRestore };
  Kind kind = Kind::kAppend;
  std::size_t index = 0;  // kModify, kRemove, kRestore: the row the user chose
  PersonRecord before;    // kModify, kRemove, kRestore: that row as the user saw it
  Fields after;           // kAppend, kModify: the new content; kRestore: the row's fields

  static Edit Append(Fields after);
  static Edit Modify(std::size_t index, PersonRecord before, Fields after);
  static Edit Remove(std::size_t index, PersonRecord before);
  static Edit Restore(std::size_t index, PersonRecord removed);
};

struct PersonList {
  std::vector<PersonRecord> rows;
  bool truncated = false;     // the file holds more than was loaded
  DiskState disk;             // the file this list was read from or last saved to
  std::vector<Edit> unsaved;  // applied to rows but not yet in the file
};

enum class Status {
  kOk,
  kCannotCreate,  // load: the missing file could not be created
  kCannotRead,    // the file exists but cannot be read (or is not a file)
  kMissing,       // ReadPersonFile: there is no file
  kCannotWrite,   // save: the file could not be written; the old one is whole
  kBusy,          // save: another copy of the program is saving right now
  kTooLarge,      // save: the file holds more records than were loaded
  kConflict,      // save: the file changed and the edit no longer fits
  kBadText,       // save: a field has a TAB, CR or LF, or a character Big5 lacks
  kIncomplete,    // a command refused before any save: no name, no complete birth, no row chosen
};

struct LoadResult {
  Status status = Status::kOk;
  std::string message;  // for the user (Traditional Chinese); empty when there is nothing to say
  int error = 0;        // errno of a failed system call
  bool created = false; // the file was missing and has been created empty
  PersonList list;
};

struct SaveResult {
  Status status = Status::kOk;
  std::string message;
  int error = 0;
  bool reloaded = false;  // the file had changed on disk; the list now shows its new content
  // Edits kept in memory by earlier saves that no longer fit the changed
  // file: left out of the list, for the caller to offer again.
  std::vector<Edit> dropped{};
  explicit operator bool() const { return status == Status::kOk; }
};

// ----------------------------------------------------------------- in memory

// The records of a file's content: empty lines skipped, fields beyond the
// seventh kept in `tail`, missing ones empty; at most kMaxRecords (truncated is set
// when more follow). `complete` is false when the content was cut short; a
// last line without line end is then left out as well.
PersonList ParsePersonFile(std::string_view content, bool complete = true);

// The content of a list: untouched records as they were read, the others
// from their fields; every line ends with CR LF. Nothing when a field of a
// changed record cannot be written (see CheckFieldText).
std::optional<std::string> SerializePersonFile(const PersonList& list);

// Applies an edit to the rows. A row to modify or remove is looked for at
// `index` and else at the nearest place where it stands unchanged. Appended
// and modified fields are checked first. Does not touch `unsaved`.
SaveResult ApplyEdit(PersonList& list, const Edit& edit);

// The edit in words, as the user made it: 修改第 2 筆「甲」為「乙」, 刪除第 2 筆「甲」,
// 輸入「甲」.
std::string DescribeEdit(const Edit& edit);

DiskState DiskStateOf(std::string_view content);
// The same of a content handed over piece by piece.
class DiskStateHasher {
 public:
  void add(std::string_view piece);
  DiskState state() const { return {true, size_, hash_}; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325u;  // FNV-1a, 64 bits
  std::uintmax_t size_ = 0;
};

// ----------------------------------------------------------------- the file

// Loads the file; a missing file is created empty. Temporary
// files that a killed save left beside it are removed first, unless another
// copy of the program is saving at that moment.
LoadResult LoadPersonList(const std::filesystem::path& path);
// Loads without creating anything (kMissing when there is no file).
LoadResult ReadPersonFile(const std::filesystem::path& path);

// Applies the edit (if any) to the list and writes the list to the file. When the file has changed since the list was read, the list is
// first replaced by the file's present content and the list's unsaved edits
// and this edit are applied to that.
// - A failed write (kCannotWrite, kBusy, kCannotRead) leaves the edit in the
//   list and among its unsaved edits, and the old file whole; a later save
//   writes it.
// - An edit that no longer fits, or a bad field (kConflict, kBadText), is
//   not applied; a list that had to be reloaded holds the file's content.
// - Unsaved edits of earlier saves that no longer fit the changed file are
//   left out, named in the message and returned in `dropped`; the rest is
//   saved as usual.
// - A truncated list is never written (kTooLarge): that would drop the
//   records that were not loaded.
SaveResult SavePersonList(const std::filesystem::path& path, PersonList& list,
                          const std::optional<Edit>& edit = std::nullopt);


// ------------------------------------------------------------ a save in steps
//
// For a save that writes this file together with its companion under one
// lock: SavePersonList is CheckBeforeSave, the lock, PreparePersonSave,
// WritePersonSave and FinishPersonSave.

// Whether a line of the file's content holds these fields (for fields that
// do not stand in the file as they are, a short, overlong or damaged line's:
// true). Cheaper than parsing the whole file.
bool MayHoldFields(std::string_view content, const Fields& fields);
// The same for each of `fields` at once, the file read in pieces (a file
// that cannot be read: true).
std::vector<bool> FileMayHoldFields(const std::filesystem::path& path, const std::vector<Fields>& fields);

// Refusals that need no file: a truncated list, a bad field.
SaveResult CheckBeforeSave(const PersonList& list, const std::optional<Edit>& edit);
// A save that cannot reach the file: the edit is applied to the list and
// kept among its unsaved edits; returns `failure` (or why the edit does not
// apply).
SaveResult KeepEditInMemory(PersonList& list, const std::optional<Edit>& edit, SaveResult failure);

struct PersonSave {
  SaveResult result;       // not ok: refused or failed before anything was written
  std::filesystem::path target;
  PersonList work;         // the list as written (the caller's list, or the file's present content, edited)
  bool existed = false;    // the file was there
  bool changed = false;    // the file had changed since the list was read
  bool edited = false;     // an edit was given and applied
  std::vector<Edit> dropped;
  std::vector<std::pair<std::size_t, PersonRecord::Source>> sources;  // of the rows not read from a file
  std::string changedText;
  DiskState written;       // of the content WritePersonSave wrote
};
// Under the folder lock: reads the file and applies the unsaved edits and
// the edit. When `result` is not ok, the list is as SavePersonList leaves it then;
// otherwise the list has moved into `work` until FinishPersonSave.
PersonSave PreparePersonSave(const std::filesystem::path& target, PersonList& list, const std::optional<Edit>& edit);
// Whether every line of the list's content can be written (see
// SerializePersonFile).
bool PersonContentWritable(const PersonList& list);
// Writes the list's content to the file as WriteReplacing does, line by
// line: 0 or the errno of the step that failed (EILSEQ: a line cannot be
// written). `written`, when given, is set to the state of what was written.
int WritePersonFile(const std::filesystem::path& path, const PersonList& list, DiskState* written = nullptr);
// Writes `work` to the file: a temporary file beside it, written piece by
// piece, flushed and renamed over it. 0, or the errno of the step that
// failed (the old file is then whole).
int WritePersonSave(PersonSave& save);
// Gives the list back: written (`written` ok), or with the edits kept in
// memory and `written`'s failure reported.
SaveResult FinishPersonSave(PersonList& list, PersonSave&& save, SaveResult written);

}  // namespace qelm::records
