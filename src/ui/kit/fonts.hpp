// The windows' two type faces and the conversion of the core's UTF-8 texts.
#pragma once

#include <QFont>
#include <QString>
#include <string_view>

namespace qelm::ui {

// The windows' two type faces; mapped to Noto CJK by InstallFontSubstitutions.
inline const QString kSansFace = QStringLiteral("微軟正黑體");
inline const QString kSerifFace = QStringLiteral("新細明體");
// "微軟正黑體" -> "Noto Sans CJK TC", "新細明體" -> "Noto Serif CJK TC".
// Call once after the QApplication exists.
void InstallFontSubstitutions();
QFont Font(const QString& face, double points, bool bold = false);

// A UTF-8 text of the core as a Qt string.
inline QString Q(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace qelm::ui
