// The person window, "排盤": the list of persons kept in the file `User`, the
// entry of a name, a sex and a birth moment to the minute with its lunar
// date, the birthplace and the kind of time (kept in `User.places`), and the
// hand-over of the chosen person to the main window.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "place/birth.hpp"
#include "records/person_store.hpp"
#include "ui/person/birth_date_selector.hpp"
#include "ui/person/birthplace_row.hpp"
#include "ui/kit/day_change_setting.hpp"
#include "ui/find_birth/find_birth_button.hpp"
#include "ui/find_birth/find_birth_window.hpp"
#include "ui/person/hour_unknown_mark.hpp"
#include "ui/person/lunar_preview.hpp"
#include "ui/person/person_entry.hpp"
#include "ui/person/person_folder.hpp"
#include "ui/person/person_list_view.hpp"
#include "ui/person/person_window_state.hpp"
#include "ui/person/store_commands.hpp"

class QLabel;

class QPushButton;
class QWindow;

namespace qelm::ui {


class MainWindow;

class PersonWindow : public QWidget {
  Q_OBJECT
 public:
  // The window over `main` (disabled while it is open), showing `store`,
  // which the application keeps; `file` says where the list is. Opening
  // reads the files afresh, or writes the edits the store could not write
  // before.
  PersonWindow(MainWindow& main, records::PersonStore& store, const PersonFile& file = {});
  ~PersonWindow() override;

  // 修改 and 刪除 are enabled while the list has rows, 復原刪除 while a
  // deletion can be taken back.
  void EnableEditButtons();

  const std::filesystem::path& filePath() const { return store_.path(); }
  const records::PersonList& list() const { return store_.list(); }
  const records::PlaceBook& places() const { return store_.places(); }

  BirthDateSelector* birthDate() const { return entry_->birthDate(); }
  BirthplaceRow* birthplace() const { return birthplace_; }
  PersonListView* personList() const { return personList_; }
  QLabel* lunarPreview() const { return lunarPreview_; }
  QString message() const;
  // The day-change convention (a program setting, beside 由八字找生日) and
  // 由八字找生日, with its window while it is open.
  DayChangeBox* dayChangeBox() const;
  FindBirthButton* findBirthButton() const { return findBirthButton_; }
  FindBirthWindow* findBirthWindow() const;
  HourUnknownMark* hourUnknownMark() const { return hourUnknown_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void Preview();
  void ListClicked();
  void ShowRecord(std::size_t record);
  void ShowEntry(const records::Fields& fields);
  QString OfferAgain(const std::vector<records::Edit>& dropped);
  // A new entry (PersonEntry::prepareNew), or the change left to redo.
  void PrepareNewEntry();
  void Append();
  void Modify();
  void Remove();
  void UndoRemove();
  void HandOver();
  // Fills the birth selectors with the birth a stretch of 由八字找生日 gives.
  void TakeFoundBirth(const ChosenStretch& chosen);
  // The birth the entry and the birthplace rows give for a clock time, under
  // the program's day-change setting; nothing, with the reason, when the
  // birthplace cannot be taken.
  std::optional<Birth> EnteredBirth(const MomentInput& clock, QString* problem) const;
  // "合盤": the selected person beside one chosen in 合盤.
  void OpenCompare();
  void FocusWindowChanged(QWindow* w);
  bool EnteredPlace(std::optional<records::PlaceEntry>& place);
  // Shows what a command of the store did: an edit in the list prepares the
  // next entry; a refused one leaves the entry as it is, for correction.
  void Saved(const records::SaveResult& saved, int select = -1);
  void Run(StoreCommands::Command command, int select = -1);
  void SetMessage(const QString& text);
  void ShowMessage();

  QPointer<MainWindow> main_;
  records::PersonStore& store_;
  std::optional<records::Fields> redo_;  // a change to offer again in the entry
  std::optional<std::size_t> shown_;     // the record the entry was filled from
  StoreCommands* commands_ = nullptr;
  records::Fields commandEntry_;         // the entry when the last command began
  QString said_;                         // the message line's words, without the search's count
  QString where_;                        // the message line's first words when the list is not beside the program
  bool entered_ = false;                 // the first activation has prepared a new entry
  bool cast_ = false;                    // 確定 handed a person over

  PersonEntry* entry_;
  LunarPreview* lunarPreview_;
  QLabel* messageLine_;
  QPushButton *chooseButton_, *appendButton_, *modifyButton_, *deleteButton_, *undoButton_;
  BirthplaceRow* birthplace_;
  PersonListView* personList_;
  FindBirthButton* findBirthButton_;
  DayChangeBox* dayChangeBox_;
  QPushButton* compareButton_;
  QPointer<QWidget> compare_;  // 合盤 opened from here
  HourUnknownMark* hourUnknown_;  // 時辰不詳
};

}  // namespace qelm::ui
