// What a screen reader sees: every control a user can act on, in every
// window, has a name in its accessible interface.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QSet>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <memory>
#include <vector>

#include "ui/main/analysis_windows.hpp"
#include "ui/find_birth/find_birth_window.hpp"
#include "ui/kit/day_change_setting.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"

#include "tests/ui/test_app.hpp"

namespace qelm::ui {
namespace {

bool Interactive(const QAccessibleInterface* a) {
  switch (a->role()) {
    case QAccessible::PushButton: case QAccessible::RadioButton:
    case QAccessible::CheckBox: case QAccessible::ComboBox: case QAccessible::SpinBox:
    case QAccessible::EditableText: case QAccessible::List: case QAccessible::Tree:
    case QAccessible::Table: case QAccessible::Slider: case QAccessible::ScrollBar:
    case QAccessible::ButtonMenu: case QAccessible::ButtonDropDown: case QAccessible::Link:
      return true;
    default:
      return a->state().focusable;
  }
}

// The interactive controls without a name, as "objectName (role)"; `named`
// counts those with one. Item views are not entered: their rows are named by
// their texts.
void Unnamed(QAccessibleInterface* a, QStringList& out, int& named) {
  if (!a || a->state().invisible) return;
  if (Interactive(a)) {
    if (a->text(QAccessible::Name).trimmed().isEmpty()) {
      QObject* o = a->object();
      out << (o ? o->objectName() + "/" + o->metaObject()->className() : QString("?")) + " role " +
                 QString::number(a->role());
    } else {
      ++named;
    }
  }
  const QAccessible::Role r = a->role();
  if (r == QAccessible::List || r == QAccessible::Tree || r == QAccessible::Table) return;
  for (int i = 0; i < a->childCount(); ++i) Unnamed(a->child(i), out, named);
}

struct Walk {
  QStringList unnamed;
  int named = 0;
};
Walk WalkWindow(QWidget* w) {
  Walk r;
  Unnamed(QAccessible::queryAccessibleInterface(w), r.unnamed, r.named);
  return r;
}

QString Name(QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); }

TEST(Accessibility, EveryControlOfEveryWindowHasAName) {
  TestApp();
  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  main.show();
  ASSERT_TRUE(main.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  std::vector<std::unique_ptr<QWidget>> windows;
  for (int k = 0; k < kAnalysisKinds; ++k)
    windows.emplace_back(CreateAnalysisWindow(static_cast<AnalysisKind>(k), *main.chart(), main.flow(), ScorePeriod::FlowYear));
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  windows.emplace_back(new PersonWindow(main, std::filesystem::path(QFile::encodeName(dir.path()).toStdString())));
  windows.emplace_back(new FindBirthWindow(DayChange::AtMidnight));

  // The main window's own count: 8 buttons, 5 fields, 10 arrows, 4 headers
  // and the luck star at least.
  const Walk m = WalkWindow(&main);
  EXPECT_EQ(m.unnamed.join(", ").toStdString(), "") << "Form1";
  EXPECT_GE(m.named, 28);
  for (auto& w : windows) {
    w->show();
    const Walk r = WalkWindow(w.get());
    EXPECT_EQ(r.unnamed.join(", ").toStdString(), "") << w->objectName().toStdString();
  }

  // The names say what a control does.
  struct Expect {
    const char* object;
    const char* name;
  };
  const Expect expects[] = {
      {"dateField_0", "年"}, {"dateField_4", "分"}, {"nowButton", "現在時刻"},
      {"flowYearHeader", "開啟五行衰旺（歲）"}, {"flowHourHeader", "開啟五行衰旺（時）"},
  };
  for (const Expect& e : expects) {
    QWidget* c = main.findChild<QWidget*>(QString::fromLatin1(e.object));
    ASSERT_NE(c, nullptr) << e.object;
    EXPECT_EQ(Name(c), QString::fromUtf8(e.name)) << e.object;
  }
  // The ten luck openers say which period each is: the pillar, its ages, and
  // which one is current (the one that shows the star and takes the focus).
  const ChartState& chart = *main.chart();
  const int current = main.flow().CurrentLuckIndex;
  ASSERT_GE(current, 1);
  QSet<QString> openerNames;
  for (int i = 0; i < 10; ++i) {
    const QString name = Name(main.findChild<QWidget*>(IndexedName(QStringLiteral("luckOpener"), i)));
    openerNames << name;
    EXPECT_TRUE(name.startsWith(QStringLiteral("開啟五行衰旺（大運"))) << name.toStdString();
    EXPECT_TRUE(name.contains(QString::fromStdString(chart.LuckPillar(i + 1).name()))) << name.toStdString();
    EXPECT_EQ(name.contains(QStringLiteral("目前")), i == current - 1) << name.toStdString();
  }
  EXPECT_EQ(openerNames.size(), 10);
  // The correction line's text reaches a screen reader, not only its caption.
  const Birth chengdu{{1975, 7, 1, 14, 30}, qelm::Place{"成都", 104.0667, 30.6667, "Asia/Shanghai"}, TimeMode::Solar};
  ASSERT_TRUE(main.CastChart("王小明", Sex::Male, chengdu));
  QAccessibleInterface* correction = QAccessible::queryAccessibleInterface(main.correctionLabel());
  EXPECT_EQ(correction->text(QAccessible::Name), QStringLiteral("出生地校正"));
  EXPECT_EQ(correction->text(QAccessible::Description).toStdString(), CorrectionLine(*main.correction()));
  EXPECT_EQ(Name(main.spinner(0)->upperArrow()), QStringLiteral("年 減一"));
  EXPECT_EQ(Name(main.spinner(0)->lowerArrow()), QStringLiteral("年 加一"));
  EXPECT_EQ(Name(main.spinner(4)->upperArrow()), QStringLiteral("分 減一"));
  // A header is a button one can press; a field is a spin box showing its value.
  QAccessibleInterface* header = QAccessible::queryAccessibleInterface(main.findChild<QWidget*>("flowMonthHeader"));
  EXPECT_EQ(header->role(), QAccessible::Button);
  header->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(main.prosperityPeriod(), std::optional(ScorePeriod::FlowMonth));
  QAccessibleInterface* year = QAccessible::queryAccessibleInterface(main.field(0));
  EXPECT_EQ(year->role(), QAccessible::SpinBox);
  EXPECT_EQ(year->text(QAccessible::Value), QStringLiteral("2024"));
  ASSERT_NE(year->valueInterface(), nullptr);
  year->valueInterface()->setCurrentValue(2030);
  EXPECT_EQ(main.field(0)->text(), QStringLiteral("2030"));
}

// Alike controls told apart: a chooser says what it chooses before its value
// (not the bare "庚午"), a score bar which element and group it measures.
TEST(Accessibility, ChoosersAndBarsSayWhatTheyAre) {
  TestApp();
  FindBirthWindow find(DayChange::AtZiStart);
  find.show();
  const char* const pillars[] = {"年柱", "月柱", "日柱", "時柱"};
  for (int k = 0; k < 4; ++k) {
    auto* c = find.findChild<QComboBox*>(QStringLiteral("PillarChooser_%1").arg(k));
    ASSERT_NE(c, nullptr) << k;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
    EXPECT_EQ(a->role(), QAccessible::ComboBox) << k;
    EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(pillars[k])) << k;
    EXPECT_EQ(a->text(QAccessible::Value), c->currentText()) << k;
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(find.findChild<QComboBox*>("PillarChooser_0"))
                ->text(QAccessible::Value),
            QStringLiteral("庚午"));
  DayChangeBox dayChange;
  QAccessibleInterface* d = QAccessible::queryAccessibleInterface(&dayChange);
  EXPECT_TRUE(d->text(QAccessible::Name).contains(QStringLiteral("子時"))) << d->text(QAccessible::Name).toStdString();
  EXPECT_TRUE(d->text(QAccessible::Name).contains(QStringLiteral("程式設定")));
  EXPECT_EQ(d->text(QAccessible::Value), dayChange.currentText());

  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  ASSERT_TRUE(main.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  for (AnalysisKind kind : {AnalysisKind::Strength, AnalysisKind::Prosperity}) {
    std::unique_ptr<QWidget> w(CreateAnalysisWindow(kind, *main.chart(), main.flow(), ScorePeriod::FlowYear));
    w->show();
    // Each bar is named by the texts at the left of it on its row.
    QSet<QString> names;
    const auto bars = w->findChildren<QProgressBar*>();
    ASSERT_GE(bars.size(), 5);
    for (const QProgressBar* bar : bars) {
      const QString name = Name(const_cast<QProgressBar*>(bar));
      int read = 0;
      for (const QLabel* l : w->findChildren<QLabel*>()) {
        const QRect r = l->geometry();
        if (r.right() >= bar->x() || r.top() > bar->geometry().center().y() ||
            r.bottom() < bar->geometry().center().y())
          continue;
        EXPECT_TRUE(name.contains(l->text())) << name.toStdString() << " / " << l->text().toStdString();
        ++read;
      }
      EXPECT_GE(read, 1) << bar->objectName().toStdString();
      names << name;
    }
    EXPECT_EQ(names.size(), bars.size());
  }
}

}  // namespace
}  // namespace qelm::ui
