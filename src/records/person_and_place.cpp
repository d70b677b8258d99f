#include "records/person_and_place.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "records/file_io.hpp"

namespace qelm::records {

namespace fs = std::filesystem;
using namespace io;

namespace {

// Which lines of a book hold an entry whose key is the fields of one of the
// rows. The entries' numbers, sorted by a hash of their keys, are looked up
// from every row: nothing of the rows or the lines is copied. A few entries
// are compared with every row.
std::vector<bool> NamedEntries(const PlaceBook& book, const std::vector<PersonRecord>& rows) {
  constexpr std::size_t kFew = 8;
  const auto hashOf = [](const std::array<std::string_view, kFieldCount>& fields) {
    std::size_t h = 0;
    for (const std::string_view f : fields) h = h * 31 + std::hash<std::string_view>{}(f);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
  };
  std::vector<bool> named(book.lines.size(), false);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> index;  // hash, line
  // Room for them at once: a growing index would leave the room it grew out of.
  index.reserve(static_cast<std::size_t>(
      std::count_if(book.lines.begin(), book.lines.end(), [](const PlaceLine& l) { return l.readable(); })));
  for (std::size_t i = 0; i < book.lines.size(); ++i) {
    const PlaceLine& line = book.lines[i];
    const std::optional<std::string_view> key = line.readable() ? line.key() : std::nullopt;
    if (!key) continue;
    std::array<std::string_view, kFieldCount> fields;
    std::size_t start = 0;
    for (std::size_t f = 0; f < kFieldCount; ++f) {
      const std::size_t tab = f + 1 < kFieldCount ? key->find('\t', start) : key->size();
      fields[f] = key->substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
      start = tab == std::string_view::npos ? key->size() : tab + 1;
    }
    index.emplace_back(hashOf(fields), static_cast<std::uint32_t>(i));
  }
  if (index.size() <= kFew) {
    for (const auto& entry : index) {
      const PlaceLine& line = book.lines[entry.second];
      named[entry.second] =
          std::any_of(rows.begin(), rows.end(), [&](const PersonRecord& r) { return line.HasKey(r.fields); });
    }
    return named;
  }
  std::sort(index.begin(), index.end());
  for (const PersonRecord& row : rows) {
    const std::uint32_t hash = hashOf(row.fields.views());
    for (auto it = std::lower_bound(index.begin(), index.end(), std::pair{hash, std::uint32_t{0}});
         it != index.end() && it->first == hash; ++it)
      if (!named[it->second] && book.lines[it->second].HasKey(row.fields)) named[it->second] = true;
  }
  return named;
}

std::size_t RowsWith(const std::vector<PersonRecord>& rows, const Fields& f) {
  return static_cast<std::size_t>(
      std::count_if(rows.begin(), rows.end(), [&](const PersonRecord& r) { return r.fields == f; }));
}

bool StorableKey(const Fields& key) {
  return std::none_of(key.begin(), key.end(), [](const std::string& k) { return k.find('\0') != std::string::npos; });
}

// The entries of the companion file now whose persons are in the old `User`
// (the file at `personFile`, not yet written) but not in the new list, line
// after line.
std::string EntriesOfOldPersons(const PlaceBook& now, const fs::path& personFile, const std::vector<PersonRecord>& rows) {
  std::vector<const PlaceLine*> gone;
  {
    const std::vector<bool> named = NamedEntries(now, rows);
    for (std::size_t i = 0; i < now.lines.size(); ++i)
      if (now.lines[i].readable() && !named[i]) gone.push_back(&now.lines[i]);
  }
  if (gone.empty()) return {};
  std::vector<Fields> keys;
  keys.reserve(gone.size());
  for (const PlaceLine* line : gone) keys.push_back(line->keyFields());
  const std::vector<bool> there = FileMayHoldFields(personFile, keys);
  std::string lines;
  for (std::size_t i = 0; i < gone.size(); ++i) {
    if (!there[i]) continue;
    if (!lines.empty() && !lines.ends_with('\n')) lines += '\n';
    lines += gone[i]->text();
  }
  return lines;
}

// The state of a content put piece by piece; nothing when it cannot be made.
std::optional<DiskState> PlaceContentState(const PlaceBook& book, std::string_view more,
                                           const std::vector<bool>* keep = nullptr) {
  DiskStateHasher h;
  if (!PutPlaceContent(book, more, [&h](std::string_view piece) { h.add(piece); }, keep)) return std::nullopt;
  return h.state();
}

void DropPlacesWithout(PlaceBook& book, const std::vector<PersonRecord>& rows) {
  const std::vector<bool> named = NamedEntries(book, rows);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < book.lines.size(); ++i) {
    if (book.lines[i].readable() && !named[i]) continue;
    if (kept != i) book.lines[kept] = std::move(book.lines[i]);
    ++kept;
  }
  book.lines.resize(kept);
}

}  // namespace

