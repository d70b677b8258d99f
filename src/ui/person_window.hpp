// Form2, "排盤": the list of persons kept in the file `User`, the entry of a
// name, a sex and a birth moment to the minute with its lunar date, the
// birthplace and the kind of time (kept in `User.places`), and the hand-over
// of the chosen person to the main window.
#pragma once

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "place/stored_place.hpp"
#include "records/person_and_place.hpp"
#include "records/person_file.hpp"
#include "records/place_file.hpp"

class QComboBox;
class QCompleter;
class QStringListModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QWindow;

namespace qelm::ui {

class MainWindow;

// Where the person file lives. Beside the program when that folder can be
// written; in the user's application-data folder when it cannot, and always
// for an installed program (one with share/qelm beside its folder). When
// both folders hold a list and the two differ, the one changed last is used
// and the other left as it is.
struct PersonFolder {
  std::filesystem::path folder;
  bool writable = true;      // false: neither folder can be written
  bool copyFromProgram = false;  // the list beside the program is to be copied there first
  QString note;              // for the window: where the list is and why, when not beside the program
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

// A whole folder can take a new file (a probe file is created and removed).
bool FolderIsWritable(const QString& folder);

class PersonWindow : public QWidget {
  Q_OBJECT
 public:
  // The five birth selectors.
  enum Selector { kYear = 0, kMonth, kDay, kHour, kMinute };

  // The window over `main` (disabled while it is open). The person file is
  // `User` in `folder`, or in the folder ChoosePersonFolder finds when none is
  // given. `pending`, a list with edits that could not be written when the
  // window was last open, is taken instead of the file's content and written.
  explicit PersonWindow(MainWindow& main, std::optional<std::filesystem::path> folder = std::nullopt,
                        std::optional<records::PersonList> pending = std::nullopt,
                        std::optional<records::PlaceBook> pendingPlaces = std::nullopt);
  ~PersonWindow() override;

  // Called on close with the list when it holds edits not yet in the file.
  void setPendingHook(std::function<void(records::PersonList)> hook) { pendingHook_ = std::move(hook); }
  // The same for birthplace changes not yet in the companion file.
  void setPendingPlacesHook(std::function<void(records::PlaceBook)> hook) { pendingPlacesHook_ = std::move(hook); }

  // The window's procedures.
  void CHECKLIST();
  void ENTERLIST();

  // Sets selector k to item `index` (-1: no chosen item) as the program does;
  // a chosen item runs the selector handling.
  void choose(int k, int index);
  // The remembered selection of selector k (0 while none was chosen).
  int remembered(int k) const { return remembered_[k]; }

  const std::filesystem::path& filePath() const { return path_; }
  const records::PersonList& list() const { return list_; }
  const records::PlaceBook& places() const { return places_; }

  // The birthplace row: the place finder (a name, chosen from the places
  // found as the user types), longitude, latitude and zone typed by hand,
  // the kind of time, and which of two moments a repeated clock time means.
  QLineEdit* placeEdit() const { return PlaceEdit_; }
  QLineEdit* longitudeEdit() const { return LonEdit_; }
  QLineEdit* latitudeEdit() const { return LatEdit_; }
  QLineEdit* zoneEdit() const { return ZoneEdit_; }
  QComboBox* modeBox() const { return ModeBox_; }
  QComboBox* overlapBox() const { return OverlapBox_; }
  QLabel* correctionLabel() const { return CorrLabel_; }
  QLabel* previewLabel() const { return Label4_; }
  QCompleter* placeCompleter() const { return completer_; }
  // Takes a place as if chosen from the finder.
  void choosePlace(const qelm::Place& p);
  QString message() const;

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildControls();
  void LoadList(std::optional<records::PersonList> pending);
  void InputData();
  void ShowRows(int selectRow = -1);
  void SelectorChosen(int k);
  void FillRange(int k, int first, int last);
  void RecheckFebruary();
  void Preview();
  void FitPreview();
  void ListClicked();
  void ShowEntry(const records::Fields& f);
  QString OfferAgain(const std::vector<records::Edit>& dropped);
  void ShowRedo();
  void Append();
  void Modify();
  void Remove();
  void HandOver();
  void FocusWindowChanged(QWindow* w);
  // SAVELIST with one edit and the place of the person it enters or changes,
  // both files saved together; true when the edit is in the list.
  bool SAVELIST(const records::Edit& edit, const std::optional<records::PlaceEntry>& place = std::nullopt);
  void SetMessage(const QString& text);
  records::Fields EntryFields(const records::Fields& keep) const;
  QString ChosenSex() const;
  void BuildPlaceControls();
  void PlaceTyped(const QString& text);
  void PlaceActivated(const QString& shown);
  void ShowPlace(const records::PlaceEntry* e);
  // The birthplace entered: nothing when the row is empty; `problem` says
  // what is wrong with a row that is partly filled.
  std::optional<StoredBirthPlace> EnteredPlace(QString* problem) const;
  // The correction of a moment at the entered place (nothing without a
  // place), with the message refusing it in `problem`.
  std::optional<CorrectionOutcome> EnteredCorrection(const MomentInput& birth, QString* problem) const;
  // Writes a birthplace change after a person edit; says so when it fails.

