#include "ui/export/pdf_text_map.hpp"

#include <QList>
#include <QRawFont>
#include <QString>
#include <cctype>
#include <map>

#include "ui/kit/fonts.hpp"

namespace qelm::ui {
namespace {

// Radicals (U+2E80 to U+2FDF) that the windows' fonts draw with the glyph
// of a unified ideograph, mapped to that ideograph.
std::map<char16_t, char16_t> RadicalIdeographs() {
  std::map<char16_t, char16_t> map;
  QString radicals, ideographs;
  for (char16_t c = 0x2E80; c < 0x2FE0; ++c) radicals.append(QChar(c));
  for (char16_t c = 0x3400; c < 0x4DC0; ++c) ideographs.append(QChar(c));
  for (char16_t c = 0x4E00; c < 0xA000; ++c) ideographs.append(QChar(c));
  for (const QString& face : {kSansFace, kSerifFace}) {
    const QRawFont font = QRawFont::fromFont(Font(face, 12));
    if (!font.isValid()) continue;
    const QList<quint32> r = font.glyphIndexesForString(radicals);
    const QList<quint32> u = font.glyphIndexesForString(ideographs);
    if (r.size() != radicals.size() || u.size() != ideographs.size()) continue;
    std::map<quint32, char16_t> byGlyph;
    for (qsizetype i = 0; i < u.size(); ++i)
      if (u[i] != 0) byGlyph.emplace(u[i], ideographs[i].unicode());
    for (qsizetype i = 0; i < r.size(); ++i) {
      const auto it = r[i] != 0 ? byGlyph.find(r[i]) : byGlyph.end();
      if (it != byGlyph.end()) map.emplace(radicals[i].unicode(), it->second);
    }
  }
  return map;
}

}  // namespace

// Qt's PDF writer names each glyph, in the text map that makes the text
// searchable and copyable, by the lowest code point the font draws with it.
// CJK fonts draw radicals with the glyph of the ideograph, so 王小明 would be
// found only as 王⼩明 (U+2F29, KANGXI RADICAL SMALL). The map's entries are
// rewritten in place, four hex digits for four, so no offset moves.
QByteArray MendTextMap(QByteArray pdf) {
  static const std::map<char16_t, char16_t> radicals = RadicalIdeographs();
  if (radicals.empty()) return pdf;
  const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  for (qsizetype from = pdf.indexOf("beginbfrange"); from >= 0; from = pdf.indexOf("beginbfrange", from)) {
    const qsizetype end = pdf.indexOf("endbfrange", from);
    if (end < 0) break;
    bool inArray = false;  // only the arrays hold code points; the rest are glyph numbers
    for (qsizetype i = from; i + 5 < end; ++i) {
      if (pdf[i] == '[') inArray = true;
      if (pdf[i] == ']') inArray = false;
      if (!inArray || pdf[i] != '<' || pdf[i + 5] != '>') continue;
      if (!hex(pdf[i + 1]) || !hex(pdf[i + 2]) || !hex(pdf[i + 3]) || !hex(pdf[i + 4])) continue;
      const auto c = static_cast<char16_t>(pdf.mid(i + 1, 4).toUInt(nullptr, 16));
      const auto it = radicals.find(c);
      if (it == radicals.end()) continue;
      const QByteArray u = QByteArray::number(it->second, 16).toUpper().rightJustified(4, '0');
      pdf.replace(i + 1, 4, u);
    }
    from = end;
  }
  return pdf;
}

}  // namespace qelm::ui
