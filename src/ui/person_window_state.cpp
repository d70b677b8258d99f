#include "ui/person_window_state.hpp"

#include <QFile>
#include <utility>

#include "ui/main_window.hpp"
#include "ui/person_window.hpp"
#include "ui/window_layer.hpp"

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
  bool written = true;
  if (state.pending) {
    written = WriteUnsavedEdits(state.path, *state.pending, prompt);
    state.pending.reset();
  }
  // Birthplace changes: one more try; the user hears of what is left.
  if (state.pendingPlaces) {
    const std::filesystem::path file = records::PlaceFilePath(state.path);
    const records::SaveResult saved = records::SavePlaceFile(file, *state.pendingPlaces);
    if (!saved && !state.pendingPlaces->unsaved.empty()) {
      written = false;
      if (prompt.tell)
        prompt.tell(QStringLiteral("出生地的 %1 項修改無法寫入 %2：%3")
                        .arg(state.pendingPlaces->unsaved.size())
                        .arg(QFile::decodeName(file.c_str()), Q(saved.message)));
    }
    state.pendingPlaces.reset();
  }
  return written;
}

PersonWindow* OpenPersonWindowOf(const MainWindow& main) {
  for (PersonWindow* window : main.findChildren<PersonWindow*>(QString(), Qt::FindDirectChildrenOnly))
    if (window->isVisible()) return window;
  return nullptr;
}

}  // namespace qelm::ui
