// 時辰不詳: the mark of a person whose birth hour is not known. It shows the
// mark of the person in the entry and keeps a change of it at once in the
// companion file `User.hours` (records/hour_marks.hpp); the person file is
// left as it is. With the mark, 確定 lists the charts the birth date allows.
#pragma once

#include <QCheckBox>
#include <filesystem>
#include <optional>
#include <set>

#include "records/person_file.hpp"

namespace qelm::ui {

class HourUnknownMark : public QCheckBox {
  Q_OBJECT
 public:
  explicit HourUnknownMark(QWidget* parent);
  // The person file whose marks are shown and kept.
  void setPersonFile(const std::filesystem::path& personFile);
  // The mark of a stored person; none: a new entry, unmarked.
  void showPerson(const std::optional<records::Fields>& person);
  bool hourUnknown() const { return isChecked(); }
  // The mark goes with an edit of the list: `before` (none: 輸入) loses it,
  // `after` (none: 刪除) takes the mark as shown.
  void carry(const std::optional<records::Fields>& before, const std::optional<records::Fields>& after);

 signals:
  // The marks could not be written: what went wrong, for the message line.
  void notKept(const QString& problem);

 private:
  void Keep(bool marked);
  void Write();

  std::filesystem::path file_;
  std::set<records::Fields> marks_;
  std::optional<records::Fields> person_;
};

}  // namespace qelm::ui
