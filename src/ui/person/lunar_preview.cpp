#include "ui/person/lunar_preview.hpp"

#include <algorithm>

#include "ui/kit/colours.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {
namespace {

constexpr std::uint32_t kDarkRed = 0x0000C0;  // 192, 0, 0
constexpr int kLeft = 2880, kTop = 1360, kWidth = 2295, kHeight = 255;
constexpr int kWindowWidth = 5430, kGap = 45;

}  // namespace

LunarPreview::LunarPreview(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("lunarPreview"));
  setFont(Font(kSansFace, 9.75));
  setWordWrap(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setFocusPolicy(Qt::NoFocus);
  SetTextColour(this, kDarkRed);
  Place(this, kLeft, kTop, kWidth, kHeight);
}

void LunarPreview::Show(const QString& text, int leftLimit) {
  setText(text);
  int left = Px(kLeft), width = Px(kWidth);
  const int needed = fontMetrics().horizontalAdvance(text) + 2;
  if (needed > width) {
    const int rightEdge = Px(kWindowWidth) - Px(kGap);
    const int limit = leftLimit + Px(kGap);
    width = std::min(needed, rightEdge - limit);
    left = std::clamp(rightEdge - width, limit, left);
  }
  setGeometry(left, Px(kTop), width, Px(kHeight));
}

}  // namespace qelm::ui