std::vector<PlaceChange> PlaceChangesFor(const std::vector<PersonRecord>& rows, const Edit& edit,
                                         const std::optional<PlaceEntry>& place) {
  std::vector<PlaceChange> changes;
  const Fields before = edit.before.fields.value();
  const bool gone = edit.kind != Edit::Kind::kAppend && RowsWith(rows, before) == 0;
  if (edit.kind != Edit::Kind::kRemove) {
    if (place) {
      // In the line of the entry it replaces.
      changes.push_back({gone ? std::optional(before) : std::nullopt, edit.after, place});
    } else if (RowsWith(rows, edit.after) <= 1) {
      changes.push_back({edit.after, std::nullopt, std::nullopt});
    }
  }
  if (gone && !(place && edit.kind == Edit::Kind::kModify))
    changes.push_back({before, std::nullopt, std::nullopt});
  return changes;
}

void DropPlacesWithoutPerson(PlaceBook& book, const std::vector<PersonRecord>& rows) {
  DropPlacesWithout(book, rows);
}

SaveResult SavePersonAndPlace(const fs::path& personFile, PersonList& list, PlaceBook& places,
                              const std::optional<Edit>& edit, const std::optional<PlaceEntry>& place) {
  if (SaveResult c = CheckBeforeSave(list, edit); !c) return c;
  if (place && edit && edit->kind != Edit::Kind::kRemove) {
    if (const auto why = CheckPlaceEntry(*place)) return {Status::kBadText, *why};
    if (!StorableKey(edit->after)) return {Status::kBadText, "資料含有 NUL 字元，無法記下出生地"};
  }
  if (places.truncated) return {Status::kTooLarge, "出生地檔案過大，為免遺失未載入的資料，不予存檔"};

  // A save that cannot reach the files keeps the edit and its place changes
  // in memory.
  const auto keep = [&](SaveResult failure) {
    const Status status = failure.status;
    SaveResult r = KeepEditInMemory(list, edit, std::move(failure));
    if (r.status == status && edit) KeepInMemory(places, PlaceChangesFor(list.rows, *edit, place), {});
    return r;
  };

  const fs::path personTarget = ResolveTarget(personFile);
  const fs::path placeTarget = ResolveTarget(PlaceFilePath(personFile));
  FolderLock lock(FolderOf(personTarget));
  std::optional<FolderLock> placeLock;  // a `User` linked elsewhere: the companion's folder as well
  std::error_code ec;
  if (!fs::equivalent(FolderOf(personTarget), FolderOf(placeTarget), ec)) placeLock.emplace(FolderOf(placeTarget));
  if (lock.busy() || (placeLock && placeLock->busy()))
    return keep({Status::kBusy, "檔案正由另一個程式存檔，這次的修改尚未存檔"});

  PersonSave persons = PreparePersonSave(personTarget, list, edit);
  if (!persons.result) {
    if (persons.result.status == Status::kCannotRead && edit)
      KeepInMemory(places, PlaceChangesFor(list.rows, *edit, place), {});
    return persons.result;
  }
  const std::vector<PlaceChange> changes =
      persons.edited ? PlaceChangesFor(persons.work.rows, *edit, place) : std::vector<PlaceChange>{};
  const std::vector<PersonRecord>& rows = persons.work.rows;
  // The book moves into the save rather than being copied; what the save
  // needs of it as the file now holds it is taken out first: the entries of
  // the persons gone (the book is the file when it has nothing unsaved).
  std::optional<std::string> oldEntries;
  if (places.unsaved.empty()) oldEntries = EntriesOfOldPersons(places, personTarget, rows);
  PlaceSave placeSave = PreparePlaceSave(placeTarget, places, changes, true);
  if (!placeSave.result) {
    // The companion cannot be read: neither file is written.
    if (placeSave.result.status != Status::kCannotRead)
      KeepInMemory(places, changes, {});
    SaveResult failure = std::move(placeSave.result);
    if (failure.status == Status::kTooLarge) failure.message = "出生地檔案過大";
    failure.status = Status::kCannotRead;
    failure.message += "，這次的修改尚未存檔";
    return FinishPersonSave(list, std::move(persons), std::move(failure));
  }
  // From here on `places` is given its content again on every path.
  PlaceBook& book = placeSave.work;
  if (placeSave.reloaded || !oldEntries) {
    // The book is not the file: read what the file holds (under the lock,
    // as it was just now).
    const FileContent now = ReadWhole(placeTarget, kMaxFileBytes);
    oldEntries = EntriesOfOldPersons(ParsePlaceFile(now.bytes), personTarget, rows);
  }
  DropPlacesWithout(book, rows);
  // The companion while `User` still holds its old persons: the new content
  // plus their entries; then the new content alone.
  const std::optional<DiskState> between = PlaceContentState(book, *oldEntries);
  const std::optional<DiskState> after = PlaceContentState(book, {});
  if (!between || !after) {
    places = std::move(book);
    return FinishPersonSave(list, std::move(persons),
                            {Status::kCannotWrite, "出生地的資料含有無法存檔的文字，這次的修改尚未存檔"});
  }

  // The companion as it is on disk, rewritten only where it changes.
  DiskState onDisk = placeSave.disk;
  bool placesThere = placeSave.existed;
  bool holdsOld = false;  // the file holds the entries of the old persons as well
  const auto writePlaces = [&](const DiskState& state, std::string_view more) {
    if (placesThere ? state == onDisk : state.size == 0) return 0;
    const int err = WriteReplacing(placeTarget, [&](const PutPiece& put) {
      return PutPlaceContent(book, more, put) ? 0 : EILSEQ;
    });
    if (err == 0) {
      onDisk = state;
      placesThere = true;
    }
    return err;
  };

  if (const int err = writePlaces(*between, *oldEntries); err != 0) {
    places = std::move(book);  // the changes wait among the unsaved ones
    return FinishPersonSave(list, std::move(persons),
                            {Status::kCannotWrite,
                             "無法寫入出生地檔案 " + PathText(placeTarget) + Reason(err) + "，這次的修改尚未存檔", err});
  }
  holdsOld = !oldEntries->empty();
  if (const int err = WritePersonSave(persons); err != 0) {
    // `User` is as it was; the companion may hold entries for the persons
    // not written, which no one shows. The book finds the file changed at
    // the next save and puts its changes on top again.
    places = std::move(book);
    return FinishPersonSave(list, std::move(persons),
                            {Status::kCannotWrite, "無法寫入檔案 " + PathText(personTarget) + Reason(err), err});
  }
  // Entries of persons gone: a failure leaves them for the next save.
  if (writePlaces(*after, {}) == 0) holdsOld = false;
  // The book is now what the file holds, line by line.
  PlacesWritten(book, holdsOld ? std::string_view(*oldEntries) : std::string_view(), onDisk);
  if (!placesThere) book.disk = {};
  places = std::move(book);
  return FinishPersonSave(list, std::move(persons), {});
}

