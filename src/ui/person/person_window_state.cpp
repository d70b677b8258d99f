#include "ui/person/person_window_state.hpp"

#include <utility>

#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"
#include "ui/kit/single_window.hpp"

namespace qelm::ui {

std::shared_ptr<PersonWindowState> ConnectPersonWindow(MainWindow& main, std::optional<std::filesystem::path> folder) {
  auto state = std::make_shared<PersonWindowState>();
  main.setPersonWindowHook([state, folder](MainWindow& over) {
    ShowSingle(state->window, [&] {
      auto* window = new PersonWindow(over, folder, std::exchange(state->pending, std::nullopt),
                                      std::exchange(state->pendingPlaces, std::nullopt));
      window->setPendingPlacesHook(
          [weak = std::weak_ptr<PersonWindowState>(state), path = window->filePath()](records::PlaceBook places) {
            if (const auto kept = weak.lock()) {
              kept->path = path;
              kept->pendingPlaces = std::move(places);
            }
          });
      window->setPendingHook(
          [weak = std::weak_ptr<PersonWindowState>(state), path = window->filePath()](records::PersonList list) {
            if (const auto kept = weak.lock()) {
              kept->path = path;
              kept->pending = std::move(list);
            }
          });
      return window;
    });
  });
  return state;
}

bool FinishPersonEdits(PersonWindowState& state, const UnsavedPrompt& prompt) {
  if (state.window) state.window->close();
  if (!state.pending && !state.pendingPlaces) return true;
  // The part with nothing unsaved is taken from its file: both are written
  // together.
  records::PersonList list = state.pending ? std::move(*state.pending) : records::ReadPersonFile(state.path).list;
  records::PlaceBook places;
  if (state.pendingPlaces)
    places = std::move(*state.pendingPlaces);
  else
    records::LoadPlaceFile(records::PlaceFilePath(state.path), places);
  state.pending.reset();
  state.pendingPlaces.reset();
  return WriteUnsavedEdits(state.path, list, places, prompt);
}

PersonWindow* OpenPersonWindowOf(const MainWindow& main) {
  for (PersonWindow* window : main.findChildren<PersonWindow*>(QString(), Qt::FindDirectChildrenOnly))
    if (window->isVisible()) return window;
  return nullptr;
}

}  // namespace qelm::ui
