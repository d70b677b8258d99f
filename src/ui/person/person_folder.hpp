// Where the person file `User` lives: beside the program, or in the user's
// application-data folder.
#pragma once

#include <QDateTime>
#include <QString>
#include <filesystem>
#include <optional>

namespace qelm::ui {

// The person file's name in its folder.
inline const QString kPersonFileName = QStringLiteral("User");

// The folder chosen for the person file. Beside the program when that folder
// can be written; in the user's application-data folder when it cannot, and
// always for an installed program (one with share/qelm beside its folder).
// When both folders hold a list and the two differ, the one changed last is
// used and the other left as it is.
struct PersonFolder {
  std::filesystem::path folder;
  bool writable = true;          // false: neither folder can be written
  bool copyFromProgram = false;  // the list beside the program is to be copied there first
  QString note;                  // for the window: where the list is and why, when not beside the program
};

// What the choice depends on.
struct PersonFolderFacts {
  struct ListFile {
    bool exists = false;
    QDateTime modified;
  };
  QString program, data;  // the program's folder, the application-data folder
  bool installed = false;
  bool programWritable = true, dataWritable = true;
  ListFile programFile, dataFile;
  bool sameContent = false;  // both files exist and hold the same bytes
};
PersonFolder ChoosePersonFolder(const PersonFolderFacts& facts);
// The choice for this program, with the copy done.
PersonFolder ChoosePersonFolder();

// The person file to use: `User` in `folder`, or where ChoosePersonFolder
// finds it (the copy done), with what the window says about it.
struct PersonFile {
  std::filesystem::path path;
  QString note;   // why the list is where it is, once
  QString where;  // "清單檔案：…" before every message, when not beside the program
};
PersonFile LocatePersonFile(const std::optional<std::filesystem::path>& folder);

// A whole folder can take a new file (a probe file is created and removed).
bool FolderIsWritable(const QString& folder);

// A file or folder named by Qt as a file-system path.
std::filesystem::path FileSystemPath(const QString& name);

}  // namespace qelm::ui
