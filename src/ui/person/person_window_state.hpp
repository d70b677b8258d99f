// The person window as the main window opens it: one at a time, with the
// edits it could not write kept between openings and written at the end.
#pragma once

#include <QPointer>
#include <filesystem>
#include <memory>
#include <optional>

#include "records/person_file.hpp"
#include "records/place_file.hpp"
#include "ui/person/unsaved_prompt.hpp"

namespace qelm::ui {

class MainWindow;
class PersonWindow;

// The person window of a main window and the edits it could not write, kept
// between openings of the window.
struct PersonWindowState {
  QPointer<PersonWindow> window;
  std::filesystem::path path;                       // the file of `pending`
  std::optional<records::PersonList> pending;       // edits not yet in the file
  std::optional<records::PlaceBook> pendingPlaces;  // birthplace changes not yet in User.places
};

// Makes the main window's "排盤" open the person window, one at a time, with
// the person file in `folder` (the folder ChoosePersonFolder finds when none
// is given).
std::shared_ptr<PersonWindowState> ConnectPersonWindow(MainWindow& main,
                                                       std::optional<std::filesystem::path> folder = std::nullopt);
// Before the program ends: closes the person window (which writes what it
// can) and writes what is left, asking through `prompt` while it cannot.
bool FinishPersonEdits(PersonWindowState& state, const UnsavedPrompt& prompt);
// The person window open over `main`, if any.
PersonWindow* OpenPersonWindowOf(const MainWindow& main);

}  // namespace qelm::ui
