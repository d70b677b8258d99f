// The 刑沖合會 window: what its list shows, and how it follows the flow moment.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <functional>
#include <memory>

#include "analysis/relations.hpp"
#include "ui/main/main_window.hpp"
#include "ui/analysis/relations_window.hpp"
#include "tests/chart/cast.hpp"

#include "tests/ui/test_app.hpp"

namespace qelm::ui {
namespace {

using testing::ChartOf;
using testing::FlowAt;

// A man born 1984-06-15 12:00: 甲子 庚午 庚辰 壬午, first luck 辛未 from 7.
const ChartState& Chart() {
  static const ChartState c = ChartOf(Sex::Male, {1984, 6, 15, 12, 0});
  return c;
}

// The rows of one section as the list shows them: a kind heading as itself,
// a relation as "name　places".
std::vector<std::string> Section(const QStandardItemModel* m, int section) {
  std::vector<std::string> out;
  const QStandardItem* s = m->item(section);
  for (int k = 0; k < s->rowCount(); ++k) {
    const QStandardItem* kind = s->child(k);
    out.push_back(kind->text().toStdString());
    for (int i = 0; i < kind->rowCount(); ++i)
      out.push_back((kind->child(i, 0)->text() + QStringLiteral("　") + kind->child(i, 1)->text()).toStdString());
  }
  return out;
}
// The same from the relations themselves.
std::vector<std::string> Grouped(const std::vector<Relation>& rs) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < rs.size(); ++i) {
    if (i == 0 || rs[i - 1].kind != rs[i].kind) out.emplace_back(RelationKindName(rs[i].kind));
    out.push_back(RelationLine(rs[i]));
  }
  if (out.empty()) out.push_back("（無）");
  return out;
}

TEST(RelationsWindow, NatalThenFlowGroupedByKind) {
  TestApp();
  const FlowState flow = FlowAt(Chart(), {2000, 3, 1, 12, 0});
  RelationsWindow w(Chart(), flow);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("刑沖合會"));
  ASSERT_EQ(w.model()->rowCount(), 2);
  EXPECT_EQ(w.model()->item(0)->text(), QStringLiteral("本命"));
  EXPECT_EQ(Section(w.model(), 0),
            (std::vector<std::string>{"天干相沖", "甲庚沖　年干—月干", "甲庚沖　年干—日干", "半合",
                                      "子辰半合水　年支—日支", "六沖", "子午沖　年支—月支", "子午沖　年支—時支",
                                      "自刑", "午午自刑　月支—時支"}));
  // The flow section is what the core finds for the chart at that moment.
  EXPECT_EQ(Section(w.model(), 1), Grouped(RelationsOf(Chart(), flow).flow));
  EXPECT_EQ(w.findChild<QLabel*>("natalLine")->text(), QStringLiteral("本命　年 甲子　月 庚午　日 庚辰　時 壬午"));
  EXPECT_TRUE(w.findChild<QLabel*>("flowLine")->text().startsWith(QStringLiteral("行運　運 辛未　流年 庚辰")));
}

TEST(RelationsWindow, FollowsTheFlowMoment) {
  TestApp();
  RelationsWindow w(Chart(), FlowAt(Chart(), {2000, 3, 1, 12, 0}));
  EXPECT_EQ(w.redraws(), 1);
  // A minute later every pillar is the same: nothing is redrawn.
  w.ShowRelations(Chart(), FlowAt(Chart(), {2000, 3, 1, 12, 1}));
  EXPECT_EQ(w.redraws(), 1);
  // The next double hour (未): the list follows.
  const FlowState later = FlowAt(Chart(), {2000, 3, 1, 13, 0});
  w.ShowRelations(Chart(), later);
  EXPECT_EQ(w.redraws(), 2);
  EXPECT_EQ(Section(w.model(), 1), Grouped(RelationsOf(Chart(), later).flow));
  EXPECT_TRUE(w.findChild<QLabel*>("flowLine")->text().endsWith(Q("流時 " + later.HourPillar().name())));
  // Before the first luck pillar there is no 運.
  const FlowState child = FlowAt(Chart(), {1986, 3, 1, 12, 0});
  w.ShowRelations(Chart(), child);
  EXPECT_FALSE(w.findChild<QLabel*>("flowLine")->text().contains(QStringLiteral("運 ")));
  for (const Relation& r : w.relations().flow)
    EXPECT_EQ(std::ranges::count(r.joined(), Position::Luck), 0) << RelationLine(r);
  EXPECT_EQ(Section(w.model(), 1), Grouped(RelationsOf(Chart(), child).flow));
}

// Opened from the main window's button, the window follows the date row.
TEST(RelationsWindow, OpensFromTheMainWindowAndFollowsTheDateRow) {
  TestApp();
  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  ASSERT_TRUE(main.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  auto* button = main.findChild<QPushButton*>("relationsButton");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("刑沖合會"));
  // From the keyboard: Tab goes on from 文字輸出 to it, Enter opens it.
  EXPECT_EQ(main.findChild<QWidget*>("textOutputButton")->nextInFocusChain(), button);
  QTest::keyClick(button, Qt::Key_Return);
  auto* w = qobject_cast<RelationsWindow*>(main.analysisWindow(AnalysisKind::Relations));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("刑沖合會 — 王小明"));
  EXPECT_EQ(Section(w->model(), 1), Grouped(RelationsOf(*main.chart(), main.flow()).flow));
  // Two hours on: another flow hour; a year on: another flow year and more.
  for (const auto& [field, value] : {std::pair{3, 12}, std::pair{0, 2025}}) {
    const std::vector<Relation> before = w->relations().flow;
    main.setField(field, value);
    EXPECT_NE(w->relations().flow, before) << field;
    EXPECT_EQ(w->pillars(), ChartPositions(*main.chart(), &main.flow())) << field;
    EXPECT_EQ(Section(w->model(), 1), Grouped(RelationsOf(*main.chart(), main.flow()).flow)) << field;
  }
}

// Every text of the list is shown whole: no column cuts or elides it.
TEST(RelationsWindow, EveryRowIsShownWhole) {
  TestApp();
  const ChartState c = ChartOf(Sex::Female, {1956, 12, 1, 22, 0});
  RelationsWindow w(c, FlowAt(c, {2024, 6, 15, 8, 0}));
  w.show();
  QTreeView* list = w.list();
  const QFontMetrics fm(list->font());
  int rows = 0;
  std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
    for (int r = 0; r < w.model()->rowCount(parent); ++r) {
      for (int c = 0; c < 2; ++c) {
        const QModelIndex i = w.model()->index(r, c, parent);
        const QString text = i.data().toString();
        if (text.isEmpty()) continue;
        QFont f = list->font();
        if (const QVariant v = i.data(Qt::FontRole); v.isValid()) f = v.value<QFont>();
        EXPECT_GE(list->visualRect(i).width(), QFontMetrics(f).horizontalAdvance(text)) << text.toStdString();
        ++rows;
      }
      walk(w.model()->index(r, 0, parent));
    }
  };
  walk({});
  EXPECT_GT(rows, 10);
}

}  // namespace
}  // namespace qelm::ui
