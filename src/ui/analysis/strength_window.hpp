// Form3 五行強弱: the natal element scores of the chart, one row per element.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

#include "analysis/scoring.hpp"
#include "chart/chart.hpp"

class QLabel;
class QProgressBar;

namespace qelm::ui {

// A horizontal bar drawn in one colour (24-bit, red in the low byte), with
// range 0..maximum and no text of its own.
QProgressBar* MakeColourBar(QWidget* parent, const QString& name, int left, int top, int width,
                            int height, int maximum, std::uint32_t colour);

// The five element rows shared by the strength and prosperity windows:
// element name, ten-god group, bar and score, from 木 at the top to 水.
struct ElementRows {
  std::array<QLabel*, 5> elementName{}, groupName{}, score{};
  std::array<QProgressBar*, 5> scoreBar{};
  static constexpr int kRowStep = 480;  // twips between rows
  static constexpr int kBarLeft = 1560, kBarWidth = 3600;
  static constexpr int kScoreLeft = 5280;
};
ElementRows MakeElementRows(QWidget* parent, int top, int barMaximum);
// The ten-god group of each element against the day master, and the scores as bars and numbers.
void FillElementRows(ElementRows& rows, const ElementScores& scores, Stem dayStem);

class StrengthWindow : public QWidget {
  Q_OBJECT
 public:
  explicit StrengthWindow(const ChartState& chart, QWidget* parent = nullptr);

 private:
  ElementRows rows_;
};

}  // namespace qelm::ui
