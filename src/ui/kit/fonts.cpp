#include "ui/kit/fonts.hpp"

namespace qelm::ui {

void InstallFontSubstitutions() {
  QFont::insertSubstitution(kSansFace, QStringLiteral("Noto Sans CJK TC"));
  QFont::insertSubstitution(kSerifFace, QStringLiteral("Noto Serif CJK TC"));
}

QFont Font(const QString& face, double points, bool bold) {
  QFont f(face);
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

}  // namespace qelm::ui
