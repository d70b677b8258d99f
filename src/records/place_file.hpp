// The companion file of `User` that holds the persons' birthplaces:
// `User.places` beside it, UTF-8, one line per person that has a place:
// the person's seven fields as the key, then the place's name (empty for a
// longitude typed by hand), longitude, latitude, time-zone id and the time
// mode ("clock", "standard", "solar"; "solar:later" when a clock time that
// occurred twice means the later moment), TAB-separated, LF after every line.
//
// It keeps the person file's promises: a line that cannot be read is written
// back byte for byte (and named: UnreadablePlacesText); a save replaces the
// file atomically under the same folder lock; a save that cannot reach the
// file keeps its change in memory for a later save. A person and its place
// are saved together by SavePersonAndPlace (person_and_place.hpp), which
// also takes out entries whose person is gone.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/person_file.hpp"

namespace qelm::records {

inline constexpr std::size_t kPlaceFieldCount = kFieldCount + 5;
inline constexpr double kMaxLongitude = 180;
inline constexpr double kMaxLatitude = 90;

// "…/User" -> "…/User.places".
std::filesystem::path PlaceFilePath(const std::filesystem::path& personFile);

struct PlaceEntry {
  std::string name;       // empty: coordinates typed by hand
  double longitude = 0;   // degrees, east positive
  double latitude = 0;    // degrees, north positive
  std::string zone;       // zoneinfo id
  std::string mode = "clock";
  // A clock time that occurred twice there (clocks put back) means the later
  // of the two moments; stored as ":later" after the mode.
  bool later = false;
  friend bool operator==(const PlaceEntry&, const PlaceEntry&) = default;
};

// Why an entry cannot be stored (the file could not read it back): a
// longitude or latitude that is not a finite number within its range, no
// zone, an unknown mode, a name or zone with a TAB, line end, NUL or
// invalid UTF-8. Nothing for a sound entry.
std::optional<std::string> CheckPlaceEntry(const PlaceEntry& e);

// A line of the file as its text: what was read, byte for byte with its line
// end, or what a change will write. The key (the person's seven fields as
// the file writes them, TAB between) is found in the text; the entry and,
// for a line that cannot be read, why, are read from it when asked. A file
// of the most lines holds 100,000 of them.
class PlaceLine {
 public:
  PlaceLine() = default;
  PlaceLine(const PlaceLine& other) { *this = other; }
  PlaceLine& operator=(const PlaceLine& other);
  PlaceLine(PlaceLine&&) noexcept = default;
  PlaceLine& operator=(PlaceLine&&) noexcept = default;
  // A line read (`text` with its line end; `line` from 1).
  static PlaceLine Read(std::string_view text, std::size_t line);
  // The line a change writes for the person's place.
  static PlaceLine Written(const Fields& key, const PlaceEntry& entry);

  std::string_view text() const { return {text_.get(), size_}; }
  std::size_t line() const { return line_; }  // line number in the file, from 1; 0 when written from fields
  // It holds an entry (one that cannot be stored, too, when not writable).
  bool readable() const { return kind_ != Kind::kUnreadable; }
  std::optional<PlaceEntry> entry() const;
  // Why the line cannot be read ("有 5 欄，應為 12 欄"); empty when it can, or
  // for an empty line.
  std::string problem() const;
  // The key as text: of a line that cannot be read, its first seven fields
  // when it has them (else nothing).
  std::optional<std::string_view> key() const;
  bool HasKey(FieldsView person) const;
  Fields keyFields() const;  // the key's fields; all empty when there is none
  // False for a line that a change made of an entry or key that cannot be
  // stored (SerializePlaceFile then refuses the book).
  bool writable() const { return kind_ != Kind::kUnwritable; }
  // The line as the file holds it once written there as line `line`,
  // `followed` by another (a last line without end then gets its LF).
  void Written(std::size_t line, bool followed);

