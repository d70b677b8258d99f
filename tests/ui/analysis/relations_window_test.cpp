// The 刑沖合會 window: what its list shows, and how it follows the flow moment.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
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

// A step of the flow moment redraws the list in place: the selected row, the
// row at the top and the folded headings stay; a relation the step takes away
// leaves the selection on its kind or section.
TEST(RelationsWindow, AFlowStepKeepsTheSelectionAndTheScrolledPlace) {
  TestApp();
  const ChartState c = ChartOf(Sex::Female, {1956, 12, 1, 22, 0});
  RelationsWindow w(c, FlowAt(c, {2024, 6, 15, 8, 0}));
  w.resize(w.width(), w.height() / 3);  // short enough to scroll
  w.show();
  QTreeView* list = w.list();
  QStandardItemModel* m = w.model();
  const auto text = [](const QModelIndex& i) { return i.siblingAtColumn(0).data().toString().toStdString(); };
  const auto place = [&] {
    const QModelIndex top = list->indexAt(QPoint(0, 0));
    return std::pair{text(list->currentIndex()) + " / " + text(top), list->verticalScrollBar()->value()};
  };
  // The last natal relation selected (natal rows stand at every moment) and
  // scrolled to the top; the flow section's first kind folded.
  const QModelIndex natal = m->index(0, 0);
  const QModelIndex lastKind = m->index(m->rowCount(natal) - 1, 0, natal);
  const QModelIndex chosen = m->index(m->rowCount(lastKind) - 1, 1, lastKind);
  list->setCurrentIndex(chosen);
  list->scrollTo(chosen, QAbstractItemView::PositionAtTop);
  const QModelIndex firstFlowKind = m->index(0, 0, m->index(1, 0));
  list->collapse(firstFlowKind);
  const std::string folded = text(firstFlowKind);
  const auto before = place();
  ASSERT_GT(before.second, 0);
  ASSERT_FALSE(list->isExpanded(firstFlowKind));
  int steps = 0;
  for (int hour = 10; hour < 24; hour += 2) {
    const int redraws = w.redraws();
    w.ShowRelations(c, FlowAt(c, {2024, 6, 15, hour, 0}));
    ASSERT_GT(w.redraws(), redraws) << hour;
    ++steps;
    EXPECT_EQ(place(), before) << hour;
    EXPECT_EQ(list->currentIndex().column(), 1) << hour;
    EXPECT_TRUE(list->selectionModel()->isRowSelected(list->currentIndex().row(), list->currentIndex().parent()));
    const QModelIndex kind = m->index(0, 0, m->index(1, 0));
    EXPECT_EQ(list->isExpanded(kind), text(kind) != folded) << hour;
  }
  EXPECT_GT(steps, 3);

  // A relation of the flow hour selected, then the next hour, without it:
  // its kind, or else its section, is selected instead.
  list->expandAll();
  const auto hourRelation = [&]() -> QModelIndex {
    const QModelIndex flow = m->index(1, 0);
    for (int k = 0; k < m->rowCount(flow); ++k)
      for (int r = 0; r < m->rowCount(m->index(k, 0, flow)); ++r) {
        const QModelIndex i = m->index(r, 0, m->index(k, 0, flow));
        if (i.data(Qt::AccessibleTextRole).toString().contains(QStringLiteral("流時"))) return i;
      }
    return {};
  };
  int hour = 0;
  for (; hour < 22; hour += 2) {
    w.ShowRelations(c, FlowAt(c, {2024, 7, 1, hour, 0}));
    if (hourRelation().isValid()) break;
  }
  ASSERT_LT(hour, 22);
  const QModelIndex picked = hourRelation();
  const std::string line = picked.data(Qt::AccessibleTextRole).toString().toStdString();
  const std::string kindText = text(picked.parent());
  list->setCurrentIndex(picked);
  w.ShowRelations(c, FlowAt(c, {2024, 7, 1, hour + 2, 0}));  // the next double hour
  ASSERT_TRUE(std::ranges::none_of(w.relations().flow, [&](const Relation& r) { return RelationLine(r) == line; }));
  const QModelIndex at = list->currentIndex().siblingAtColumn(0);
  const QModelIndex flow = m->index(1, 0);
  EXPECT_TRUE(at == flow || (at.parent() == flow && text(at) == kindText)) << text(at);
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
