// 擇日: the grid of one worked month (February 2024, 立春 on the 4th) against
// the core, the hours, the filters, the month arrows, the flow moment it sets
// in the main window, and its PDF.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "tests/chart/cast.hpp"
#include "tests/ui/test_app.hpp"
#include "ui/day_choice/day_choice_export.hpp"
#include "ui/day_choice/day_choice_window.hpp"
#include "ui/day_choice/day_month_model.hpp"
#include "ui/main/main_window.hpp"

namespace qelm::ui {
namespace {

using testing::ChartOf;
using testing::FlowAt;

// 甲辰 戊辰 己亥 戊辰: 戌 days clash with three of its branches.
const ChartState& Chart() {
  static const ChartState c = ChartOf(Sex::Male, {1964, 4, 20, 8, 0});
  return c;
}

struct Opened {
  std::unique_ptr<DayChoiceWindow> w;
  DayMonthModel* model;
};
Opened Open(MomentInput at = {2024, 2, 4, 12, 0}) {
  TestApp();
  auto w = std::make_unique<DayChoiceWindow>(Chart(), FlowAt(Chart(), at));
  DayMonthModel* m = w->model();
  return {std::move(w), m};
}

QString Display(const DayMonthModel* m, Date d) { return m->data(m->indexOf(d), Qt::DisplayRole).toString(); }

TEST(DayChoiceWindow, TheWorkedMonthAgreesWithTheCore) {
  auto [w, m] = Open();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("擇日"));
  EXPECT_EQ(w->findChild<QLabel*>("monthTitle")->text(), QStringLiteral("2024 年 2 月"));
  EXPECT_EQ(w->chosen(), MakeDate(2024, 2, 4));
  EXPECT_EQ(Display(m, MakeDate(2024, 2, 4)), QStringLiteral("4 立春 司命\n戊戌 成\n沖年月時"));
  EXPECT_EQ(Display(m, MakeDate(2024, 2, 3)).section(QLatin1Char('\n'), 0, 1), QStringLiteral("3 勾陳\n丁酉 成"));
  // Every cell: the day of its week column, the core's almanac and marks,
  // 黃道 on yellow; the cells outside the month empty.
  const NatalPillars natal = NatalPillars::Of(Chart());
  int filled = 0;
  for (int row = 0; row < m->rowCount(); ++row) {
    for (int column = 0; column < m->columnCount(); ++column) {
      const QModelIndex cell = m->index(row, column);
      const ChosenDay* d = m->dayAt(cell);
      if (!d) {
        EXPECT_FALSE(m->data(cell, Qt::DisplayRole).isValid());
        EXPECT_EQ(m->flags(cell), Qt::NoItemFlags);
        continue;
      }
      ++filled;
      const AlmanacDay a = *AlmanacDayOf(d->day.date);
      EXPECT_EQ(column, WeekdayNumber(a.date) - 1);
      EXPECT_EQ(m->indexOf(a.date), cell);
      const QString text = m->data(cell, Qt::DisplayRole).toString();
      const QString marks = QString::fromStdString(DayMarks(DayRelations(a.pillar, natal)));
      EXPECT_TRUE(text.contains(QString::fromStdString(a.pillar.name() + " " + std::string(a.officer.name()))));
      EXPECT_TRUE(text.section(QLatin1Char('\n'), 0, 0).endsWith(QString::fromUtf8(a.god.name().data(), 6)));
      EXPECT_EQ(text.section(QLatin1Char('\n'), 2), marks);
      EXPECT_EQ(m->data(cell, Qt::BackgroundRole).isValid(), a.god.yellow());
      EXPECT_TRUE(m->data(cell, Qt::AccessibleTextRole).toString().contains(QString::fromUtf8(a.god.name().data(), 6)));
    }
  }
  EXPECT_EQ(filled, 29);
  EXPECT_EQ(m->index(0, 4), m->indexOf(MakeDate(2024, 2, 1)));  // a Thursday
  EXPECT_EQ(w->messageLine()->text(), QStringLiteral("本月 29 日"));
}

TEST(DayChoiceWindow, ChoosingADayShowsItsHours) {
  auto [w, m] = Open();
  const QStandardItemModel* hours = w->hoursModel();
  ASSERT_EQ(hours->rowCount(), 12);
  const auto row = [&](int r) {
    QStringList cells;
    for (int c = 0; c < 4; ++c) cells << hours->item(r, c)->text();
    return cells.join(QLatin1Char(' '));
  };
  EXPECT_EQ(row(0), QStringLiteral("子 23:00–00:59 壬子 天牢 黑道"));
  EXPECT_EQ(row(4), QStringLiteral("辰 07:00–08:59 丙辰 青龍 黃道"));
  int yellow = 0;
  for (int r = 0; r < 12; ++r) yellow += hours->item(r, 3)->background().style() != Qt::NoBrush;
  EXPECT_EQ(yellow, 6);
  EXPECT_NE(w->findChild<QLabel*>("dayRelations")->text().indexOf(QStringLiteral("辰戌沖　流日支—年支")), -1);
  // A click on the 5th: its hours, and the day handed on.
  std::vector<Date> handed;
  QObject::connect(w.get(), &DayChoiceWindow::dayChosen, [&](Date d) { handed.push_back(d); });
  const QRect cell = w->grid()->visualRect(m->indexOf(MakeDate(2024, 2, 5)));
  QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(handed, std::vector<Date>{MakeDate(2024, 2, 5)});
  EXPECT_EQ(hours->item(0, 2)->text(), QStringLiteral("甲子"));
  // Right arrow: the next day.
  QTest::keyClick(w->grid(), Qt::Key_Right);
  EXPECT_EQ(w->chosen(), MakeDate(2024, 2, 6));
  EXPECT_EQ(handed.back(), MakeDate(2024, 2, 6));
}

TEST(DayChoiceWindow, FiltersKeepWhatTheCoreKeeps) {
  auto [w, m] = Open();
  const NatalPillars natal = NatalPillars::Of(Chart());
  const auto keptDates = [&] {
    std::vector<Date> out;
    for (std::size_t i = 0; i < m->days().size(); ++i)
      if (m->kept(i)) out.push_back(m->days()[i].day.date);
    return out;
  };
  const auto core = [&](const DayFilter& f) {
    std::vector<Date> out;
    for (const ChosenDay& d : ChooseDays(MakeDate(2024, 2, 1), MakeDate(2024, 2, 29), &natal, f)) out.push_back(d.day.date);
    return out;
  };
  w->avoidField()->setText(QStringLiteral("六沖、三刑"));
  w->officerField()->setText(QStringLiteral("成,開,除"));
  ASSERT_TRUE(w->applyFilter());
  DayFilter f;
  f.avoid.set(static_cast<std::size_t>(RelationKind::SixClash)).set(static_cast<std::size_t>(RelationKind::ThreePunishment));
  f.officers.set(8).set(10).set(1);
  EXPECT_EQ(keptDates(), core(f));
  EXPECT_EQ(w->messageLine()->text(), QStringLiteral("本月 29 日中 %1 日合乎條件").arg(core(f).size()));
  // Left out: grey; 2024-02-04 clashes.
  EXPECT_TRUE(m->data(m->indexOf(MakeDate(2024, 2, 4)), Qt::ForegroundRole).isValid());
  EXPECT_TRUE(m->data(m->indexOf(MakeDate(2024, 2, 4)), Qt::AccessibleTextRole).toString().endsWith(QStringLiteral("不合條件")));
  w->yellowBox()->setChecked(true);  // applies at once
  f.yellowOnly = true;
  EXPECT_EQ(keptDates(), core(f));
  // A list that cannot be read changes nothing and says why.
  w->wantField()->setText(QStringLiteral("六合,六衝"));
  EXPECT_FALSE(w->applyFilter());
  EXPECT_NE(w->messageLine()->toolTip().indexOf(QStringLiteral("要有不認得「六衝」")), -1);
  EXPECT_EQ(keptDates(), core(f));
  // The month's other days keep the filter.
  w->wantField()->clear();
  ASSERT_TRUE(w->applyFilter());
  w->stepMonth(1);
  EXPECT_EQ(m->month(), 3);
  EXPECT_EQ(m->filter().officers, f.officers);
}

TEST(DayChoiceWindow, MonthArrowsStopAtTheAlmanacsEnds) {
  auto [w, m] = Open({1901, 3, 10, 12, 0});
  auto* previous = w->findChild<QPushButton*>("previousMonthButton");
  auto* next = w->findChild<QPushButton*>("nextMonthButton");
  EXPECT_TRUE(previous->isEnabled());
  QTest::mouseClick(previous, Qt::LeftButton);
  EXPECT_EQ(m->month(), 2);
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_EQ(m->days().size(), 9u);  // 1901-02-20 … 28
  EXPECT_EQ(m->dayAt(m->index(0, 0)), nullptr);
  EXPECT_EQ(m->indexOf(MakeDate(1901, 2, 20)), m->index(3, 3));  // a Wednesday
  // The chosen day stays chosen when its month comes back.
  QTest::mouseClick(next, Qt::LeftButton);
  EXPECT_EQ(w->grid()->currentIndex(), m->indexOf(MakeDate(1901, 3, 10)));
  EXPECT_FALSE(w->showMonth(2100, 1));
  EXPECT_TRUE(w->showMonth(2099, 12));
  EXPECT_FALSE(next->isEnabled());
  EXPECT_TRUE(previous->isEnabled());
  EXPECT_EQ(m->days().size(), 31u);
  // Opened for a flow moment before the first date: the first month, nothing chosen.
  auto [early, earlyModel] = Open({1901, 1, 10, 12, 0});
  EXPECT_EQ(earlyModel->month(), 2);
  EXPECT_FALSE(early->chosen());
  EXPECT_EQ(early->messageLine()->text(), QStringLiteral("本月 9 日"));
}

// From the main window: the button after 刑沖合會 opens it at the flow
// moment's month; a day chosen there becomes the flow moment's date.
TEST(DayChoiceWindow, SetsTheMainWindowsFlowMoment) {
  TestApp();
  MainWindow main([] { return MakeMoment(2024, 6, 15, 23, 30); });
  ASSERT_TRUE(main.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  auto* button = main.findChild<QPushButton*>("dayChoiceButton");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("擇日"));
  button->setFocus();
  QTest::keyClick(button, Qt::Key_Space);
  auto* days = qobject_cast<DayChoiceWindow*>(main.analysisWindow(AnalysisKind::DayChoice));
  ASSERT_NE(days, nullptr);
  EXPECT_EQ(days->windowTitle(), QStringLiteral("擇日 — 王小明"));
  EXPECT_EQ(days->model()->month(), 6);
  ASSERT_TRUE(days->chooseDay(MakeDate(2024, 6, 20)));
  // 23:30 is already the next day's 子 hour: the same hour of the 20th is 00:30.
  EXPECT_EQ(main.flow().moment.input, (MomentInput{2024, 6, 20, 0, 30}));
  EXPECT_EQ(main.flow().DayPillar(), AlmanacDayOf(MakeDate(2024, 6, 20))->pillar);
  main.setField(3, 10);
  ASSERT_TRUE(days->chooseDay(MakeDate(2024, 6, 3)));
  EXPECT_EQ(main.flow().moment.input, (MomentInput{2024, 6, 3, 10, 30}));
}

TEST(DayChoiceWindow, SavesAPdf) {
  auto [w, m] = Open();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString pdf = dir.filePath(QStringLiteral("擇日.pdf"));
  ASSERT_TRUE(w->exporter()->saveTo(pdf));
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(4).startsWith("%PDF"));
  EXPECT_TRUE(w->messageLine()->toolTip().startsWith(QStringLiteral("已存成")));
  EXPECT_FALSE(w->exporter()->saveTo(dir.filePath(QStringLiteral("擇日.txt"))));
  // The pages after the window: every day of the month, then the hours.
  const QStringList lines = w->pagesText(false).split(QLatin1Char('\n'));
  EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^2024-02-\\d\\d "))).size(), 29);
  EXPECT_TRUE(lines.contains(QStringLiteral("子 2024-02-03 23:00 至 2024-02-04 00:59 壬子 天牢 黑道")));
  w->officerField()->setText(QStringLiteral("成"));
  ASSERT_TRUE(w->applyFilter());
  EXPECT_EQ(w->pagesText(true).split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^2024-02-"))).size(),
            m->keptCount());
}

}  // namespace
}  // namespace qelm::ui
