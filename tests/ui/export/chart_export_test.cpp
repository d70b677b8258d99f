#include "ui/export/chart_export.hpp"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "records/big5.hpp"
#include "report/report.hpp"
#include "ui/export/chart_document.hpp"
#include "ui/main/main_window.hpp"
#include "ui/export/pdf_text_map.hpp"
#include "ui/export/saved_files.hpp"
#include "ui/export/text_export.hpp"
#include "ui/analysis/text_output_window.hpp"

#include "tests/ui/test_app.hpp"

namespace qelm::ui {
namespace {

class ChartExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
    window_ = std::make_unique<MainWindow>([] { return MakeMoment(2024, 6, 15, 10, 30); });
    window_->show();
    exporter_ = window_->chartExport();
    ASSERT_NE(exporter_, nullptr);
  }
  void Cast() { ASSERT_TRUE(window_->CastChart("王小明", 1, {1990, 5, 17, 14, 30})); }
  QString Path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }
  static QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // Runs a poppler tool; its standard output, or nothing when it failed.
  static std::optional<QString> Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
      return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
  }

  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> window_;
  ChartExport* exporter_ = nullptr;
};

TEST_F(ChartExportTest, ActionsActOnlyWhileAChartIsLoaded) {
  const QList<QAction*> menu = exporter_->menu()->actions();
  QStringList captions;
  for (QAction* a : menu)
    if (!a->isSeparator()) captions << a->text();
  EXPECT_EQ(captions, (QStringList{"列印…", "存成 PDF…", "存成圖片…", "複製報告文字"}));
  EXPECT_EQ(exporter_->printAction()->shortcut(), QKeySequence(QKeySequence::Print));
  EXPECT_EQ(exporter_->savePdfAction()->shortcut(), QKeySequence(QKeySequence::Save));
  EXPECT_EQ(window_->contextMenuPolicy(), Qt::CustomContextMenu);

  const auto enabled = [&] {
    int n = 0;
    for (QAction* a : {exporter_->printAction(), exporter_->savePdfAction(), exporter_->saveImageAction(),
                       exporter_->copyAction()})
      n += a->isEnabled();
    return n;
  };
  EXPECT_EQ(enabled(), 0);
  EXPECT_FALSE(exporter_->saveTo(Path("early.pdf")));
  EXPECT_FALSE(QFile::exists(Path("early.pdf")));
  Cast();
  EXPECT_EQ(enabled(), 4);
  exporter_->copyAction()->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            BoxText(ZiPingReport(*window_->chart(), window_->flow())));
  window_->OpenPersonWindow();  // "排盤" sets the chart aside until a person is chosen
  EXPECT_EQ(enabled(), 0);
}

