#include "ui/find_birth/find_birth_window.hpp"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <optional>

#include "tests/ui/test_app.hpp"

namespace qelm::ui {
namespace {

Pillar P(const char* text) { return *ParsePillar(text); }

// The pillar an item of a chooser names: its first two characters.
std::optional<Pillar> ItemPillar(QComboBox* c, int i) { return ParsePillar(c->itemText(i).left(2).toStdString()); }

// Whatever is chosen, the month and hour choosers offer exactly the valid
// pillars, and the list holds exactly the core's stretches.
TEST(FindBirthWindow, ChoosersOfferOnlyValidPillarsAndTheListFollows) {
  TestApp();
  for (DayChange d : {DayChange::AtZiStart, DayChange::AtMidnight}) {
    FindBirthWindow w(d);
    EXPECT_EQ(w.chooser(FindBirthWindow::kYear)->count(), 60);
    EXPECT_EQ(w.chooser(FindBirthWindow::kDay)->count(), 60);
    for (int step = 0; step < 25; ++step) {
      w.chooser(FindBirthWindow::kYear)->setCurrentIndex((step * 7) % 60);
      w.chooser(FindBirthWindow::kDay)->setCurrentIndex((step * 13 + 5) % 60);
      w.chooser(FindBirthWindow::kMonth)->setCurrentIndex(step % 12);
      QComboBox* hour = w.chooser(FindBirthWindow::kHour);
      hour->setCurrentIndex(step % hour->count());
      const EightCharacters p = w.pillars();
      QComboBox* month = w.chooser(FindBirthWindow::kMonth);
      ASSERT_EQ(month->count(), 12);
      ASSERT_EQ(hour->count(), d == DayChange::AtMidnight ? 14 : 13);
      EXPECT_EQ(hour->itemText(0), QStringLiteral("不拘"));
      for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(CheckPillars({p.year, *ItemPillar(month, i), p.day, std::nullopt}, d)) << month->itemText(i).toStdString();
      for (int i = 1; i < hour->count(); ++i)
        EXPECT_FALSE(CheckPillars({p.year, p.month, p.day, ItemPillar(hour, i)}, d)) << hour->itemText(i).toStdString();
      EXPECT_EQ(p.hour.has_value(), step % hour->count() != 0);
      EXPECT_EQ(w.model()->stretches(), FindBirth(p, d).stretches);
      EXPECT_EQ(w.useButton()->isEnabled(), !w.model()->stretches().empty());
    }
  }
}

TEST(FindBirthWindow, AChoiceHandsBackTheFirstMinute) {
  TestApp();
  FindBirthWindow w(DayChange::AtMidnight);
  w.show();
  w.choose({P("丙寅"), P("壬辰"), P("戊申"), P("甲子")});  // the 夜子時 of 1986-05-04
  EXPECT_EQ(w.chooser(FindBirthWindow::kHour)->currentText(), QStringLiteral("甲子時（夜子）"));
  // 1986 and 2046; the 1986 stretch is the 23:00 hour of 05-04, up to midnight.
  ASSERT_EQ(w.model()->rowCount(), 2);
  EXPECT_EQ(w.message(), QStringLiteral("共 2 段時間；選一段後按「帶入生日」"));
  EXPECT_EQ(w.model()->data(w.model()->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("1986-05-04 23:00"));
  EXPECT_EQ(w.model()->data(w.model()->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("1986-05-04 23:59"));

  std::vector<ChosenStretch> chosen;
  QObject::connect(&w, &FindBirthWindow::birthChosen, [&chosen](const ChosenStretch& c) { chosen.push_back(c); });
  w.list()->setCurrentIndex(w.model()->index(0, 0));
  w.useButton()->click();
  QTest::keyClick(w.list(), Qt::Key_Return);  // Enter on the row chooses it too
  ASSERT_EQ(chosen.size(), 2u);
  EXPECT_EQ(Fields(chosen[0].stretch.first), (CivilFields{1986, 5, 4, 23, 0}));
  EXPECT_EQ(chosen[0].pillars, w.pillars());
  EXPECT_EQ(chosen[1].stretch, chosen[0].stretch);

  // The same pillars under the other year's stem keep the month branch.
  w.chooser(FindBirthWindow::kYear)->setCurrentIndex(CycleIndex(P("丁卯")));
  EXPECT_EQ(w.pillars().month, P("甲辰"));

  // No such moment: an empty list, the message says so and nothing is handed back.
  std::optional<EightCharacters> none;
  for (int k = 0; k < 720 && !none; ++k) {
    const EightCharacters p{P("甲子"), MonthPillarsOf(Stem{1})[k % 12], PillarOfCycle(k / 12), std::nullopt};
    if (FindBirth(p, DayChange::AtMidnight).stretches.empty()) none = p;
  }
  ASSERT_TRUE(none);
  w.choose(*none);
  EXPECT_EQ(w.model()->rowCount(), 0);
  EXPECT_EQ(w.message(), QStringLiteral("1901 至 2099 年間沒有這四柱的時刻"));
  EXPECT_FALSE(w.useButton()->isEnabled());
  w.useRow(0);
  EXPECT_EQ(chosen.size(), 2u);
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace qelm::ui
