// The analysis windows the main window opens. Each is built from the chart and
// the flow moment as they stand when it opens, and does not follow later
// changes, except 刑沖合會 and 合盤, which the main window hands every new
// flow moment; 擇日 hands the main window the day chosen in it. The main
// window keeps one of each (see ShowSingle) and closes them
// when another chart is cast.
#pragma once

#include <QWidget>
#include <array>

#include "analysis/scoring.hpp"
#include "chart/chart.hpp"

namespace qelm::ui {

enum class AnalysisKind {
  Strength,    // 五行強弱
  Prosperity,  // 五行衰旺 (needs the period counted down to)
  FlowYear,    // 流年
  MinorLuck,   // 小運
  Stars,       // 神煞
  SanMing,     // 三命
  TextOutput,  // 文字輸出
  Relations,   // 刑沖合會 (follows the flow moment)
  DayChoice,   // 擇日 (sets the flow moment to the day chosen)
  Compare,     // 合盤 (follows the flow moment; the second person is chosen in it)
};
inline constexpr int kAnalysisKinds = 10;

// The main window's buttons that open an analysis window, left to right
// after "排盤" (the prosperity window opens from the period labels).
struct AnalysisButton {
  AnalysisKind kind;
  const char* name;     // object name
  const char* caption;
};
inline constexpr std::array<AnalysisButton, 9> kAnalysisButtonRow{{
    {AnalysisKind::Strength, "strengthButton", "五行強弱"},
    {AnalysisKind::FlowYear, "flowYearButton", "流年"},
    {AnalysisKind::MinorLuck, "minorLuckButton", "小運"},
    {AnalysisKind::Stars, "starsButton", "神煞"},
    {AnalysisKind::SanMing, "sanMingButton", "三命"},
    {AnalysisKind::TextOutput, "textOutputButton", "文字輸出"},
    {AnalysisKind::Relations, "relationsButton", "刑沖合會"},
    {AnalysisKind::DayChoice, "dayChoiceButton", "擇日"},
    {AnalysisKind::Compare, "compareButton", "合盤"},
}};
inline constexpr int kAnalysisButtons = static_cast<int>(kAnalysisButtonRow.size());

// A new top-level window of that kind (no parent), not yet shown, titled with
// its caption and the person's name ("神煞 — 王小明"). `correctionLine`, the
// chart's birthplace correction, ends the report texts when not empty.
QWidget* CreateAnalysisWindow(AnalysisKind kind, const ChartState& chart, const FlowState& flow,
                              ScorePeriod prosperityPeriod, const std::string& correctionLine = {});

}  // namespace qelm::ui
