#include "ui/text_output_window.hpp"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "report/report.hpp"
#include "ui/chart_export.hpp"
#include "ui/window_layer.hpp"

namespace qelm::ui {

QString BoxText(const std::string& crlfText) {
  QString s = QString::fromStdString(crlfText);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

TextOutputWindow::TextOutputWindow(const ChartState& chart, const FlowState& flow,
                                   const std::string& correctionLine, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("Form9"));
  setWindowTitle(QStringLiteral("文字輸出"));
  setFont(Font(kSerifFace, 12));
  setFixedSize(Px(6975), Px(7725));

  const QFont switchFont = Font(kSansFace, 11.25);
  // Tall enough for a whole line of its font.
  MakeLabel(this, QStringLiteral("Label1"), 120, 150, 975, 360, switchFont,
            QStringLiteral("輸出切換"));
  const std::array<QString, 2> schools{QStringLiteral("子平法"), QStringLiteral("三命法")};
  for (int i = 0; i < 2; ++i) {
    option1_[i] = new QRadioButton(schools[i], this);
    option1_[i]->setObjectName(IndexedName(QStringLiteral("Option1"), i));
    option1_[i]->setFont(switchFont);
    // 1200 wide rather than 1215, so that the first does not reach under the second.
    Place(option1_[i], 1320 + 1200 * i, 120, 1200, 375);
  }
  option1_[0]->setChecked(true);

  outbox_ = new QPlainTextEdit(this);
  outbox_->setObjectName(QStringLiteral("Outbox"));
  outbox_->setFont(Font(kSansFace, 9.75));
  outbox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  outbox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Place(outbox_, 120, 600, 6735, 6975);
  outbox_->setAccessibleName(QStringLiteral("報告文字"));
  outbox_->verticalScrollBar()->setAccessibleName(QStringLiteral("捲動報告文字"));

  // Both texts are built once; the switch only shows the stored one again.
  texts_ = {ChartReport(chart, flow, School::ZiPing, correctionLine),
            ChartReport(chart, flow, School::SanMing, correctionLine)};
  run_txtout();

  for (QRadioButton* b : option1_) {
    connect(b, &QRadioButton::toggled, this, [this](bool on) {
      if (on) run_txtout();
    });
  }
  outbox_->setFocus();
  InstallTextExport(*this);  // Ctrl+S saves, Ctrl+P prints the text shown
}

void TextOutputWindow::run_txtout() {
  outbox_->setPlainText(BoxText(texts_[option1_[1]->isChecked() ? 1 : 0]));
}

}  // namespace qelm::ui
