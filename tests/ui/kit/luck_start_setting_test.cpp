#include "ui/kit/luck_start_setting.hpp"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "tests/ui/test_app.hpp"
#include "ui/main/main_window.hpp"

namespace qelm::ui {
namespace {

TEST(LuckStartSetting, KeptWithTheSettingsAndReadBack) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QSettings settings(dir.filePath("qelm.ini"), QSettings::IniFormat);
  EXPECT_EQ(StoredLuckStart(settings), LuckStart::Table);  // nothing kept yet
  settings.setValue("luckStart", QStringLiteral("lunar"));
  EXPECT_EQ(StoredLuckStart(settings), LuckStart::Table);
  for (LuckStart s : {LuckStart::Exact, LuckStart::Shichen, LuckStart::Table}) {
    StoreLuckStart(settings, s);
    EXPECT_EQ(StoredLuckStart(settings), s);
  }
}

// The chooser under the luck list: a choice dates the shown chart's luck
// pillars anew at once, is kept, and the next window starts with it.
TEST(LuckStartSetting, TheMainWindowDatesByTheChosenSchool) {
  TestApp();
  QStandardPaths::setTestModeEnabled(true);
  StoreLuckStart(LuckStart::Table);
  const auto firstDate = [](const MainWindow& w) {
    return w.findChild<QLabel*>(QStringLiteral("luckChangeDate_0"))->text();
  };
  {
    MainWindow w([] { return MakeMoment(2024, 6, 15, 10, 30); });
    ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
    EXPECT_EQ(firstDate(w), QStringLiteral("1996年11月02日"));
    EXPECT_EQ(w.luckStartBox()->accessibleName(), QStringLiteral("起運算法"));
    w.luckStartBox()->setCurrentIndex(1);
    emit w.luckStartBox()->activated(1);  // as a choice of the user's
    EXPECT_EQ(w.chart()->conventions.luckStart, LuckStart::Exact);
    EXPECT_EQ(firstDate(w), QStringLiteral("1996年12月08日"));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("luckDateHeader"))->toolTip(),
              QStringLiteral("交運日期 (三日為一歲精算)"));
    EXPECT_EQ(StoredLuckStart(), LuckStart::Exact);
  }
  {
    MainWindow w([] { return MakeMoment(2024, 6, 15, 10, 30); });
    EXPECT_EQ(w.luckStart(), LuckStart::Exact);
    ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
    EXPECT_EQ(firstDate(w), QStringLiteral("1996年12月08日"));
    w.setLuckStart(LuckStart::Shichen);  // shown, not kept
    EXPECT_EQ(firstDate(w), QStringLiteral("1996年12月07日"));
    EXPECT_EQ(w.luckStartBox()->luckStart(), LuckStart::Shichen);
    EXPECT_EQ(StoredLuckStart(), LuckStart::Exact);
  }
  StoreLuckStart(LuckStart::Table);
  QStandardPaths::setTestModeEnabled(false);
}

}  // namespace
}  // namespace qelm::ui