 private:
  enum class Kind : std::uint8_t { kEntry, kUnreadable, kUnwritable };
  static constexpr std::uint32_t kNoKey = ~std::uint32_t{0};
  void SetText(std::string_view text);
  std::unique_ptr<char[]> text_;
  std::uint32_t size_ = 0;
  std::uint32_t keyEnd_ = kNoKey;  // where the key ends in text_
  std::uint32_t line_ = 0;
  Kind kind_ = Kind::kUnreadable;
};

// One change: the entries of `from` go (when given) and `to` gets `entry`
// (when both are given), in the place of the first entry removed.
// - a person entered: to + entry (no entry: nothing changes);
// - a person changed (修改): from, to, and the place now chosen (none: the
//   person no longer has a place);
// - a person deleted: from only.
struct PlaceChange {
  std::optional<Fields> from;
  std::optional<Fields> to;
  std::optional<PlaceEntry> entry;
};

struct PlaceBook {
  std::vector<PlaceLine> lines;
  bool truncated = false;
  DiskState disk;
  std::vector<PlaceChange> unsaved;  // applied to lines but not yet in the file
};

PlaceBook ParsePlaceFile(std::string_view content, bool complete = true);
// Lines read and left alone come back byte for byte. Nothing when a text
// holds a TAB, CR or LF.
std::optional<std::string> SerializePlaceFile(const PlaceBook& book);
// The same content piece by piece to `put`, and after it `more` (lines of
// the file, each with its end); false, before anything is put, when a line
// cannot be written.
// `keep`, when given, says by their index which lines of the book are
// written (the others are left out).
bool PutPlaceContent(const PlaceBook& book, std::string_view more, const std::function<void(std::string_view)>& put,
                     const std::vector<bool>* keep = nullptr);
// The book as the file holds it once `more` (lines read, each with its end)
// was written after its lines: numbered, with `disk` and nothing unsaved.
void PlacesWritten(PlaceBook& book, std::string_view more, const DiskState& disk);
// The lines that cannot be read, for the user: "出生地檔案有 2 行無法讀取，
// 已原樣保留（第 3 行經度「nan」不是 -180 到 180 之間的數；第 5 行…）";
// empty when every line reads.
std::string UnreadablePlacesText(const PlaceBook& book);
// A line that cannot be read and begins with the person's fields: its place
// is there but unknown.
const PlaceLine* UnreadablePlaceOf(const PlaceBook& book, FieldsView person);
// The place of a person, if the file has one.
std::optional<PlaceEntry> FindPlaceEntry(const PlaceBook& book, FieldsView person);
void ApplyPlaceChange(PlaceBook& book, const PlaceChange& change);

// Loads the file; a missing file is an empty book (created on the first save).
LoadResult LoadPlaceFile(const std::filesystem::path& path, PlaceBook& book);
// Applies the change and writes the book; when the file changed on disk, the
// book is reloaded from it first and its unsaved changes and this one are
// applied to that (changes are by person, so they always fit). A write that
// fails keeps the change in the book and among its unsaved changes.
SaveResult SavePlaceFile(const std::filesystem::path& path, PlaceBook& book,
                         const std::optional<PlaceChange>& change = std::nullopt);

// ------------------------------------------------------------ a save in steps
// (for a save that writes this file and the person file under one lock)

// The changes applied to the book and kept among its unsaved ones; returns
// `failure` with "，出生地的修改暫存在記憶體中" added.
SaveResult KeepInMemory(PlaceBook& book, const std::vector<PlaceChange>& changes, SaveResult failure);

struct PlaceSave {
  SaveResult result;     // not ok: nothing to write (the book is as SavePlaceFile leaves it then)
  PlaceBook work;        // the book with the changes, to be written
  bool existed = false;  // the file was there
  DiskState disk;        // what it holds now
  bool reloaded = false; // the file had changed since the book was read
};
// Under the folder lock: reads the file and applies the book's unsaved
// changes (when the file changed) and `changes`, which join them. With
// `take`, a book the file still matches moves into `work` rather than being
// copied: when `result` is ok, the caller must give `book` its content again.
PlaceSave PreparePlaceSave(const std::filesystem::path& target, PlaceBook& book, const std::vector<PlaceChange>& changes,
                           bool take = false);

}  // namespace qelm::records
