#include "ui/export/chart_document.hpp"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QWidget>
#include <algorithm>

#include "ui/kit/fonts.hpp"
#include "ui/export/pdf_text_map.hpp"
#include "ui/export/saved_files.hpp"

namespace qelm::ui {
namespace {

QStringList Lines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  return text.split(QLatin1Char('\n'));
}

// The widgets left out, hidden for as long as it lives.
class HiddenWhileDrawn {
 public:
  explicit HiddenWhileDrawn(const LeftOut& widgets) {
    for (QWidget* w : widgets)
      if (w && !w->isHidden()) {
        w->hide();
        hidden_ << w;
      }
  }
  ~HiddenWhileDrawn() {
    for (QWidget* w : hidden_) w->show();
  }
  HiddenWhileDrawn(const HiddenWhileDrawn&) = delete;
  HiddenWhileDrawn& operator=(const HiddenWhileDrawn&) = delete;

 private:
  QList<QWidget*> hidden_;
};

}  // namespace

void PaintTextPages(QPagedPaintDevice& device, QPainter& painter, const QString& text) {
  painter.save();
  const QFont font = Font(kSerifFace, 11);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QFontMetricsF fm(font, &device);
  const QRect area = painter.viewport();
  const double bottom = area.height() - fm.descent();
  double y = fm.ascent();
  for (const QString& line : Lines(text)) {
    if (y > bottom) {
      device.newPage();
      y = fm.ascent();
    }
    painter.drawText(QPointF(0, y), line);
    y += fm.lineSpacing();
  }
  painter.restore();
}

void PaintChartDocument(QPagedPaintDevice& device, QWidget& window, const QString& report, const LeftOut& leftOut) {
  QPainter painter(&device);
  const QRect area = painter.viewport();
  const double scale = std::min(area.width() / double(window.width()), area.height() / double(window.height()));
  painter.save();
  painter.translate((area.width() - window.width() * scale) / 2, 0);
  painter.scale(scale, scale);
  {
    const HiddenWhileDrawn hidden(leftOut);
    window.render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  }
  painter.restore();
  device.newPage();
  PaintTextPages(device, painter, report);
}

QString SaveChartPdf(QWidget& window, const QString& report, const QString& path, const QString& title,
                     const LeftOut& leftOut) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("QELM"));
    pdf.setResolution(600);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                  QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    PaintChartDocument(pdf, window, report, leftOut);
  }
  if (bytes.isEmpty()) return QStringLiteral("無法產生 PDF");
  return WriteFileWhole(path, MendTextMap(bytes));
}

QImage ChartImage(QWidget& window, int scale, const LeftOut& leftOut) {
  scale = std::clamp(scale, 1, 8);
  QImage image(window.size() * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(window.palette().color(QPalette::Window));
  const HiddenWhileDrawn hidden(leftOut);
  window.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  return image;
}

QString SaveChartPng(QWidget& window, const QString& path, int scale, const LeftOut& leftOut) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!ChartImage(window, scale, leftOut).save(&buffer, "PNG")) return QStringLiteral("無法產生 PNG 圖片");
  return WriteFileWhole(path, bytes);
}

}  // namespace qelm::ui
