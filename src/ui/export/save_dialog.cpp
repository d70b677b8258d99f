#include "ui/export/save_dialog.hpp"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>

namespace qelm::ui {

SaveDialog::SaveDialog(QWidget* parent, const QString& title, const QString& choiceLabel,
                       const QStringList& choices, int chosen)
    : dialog(parent, title) {
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  choice = new QComboBox(&dialog);
  choice->setObjectName(QStringLiteral("SaveChoice"));
  choice->addItems(choices);
  choice->setCurrentIndex(chosen);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(choiceLabel, &dialog), row, 0);
    grid->addWidget(choice, row, 1);
  }
}

std::optional<QString> SaveDialog::run() {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

QString StartFolder(const QString& lastFolder) { return lastFolder.isEmpty() ? QDir::homePath() : lastFolder; }

}  // namespace qelm::ui
