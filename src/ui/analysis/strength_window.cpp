#include "ui/analysis/strength_window.hpp"

#include <QLabel>
#include <QProgressBar>

#include "ui/kit/colours.hpp"
#include "ui/kit/control_array.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"


namespace qelm::ui {
namespace {

constexpr int kWidth = 6240;  // client area, twips
constexpr int kTextTop = 240, kTextWidth = kWidth - 480;

}  // namespace

QProgressBar* MakeColourBar(QWidget* parent, const QString& name, int left, int top, int width,
                            int height, int maximum, std::uint32_t colour) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(name);
  Place(bar, left, top, width, height);
  bar->setRange(0, maximum);
  bar->setValue(0);
  bar->setTextVisible(false);
  const QColor c = Bgr(colour);
  QPalette pal = bar->palette();
  pal.setColor(QPalette::Highlight, c);
  bar->setPalette(pal);
  // The style sheet keeps the colour on every platform style.
  bar->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid #a0a0a0; background: white; }"
                                    "QProgressBar::chunk { background-color: %1; }")
                         .arg(c.name()));
  bar->show();
  return bar;
}

ElementRows MakeElementRows(QWidget* parent, int top, int barMaximum) {
  ElementRows rows;
  const QFont font = Font(kSansFace, 12);
  for (int i = 0; i < 5; ++i) {
    const int y = top + i * ElementRows::kRowStep;
    const Element e{i + 1};
    rows.elementName[i] = MakeLabel(parent, IndexedName(QStringLiteral("elementName"), i), 240, y, 360, 360,
                               font, Q(e.name()));
    SetTextColour(rows.elementName[i], e.colour());
    rows.groupName[i] = MakeLabel(parent, IndexedName(QStringLiteral("groupName"), i), 720, y, 720, 360,
                               font, QStringLiteral("財星"));
    rows.scoreBar[i] = MakeColourBar(parent, IndexedName(QStringLiteral("scoreBar"), i),
                                         ElementRows::kBarLeft, y + 30, ElementRows::kBarWidth,
                                         300, barMaximum, e.colour());
    rows.score[i] = MakeLabel(parent, IndexedName(QStringLiteral("score"), i),
                               ElementRows::kScoreLeft, y, 720, 360, font, QStringLiteral("60"));
    rows.score[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  return rows;
}

void FillElementRows(ElementRows& rows, const ElementScores& scores, Stem dayStem) {
  for (int i = 0; i < 5; ++i) {
    const Element e{i + 1};
    const QString group = Q(ElementGroupName(e, dayStem));
    rows.groupName[i]->setText(group);
    // A bar cannot show more than its range; the number beside it always can.
    rows.scoreBar[i]->setValue(std::min(scores[i], rows.scoreBar[i]->maximum()));
    // Read aloud as the row reads: the element, its group and its score.
    rows.scoreBar[i]->setAccessibleName(Q(e.name()) + QStringLiteral(" ") + group + QStringLiteral(" 分數"));
    rows.scoreBar[i]->setAccessibleDescription(QStringLiteral("%1 分").arg(scores[i]));
    rows.score[i]->setText(QString::number(scores[i]));
  }
}

StrengthWindow::StrengthWindow(const ChartState& chart, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("五行強弱"));
  setAutoFillBackground(true);

  const QFont textFont = Font(kSansFace, 11.25);
  MakeLabel(
      this, QStringLiteral("strongNote"), 240, kTextTop, kTextWidth, 1080, textFont,
      QStringLiteral("印星比劫分數相加如果超過30分或以上，可論定為身強。但有一種狀況是分數為25分，"
                     "月令為印比，則這種狀況也算身強(因為月令份量較重的關係)。"));
  MakeLabel(this, QStringLiteral("levelNote"), 240, kTextTop + 1200, kTextWidth, 360, textFont,
            QStringLiteral("單一五行在7分以下弱，8至16分平，17分以上旺。"));

  const int rowsTop = kTextTop + 1800;
  rows_ = MakeElementRows(this, rowsTop, 60);
  FillElementRows(rows_, NatalScores(chart), chart.DayStem);

  setFixedSize(Px(kWidth), Px(rowsTop + 5 * ElementRows::kRowStep + 120));
}

}  // namespace qelm::ui
