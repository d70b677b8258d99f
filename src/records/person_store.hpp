// The person list as the program keeps it while it runs: the persons of
// `User`, their birthplaces from `User.places`, the lines of either file it
// could not read (kept byte for byte) and the edits not yet written. The
// application owns one; the person window shows it and asks it for every
// change. Every write of the pair, whether of an edit, of what is left
// unsaved when the window opens or closes or the program ends, or of the
// whole list to another file, is one locked save of both files.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
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

class PersonStore {
 public:
  explicit PersonStore(std::filesystem::path personFile) : path_(std::move(personFile)) {}
  PersonStore(const PersonStore&) = delete;
  PersonStore& operator=(const PersonStore&) = delete;

  const std::filesystem::path& path() const { return path_; }
  const PersonList& list() const { return list_; }
  const PlaceBook& places() const { return places_; }
  bool hasUnsaved() const { return !list_.unsaved.empty() || !places_.unsaved.empty(); }

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
  bool canUndo() const { return removed_.has_value(); }
  SaveResult UndoRemove();
  void ForgetUndo() { removed_.reset(); }

  // The whole list and its places to `target` and its companion, replacing
  // them under their folder's lock, in the order the list's own save uses:
  // a kill leaves each person there old or new; a failure leaves the pair
  // there as it was and says so.
  SaveResult SaveAs(const std::filesystem::path& target) const;

  std::optional<PlaceEntry> placeOf(FieldsView f) const { return FindPlaceEntry(places_, f); }

  // What to say when a record is chosen: that it cannot be cast as it
  // stands, or that its birthplace cannot be read; nothing for a sound one.
  std::optional<std::string> NoteOn(std::size_t record) const;
  // Why 確定 does not cast: no complete birth chosen (for a damaged record
  // shown: why it is damaged), or the record shown has a birthplace that
  // cannot be read and no other place is entered. Nothing: it casts.
  std::optional<std::string> CastRefusal(std::optional<std::size_t> shown, bool birthChosen, bool placeEntered) const;

 private:
  std::filesystem::path path_;
  PersonList list_;
  PlaceBook places_;
  bool opened_ = false;
  struct Removed {
    Edit edit;
    std::optional<PlaceEntry> place;
  };
  std::optional<Removed> removed_;
};

}  // namespace qelm::records
