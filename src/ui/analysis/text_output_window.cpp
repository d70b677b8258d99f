#include "ui/analysis/text_output_window.hpp"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "report/report.hpp"
#include "ui/kit/control_array.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/export/text_export.hpp"
#include "ui/kit/twips.hpp"

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
  MakeLabel(this, QStringLiteral("switchCaption"), 120, 150, 975, 360, switchFont,
            QStringLiteral("輸出切換"));
  const std::array<QString, 2> schools{QStringLiteral("子平法"), QStringLiteral("三命法")};
  for (int i = 0; i < 2; ++i) {
    schoolSwitch_[i] = new QRadioButton(schools[i], this);
    schoolSwitch_[i]->setObjectName(IndexedName(QStringLiteral("schoolSwitch"), i));
    schoolSwitch_[i]->setFont(switchFont);
    // 1200 wide rather than 1215, so that the first does not reach under the second.
    Place(schoolSwitch_[i], 1320 + 1200 * i, 120, 1200, 375);
  }
  schoolSwitch_[0]->setChecked(true);

  textBox_ = new QPlainTextEdit(this);
  textBox_->setObjectName(QStringLiteral("Outbox"));
  textBox_->setFont(Font(kSansFace, 9.75));
  textBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  textBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Place(textBox_, 120, 600, 6735, 6975);
  textBox_->setAccessibleName(QStringLiteral("報告文字"));
  textBox_->verticalScrollBar()->setAccessibleName(QStringLiteral("捲動報告文字"));

  // Both texts are built once; the switch only shows the stored one again.
  texts_ = {ChartReport(chart, flow, School::ZiPing, correctionLine),
            ChartReport(chart, flow, School::SanMing, correctionLine)};
  ShowChosenText();

  for (QRadioButton* b : schoolSwitch_) {
    connect(b, &QRadioButton::toggled, this, [this](bool on) {
      if (on) ShowChosenText();
    });
  }
  textBox_->setFocus();
  InstallTextExport(*this, *textBox_);  // Ctrl+S saves, Ctrl+P prints the text shown
}

void TextOutputWindow::ShowChosenText() {
  textBox_->setPlainText(BoxText(texts_[schoolSwitch_[1]->isChecked() ? 1 : 0]));
}

}  // namespace qelm::ui
