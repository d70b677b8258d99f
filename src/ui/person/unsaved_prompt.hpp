// The warning before the program ends with edits of the person list or of
// the birthplaces that could not be written.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>

#include "records/person_file.hpp"
#include "records/place_file.hpp"

class QWidget;

namespace qelm::ui {

// What the user chooses when edits could not be written and the program is
// about to end.
enum class UnsavedChoice { kRetry, kSaveAs, kDiscard };
struct UnsavedPrompt {
  // Asks, showing why the edits are not written.
  std::function<UnsavedChoice(const QString& text)> choose;
  // The file to write the whole list to (the birthplaces beside it); empty
  // when the user cancels.
  std::function<QString()> fileName;
  // Says something the user must know before the program ends.
  std::function<void(const QString& text)> tell;
};
// The prompt as dialogs over `parent`.
UnsavedPrompt DialogPrompt(QWidget* parent = nullptr);

// Writes the edits of the list and of its birthplaces that are not yet in
// `path` and its companion, both files together; while that fails, asks
// whether to retry, write both elsewhere or give the edits up. True when
// every edit is written (here or in the chosen file), false when given up.
bool WriteUnsavedEdits(const std::filesystem::path& path, records::PersonList& list, records::PlaceBook& places,
                       const UnsavedPrompt& prompt);

}  // namespace qelm::ui