// The extension picks the type; a PNG has the window's size times the scale;
// a refused save leaves an existing file as it was and says why.
TEST_F(ChartExportTest, SaveFollowsTheExtension) {
  Cast();
  struct Case {
    const char* name;
    int scale;
    bool ok;
    const char* head;     // first bytes of the file written
    const char* message;  // part of the message line
  };
  const Case cases[] = {
      {"chart.pdf", 2, true, "%PDF", "已存成"},
      {"chart_1x.png", 1, true, "\x89PNG", "已存成"},
      {"chart_3x.PNG", 3, true, "\x89PNG", "已存成"},
      {"chart.txt", 1, false, "keep", "不支援的檔案類型「.txt」"},
      {"no_such_folder/chart.pdf", 1, false, nullptr, "無法寫入"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = Path(c.name);
    if (!c.ok && c.head) {
      QFile f(path);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write("keep");
    }
    EXPECT_EQ(exporter_->saveTo(path, c.scale), c.ok);
    EXPECT_TRUE(exporter_->messageLine()->toolTip().contains(QString::fromUtf8(c.message)))
        << exporter_->messageLine()->toolTip().toStdString();
    if (c.head) {
      EXPECT_TRUE(Read(path).startsWith(c.head));
    }
    if (c.ok && QString::fromUtf8(c.name).endsWith(QStringLiteral("PNG"), Qt::CaseInsensitive)) {
      const QImage image(path);
      EXPECT_EQ(image.size(), window_->size() * c.scale);
    }
  }
  // The message line is not part of the image.
  exporter_->messageLine()->clear();
  const QImage without = ChartImage(*window_, 1, {exporter_->messageLine()});
  exporter_->messageLine()->setText(QStringLiteral("已存成 某處"));
  EXPECT_EQ(ChartImage(*window_, 1, {exporter_->messageLine()}), without);
  EXPECT_FALSE(exporter_->messageLine()->isHidden());
}

// The PDF carries text a reader can search: the name, the four pillars and
// the report's first line; its first page renders.
TEST_F(ChartExportTest, PdfTextCanBeSearchedAndItsFirstPageRenders) {
  Cast();
  const QString pdf = Path("王小明.pdf");
  ASSERT_TRUE(exporter_->saveTo(pdf));
  const auto text = Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  ASSERT_TRUE(text) << "pdftotext failed";
  const QString report = exporter_->reportText();
  const QStringList lines = report.split(QStringLiteral("\r\n"));
  ASSERT_GT(lines.size(), 8);
  // Line 1 the birth data; lines 7 and 8 the stems and branches of the four pillars.
  for (const QString& wanted : {QStringLiteral("王小明"), lines[0], lines[6], lines[7]})
    EXPECT_TRUE(text->contains(wanted)) << wanted.toStdString();
  // No radical stands in for an ideograph (小 is not ⼩).
  for (const QChar c : *text) EXPECT_FALSE(c.unicode() >= 0x2E80 && c.unicode() < 0x2FE0) << int(c.unicode());

  const QString prefix = Path("page");
  ASSERT_TRUE(Run(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                   QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"), pdf, prefix}));
  const QImage page(prefix + QStringLiteral("-1.png"));
  EXPECT_FALSE(page.isNull());
  EXPECT_GT(page.width(), page.height());  // landscape
}

TEST(MendTextMap, RadicalsInCodePointArraysOnly) {
  TestApp();
  // Glyph numbers (outside the arrays) stay whatever they are.
  const QByteArray pdf = "1 beginbfrange\n<2F29> <2F2A> [<2F29> <738B> <2E92>]\nendbfrange <2F29>";
  const QByteArray mended = MendTextMap(pdf);
  EXPECT_EQ(mended, QByteArray("1 beginbfrange\n<2F29> <2F2A> [<5C0F> <738B> <5DF3>]\nendbfrange <2F29>"));
}

TEST(EncodeText, CrLfAndBig5) {
  struct Case {
    const char* text;
    TextEncoding encoding;
    const char* utf8;         // the expected bytes as UTF-8 (converted for Big5)
    const char* unencodable;  // or the character refused
  };
  const Case cases[] = {
      {"甲乙\n丙丁\n", TextEncoding::kUtf8, "甲乙\r\n丙丁\r\n", nullptr},
      {"甲乙\r\n丙丁", TextEncoding::kUtf8, "甲乙\r\n丙丁", nullptr},
      {"乾造 西元 1990年\n", TextEncoding::kBig5, "乾造 西元 1990年\r\n", nullptr},
      {"他们\n", TextEncoding::kBig5, nullptr, "们"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const EncodedText e = EncodeText(QString::fromUtf8(c.text), c.encoding);
    if (c.unencodable) {
      EXPECT_FALSE(e.bytes);
      EXPECT_TRUE(e.error.contains(QString::fromUtf8(c.unencodable)));
      continue;
    }
    ASSERT_TRUE(e.bytes);
    const std::string expected = c.encoding == TextEncoding::kBig5 ? *records::EncodeBig5(c.utf8).bytes : c.utf8;
    EXPECT_EQ(e.bytes->toStdString(), expected);
  }
}

// 文字輸出 saves the text shown: unchanged, it is the report as built, in
// either encoding; a character without a Big5 form refuses the Big5 save and
// leaves the file as it was.
TEST(TextExport, SavesTheShownText) {
  TestApp();
  QTemporaryDir dir;
  MainWindow main([] { return MakeMoment(2024, 6, 15, 10, 30); });
  ASSERT_TRUE(main.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  TextOutputWindow w(*main.chart(), main.flow());
  auto* ex = w.findChild<TextExport*>();
  ASSERT_NE(ex, nullptr);
  const std::string report = w.texts()[0];

  const QString utf8 = dir.filePath(QStringLiteral("a.txt")), big5 = dir.filePath(QStringLiteral("b.txt"));
  ASSERT_TRUE(ex->saveTo(utf8, TextEncoding::kUtf8));
  QFile a(utf8);
  ASSERT_TRUE(a.open(QIODevice::ReadOnly));
  EXPECT_EQ(a.readAll().toStdString(), report);
  ASSERT_TRUE(ex->saveTo(big5, TextEncoding::kBig5));
  QFile b(big5);
  ASSERT_TRUE(b.open(QIODevice::ReadOnly));
  const QByteArray saved = b.readAll();
  b.close();
  EXPECT_EQ(records::Big5Codec().Decode(saved.toStdString()).text, report);

  auto* box = w.findChild<QPlainTextEdit*>(QStringLiteral("Outbox"));
  box->appendPlainText(QStringLiteral("们"));
  EXPECT_FALSE(ex->saveTo(big5, TextEncoding::kBig5));
  EXPECT_TRUE(ex->messageLine()->toolTip().contains(QStringLiteral("们")));
  QFile again(big5);
  ASSERT_TRUE(again.open(QIODevice::ReadOnly));
  EXPECT_EQ(again.readAll(), saved);
}

}  // namespace
}  // namespace qelm::ui
