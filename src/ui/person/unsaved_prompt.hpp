// The warning before the program ends with edits of the person list or of
// the birthplaces that could not be written.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>

#include "records/person_store.hpp"

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

// Writes the edits of the store's list and of its birthplaces that are not
// yet in its files, both together; while that fails, asks whether to retry,
// write both elsewhere (another locked save of the pair) or give the edits
// up. True when every edit is written (there or in the chosen file), false
// when given up.
bool WriteUnsavedEdits(records::PersonStore& store, const UnsavedPrompt& prompt);

}  // namespace qelm::ui
