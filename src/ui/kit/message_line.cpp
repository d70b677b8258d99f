#include "ui/kit/message_line.hpp"

#include <QFontMetrics>
#include <QLabel>

#include "ui/kit/colours.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"

namespace qelm::ui {
namespace {

constexpr std::uint32_t kErrorColour = 0x0000C0;  // dark red
constexpr std::uint32_t kDoneColour = 0x006000;   // dark green

}  // namespace

QLabel* MakeMessageLine(QWidget* parent, int left, int top, int width, int height) {
  QLabel* l = MakeLabel(parent, QStringLiteral("messageLine"), left, top, width, height, Font(kSansFace, 9.75));
  l->setWordWrap(false);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  l->setContextMenuPolicy(Qt::NoContextMenu);  // the window's menu, not the label's
  l->setAccessibleName(QStringLiteral("存檔訊息"));
  return l;
}

void Say(QLabel* line, const QString& text, bool error) {
  SetTextColour(line, error ? kErrorColour : kDoneColour);
  line->setToolTip(text);
  line->setText(line->wordWrap() ? text
                                 : QFontMetrics(line->font()).elidedText(text, Qt::ElideMiddle, line->width()));
}

}  // namespace qelm::ui
