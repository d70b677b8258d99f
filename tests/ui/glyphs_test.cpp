// Whole glyphs: every label of every window is drawn without a cut, at 100 %,
// 150 % and 200 % scale (rendered at device pixel ratios 1, 1.5 and 2).
//
// A label's text is drawn once more, unclipped, the way the label lays it
// out, into an image larger than the label; any ink that falls outside the
// part of the label its window actually shows (the label's rectangle within
// every parent) would be cut off on screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <array>
#include <fstream>
#include <memory>
#include <vector>

#include "place/correction.hpp"
#include "records/big5.hpp"
#include "ui/main/analysis_windows.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"
#include "ui/kit/window_layer.hpp"

#include "tests/ui/test_app.hpp"

namespace qelm::ui {
namespace {

struct Piece {
  QRectF box;
  int flags;
  QString text;
};

// The texts a label draws, in its own coordinates, as QLabel lays out plain
// text (contents rectangle, margin, the indent on the aligned sides).
std::vector<Piece> Pieces(const QLabel* l) {
  if (auto* c = qobject_cast<const ColumnLabel*>(l)) {
    std::vector<Piece> out;
    for (const auto& [box, ch] : c->cells()) out.push_back({box, Qt::AlignHCenter | Qt::AlignTop, ch});
    return out;
  }
  QRectF r = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
  int indent = l->indent();
  if (indent < 0) indent = l->frameWidth() > 0 ? l->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0;
  const Qt::Alignment a = l->alignment();
  if (a & Qt::AlignLeft) r.setLeft(r.left() + indent);
  if (a & Qt::AlignRight) r.setRight(r.right() - indent);
  if (a & Qt::AlignTop) r.setTop(r.top() + indent);
  if (a & Qt::AlignBottom) r.setBottom(r.bottom() - indent);
  const int flags = static_cast<int>(a) | (l->wordWrap() ? Qt::TextWordWrap : 0);
  return {{r, flags, l->text()}};
}

// The part of the label its window shows: its rectangle cut by every parent
// up to its window (a window over another is not cut by it).
QRect Shown(const QLabel* l) {
  QRect r = l->rect();
  for (const QWidget* w = l; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
    const QPoint at = l->mapTo(w->parentWidget(), QPoint(0, 0));
    r &= w->parentWidget()->rect().translated(-at);
  }
  return r;
}

// Device pixels of ink outside what is shown; the faint edge of antialiasing
// (less than half covered) does not count.
int CutPixels(const QLabel* l, double dpr) {
  constexpr int kMargin = 48;  // logical pixels around the label
  const QSize size = l->size() + QSize(2 * kMargin, 2 * kMargin);
  QImage img(size * dpr, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(dpr);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    p.translate(kMargin, kMargin);
    p.setFont(l->font());
    p.setPen(Qt::black);
    for (const Piece& piece : Pieces(l)) p.drawText(piece.box, piece.flags | Qt::TextDontClip, piece.text);
  }
  const QRectF shown = QRectF(Shown(l)).translated(kMargin, kMargin);
  const QRectF device(shown.topLeft() * dpr, shown.bottomRight() * dpr + QPointF(dpr, dpr));
  int cut = 0;
  for (int y = 0; y < img.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) {
      if (qAlpha(line[x]) < 128) continue;
      if (!device.contains(QPointF(x + 0.5, y + 0.5))) ++cut;
    }
  }
  return cut;
}

// Every window with content: the main window with a chart (two charts and
// flow moments, so that many characters appear), the seven analysis windows
// and the person window with a few persons.
class GlyphsTest : public ::testing::TestWithParam<double> {
 protected:
  void SetUp() override { TestApp(); }
};

TEST_P(GlyphsTest, EveryLabelIsDrawnWhole) {
  const double dpr = GetParam();
  QStringList cuts;
  auto check = [&](QWidget* w) {
    w->show();
    for (QLabel* l : w->findChildren<QLabel*>()) {
      if (l->text().isEmpty() || !l->isVisibleTo(w)) continue;
      if (const int n = CutPixels(l, dpr))
        cuts << w->objectName() + "/" + l->objectName() + " \"" + l->text() + "\" " + QString::number(n);
    }
  };
  struct Case {
    MomentInput birth;
    Moment now;
  };
  const Case cases[] = {{{1990, 5, 17, 14, 30}, MakeMoment(2024, 6, 15, 10, 30)},
                        {{1959, 11, 26, 22, 5}, MakeMoment(2031, 8, 9, 1, 45)}};
  for (const Case& c : cases) {
    MainWindow main([&] { return c.now; });
    ASSERT_TRUE(main.CastChart("王小明", 1, c.birth));
    check(&main);
    for (int k = 0; k < kAnalysisKinds; ++k) {
      std::unique_ptr<QWidget> w(
          CreateAnalysisWindow(static_cast<AnalysisKind>(k), *main.chart(), main.flow(), kScorePeriods[k % kScorePeriods.size()]));
      check(w.get());
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path folder(QFile::encodeName(dir.path()).toStdString());
    {
      std::ofstream user(folder / "User", std::ios::binary);
      for (const char* line : {"王小明\t男\t1990\t5\t17\t14\t30", "林美\t女\t2001\t2\t3\t4\t5"})
        user << records::EncodeBig5(line).bytes.value_or("") << "\r\n";
    }
    std::unique_ptr<PersonWindow> persons(new PersonWindow(main, folder));
    check(persons.get());
    // The longest line under the birthplace: a long name with coordinates by
    // hand, a clock hour that came twice, true solar time.
    BirthplaceRow* place = persons->birthplace();
    place->finder()->setText(QStringLiteral("模里西斯路易港外婆家"));
    place->longitudeEdit()->setText(QStringLiteral("-74.0060"));
    place->zoneEdit()->setText(QStringLiteral("America/New_York"));
    place->timeModeBox()->setCurrentIndex(2);
    const std::array<int, 5> items{1990 - 1901, 10 - 1, 28 - 1, 1, 30};
    for (int field = 0; field < 5; ++field) persons->birthDate()->choose(field, items[field]);
    if (!place->overlapBox()->isVisibleTo(persons.get())) cuts << "no repeated hour to show";
    check(persons.get());
  }
  EXPECT_EQ(cuts.join("\n").toStdString(), "") << "at device pixel ratio " << dpr;
}

// The birthplace correction line of the main window, for the longest place
// names of the built-in list and the world list, far west and far east, in
// both modes, with daylight saving and a repeated clock hour: every one shows
// whole.
TEST_P(GlyphsTest, EveryCorrectionLineIsDrawnWhole) {
  const double dpr = GetParam();
  struct Case {
    const char* what;
    MomentInput clock;
    qelm::Place place;
    TimeMode mode;
  };
  const Case cases[] = {
      {"New York, summer", {1990, 7, 4, 13, 30}, {"New York, United States of America", -74.00597, 40.71427, "America/New_York"},
       TimeMode::Solar},
      {"the longest world name, repeated hour",
       {2010, 11, 7, 1, 30},
       {"Villa del Prado 2da Sección, Free and Sovereign State of Baja California, Mexico", -116.97167, 32.5,
        "America/Tijuana"},
       TimeMode::Solar},
      {"the longest world name, standard time",
       {2010, 11, 7, 1, 30},
       {"Villa del Prado 2da Sección, Free and Sovereign State of Baja California, Mexico", -116.97167, 32.5,
        "America/Tijuana"},
       TimeMode::Standard},
      {"Abu Dhabi", {1999, 12, 31, 23, 59},
       {"Abu Dhabi Island and Internal Islands City, Abu Dhabi Emirate, United Arab Emirates", 54.39696, 24.45,
        "Asia/Dubai"},
       TimeMode::Solar},
      {"the longest built-in name", {1975, 7, 1, 14, 30}, {"南投縣中興新村", 120.68, 23.96, "Asia/Taipei"},
       TimeMode::Solar},
      {"no name, far west", {1960, 1, 15, 3, 0}, {"", -179.99, -14.0, "Pacific/Pago_Pago"}, TimeMode::Solar},
  };
  QStringList cuts;
  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  main.show();
  for (const Case& c : cases) {
    const CorrectionOutcome out = CorrectBirth(c.clock, c.place, c.mode);
    ASSERT_TRUE(out) << c.what;
    ASSERT_TRUE(main.CastChart("王小明", Sex::Male, Birth{c.clock, c.place, c.mode})) << c.what;
    const QLabel* line = main.correctionLabel();
    ASSERT_TRUE(line->isVisibleTo(&main)) << c.what;
    EXPECT_EQ(line->text().toStdString(), CorrectionLine(*out.correction)) << c.what;
    if (const int n = CutPixels(line, dpr)) cuts << QString::fromUtf8(c.what) + " " + QString::number(n);
    // The birth data above it say which moment they describe, and show whole too.
    const QLabel* birth = main.findChild<QLabel*>(QStringLiteral("birthDataLine"));
    if (const int n = CutPixels(birth, dpr)) cuts << QString::fromUtf8(c.what) + " birth data " + QString::number(n);
  }
  EXPECT_EQ(cuts.join("\n").toStdString(), "") << "at device pixel ratio " << dpr;
}

INSTANTIATE_TEST_SUITE_P(Scales, GlyphsTest, ::testing::Values(1.0, 1.5, 2.0));

}  // namespace
}  // namespace qelm::ui
