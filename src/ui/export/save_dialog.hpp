// The save dialog of the windows' save actions: the toolkit's own (not the
// desktop's), with one extra labelled choice under the file type row.
#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <optional>

class QComboBox;

namespace qelm::ui {

struct SaveDialog {
  QFileDialog dialog;
  QComboBox* choice;

  SaveDialog(QWidget* parent, const QString& title, const QString& choiceLabel, const QStringList& choices,
             int chosen);
  // The path chosen, none when cancelled.
  std::optional<QString> run();
};

// Where a save dialog opens: the folder of the last save, else the home folder.
QString StartFolder(const QString& lastFolder);

}  // namespace qelm::ui
