// The text map of a PDF from Qt's writer, mended so that the text a reader
// searches and copies is the text drawn.
#pragma once

#include <QByteArray>

namespace qelm::ui {

// The PDF with the radicals in its text map replaced by the ideographs they
// share a glyph with (same length, offsets unchanged).
QByteArray MendTextMap(QByteArray pdf);

}  // namespace qelm::ui
