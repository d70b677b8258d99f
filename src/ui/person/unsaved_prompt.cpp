#include "ui/person/unsaved_prompt.hpp"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include "ui/kit/fonts.hpp"
#include "ui/person/person_folder.hpp"

namespace qelm::ui {

bool WriteUnsavedEdits(records::PersonStore& store, const UnsavedPrompt& prompt) {
  const std::filesystem::path& path = store.path();
  QString note;  // what went wrong with the last choice
  for (;;) {
    const std::size_t count = store.list().unsaved.size(), placeCount = store.places().unsaved.size();
    if (count == 0 && placeCount == 0) return true;
    const records::SaveResult saved = store.Save();
    if (!saved.dropped.empty() && prompt.tell) prompt.tell(Q(saved.message));
    if (!store.hasUnsaved()) return true;
    // The birthplaces go with the persons: they are named alone only when
    // the list has nothing unsaved.
    QString text = count > 0 ? QStringLiteral("清單有 %1 項修改尚未寫入 %2。\n%3")
                                   .arg(count)
                                   .arg(QFile::decodeName(path.c_str()), Q(saved.message))
                             : QStringLiteral("出生地的 %1 項修改尚未寫入 %2。\n%3")
                                   .arg(placeCount)
                                   .arg(QFile::decodeName(records::PlaceFilePath(path).c_str()), Q(saved.message));
    if (!note.isEmpty()) text += QStringLiteral("\n") + note;
    note.clear();
    switch (prompt.choose(text)) {
      case UnsavedChoice::kRetry:
        break;
      case UnsavedChoice::kSaveAs: {
        const QString file = prompt.fileName();
        if (file.isEmpty()) break;
        const records::SaveResult written = store.SaveAs(FileSystemPath(file));
        if (written) return true;
        note = QStringLiteral("另存失敗：") + Q(written.message);
        break;
      }
      case UnsavedChoice::kDiscard:
        return false;
    }
  }
}

UnsavedPrompt DialogPrompt(QWidget* parent) {
  UnsavedPrompt prompt;
  prompt.choose = [parent](const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("排盤"), text, QMessageBox::NoButton, parent);
    box.setInformativeText(
        QStringLiteral("「重試」再寫一次；「另存新檔」把整份清單寫到您選擇的檔案，"
                       "出生地寫在它旁邊、檔名後加 .places 的檔案；「放棄修改並結束」則這些修改將會遺失。"));
    QPushButton* retry = box.addButton(QStringLiteral("重試"), QMessageBox::AcceptRole);
    QPushButton* saveAs = box.addButton(QStringLiteral("另存新檔…"), QMessageBox::ActionRole);
    QPushButton* discard = box.addButton(QStringLiteral("放棄修改並結束"), QMessageBox::DestructiveRole);
    box.setDefaultButton(retry);
    box.setEscapeButton(retry);
    box.exec();
    if (box.clickedButton() == saveAs) return UnsavedChoice::kSaveAs;
    if (box.clickedButton() == discard) return UnsavedChoice::kDiscard;
    return UnsavedChoice::kRetry;
  };
  prompt.fileName = [parent] {
    const QString start =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(kPersonFileName);
    return QFileDialog::getSaveFileName(parent, QStringLiteral("另存清單"), start);
  };
  prompt.tell = [parent](const QString& text) { QMessageBox::warning(parent, QStringLiteral("排盤"), text); };
  return prompt;
}

}  // namespace qelm::ui
