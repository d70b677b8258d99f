#include "ui/person/hour_unknown_mark.hpp"

#include "records/file_io.hpp"
#include "records/hour_marks.hpp"

namespace qelm::ui {

HourUnknownMark::HourUnknownMark(QWidget* parent) : QCheckBox(QStringLiteral("時辰不詳"), parent) {
  setObjectName(QStringLiteral("hourUnknownMark"));
  setAccessibleName(QStringLiteral("時辰不詳"));
  setAccessibleDescription(QStringLiteral("勾選後，確定列出這一天所有可能的命盤"));
  connect(this, &QCheckBox::clicked, this, &HourUnknownMark::Keep);
}

void HourUnknownMark::setPersonFile(const std::filesystem::path& personFile) {
  file_ = records::HourMarkFilePath(personFile);
  marks_ = records::ReadHourMarks(file_);
  showPerson(person_);
}

void HourUnknownMark::showPerson(const std::optional<records::Fields>& person) {
  person_ = person;
  setChecked(person_ && marks_.contains(*person_));
}

void HourUnknownMark::carry(const std::optional<records::Fields>& before,
                            const std::optional<records::Fields>& after) {
  if (file_.empty()) return;
  const std::set<records::Fields> was = marks_;
  if (before) marks_.erase(*before);
  if (after && isChecked()) marks_.insert(*after);
  person_ = after;
  if (marks_ != was) Write();
}

void HourUnknownMark::Keep(bool marked) {
  if (!person_ || file_.empty()) return;  // a new entry: the mark holds for this chart only
  if (marked) marks_.insert(*person_);
  else marks_.erase(*person_);
  Write();
}

void HourUnknownMark::Write() {
  if (const int error = records::WriteHourMarks(file_, marks_))
    emit notKept(QString::fromStdString("時辰不詳的標記無法寫入 " + records::io::PathText(file_) +
                                        records::io::Reason(error)));
}

}  // namespace qelm::ui
