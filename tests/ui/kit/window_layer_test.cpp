#include "ui/kit/window_layer.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <vector>

#include "tests/ui/test_app.hpp"
#include "tests/ui/text_colour.hpp"

namespace qelm::ui {
namespace {

TEST(WindowLayer, TwipsToPixels) {
  struct Case {
    int twips;
    double dpi;
    int px;
  };
  const Case cases[] = {
      {15, 96, 1}, {1440, 96, 96}, {975, 96, 65}, {375, 96, 25}, {0, 96, 0},
      {1440, 120, 120}, {300, 120, 25}, {7, 96, 0}, {8, 96, 1}, {10960, 144, 1096},
  };
  for (const Case& c : cases) EXPECT_EQ(Px(c.twips, c.dpi), c.px) << c.twips << " at " << c.dpi;
}

TEST(WindowLayer, PlaceUsesTheScreenDpi) {
  TestApp();
  QWidget parent;
  QWidget w(&parent);
  Place(&w, 840, 2040, 375, 375);
  const double dpi = ScreenDpi();
  EXPECT_EQ(w.geometry(), QRect(Px(840, dpi), Px(2040, dpi), Px(375, dpi), Px(375, dpi)));
}

TEST(WindowLayer, BgrColoursHaveRedInTheLowByte) {
  EXPECT_EQ(Bgr(255), QColor(255, 0, 0));
  EXPECT_EQ(Bgr(49152), QColor(0, 192, 0));
  EXPECT_EQ(Bgr(16711680), QColor(0, 0, 255));
  EXPECT_EQ(Bgr(33023), QColor(255, 128, 0));
  TestApp();
  QLabel l;
  SetTextColour(&l, 16512);
  EXPECT_EQ(l.palette().color(QPalette::WindowText), QColor(128, 64, 0));
  EXPECT_EQ(TextColour(&l), 16512u);
}

TEST(WindowLayer, FontSubstitutionReachesNotoCjk) {
  TestApp();
  InstallFontSubstitutions();
  EXPECT_TRUE(QFont::substitutes(kSansFace).contains(QStringLiteral("Noto Sans CJK TC"), Qt::CaseInsensitive));
  EXPECT_TRUE(QFont::substitutes(kSerifFace).contains(QStringLiteral("Noto Serif CJK TC"), Qt::CaseInsensitive));
  const QFontInfo info(Font(kSansFace, 9.75, true));
  EXPECT_TRUE(info.family().startsWith(QStringLiteral("Noto Sans CJK"))) << info.family().toStdString();
}

TEST(WindowLayer, ClickLabelReportsClicks) {
  TestApp();
  QWidget parent;
  ClickLabel* l = MakeClickLabel(&parent, IndexedName("luckOpener", 3), 0, 0, 300, 300, Font(kSansFace, 9));
  EXPECT_EQ(l->objectName(), QStringLiteral("luckOpener_3"));
  QSignalSpy spy(l, &ClickLabel::clicked);
  QTest::mouseClick(l, Qt::LeftButton);
  EXPECT_EQ(spy.count(), 1);
}

TEST(Spinner, StaysInItsRangeAndArrowsStepFromTheTop) {
  TestApp();
  Spinner s(nullptr, -1, 24, 30);
  EXPECT_EQ(s.value(), 24);
  s.resize(33, 25);
  QTest::mouseClick(s.upperArrow(), Qt::LeftButton);  // the upper arrow lowers
  EXPECT_EQ(s.value(), 23);
  QTest::mouseClick(s.lowerArrow(), Qt::LeftButton);
  QTest::mouseClick(s.lowerArrow(), Qt::LeftButton);
  EXPECT_EQ(s.value(), 24);
  s.setValue(-5);
  EXPECT_EQ(s.value(), -1);
  s.stepDown();
  EXPECT_EQ(s.value(), -1);
}

TEST(Spinner, NotifiesOnlyOnChangeAndWhenTheMaximumCutsTheValue) {
  TestApp();
  Spinner s(nullptr, 0, 32, 31);
  std::vector<int> seen;
  QObject::connect(&s, &Spinner::valueChanged, [&](int v) { seen.push_back(v); });
  s.setValue(31);
  s.setMaximum(32);
  s.setValueQuietly(20);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(s.value(), 20);
  s.setValue(31);
  s.setMaximum(30);
  EXPECT_EQ(seen, (std::vector<int>{31, 30}));
  EXPECT_EQ(s.maximum(), 30);
}

// A notification that sets another spinner runs to its end before the outer
// call returns, and the outer handler sees the inner result.
TEST(Spinner, ChangesCascadeSynchronously) {
  TestApp();
  Spinner minute(nullptr, -1, 60, 59), hour(nullptr, -1, 24, 23), day(nullptr, 0, 32, 31);
  std::vector<QString> log;
  QObject::connect(&day, &Spinner::valueChanged, [&](int v) { log.push_back("d" + QString::number(v)); });
  QObject::connect(&hour, &Spinner::valueChanged, [&](int v) {
    if (v == 24) {
      day.stepUp();
      hour.setValue(0);
    }
    log.push_back("h" + QString::number(hour.value()));
  });
  QObject::connect(&minute, &Spinner::valueChanged, [&](int v) {
    if (v == 60) {
      hour.stepUp();
      minute.setValue(0);
    }
    log.push_back("m" + QString::number(minute.value()));
  });
  minute.stepUp();
  EXPECT_EQ(log, (std::vector<QString>{"d32", "h0", "h0", "m0", "m0"}));
  EXPECT_EQ(hour.value(), 0);
  EXPECT_EQ(day.value(), 32);
}

TEST(ShowSingle, CreatesOnceRaisesAgainAndForgetsOnClose) {
  TestApp();
  QPointer<QWidget> slot;
  int made = 0;
  auto make = [&] {
    ++made;
    return new QWidget;
  };
  QWidget* a = ShowSingle(slot, make);
  QWidget* b = ShowSingle(slot, make);
  EXPECT_EQ(a, b);
  EXPECT_EQ(made, 1);
  EXPECT_TRUE(a->isVisible());
  a->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(slot.isNull());
  QWidget* c = ShowSingle(slot, make);
  EXPECT_EQ(made, 2);
  ASSERT_NE(c, nullptr);
  c->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  QPointer<QWidget> none;
  EXPECT_EQ(ShowSingle(none, [] { return static_cast<QWidget*>(nullptr); }), nullptr);
  EXPECT_TRUE(none.isNull());
}

}  // namespace
}  // namespace qelm::ui
