// The person window's day-change chooser beside 時間 and its 由八字找生日.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"
#include "ui/person/person_window_state.hpp"

#include "tests/ui/test_app.hpp"

namespace qelm::ui {
namespace {

class PersonDayChange : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    QStandardPaths::setTestModeEnabled(true);
    StoreDayChange(DayChange::AtZiStart);
    ASSERT_TRUE(dir_.isValid());
    main_ = std::make_unique<MainWindow>([] { return MakeMoment(2024, 6, 15, 10, 30); });
    ConnectPersonWindow(*main_, std::filesystem::path(QFile::encodeName(dir_.path()).toStdString()));
    main_->show();
    main_->OpenPersonWindow();
    QApplication::processEvents();
    form_ = OpenPersonWindowOf(*main_);
    ASSERT_NE(form_, nullptr);
  }
  void TearDown() override {
    main_.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    StoreDayChange(DayChange::AtZiStart);
    QStandardPaths::setTestModeEnabled(false);
  }
  void ChooseConvention(DayChange d) {
    DayChangeBox* box = form_->dayChangeBox();
    box->setCurrentIndex(d == DayChange::AtMidnight ? 1 : 0);
    emit box->activated(box->currentIndex());
  }
  // Casts the chart of 1986-05-04 23:00 and gives the day stem.
  int CastLateBirth() {
    PersonWindow* form = form_;
    form->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("甲"));
    form->birthDate()->showStored({"1986", "5", "4", "23", "0"});
    form->findChild<QPushButton*>(QStringLiteral("chooseButton"))->click();
    EXPECT_TRUE(main_->chart().has_value());
    return main_->chart() ? main_->chart()->DayStem.number() : 0;
  }

  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> main_;
  PersonWindow* form_ = nullptr;
};

// The chooser is a setting of the program, not a field of the person: it
// stands apart from the person's fields and the birthplace rows, under the
// list under 由八字找生日, and its caption and name say it is the program's.
TEST_F(PersonDayChange, TheChooserIsTheProgramsSettingAndDecidesTheChart) {
  DayChangeBox* chooser = form_->dayChangeBox();
  const QRect box(chooser->mapTo(form_, QPoint(0, 0)), chooser->size());
  EXPECT_FALSE(form_->birthplace()->isAncestorOf(chooser));
  EXPECT_GE(box.top(), form_->personList()->geometry().bottom());
  EXPECT_LT(box.bottom(), form_->birthplace()->geometry().top());
  const QRect find = form_->findBirthButton()->geometry();
  EXPECT_GT(box.top(), find.bottom());
  EXPECT_LE(chooser->fontMetrics().horizontalAdvance(chooser->itemText(1)) + 20, box.width());
  auto* caption = form_->findChild<QLabel*>(QStringLiteral("dayChangeCaption"));
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->buddy(), chooser);
  EXPECT_NE(caption->text().indexOf(QStringLiteral("程式設定")), -1);
  EXPECT_NE(chooser->accessibleName().indexOf(QStringLiteral("程式設定")), -1);
  EXPECT_LE(QRect(caption->mapTo(form_, QPoint(0, 0)), caption->size()).right(), box.left());

  ChooseConvention(DayChange::AtMidnight);
  EXPECT_EQ(StoredDayChange(), DayChange::AtMidnight);  // kept with the settings
  EXPECT_EQ(CastLateBirth(), 5);                        // 戊申
  EXPECT_NE(main_->findChild<QLabel*>(QStringLiteral("birthDataLine"))->text().indexOf(QStringLiteral("子正換日")), -1);

  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  main_->OpenPersonWindow();
  form_ = OpenPersonWindowOf(*main_);
  ASSERT_NE(form_, nullptr);
  EXPECT_EQ(form_->dayChangeBox()->dayChange(), DayChange::AtMidnight);  // a new window keeps the choice
  ChooseConvention(DayChange::AtZiStart);
  EXPECT_EQ(CastLateBirth(), 6);  // 己酉
  EXPECT_EQ(main_->findChild<QLabel*>(QStringLiteral("birthDataLine"))->text().indexOf(QStringLiteral("子正換日")), -1);
}

TEST_F(PersonDayChange, FindBirthFillsTheBirthSelectors) {
  ChooseConvention(DayChange::AtMidnight);
  form_->findBirthButton()->click();
  FindBirthWindow* finder = form_->findBirthWindow();
  ASSERT_NE(finder, nullptr);
  EXPECT_TRUE(finder->isVisible());
  EXPECT_EQ(finder->dayChange(), DayChange::AtMidnight);
  form_->findBirthButton()->click();  // asked again: the same window
  EXPECT_EQ(form_->findBirthWindow(), finder);

  finder->choose({*ParsePillar("丙寅"), *ParsePillar("壬辰"), *ParsePillar("戊申"), *ParsePillar("甲子")});
  ASSERT_GE(finder->model()->rowCount(), 1);
  finder->useRow(0);
  EXPECT_EQ(form_->birthDate()->rememberedMoment(), (MomentInput{1986, 5, 4, 23, 0}));
  EXPECT_NE(form_->message().indexOf(QStringLiteral("1986-05-04 23:00")), -1);

  // The convention changed here follows into the open window: the 夜子時 is
  // no hour of a 戊 day under 子初換日, so the hour is left open.
  ChooseConvention(DayChange::AtZiStart);
  EXPECT_EQ(finder->dayChange(), DayChange::AtZiStart);
  EXPECT_FALSE(finder->pillars().hour.has_value());
}

}  // namespace
}  // namespace qelm::ui