  QPointer<MainWindow> main_;
  std::filesystem::path path_;
  records::PersonList list_;
  std::optional<records::Fields> redo_;
  QString where_;  // the message line's first words when the list is not beside the program  // a change to offer again in the entry
  std::function<void(records::PersonList)> pendingHook_;
  std::function<void(records::PlaceBook)> pendingPlacesHook_;
  records::PlaceBook places_;
  std::vector<qelm::Place> found_;  // the places the finder offers now
  QStringList foundText_;
  std::array<int, 5> remembered_{};
  bool active_ = false;  // the program's active window is this one

  QLabel *Label1_, *Label2_, *Label3_, *Label4_, *MessageLabel_;
  QLineEdit* Text1_;
  std::array<QRadioButton*, 2> Option1_{};
  QPushButton *Command1_, *Command2_, *Command3_, *Command4_;
  std::array<QComboBox*, 5> Combo1_{};
  QTreeWidget* ListView1_;
  QLabel *PlaceLabel_, *LonLabel_, *LatLabel_, *ZoneLabel_, *ModeLabel_, *CorrLabel_;
  QLineEdit *PlaceEdit_, *LonEdit_, *LatEdit_, *ZoneEdit_;
  QComboBox *ModeBox_, *OverlapBox_;
  QCompleter* completer_;
  QStringListModel* foundModel_;
};

// What the user chooses when edits of the list could not be written and the
// program is about to end.
enum class UnsavedChoice { kRetry, kSaveAs, kDiscard };
struct UnsavedPrompt {
  // Asks, showing why the edits are not written.
  std::function<UnsavedChoice(const QString& text)> choose;
  // The file to write the whole list to; empty when the user cancels.
  std::function<QString()> fileName;
  // Says something the user must know before the program ends.
  std::function<void(const QString& text)> tell;
};
// The prompt as dialogs over `parent`.
UnsavedPrompt DialogPrompt(QWidget* parent = nullptr);

// Writes the list's edits that are not yet in `path`; while that fails, asks
// whether to retry, write the list elsewhere or give the edits up. True when
// every edit is written (here or in the chosen file), false when given up.
bool WriteUnsavedEdits(const std::filesystem::path& path, records::PersonList& list, const UnsavedPrompt& prompt);

// The person window of a main window and the edits it could not write, kept
// between openings of the window.
struct PersonWindowState {
  QPointer<PersonWindow> window;
  std::filesystem::path path;                  // the file of `pending`
  std::optional<records::PersonList> pending;  // edits not yet in the file
  std::optional<records::PlaceBook> pendingPlaces;  // birthplace changes not yet in User.places
};

// Makes the main window's "排盤" open the person window, one at a time, with
// the person file in `folder` (the folder ChoosePersonFolder finds when none
// is given).
std::shared_ptr<PersonWindowState> ConnectPersonWindow(MainWindow& main,
                                                       std::optional<std::filesystem::path> folder = std::nullopt);
// Before the program ends: closes the person window (which writes what it
// can) and writes what is left, asking through `prompt` while it cannot.
bool FinishPersonEdits(PersonWindowState& state, const UnsavedPrompt& prompt);
// The person window open over `main`, if any.
PersonWindow* OpenPersonWindowOf(const MainWindow& main);

}  // namespace qelm::ui
