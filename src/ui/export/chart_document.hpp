// The chart document: the main window as drawn on the first page, the
// report's lines on the next; written as a PDF with real text, or the window
// alone as an image.
#pragma once

#include <QImage>
#include <QList>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QWidget;

namespace qelm::ui {

// Widgets of the window that are not part of the chart (a message line):
// hidden while the window is drawn into a document or an image.
using LeftOut = QList<QWidget*>;

// Draws the chart document on a paged device (a printer or a PDF writer): the
// window, scaled to fit the first page, then the report's lines (CR LF or LF
// line ends) on as many pages as they need.
void PaintChartDocument(QPagedPaintDevice& device, QWidget& window, const QString& report, const LeftOut& leftOut = {});
// Plain text lines over as many pages as they need, from the painter's
// current page on.
void PaintTextPages(QPagedPaintDevice& device, QPainter& painter, const QString& text);

// Writes the chart document as a PDF (A4 landscape). Empty on success, else
// a message for the user.
QString SaveChartPdf(QWidget& window, const QString& report, const QString& path, const QString& title,
                     const LeftOut& leftOut = {});
// The window as drawn, `scale` times its size in pixels.
QImage ChartImage(QWidget& window, int scale, const LeftOut& leftOut = {});
QString SaveChartPng(QWidget& window, const QString& path, int scale, const LeftOut& leftOut = {});

}  // namespace qelm::ui