SaveResult SavePersonAndPlaceAs(const fs::path& personFile, const PersonList& list, const PlaceBook& places) {
  if (!PersonContentWritable(list)) return {Status::kBadText, "資料含有 Big5 無法表示的字"};
  // The book's lines written: all but the entries whose person is not in
  // the list (marked, rather than the book copied).
  std::vector<bool> keep = NamedEntries(places, list.rows);
  for (std::size_t i = 0; i < places.lines.size(); ++i)
    if (!places.lines[i].readable()) keep[i] = true;
  const std::optional<DiskState> after = PlaceContentState(places, {}, &keep);
  if (!after) return {Status::kBadText, "出生地的資料含有無法存檔的文字"};

  const fs::path personTarget = ResolveTarget(personFile);
  const fs::path placeTarget = ResolveTarget(PlaceFilePath(personFile));
  RemoveStaleTemporaries(personTarget);
  RemoveStaleTemporaries(placeTarget);
  FolderLock lock(FolderOf(personTarget));
  std::optional<FolderLock> placeLock;
  std::error_code ec;
  if (!fs::equivalent(FolderOf(personTarget), FolderOf(placeTarget), ec)) placeLock.emplace(FolderOf(placeTarget));
  const std::string unchanged = "，" + PathText(personTarget) + " 未變更";
  if (lock.busy() || (placeLock && placeLock->busy()))
    return {Status::kBusy, "檔案正由另一個程式存檔" + unchanged};

  // What is there now: the entries of its persons stay until its new list
  // is in place.
  FileContent oldPersons = ReadWhole(personTarget, kMaxFileBytes);
  const FileContent oldPlaces = ReadWhole(placeTarget, kMaxFileBytes);
  for (const FileContent* f : {static_cast<const FileContent*>(&oldPersons), &oldPlaces}) {
    if (f->error != 0)
      return {Status::kCannotRead,
              "無法讀取檔案 " + PathText(f == &oldPersons ? personTarget : placeTarget) + Reason(f->error) + unchanged,
              f->error};
  }
  std::string oldEntries;
  if (oldPersons.exists && oldPlaces.exists) {
    const PlaceBook old = ParsePlaceFile(oldPlaces.bytes, oldPlaces.complete);
    const std::vector<bool> named = NamedEntries(old, list.rows);
    for (std::size_t i = 0; i < old.lines.size(); ++i) {
      const PlaceLine& line = old.lines[i];
      if (!line.readable() || named[i] || !MayHoldFields(oldPersons.bytes, line.keyFields())) continue;
      if (!oldEntries.empty() && !oldEntries.ends_with('\n')) oldEntries += '\n';
      oldEntries += line.text();
    }
  }
  oldPersons = {};
  const std::optional<DiskState> between = PlaceContentState(places, oldEntries, &keep);
  const auto writePlaces = [&](std::string_view more) {
    return WriteReplacing(placeTarget,
                          [&](const PutPiece& put) { return PutPlaceContent(places, more, put, &keep) ? 0 : EILSEQ; });
  };
  const bool placesNeeded = between->size != 0 || oldPlaces.exists;
  if (placesNeeded && !(oldPlaces.exists && oldPlaces.complete && DiskStateOf(oldPlaces.bytes) == *between)) {
    if (const int err = writePlaces(oldEntries); err != 0)
      return {Status::kCannotWrite, "無法寫入出生地檔案 " + PathText(placeTarget) + Reason(err) + unchanged, err};
  }
  if (const int err = WritePersonFile(personTarget, list); err != 0) {
    // The list there is as it was: its places go back as they were.
    if (placesNeeded) {
      std::error_code ignored;
      if (oldPlaces.exists && oldPlaces.complete) WriteReplacing(placeTarget, oldPlaces.bytes);
      else if (!oldPlaces.exists) fs::remove(placeTarget, ignored);
    }
    return {Status::kCannotWrite, "無法寫入檔案 " + PathText(personTarget) + Reason(err) + unchanged, err};
  }
  // Entries of the persons no longer there: a failure leaves them for the
  // next save, which takes them out; no person shows them.
  if (!oldEntries.empty()) writePlaces({});
  return {};
}

}  // namespace qelm::records
