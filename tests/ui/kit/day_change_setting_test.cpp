#include "ui/kit/day_change_setting.hpp"

#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariant>

#include "tests/ui/test_app.hpp"

namespace qelm::ui {
namespace {

TEST(DayChangeSetting, KeptWithTheSettingsAndReadBack) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QSettings settings(dir.filePath("qelm.ini"), QSettings::IniFormat);
  EXPECT_EQ(StoredDayChange(settings), DayChange::AtZiStart);  // nothing kept yet
  const struct {
    QVariant kept;
    DayChange read;
  } cases[] = {{0, DayChange::AtMidnight}, {23, DayChange::AtZiStart}, {5, DayChange::AtZiStart},
               {QStringLiteral("夜"), DayChange::AtZiStart}, {QStringLiteral("0"), DayChange::AtMidnight}};
  for (const auto& c : cases) {
    settings.setValue("dayChange", c.kept);
    EXPECT_EQ(StoredDayChange(settings), c.read) << c.kept.toString().toStdString();
  }
  for (DayChange d : {DayChange::AtMidnight, DayChange::AtZiStart}) {
    StoreDayChange(settings, d);
    EXPECT_EQ(StoredDayChange(settings), d);
  }
}

TEST(DayChangeSetting, TheChooserKeepsAChoiceAtOnce) {
  TestApp();
  QStandardPaths::setTestModeEnabled(true);
  StoreDayChange(DayChange::AtZiStart);
  DayChangeBox box;
  EXPECT_EQ(box.dayChange(), DayChange::AtZiStart);
  std::vector<DayChange> announced;
  QObject::connect(&box, &DayChangeBox::dayChangeChosen, [&announced](DayChange d) { announced.push_back(d); });
  box.setCurrentIndex(1);
  emit box.activated(1);  // as a choice of the user's
  EXPECT_EQ(announced, std::vector<DayChange>{DayChange::AtMidnight});
  EXPECT_EQ(StoredDayChange(), DayChange::AtMidnight);
  DayChangeBox again;
  EXPECT_EQ(again.dayChange(), DayChange::AtMidnight);
  StoreDayChange(DayChange::AtZiStart);
  QStandardPaths::setTestModeEnabled(false);
}

}  // namespace
}  // namespace qelm::ui
