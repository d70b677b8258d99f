// The entry of the person window: the name, the sex and the birth moment to
// the minute in the five birth selectors. A record of the list is shown in
// it, and a record is read back from it.
#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "calendar/date.hpp"
#include "calendar/moment.hpp"
#include "chart/types.hpp"
#include "records/person_file.hpp"
#include "ui/person/birth_date_selector.hpp"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace qelm::ui {

class PersonEntry : public QWidget {
  Q_OBJECT
 public:
  // The window's two top rows, placed from the top left corner of `parent`
  // in twips: 姓名 and 性別, then 生日 西元 with the selectors.
  explicit PersonEntry(QWidget* parent);

  QLineEdit* nameEdit() const { return nameEdit_; }
  QRadioButton* maleOption() const { return sexOptions_[0]; }
  QRadioButton* femaleOption() const { return sexOptions_[1]; }
  BirthDateSelector* birthDate() const { return birthDate_; }

  // A new entry: the name is emptied and takes the focus, the selectors
  // after the year wait for it; the sex and the remembered choices stay.
  void prepareNew();
  // Shows a record: its name, its sex and its birth moment in the selectors.
  void showFields(const records::Fields& fields);
  // Shows a birth moment in the selectors.
  void showBirth(const CivilFields& birth);

  std::string name() const;
  Sex sex() const { return sex_; }
  // The entry as a new record: the remembered choices ("0" for one never
  // made).
  records::Fields newRecord() const;
  // The entry as a change of `before`: a selector without a chosen item
  // keeps the text of `before`.
  records::Fields changedRecord(const records::Fields& before) const;
  // The chosen birth moment, once year, month, day and hour are chosen (no
  // minute chosen: minute 0).
  std::optional<MomentInput> chosenBirth() const;

 signals:
  // A selector's choice ran its handling: the remembered moment may have
  // changed.
  void birthChanged();

 private:
  // `fields` with the entry's name and sex.
  records::Fields Named(records::Fields fields) const;

  QLabel *nameCaption_, *sexCaption_, *birthCaption_;
  QLineEdit* nameEdit_;
  std::array<QRadioButton*, 2> sexOptions_{};  // 男, 女
  Sex sex_ = Sex::Male;                        // the option checked
  BirthDateSelector* birthDate_;
};

}  // namespace qelm::ui
