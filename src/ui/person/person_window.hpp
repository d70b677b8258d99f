// The person window, "排盤": the list of persons kept in the file `User`, the
// entry of a name, a sex and a birth moment to the minute with its lunar
// date, the birthplace and the kind of time (kept in `User.places`), and the
// hand-over of the chosen person to the main window.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "place/birth.hpp"
#include "records/person_file.hpp"
#include "records/place_file.hpp"
#include "ui/person/birth_date_selector.hpp"
#include "ui/person/birthplace_row.hpp"
#include "ui/kit/day_change_setting.hpp"
#include "ui/find_birth/find_birth_button.hpp"
#include "ui/find_birth/find_birth_window.hpp"
#include "ui/person/hour_unknown_mark.hpp"
#include "ui/person/person_entry.hpp"
#include "ui/person/person_list_view.hpp"
#include "ui/person/person_window_state.hpp"

class QLabel;
class QPushButton;
class QWindow;

namespace qelm::ui {

class MainWindow;

class PersonWindow : public QWidget {
  Q_OBJECT
 public:
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

  // 修改 and 刪除 are enabled while the list has rows.
  void EnableEditButtons();

  const std::filesystem::path& filePath() const { return path_; }
  const records::PersonList& list() const { return list_; }
  const records::PlaceBook& places() const { return places_; }

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
  void LoadFiles(std::optional<records::PersonList> pending, std::optional<records::PlaceBook> pendingPlaces);
  void Preview();
  void FitPreview();
  void ListClicked();
  void ShowRecord(std::size_t record);
  void ShowEntry(const records::Fields& fields);
  QString OfferAgain(const std::vector<records::Edit>& dropped);
  // A new entry (PersonEntry::prepareNew), or the change left to redo.
  void PrepareNewEntry();
  void Append();
  void Modify();
  void Remove();
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
  // Writes the list with one edit and the place of the person it enters or
  // changes, both files together. An edit in the list prepares the next
  // entry; a refused one leaves the entry as it is, for correction.
  void SavePersonList(const records::Edit& edit, const std::optional<records::PlaceEntry>& place = std::nullopt);
  void SetMessage(const QString& text);
  void ShowMessage();
  void AddMessage(const QString& text);

  QPointer<MainWindow> main_;
  std::filesystem::path path_;
  records::PersonList list_;
  std::optional<records::Fields> redo_;  // a change to offer again in the entry
  QString said_;                         // the message line's words, without the search's count
  QString where_;                        // the message line's first words when the list is not beside the program
  std::function<void(records::PersonList)> pendingHook_;
  std::function<void(records::PlaceBook)> pendingPlacesHook_;
  records::PlaceBook places_;
  bool active_ = false;  // the program's active window is this one

  PersonEntry* entry_;
  QLabel *lunarPreview_, *messageLine_;
  QPushButton *chooseButton_, *appendButton_, *modifyButton_, *deleteButton_;
  BirthplaceRow* birthplace_;
  PersonListView* personList_;
  FindBirthButton* findBirthButton_;
  DayChangeBox* dayChangeBox_;
  QPushButton* compareButton_;
  QPointer<QWidget> compare_;  // 合盤 opened from here
  HourUnknownMark* hourUnknown_;  // 時辰不詳
};

}  // namespace qelm::ui
