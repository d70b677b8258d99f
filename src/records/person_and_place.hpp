// A person and its birthplace saved together: `User` and `User.places`
// written under one lock, in an order that leaves every person whole after
// a kill at any point of the save.
//
// Each file is replaced atomically; between the two replacements the files
// disagree, so the order is chosen to make every state in between one that
// shows each person either as before or as after the save:
// 1. `User.places` gets the new places, while the entries of persons about
//    to leave `User` (deleted, or changed to other fields) stay: the old
//    `User` still finds its old places, and the new entries belong to no
//    person yet;
// 2. `User` gets the new list: each person now finds its new place;
// 3. `User.places` loses the entries that no person of `User` names.
// A kill between 1 and 2 leaves entries of persons not yet in `User`, one
// between 2 and 3 entries of persons no longer there; no person shows them,
// and every save takes such entries (and any others no person names) out of
// the file again, so they never pile up.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "records/person_file.hpp"
#include "records/place_file.hpp"

namespace qelm::records {

// The changes of the birthplaces that go with an edit of the list, once the
// edit is applied to `rows`: the person entered or changed takes `place`
// (none: it has none, unless a twin row with the same fields keeps theirs);
// fields that no row holds any more lose their entry.
std::vector<PlaceChange> PlaceChangesFor(const std::vector<PersonRecord>& rows, const Edit& edit,
                                         const std::optional<PlaceEntry>& place);

// The entries whose key is no row's fields leave the book (unreadable lines
// stay as they are).
void DropPlacesWithoutPerson(PlaceBook& book, const std::vector<PersonRecord>& rows);

// SavePersonList for the person file `personFile` and its companion together:
// applies the edit to the list and its birthplace (`place`, for an edit that
// enters or changes a person) to the book and writes both files, merging
// with what another copy of the program wrote meanwhile, as SavePersonList and
// SavePlaceFile do.
// - Refused (kTooLarge, kConflict, kBadText: a bad field or place): neither
//   the list nor the book changes.
// - Not written (kBusy, kCannotRead, kCannotWrite, of either file): the edit
//   and its place changes stay in the list and the book, among their unsaved
//   ones, for a later save; the files show the old state of every person.
// - Without an edit: writes what the list and the book keep unsaved.
SaveResult SavePersonAndPlace(const std::filesystem::path& personFile, PersonList& list, PlaceBook& places,
                              const std::optional<Edit>& edit = std::nullopt,
                              const std::optional<PlaceEntry>& place = std::nullopt);

// The whole list and the book's entries of its persons to `personFile` and
// the companion beside it, replacing what is there, under the folder lock
// and in the order of SavePersonAndPlace: a kill at any point leaves each
// person there as before or as written. A failure leaves both files as they
// were (kBusy, kCannotRead, kCannotWrite); temporary files that a killed
// save left there are removed first.
SaveResult SavePersonAndPlaceAs(const std::filesystem::path& personFile, const PersonList& list,
                                const PlaceBook& places);

}  // namespace qelm::records
