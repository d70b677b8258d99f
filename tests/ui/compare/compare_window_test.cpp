// 合盤: a worked pair as the window shows it, how it follows the flow
// moment, and how it opens from the main window and the person window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <memory>

#include "records/big5.hpp"
#include "report/compare_report.hpp"
#include "tests/chart/cast.hpp"
#include "tests/ui/test_app.hpp"
#include "ui/compare/compare_chart_block.hpp"
#include "ui/compare/compare_export.hpp"
#include "ui/compare/compare_window.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_list_view.hpp"
#include "ui/person/person_window.hpp"
#include "ui/person/person_window_state.hpp"

namespace qelm::ui {
namespace {

namespace fs = std::filesystem;
using testing::ChartOf;

// The rows of one section: a kind heading as itself, a relation as
// "name　places".
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

MomentResult At(MomentInput in) { return *CalcMoment(in).result; }

class CompareWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
    // 李小華 (the worked pair's b), a line whose date is no date, 林美.
    std::ofstream user(Folder() / "User", std::ios::binary);
    for (const char* line : {"李小華\t女\t1992\t11\t3\t8\t15", "壞日期\t男\t1990\t2\t30\t10\t0", "林美\t女\t2001\t2\t3\t4\t5"})
      user << records::EncodeBig5(line).bytes.value_or("") << "\r\n";
  }
  void TearDown() override { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
  fs::path Folder() const { return fs::path(QFile::encodeName(dir_.path()).toStdString()); }

  QTemporaryDir dir_;
};

// 王小明 (庚午 辛巳 壬午 丁未) beside 李小華 (壬申 庚戌 癸未 丙辰) on
// 2024-06-15 10:30 (流年 甲辰): the relations checked by hand.
TEST_F(CompareWindowTest, AWorkedPairSideBySide) {
  CompareWindow w(ChartOf(Sex::Male, {1990, 5, 17, 14, 30}), At({2024, 6, 15, 10, 30}), Folder());
  w.show();
  // Before a second person is chosen: the chooser has the focus and lists
  // the persons of the file; nothing to print.
  EXPECT_EQ(w.focusWidget(), w.chooser());
  ASSERT_EQ(w.chooser()->count(), 3);
  EXPECT_EQ(w.chooser()->itemText(0), QStringLiteral("李小華　1992-11-03 08:15"));
  EXPECT_EQ(w.chooser()->currentIndex(), -1);
  EXPECT_TRUE(w.reportText().isEmpty());
  EXPECT_FALSE(w.exporter()->saveTo(QDir(dir_.path()).filePath("x.pdf")));
  EXPECT_EQ(w.messageLine()->text(), QStringLiteral("請先選擇第二人"));

  // The line that names no date is refused with its reason; nothing changes.
  EXPECT_FALSE(w.ChooseSecond(1));
  EXPECT_FALSE(w.second().has_value());
  EXPECT_TRUE(w.messageLine()->text().contains(QStringLiteral("壞日期"))) << w.messageLine()->text().toStdString();

  ASSERT_TRUE(w.ChooseSecond(0));
  ASSERT_TRUE(w.second().has_value());
  EXPECT_EQ(w.windowTitle(), QStringLiteral("合盤 — 測試、李小華"));
  EXPECT_EQ(w.chooser()->currentIndex(), 0);

  // Both charts: 時 日 月 年 from the left; ten gods to each's own day master.
  struct Column {
    int side, column;
    const char *stem, *branch, *tenGod, *sound;
  };
  const Column columns[] = {
      {0, 3, "庚", "午", "偏印", "路旁土"}, {0, 2, "辛", "巳", "正印", "白臘金"},
      {0, 1, "壬", "午", "日主", "楊柳木"}, {0, 0, "丁", "未", "正財", "天河水"},
      {1, 3, "壬", "申", "劫財", "劍鋒金"}, {1, 2, "庚", "戌", "正印", "釵釧金"},
      {1, 1, "癸", "未", "日主", "楊柳木"}, {1, 0, "丙", "辰", "正財", "沙中土"},
  };
  for (const Column& c : columns) {
    const CompareChartBlock* b = w.block(c.side);
    EXPECT_EQ(b->stem(c.column)->text(), QString::fromUtf8(c.stem)) << c.side << c.column;
    EXPECT_EQ(b->branch(c.column)->text(), QString::fromUtf8(c.branch)) << c.side << c.column;
    EXPECT_EQ(b->stemTenGod(c.column)->text(), QString::fromUtf8(c.tenGod)) << c.side << c.column;
    EXPECT_EQ(b->sound(c.column)->text(), QString::fromUtf8(c.sound)) << c.side << c.column;
  }
  // 午 hides 丁 己: to 壬 正財 and 正官; to 癸 偏財 and 七殺 (short forms).
  EXPECT_EQ(w.block(0)->hidden(3, 0)->text(), QStringLiteral("丁"));
  EXPECT_EQ(w.block(0)->hiddenTenGod(3, 0)->text(), QStringLiteral("財"));
  EXPECT_EQ(w.block(0)->hiddenTenGod(3, 1)->text(), QStringLiteral("官"));
  EXPECT_EQ(w.block(0)->nameLine()->text(), QStringLiteral("a　測試"));
  EXPECT_TRUE(w.block(1)->birthLine()->text().startsWith(QStringLiteral("坤造 西元 1992年 11月 3日")));

  ASSERT_EQ(w.model()->rowCount(), 2);
  EXPECT_EQ(w.model()->item(0)->text(), QStringLiteral("兩盤之間"));
  EXPECT_EQ(Section(w.model(), 0),
            (std::vector<std::string>{
                "天干五合", "丙辛合水　a.月干—b.時干", "丁壬合木　a.時干—b.年干",
                "天干相沖", "丙壬沖　a.日干—b.時干", "丁癸沖　a.時干—b.日干",
                "六合", "午未合土　a.年支—b.日支", "巳申合水　a.月支—b.年支", "午未合土　a.日支—b.日支",
                "半合", "午戌半合火　a.年支—b.月支", "午戌半合火　a.日支—b.月支",
                "三會", "巳午未三會火　a.年支—a.月支—b.日支", "巳午未三會火　a.月支—a.日支—b.日支",
                "相刑", "巳申相刑（恃勢之刑）　a.月支—b.年支", "戌未相刑（無恩之刑）　a.時支—b.月支",
                "六破", "巳申破　a.月支—b.年支", "未戌破　a.時支—b.月支"}));
  // The flow year 甲辰 with both charts and each one's luck pillar (a 甲申,
  // b 丁未).
  EXPECT_EQ(w.model()->item(1)->text(), QStringLiteral("流年 甲辰 與兩盤"));
  EXPECT_EQ(Section(w.model(), 1),
            (std::vector<std::string>{"天干相沖", "甲庚沖　a.年干—流年干", "甲庚沖　b.月干—流年干", "拱合",
                                      "申辰拱合水　a.運支—流年支", "申辰拱合水　b.年支—流年支", "六沖",
                                      "辰戌沖　b.月支—流年支", "自刑", "辰辰自刑　b.時支—流年支"}));
  EXPECT_TRUE(w.block(0)->luckLine()->text().startsWith(QStringLiteral("大運 甲申")));
  EXPECT_TRUE(w.block(1)->luckLine()->text().startsWith(QStringLiteral("大運 丁未")));
  EXPECT_TRUE(w.flowLine()->text().endsWith(QStringLiteral("流年 甲辰")));
  // A screen reader hears each relation whole.
  const QStandardItem* first = w.model()->item(0)->child(0)->child(0, 1);
  EXPECT_EQ(first->data(Qt::AccessibleTextRole).toString(), QStringLiteral("丙辛合水　a.月干—b.時干"));

  // What is printed after the window is the text of 合盤 for the same pair.
  const FlowState fa = ComputeFlow(&w.first(), At({2024, 6, 15, 10, 30}));
  const FlowState fb = ComputeFlow(&*w.second(), At({2024, 6, 15, 10, 30}));
  EXPECT_EQ(w.reportText().toStdString(), CompareReport(w.first(), *w.second(), &fa, &fb));
  const QString pdf = QDir(dir_.path()).filePath(QStringLiteral("合盤.pdf"));
  ASSERT_TRUE(w.exporter()->saveTo(pdf)) << w.messageLine()->text().toStdString();
  EXPECT_GT(QFileInfo(pdf).size(), 1000);
  EXPECT_TRUE(w.messageLine()->text().startsWith(QStringLiteral("已存成")));
  EXPECT_EQ(w.exporter()->printAction()->shortcut(), QKeySequence(QKeySequence::Print));
  EXPECT_EQ(w.exporter()->menu()->actions().size(), 5);  // four and a separator
}

// A new flow moment: the luck pillars and the flow year's relations follow;
// the relations across the charts stay.
TEST_F(CompareWindowTest, FollowsTheFlowMoment) {
  CompareWindow w(ChartOf(Sex::Male, {1990, 5, 17, 14, 30}), At({2024, 6, 15, 10, 30}), Folder());
  ASSERT_TRUE(w.ChooseSecond(2));  // 林美
  const auto cross = w.crossRelations();
  const auto before = Section(w.model(), 1);
  w.ShowFlow(At({2031, 6, 15, 10, 30}));  // 辛亥
  EXPECT_EQ(w.crossRelations(), cross);
  EXPECT_EQ(w.model()->item(1)->text(), QStringLiteral("流年 辛亥 與兩盤"));
  EXPECT_NE(Section(w.model(), 1), before);
  for (const CrossRelation& r : w.flowYearRelations())
    EXPECT_EQ(r.at(r.relation.count - 1).position, Position::FlowYear) << CrossRelationLine(r);
}

// The main window's 合盤 button opens it for the chart shown and hands it
// every new flow moment; the person window's opens it for the selected row.
TEST_F(CompareWindowTest, OpensFromTheMainWindowAndThePersonWindow) {
  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  main.show();
  ASSERT_TRUE(main.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  QPushButton* button = main.findChild<QPushButton*>(QStringLiteral("compareButton"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("合盤"));
  QTest::mouseClick(button, Qt::LeftButton);
  auto* compare = qobject_cast<CompareWindow*>(main.analysisWindow(AnalysisKind::Compare));
  ASSERT_NE(compare, nullptr);
  EXPECT_EQ(compare->first().PersonName, "王小明");
  EXPECT_EQ(compare->windowTitle(), QStringLiteral("合盤 — 王小明"));
  compare->ShowSecond(ChartOf(Sex::Female, {1992, 11, 3, 8, 15}));
  main.setField(0, 2030);  // 庚戌
  EXPECT_EQ(compare->model()->item(1)->text(), QStringLiteral("流年 庚戌 與兩盤"));

  // From the person window: the row selected, 合盤 pressed.
  ConnectPersonWindow(main, Folder());
  main.OpenPersonWindow();
  QApplication::processEvents();
  PersonWindow* persons = OpenPersonWindowOf(main);
  ASSERT_NE(persons, nullptr);
  QPushButton* fromList = persons->findChild<QPushButton*>(QStringLiteral("compareButton"));
  ASSERT_NE(fromList, nullptr);
  QTest::mouseClick(fromList, Qt::LeftButton);  // nothing selected yet
  EXPECT_EQ(persons->message(), QStringLiteral("請先在清單中點選要合盤的人"));
  QAbstractItemView* list = persons->personList()->view();
  list->setCurrentIndex(list->model()->index(2, 0));
  QTest::mouseClick(fromList, Qt::LeftButton);
  CompareWindow* opened = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* c = qobject_cast<CompareWindow*>(top); c && c != compare && c->isVisible()) opened = c;
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->first().PersonName, "林美");
  // A window of the main window, usable while the person window keeps that one waiting.
  EXPECT_EQ(opened->parentWidget(), &main);
  EXPECT_FALSE(main.isEnabled());
  EXPECT_TRUE(opened->isEnabled());
  EXPECT_EQ(opened->chooser()->count(), 3);
  // Esc and Ctrl+W close it, as they close the main window's analysis windows.
  auto* close = opened->findChild<QAction*>(QStringLiteral("CloseWindow"));
  ASSERT_NE(close, nullptr);
  EXPECT_TRUE(close->shortcuts().contains(QKeySequence(Qt::Key_Escape)));
  close->trigger();
  EXPECT_FALSE(opened->isVisible());
  persons->close();
}

}  // namespace
}  // namespace qelm::ui
