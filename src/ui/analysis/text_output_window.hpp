// Form9 文字輸出: the chart as plain text under either school, for reading and
// copying.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <string>

#include "chart/chart.hpp"

class QPlainTextEdit;
class QRadioButton;

namespace qelm::ui {

class TextOutputWindow : public QWidget {
  Q_OBJECT
 public:
  // `correctionLine`: the chart's birthplace correction, which ends both
  // texts when not empty.
  TextOutputWindow(const ChartState& chart, const FlowState& flow, const std::string& correctionLine = {},
                   QWidget* parent = nullptr);

  // The two texts built at opening, CR LF line ends: [0] 子平法, [1] 三命法.
  const std::array<std::string, 2>& texts() const { return texts_; }

 private:
  void ShowChosenText();

  std::array<std::string, 2> texts_;
  std::array<QRadioButton*, 2> schoolSwitch_{};  // 子平法, 三命法
  QPlainTextEdit* textBox_ = nullptr;
};

// A CR LF text as the text box holds it (line ends as single line feeds).
QString BoxText(const std::string& crlfText);

}  // namespace qelm::ui
