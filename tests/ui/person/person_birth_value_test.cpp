// The birth as one value in the person window: 帶入生日 casts the pillars
// searched, a chosen place applies at once, and the chart's 子時 convention
// reads the main window's flow moment.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "ui/kit/day_change_setting.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"
#include "ui/person/person_window_state.hpp"

#include "tests/ui/test_app.hpp"

namespace qelm::ui {
namespace {

class PersonBirthValue : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    QStandardPaths::setTestModeEnabled(true);
    StoreDayChange(DayChange::AtZiStart);
    ASSERT_TRUE(dir_.isValid());
    main_ = std::make_unique<MainWindow>([] { return MakeMoment(2024, 6, 15, 10, 30); });
    ConnectPersonWindow(*main_, std::filesystem::path(QFile::encodeName(dir_.path()).toStdString()));
    main_->show();
    Reopen();
  }
  void TearDown() override {
    main_.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    StoreDayChange(DayChange::AtZiStart);
    QStandardPaths::setTestModeEnabled(false);
  }
  void Reopen() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main_->OpenPersonWindow();
    QApplication::processEvents();
    form_ = OpenPersonWindowOf(*main_);
    ASSERT_NE(form_, nullptr);
  }
  void ChooseConvention(DayChange d) {
    DayChangeBox* box = form_->dayChangeBox();
    box->setCurrentIndex(d == DayChange::AtMidnight ? 1 : 0);
    emit box->activated(box->currentIndex());
  }
  // A place taken from the finder's list, as the user picks one.
  void ChoosePlace(const char* name) {
    BirthplaceRow* row = form_->birthplace();
    row->finder()->setText(QString::fromUtf8(name));
    emit row->finder()->textEdited(row->finder()->text());
    QCompleter* finder = row->completer();
    ASSERT_GT(finder->completionModel()->rowCount(), 0);
    emit finder->activated(finder->completionModel()->index(0, 0));
    QApplication::processEvents();
  }
  void Cast() {
    form_->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("甲"));
    form_->findChild<QPushButton*>(QStringLiteral("chooseButton"))->click();
  }

  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> main_;
  PersonWindow* form_ = nullptr;
};

// 帶入生日 with the form reading the time at a birthplace: the chart cast has
// the pillars searched, and the message says which clock the time is on.
// (Before, the time found on the clocks of UTC+8 was corrected again as a
// clock time at the place: at 成都 by 真太陽時, 庚午 became 己巳.)
TEST_F(PersonBirthValue, BringingBackABirthCastsThePillarsSearched) {
  struct Case {
    const char* place;
    TimeMode time;
    DayChange dayChange;
    const char* pillars[4];
    const char* says;
  };
  const Case cases[] = {
      {"成都", TimeMode::Solar, DayChange::AtZiStart, {"乙卯", "甲申", "己亥", "庚午"}, "成都當地鐘錶時間"},
      {"成都", TimeMode::Standard, DayChange::AtZiStart, {"乙卯", "甲申", "己亥", "庚午"}, "成都當地鐘錶時間"},
      {"New York", TimeMode::Standard, DayChange::AtMidnight, {"丙寅", "壬辰", "戊申", "甲子"}, "當地鐘錶時間"},
      {"", TimeMode::Clock, DayChange::AtZiStart, {"乙卯", "甲申", "己亥", "庚午"}, "東八區時間"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.place) + " " + std::string(TimeModeName(c.time)));
    ChooseConvention(c.dayChange);
    if (*c.place) ChoosePlace(c.place);
    form_->birthplace()->setReading(c.time, OverlapChoice::Earlier);
    form_->findBirthButton()->click();
    FindBirthWindow* finder = form_->findBirthWindow();
    ASSERT_NE(finder, nullptr);
    const EightCharacters searched{*ParsePillar(c.pillars[0]), *ParsePillar(c.pillars[1]), *ParsePillar(c.pillars[2]),
                                   *ParsePillar(c.pillars[3])};
    finder->choose(searched);
    ASSERT_GE(finder->model()->rowCount(), 1);
    finder->useRow(0);
    EXPECT_NE(form_->message().indexOf(QString::fromUtf8(c.says)), -1) << form_->message().toStdString();
    finder->close();
    Cast();
    ASSERT_TRUE(main_->chartLoaded());
    const ChartState& chart = *main_->chart();
    EXPECT_EQ(chart.YearPillar(), searched.year);
    EXPECT_EQ(chart.MonthPillar(), searched.month);
    EXPECT_EQ(chart.DayPillar(), searched.day);
    EXPECT_EQ(chart.HourPillar(), *searched.hour);
    EXPECT_EQ(main_->correction().has_value(), c.time != TimeMode::Clock);
    Reopen();
  }
}

// A place chosen from the finder applies at once: the correction line states
// it and the preview shows the corrected date, before anything else changes.
TEST_F(PersonBirthValue, AChosenPlaceAppliesAtOnce) {
  form_->birthDate()->showStored({"1990", "7", "1", "20", "0"});
  const QString before = form_->lunarPreview()->text();
  EXPECT_TRUE(form_->birthplace()->correctionLine()->text().isEmpty());
  ChoosePlace("New York");
  // 20:00 in New York is 08:00 of the next day in UTC+8.
  EXPECT_TRUE(form_->birthplace()->correctionLine()->text().startsWith(QStringLiteral("標準時間")))
      << form_->birthplace()->correctionLine()->text().toStdString();
  EXPECT_NE(form_->lunarPreview()->text(), before);
  EXPECT_EQ(form_->birthplace()->timeMode(), TimeMode::Standard);
  Cast();
  ASSERT_TRUE(main_->chartLoaded());
  ASSERT_TRUE(main_->correction().has_value());
  EXPECT_EQ(main_->chart()->birth.MomentPillars, CalcMoment({1990, 7, 2, 8, 0}).result->MomentPillars);
}

// The chart keeps the convention it was cast with, and the window's flow
// moment follows it: a 23:xx flow moment under 子正換日 has the pillars the
// engine gives it under 子正換日, even after the setting changes.
TEST_F(PersonBirthValue, TheFlowMomentFollowsTheChartsConvention) {
  ChooseConvention(DayChange::AtMidnight);
  form_->birthDate()->showStored({"1986", "5", "4", "23", "0"});
  Cast();
  ASSERT_TRUE(main_->chartLoaded());
  EXPECT_EQ(main_->chart()->conventions.dayChange, DayChange::AtMidnight);
  StoreDayChange(DayChange::AtZiStart);
  for (const auto& at : {MomentInput{2024, 6, 15, 23, 10}, MomentInput{2001, 2, 3, 23, 59}}) {
    main_->setField(0, at.InputYear);
    main_->setField(1, at.InputMonth);
    main_->setField(2, at.InputDay);
    main_->setField(3, at.InputHour);
    main_->setField(4, at.InputMinute);
    EXPECT_EQ(main_->flow().moment.MomentPillars, CalcMoment(at, DayChange::AtMidnight).result->MomentPillars);
    EXPECT_TRUE(main_->flow().moment.lateZi);
  }
}

}  // namespace
}  // namespace qelm::ui
