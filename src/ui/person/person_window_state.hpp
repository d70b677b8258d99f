// The person window as the main window opens it: one at a time, a view of
// the person store the application keeps, whose unsaved edits are written at
// the next opening, at the window's close and at the program's end.
#pragma once

#include <QPointer>
#include <filesystem>
#include <memory>
#include <optional>

#include "records/person_store.hpp"
#include "ui/person/unsaved_prompt.hpp"

namespace qelm::ui {

class MainWindow;
class PersonWindow;

// The person list of the program and its window while it is open.
struct PersonWindowState {
  PersonWindowState() = default;
  PersonWindowState(const PersonWindowState&) = delete;
  PersonWindowState& operator=(const PersonWindowState&) = delete;
  // The window, a view of the store, goes first.
  ~PersonWindowState();

  QPointer<PersonWindow> window;
  std::unique_ptr<records::PersonStore> store;  // from the first opening on
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
