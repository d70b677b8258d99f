// The person list as the program keeps it while it runs: the persons of
// `User`, their birthplaces from `User.places`, the lines of either file it
// could not read (kept byte for byte) and the edits not yet written. The
// application owns one; the person window shows it and asks it for every
// change. Every write of the pair, whether of an edit, of what is left
// unsaved when the window opens or closes or the program ends, or of the
// whole list to another file, is one locked save of both files.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "records/person_and_place.hpp"
#include "records/person_file.hpp"
#include "records/place_file.hpp"

namespace qelm::records {

// The birth minute a record's fields name, as numbers: each field decimal
// digits and together a real date and a time of day (the calendar's years
// are not checked here); nothing otherwise.
struct FieldMinute {
  int year, month, day, hour, minute;
};
std::optional<FieldMinute> MinuteOfFields(FieldsView f);

// Why a line of the person file is not a person that can be cast (not
// valid Big5, short of fields, a field longer than any name, a birth moment
// that is no real minute of 1901–2099); nothing for a sound one or a record
// entered in this session.
std::optional<std::string> RecordProblem(const PersonRecord& r);
// Why an entry cannot be stored as a person: no name, or no complete birth
// date and time; nothing when it can.
std::optional<std::string> EntryProblem(const Fields& f);
// The damaged lines of a list, for the user: "清單有 2 行無法使用（第 3 行
// 不是有效的 Big5 文字；第 5 行…），已原樣保留"; empty when there is none.
std::string DamagedRecordsText(const PersonList& list);
// A field as a window shows it: whole, unless it is far longer than any
// name (a damaged line's), then its first kMaxNameLength characters and "…".
std::string ShownField(std::string_view field);
Fields ShownFields(const Fields& fields);
// A save that wrote its edit, or kept it in memory for a later save (the
// files could not be written): either way the list shows it.
bool SavedOrKept(const SaveResult& r);
// Of the changes a save dropped (the file, changed by another copy, no
// longer fits them), the content of the last one that wrote a record: the
// entry to offer again; nothing when only removals were dropped.
std::optional<Fields> EntryToOfferAgain(const std::vector<Edit>& dropped);

// What a file looked like when it was read: a file replaced by another copy
// of the program (a new file renamed over it) or edited by hand differs in
// one of these, unless it was changed within the same tick of the file
// system's clock as the stamp was taken (see Trusted).
struct FileStamp {
  bool exists = false;
  std::uintmax_t size = 0;
  std::uintmax_t inode = 0;
  std::int64_t modified = 0, changed = 0;  // nanoseconds since the epoch
  std::int64_t takenAt = 0;                // when the stamp was taken
  // Whether an equal stamp taken later means an unchanged file: the file's
  // times lie well before the stamp was taken, so a later change would
  // show in them.
  bool Trusted() const;
  bool Same(const FileStamp& later) const;
};
FileStamp StampOf(const std::filesystem::path& file);

class PersonStore {
 public:
  explicit PersonStore(std::filesystem::path personFile) : path_(std::move(personFile)) {}
  ~PersonStore();  // waits for a command still running
  PersonStore(const PersonStore&) = delete;
  PersonStore& operator=(const PersonStore&) = delete;

  const std::filesystem::path& path() const { return path_; }
  const PersonList& list() const { Wait(); return list_; }
  const PlaceBook& places() const { Wait(); return places_; }
  bool hasUnsaved() const { Wait(); return !list_.unsaved.empty() || !places_.unsaved.empty(); }

  // A command run on a thread of its own, so that a window is not held
  // while the files are read or written: `command` is given this store and
  // `done` is called on that thread when it has ended (to wake the caller's
  // own thread). Every other member waits for it to end first.
  void RunInBackground(std::function<SaveResult(PersonStore&)> command, std::function<void()> done = {});
  // Waits for the command in the background, if one was started; its result,
  // given once.
  std::optional<SaveResult> Settle();
  bool busy() const { return pending_.valid(); }

  struct Opened {
    std::string message;          // for the user; empty when there is nothing to say
    SaveResult saved;             // the retry of unsaved edits, when there were any
    bool retried = false;
  };
  // Reads both files afresh; when edits wait unsaved, writes them instead,
  // onto what the files hold now.
  Opened Open();

  // The one save of the pair: the edit (if any) with the place of the
  // person it enters or changes; without an edit, what waits unsaved.
  SaveResult Save(const std::optional<Edit>& edit = std::nullopt,
                  const std::optional<PlaceEntry>& place = std::nullopt);

  // The commands. Append and Modify refuse an entry without a name or a
  // complete birth; Modify refuses when nothing is selected.
  SaveResult Append(const Fields& after, const std::optional<PlaceEntry>& place);
  SaveResult Modify(std::size_t index, const Fields& after, const std::optional<PlaceEntry>& place);
  // Removes the row at once; the removal can be taken back by UndoRemove
  // until ForgetUndo.
  SaveResult Remove(std::size_t index);
  bool canUndo() const { Wait(); return removed_.has_value(); }
  SaveResult UndoRemove();
  void ForgetUndo() { Wait(); removed_.reset(); }

  // The whole list and its places to `target` and its companion, replacing
  // them under their folder's lock, in the order the list's own save uses:
  // a kill leaves each person there old or new; a failure leaves the pair
  // there as it was and says so.
  SaveResult SaveAs(const std::filesystem::path& target) const;

  std::optional<PlaceEntry> placeOf(FieldsView f) const { Wait(); return FindPlaceEntry(places_, f); }

  // What to say when a record is chosen: that it cannot be cast as it
  // stands, or that its birthplace cannot be read; nothing for a sound one.
  std::optional<std::string> NoteOn(std::size_t record) const;
  // Why 確定 does not cast: no complete birth chosen (for a damaged record
  // shown: why it is damaged), or the record shown has a birthplace that
  // cannot be read and no other place is entered. Nothing: it casts.
  std::optional<std::string> CastRefusal(std::optional<std::size_t> shown, bool birthChosen, bool placeEntered) const;

 private:
  void Wait() const;
  void ReadFiles();
  void Stamp(bool byContent);
  bool FilesUnchanged() const;

  std::filesystem::path path_;
  PersonList list_;
  PlaceBook places_;
  bool opened_ = false;
  FileStamp personStamp_, placeStamp_;
  bool byContent_ = false;
  // What a read said of the files and of their lines that cannot be used,
  // kept while the files stay as they were read.
  std::string readMessage_;
  bool readWhole_ = false, readUnsaid_ = false;
  std::optional<std::string> problemsText_;

  mutable std::future<SaveResult> pending_;
  mutable std::optional<SaveResult> finished_;
  std::atomic<std::thread::id> worker_{};
  struct Removed {
    Edit edit;
    std::optional<PlaceEntry> place;
  };
  std::optional<Removed> removed_;
};

}  // namespace qelm::records
