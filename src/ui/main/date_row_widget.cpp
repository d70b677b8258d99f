#include "ui/main/date_row_widget.hpp"

#include <QLabel>
#include <QPushButton>

#include "ui/kit/colours.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/spinner.hpp"
#include "ui/kit/step_field.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {
namespace {

// The row's place in the panel, in twips; the controls below are placed in
// the panel's twips too.
constexpr int kRowLeft = 240, kRowTop = 480, kRowWidth = 6175 - 240, kRowHeight = 375;

struct FieldDesign {
  int fieldLeft, fieldWidth, spinLeft;
  const char* unit;
};
constexpr std::array<FieldDesign, DateRow::kFields> kFields{{
    {840, 615, 1450, "年"},
    {1950, 375, 2330, "月"},
    {2820, 375, 3200, "日"},
    {3690, 375, 4070, "時"},
    {4560, 375, 4935, "分"},
}};

}  // namespace

DateRowWidget::DateRowWidget(QWidget* panel) : QWidget(panel) {
  setObjectName(QStringLiteral("dateRow"));
  Place(this, kRowLeft, kRowTop, kRowWidth, kRowHeight);
  const auto place = [](QWidget* w, int left, int width) {
    PlaceFrom(w, kRowLeft, kRowTop, left, kRowTop, width, kRowHeight);
  };

  era_ = new QLabel(QStringLiteral("西元"), this);
  era_->setObjectName(QStringLiteral("eraLabel"));
  era_->setFont(Font(kSansFace, 12));
  era_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  era_->setWordWrap(true);
  place(era_, 240, 495);

  for (int i = 0; i < DateRow::kFields; ++i) {
    const FieldDesign& f = kFields[i];
    const QString unit = QString::fromUtf8(f.unit);
    auto* s = new Spinner(this, row_.minimum(i), row_.maximum(i), row_.value(i));
    s->setObjectName(QStringLiteral("dateSpinner_%1").arg(i));
    s->setFieldName(unit);
    place(s, f.spinLeft, 495);
    spinners_[i] = s;
    connect(s, &Spinner::valueChanged, this, [this, i](int v) { SpinnerMoved(i, v); });
    // The field steps its spinner from the keyboard and the wheel.
    auto* field = new StepField(this, s);
    field->setObjectName(QStringLiteral("dateField_%1").arg(i));
    field->setFont(Font(kSansFace, 12));
    field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    field->setAccessibleName(unit);
    field->setToolTip(unit + QStringLiteral("：↑ 鍵或滾輪向前 加一，↓ 鍵 減一；右側 ▲ 減一，▼ 加一"));
    place(field, f.fieldLeft, f.fieldWidth);
    SetBackground(field, 0xFFFFFF);
    fields_[i] = field;
  }
  now_ = MakeButton(this, QStringLiteral("nowButton"), 0, 0, 735, kRowHeight, Font(kSansFace, 9),
                    QStringLiteral("NOW"));
  place(now_, 5440, 735);
  now_->setAccessibleName(QStringLiteral("現在時刻"));
  connect(now_, &QPushButton::clicked, this, &DateRowWidget::nowRequested);
  ShowRow();
}

void DateRowWidget::SpinnerMoved(int field, int value) {
  row_.change(field, value);
  ShowRow();
  emit changed();
}

void DateRowWidget::setField(int field, int value) {
  row_.set(field, value);
  ShowRow();
  emit changed();
}

void DateRowWidget::setMoment(const CivilFields& at) {
  row_.set(at);
  ShowRow();
  emit changed();
}

void DateRowWidget::ShowRow() {
  for (int i = 0; i < DateRow::kFields; ++i) {
    spinners_[i]->showState(row_.minimum(i), row_.maximum(i), row_.value(i));
    fields_[i]->setText(QString::number(row_.value(i)));
  }
}

}  // namespace qelm::ui
