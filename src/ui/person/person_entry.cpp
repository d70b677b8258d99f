#include "ui/person/person_entry.hpp"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <limits>

#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"


namespace qelm::ui {
namespace {

using Field = BirthDateSelector::Field;

std::string S(const QString& s) { return s.toUtf8().toStdString(); }

// The two rows in twips, across the window's width: the name row, and under
// it the birth row.
constexpr int kWidth = 5430;
constexpr int kBirthTop = 810;
constexpr int kHeight = kBirthTop + 375;

}  // namespace

PersonEntry::PersonEntry(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("personEntry"));
  Place(this, 0, 0, kWidth, kHeight);
  const QFont text = Font(kSansFace, 9.75);

  nameCaption_ = MakeLabel(this, QStringLiteral("nameCaption"), 240, 240, 495, 255, text, QStringLiteral("姓名"));
  nameEdit_ = new QLineEdit(this);
  nameEdit_->setObjectName(QStringLiteral("nameEdit"));
  nameEdit_->setFont(text);
  // Any length is taken; a name too long is refused with a message, never cut.
  nameEdit_->setMaxLength(std::numeric_limits<int>::max());
  Place(nameEdit_, 760, 210, 1335, 300);
  nameCaption_->setBuddy(nameEdit_);
  sexCaption_ = MakeLabel(this, QStringLiteral("sexCaption"), 2280, 240, 495, 255, text, QStringLiteral("性別"));
  const std::array<Sex, 2> sexes{Sex::Male, Sex::Female};
  const std::array<const char*, 2> sexNames{"maleOption", "femaleOption"};
  for (std::size_t i = 0; i < sexes.size(); ++i) {
    auto* option = new QRadioButton(Q(SexText(sexes[i])), this);
    option->setObjectName(QString::fromLatin1(sexNames[i]));
    option->setFont(text);
    Place(option, 2800 + 600 * static_cast<int>(i), 160, 600, 375);  // side by side, not one over the other
    sexOptions_[i] = option;
    // The option checked, by mouse, keyboard or the program, is the sex.
    connect(option, &QRadioButton::toggled, this, [this, sex = sexes[i]](bool on) {
      if (on) sex_ = sex;
    });
  }
  sexOptions_[0]->setChecked(true);

  birthCaption_ =
      MakeLabel(this, QStringLiteral("birthCaption"), 240, 860, 960, 255, text, QStringLiteral("生日 西元"));
  birthDate_ = new BirthDateSelector(this, 1200, kBirthTop);
  connect(birthDate_, &BirthDateSelector::changed, this, &PersonEntry::birthChanged);

  for (QLabel* l : {nameCaption_, sexCaption_, birthCaption_}) l->setFocusPolicy(Qt::NoFocus);
  // A screen reader names the field after its caption (the sex options are
  // named by their own).
  nameEdit_->setAccessibleName(nameCaption_->text());
}

void PersonEntry::prepareNew() {
  nameEdit_->clear();
  nameEdit_->setFocus();
  birthDate_->waitForYear();
}

void PersonEntry::showFields(const records::Fields& fields) {
  birthDate_->enableAll();
  nameEdit_->setText(Q(fields[records::kName]));
  sexOptions_[SexOfText(fields[records::kSex]) == Sex::Male ? 0 : 1]->setChecked(true);
  std::array<std::string, BirthDateSelector::kFieldCount> moment;
  for (std::size_t field = 0; field < moment.size(); ++field) moment[field] = fields[records::kYear + field];
  birthDate_->showStored(moment);
}

void PersonEntry::showBirth(const CivilFields& birth) {
  birthDate_->showStored({std::to_string(birth.year), std::to_string(birth.month), std::to_string(birth.day),
                          std::to_string(birth.hour), std::to_string(birth.minute)});
}

std::string PersonEntry::name() const { return S(nameEdit_->text()); }

records::Fields PersonEntry::Named(records::Fields fields) const {
  fields[records::kName] = name();
  fields[records::kSex] = std::string(SexText(sex_));
  return fields;
}

records::Fields PersonEntry::newRecord() const {
  records::Fields fields = Named({});
  for (int field = Field::kYear; field <= Field::kMinute; ++field)
    fields[records::kYear + field] = std::to_string(birthDate_->remembered(field));
  return fields;
}

records::Fields PersonEntry::changedRecord(const records::Fields& before) const {
  records::Fields fields = Named(before);
  for (int field = Field::kYear; field <= Field::kMinute; ++field)
    if (birthDate_->hasChoice(field)) fields[records::kYear + field] = std::to_string(birthDate_->chosenNumber(field));
  return fields;
}

std::optional<MomentInput> PersonEntry::chosenBirth() const {
  for (int field = Field::kYear; field <= Field::kHour; ++field)
    if (!birthDate_->hasChoice(field)) return std::nullopt;
  return MomentInput{birthDate_->chosenNumber(Field::kYear), birthDate_->chosenNumber(Field::kMonth),
                     birthDate_->chosenNumber(Field::kDay), birthDate_->chosenNumber(Field::kHour),
                     birthDate_->chosenNumber(Field::kMinute)};
}

}  // namespace qelm::ui
