// 時辰不詳 in the main window: the candidates of the birth date beside the
// chart, the cast one selected and named in the birth line; choosing a row
// casts it.
#include "ui/main/candidate_list.hpp"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "report/report.hpp"
#include "tests/ui/test_app.hpp"
#include "ui/main/main_window.hpp"

namespace qelm::ui {
namespace {

QString BirthLine(const MainWindow& w) { return w.findChild<QLabel*>(QStringLiteral("birthDataLine"))->text(); }

TEST(CandidateList, ListedChosenAndNamed) {
  TestApp();
  MainWindow w([] { return MakeMoment(2024, 6, 15, 10, 30); });
  w.show();
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  w.ShowHourCandidates(true);
  CandidateList* list = w.candidateList();
  ASSERT_TRUE(list->isVisible());
  ASSERT_EQ(list->model()->rowCount(), 13);
  EXPECT_EQ(list->currentIndex().row(), 7);
  EXPECT_TRUE(BirthLine(w).endsWith(QStringLiteral("時辰不詳 (候選 8/13, 13:00–14:59)"))) << BirthLine(w).toStdString();
  EXPECT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("00:00–00:59  庚午 辛巳 壬午 庚子"));
  // The whole line fits its label, a size smaller if need be.
  QLabel* line = w.findChild<QLabel*>(QStringLiteral("birthDataLine"));
  EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());

  // A row chosen from the keyboard casts its first minute; the list stays.
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Home);
  ASSERT_TRUE(w.chart());
  EXPECT_EQ(w.chart()->BirthHour, 0);
  EXPECT_EQ(w.chart()->HourPillar().name(), "庚子");
  EXPECT_TRUE(list->isVisible());
  EXPECT_EQ(list->currentIndex().row(), 0);
  const std::string report = ChartReport(*w.chart(), w.flow(), School::ZiPing);
  EXPECT_NE(report.find("時辰不詳 (候選 1/13, 00:00–00:59)"), std::string::npos);

  // Another chart without the mark takes the list away.
  ASSERT_TRUE(w.CastChart("林美", 0, {2001, 2, 3, 4, 5}));
  w.ShowHourCandidates(false);
  EXPECT_FALSE(list->isVisible());
  EXPECT_FALSE(w.chart()->hourCandidate.has_value());
  EXPECT_FALSE(BirthLine(w).contains(QStringLiteral("時辰不詳")));
}

// At a birthplace in solar time the candidates are those of the clock there,
// and a chosen one is cast with the correction.
TEST(CandidateList, AtABirthplace) {
  TestApp();
  MainWindow w([] { return MakeMoment(2024, 6, 15, 10, 30); });
  const StoredBirthPlace chengdu{ResolvePlace("成都").place, TimeMode::Solar, OverlapChoice::Earlier};
  ASSERT_TRUE(w.CastChart("王小明", Sex::Male, BirthOf({1990, 5, 17, 14, 30}, chengdu, DayChange::AtZiStart)));
  w.ShowHourCandidates(true);
  EXPECT_EQ(w.candidates(), CandidateStretches(MakeDate(1990, 5, 17), BirthCaster{chengdu, DayChange::AtZiStart}));
  emit w.candidateList()->candidateChosen(2);
  ASSERT_TRUE(w.correction().has_value());
  EXPECT_EQ(UserMomentText(MakeMoment(w.correction()->entered.InputYear, w.correction()->entered.InputMonth,
                                      w.correction()->entered.InputDay, w.correction()->entered.InputHour,
                                      w.correction()->entered.InputMinute)),
            UserMomentText(w.candidates()[2].first));
  EXPECT_EQ(w.chart()->hourCandidate->index, 3);
  // The birth the window holds carries the candidate.
  ASSERT_TRUE(w.birth().has_value());
  EXPECT_EQ(w.birth()->hourCandidate, w.chart()->hourCandidate);
}

}  // namespace
}  // namespace qelm::ui
