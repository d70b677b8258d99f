#include "ui/person/person_folder.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qelm::ui {

std::filesystem::path FileSystemPath(const QString& name) {
  return std::filesystem::path(QFile::encodeName(name).toStdString());
}

bool FolderIsWritable(const QString& folder) {
  if (!QFileInfo(folder).isDir()) return false;
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".qelm-probe-XXXXXX")));
  return probe.open();  // removed again when probe goes
}

PersonFolder ChoosePersonFolder(const PersonFolderFacts& facts) {
  const QString programList = QDir(facts.program).filePath(kPersonFileName);
  const QString dataList = QDir(facts.data).filePath(kPersonFileName);
  const auto inData = [&](QString note) {
    return PersonFolder{FileSystemPath(facts.data), true, false,
                        note.isEmpty() ? QStringLiteral("清單檔案：") + dataList : note};
  };
  const bool dataUsable = !facts.data.isEmpty() && facts.dataWritable;
  if (facts.installed) {
    if (dataUsable) return inData({});
    return {FileSystemPath(facts.data), false, false,
            QStringLiteral("使用者資料夾 %1 無法寫入，清單的修改只保存在記憶體中").arg(facts.data)};
  }
  // Two lists that differ: the one changed last.
  if (dataUsable && facts.programFile.exists && facts.dataFile.exists && !facts.sameContent) {
    const QString both =
        QStringLiteral("程式資料夾與使用者資料夾各有一份不同的清單，使用較新的 %1；另一份 %2 保留未動");
    if (facts.dataFile.modified > facts.programFile.modified) return inData(both.arg(dataList, programList));
    return {FileSystemPath(facts.program), facts.programWritable, false, both.arg(programList, dataList)};
  }
  // Records entered while the program's folder could not be written stay
  // in view: the list in the data folder is the only one.
  if (dataUsable && facts.dataFile.exists && !facts.programFile.exists) return inData({});
  if (facts.programWritable) return {FileSystemPath(facts.program), true, false, {}};
  if (dataUsable) {
    if (facts.dataFile.exists) return inData({});
    PersonFolder chosen = inData({});
    if (facts.programFile.exists) {
      chosen.copyFromProgram = true;
      chosen.note = QStringLiteral("程式資料夾無法寫入，清單已複製到 %1，之後的修改存在該處").arg(dataList);
    }
    return chosen;
  }
  return {FileSystemPath(facts.program), false, false,
          QStringLiteral("程式資料夾與使用者資料夾都無法寫入，清單的修改只保存在記憶體中")};
}

namespace {

PersonFolderFacts::ListFile ListFileIn(const QString& folder) {
  const QFileInfo info(QDir(folder).filePath(kPersonFileName));
  return {info.isFile(), info.lastModified()};
}

bool SameBytes(const QString& a, const QString& b) {
  QFile first(a), second(b);
  if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
    return false;
  while (!first.atEnd()) {
    if (first.read(1 << 20) != second.read(1 << 20)) return false;
  }
  return true;
}

}  // namespace

PersonFolder ChoosePersonFolder() {
  PersonFolderFacts facts;
  facts.program = QCoreApplication::applicationDirPath();
  facts.data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  facts.installed = QFileInfo(QDir(facts.program).filePath(QStringLiteral("../share/qelm"))).isDir();
  facts.programWritable = !facts.installed && FolderIsWritable(facts.program);
  // The data folder is made only when it is to be used.
  const bool dataNeeded = facts.installed || !facts.programWritable || QFileInfo(facts.data).isDir();
  facts.dataWritable =
      !facts.data.isEmpty() && (!dataNeeded || (QDir().mkpath(facts.data) && FolderIsWritable(facts.data)));
  facts.programFile = ListFileIn(facts.program);
  facts.dataFile = ListFileIn(facts.data);
  facts.sameContent =
      facts.programFile.exists && facts.dataFile.exists &&
      SameBytes(QDir(facts.program).filePath(kPersonFileName), QDir(facts.data).filePath(kPersonFileName));
  PersonFolder chosen = ChoosePersonFolder(facts);
  if (chosen.copyFromProgram) {
    const QString from = QDir(facts.program).filePath(kPersonFileName), to = QDir(facts.data).filePath(kPersonFileName);
    if (QFile::copy(from, to)) {
      QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    } else {
      // Nothing to show from there: read the list where it is.
      chosen = {FileSystemPath(facts.program), false, false,
                QStringLiteral("無法把清單複製到 %1，清單的修改只保存在記憶體中").arg(to)};
    }
  }
  return chosen;
}

PersonFile LocatePersonFile(const std::optional<std::filesystem::path>& folder) {
  PersonFile file;
  if (folder) {
    file.path = *folder / kPersonFileName.toStdString();
    return file;
  }
  const PersonFolder chosen = ChoosePersonFolder();
  file.path = chosen.folder / kPersonFileName.toStdString();
  file.note = chosen.note;
  if (chosen.folder != FileSystemPath(QCoreApplication::applicationDirPath()))
    file.where = QStringLiteral("清單檔案：") + QFile::decodeName(file.path.c_str());
  return file;
}

}  // namespace qelm::ui
