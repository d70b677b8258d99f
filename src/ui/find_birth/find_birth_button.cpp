#include "ui/find_birth/find_birth_button.hpp"

#include "ui/kit/day_change_setting.hpp"
#include "ui/find_birth/find_birth_window.hpp"
#include "ui/kit/single_window.hpp"

namespace qelm::ui {

FindBirthButton::FindBirthButton(QWidget* window, DayChangeBox* convention)
    : QPushButton(QStringLiteral("由八字找生日"), window), window_(window), convention_(convention) {
  connect(this, &QPushButton::clicked, this, &FindBirthButton::Open);
  connect(convention_, &DayChangeBox::dayChangeChosen, this, [this](DayChange d) {
    if (finder_) finder_->setDayChange(d);
  });
}

void FindBirthButton::Open() {
  ShowSingle(finder_, [this] {
    auto* w = new FindBirthWindow(convention_->dayChange(), window_);
    connect(w, &FindBirthWindow::birthChosen, this, &FindBirthButton::birthChosen);
    return w;
  });
}

}  // namespace qelm::ui
