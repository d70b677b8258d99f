#include "ui/person/person_window_state.hpp"

#include "ui/main/main_window.hpp"
#include "ui/person/person_folder.hpp"
#include "ui/person/person_window.hpp"
#include "ui/kit/single_window.hpp"

namespace qelm::ui {

PersonWindowState::~PersonWindowState() { delete window.data(); }

std::shared_ptr<PersonWindowState> ConnectPersonWindow(MainWindow& main, std::optional<std::filesystem::path> folder) {
  auto state = std::make_shared<PersonWindowState>();
  // The list is read while the program starts, on a thread of its own: the
  // person window, opened next, then shows it at once.
  const PersonFile file = LocatePersonFile(folder);
  if (std::filesystem::is_regular_file(file.path)) {
    state->store = std::make_unique<records::PersonStore>(file.path);
    state->store->RunInBackground([](records::PersonStore& store) {
      store.Open();
      return records::SaveResult{};
    });
  }
  main.setPersonWindowHook([state, folder](MainWindow& over) {
    ShowSingle(state->window, [&] {
      const PersonFile file = LocatePersonFile(folder);
      // The list moves with the folder only when nothing waits to be written
      // to the old one.
      if (!state->store || (state->store->path() != file.path && !state->store->hasUnsaved()))
        state->store = std::make_unique<records::PersonStore>(file.path);
      return new PersonWindow(over, *state->store, file);
    });
  });
  return state;
}

bool FinishPersonEdits(PersonWindowState& state, const UnsavedPrompt& prompt) {
  if (state.window) state.window->close();
  if (!state.store) return true;
  return WriteUnsavedEdits(*state.store, prompt);
}

PersonWindow* OpenPersonWindowOf(const MainWindow& main) {
  for (PersonWindow* window : main.findChildren<PersonWindow*>(QString(), Qt::FindDirectChildrenOnly))
    if (window->isVisible()) return window;
  return nullptr;
}

}  // namespace qelm::ui
