#include "ui/person/day_change_row.hpp"

#include <QLabel>

#include "ui/kit/controls.hpp"
#include "ui/kit/day_change_setting.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {

namespace {

constexpr int kCaptionWidth = 1560;
constexpr int kHeight = 360;

}  // namespace

DayChangeRow::DayChangeRow(QWidget* parent, int left, int top, int width) : QWidget(parent) {
  setObjectName(QStringLiteral("dayChangeRow"));
  Place(this, left, top, width, kHeight);
  const QFont text = Font(kSansFace, 9.75);
  caption_ = MakeLabel(this, QStringLiteral("dayChangeCaption"), 0, 60, kCaptionWidth, 255, text,
                       QStringLiteral("換日（程式設定）"));
  caption_->setFocusPolicy(Qt::NoFocus);
  box_ = new DayChangeBox(this);
  box_->setFont(text);
  box_->setAccessibleName(QStringLiteral("換日（程式設定，用於之後排的每一張命盤）"));
  box_->setToolTip(QStringLiteral("程式的設定，不隨個人資料儲存：之後排的每一張命盤與由八字找生日都依此換日"));
  caption_->setBuddy(box_);
  Place(box_, kCaptionWidth + 30, 0, width - kCaptionWidth - 30, kHeight);
}

}  // namespace qelm::ui
