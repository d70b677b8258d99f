#include "ui/main/analysis_windows.hpp"

#include <QAction>

#include "ui/analysis/flow_year_window.hpp"
#include "ui/analysis/minor_luck_window.hpp"
#include "ui/analysis/prosperity_window.hpp"
#include "ui/analysis/relations_window.hpp"
#include "ui/analysis/sanming_window.hpp"
#include "ui/analysis/stars_window.hpp"
#include "ui/analysis/strength_window.hpp"
#include "ui/analysis/text_output_window.hpp"
#include "ui/day_choice/day_choice_window.hpp"
#include "ui/compare/compare_window.hpp"

namespace qelm::ui {

namespace {

QWidget* Create(AnalysisKind kind, const ChartState& chart, const FlowState& flow,
                ScorePeriod prosperityPeriod, const std::string& correctionLine) {
  switch (kind) {
    case AnalysisKind::Strength: return new StrengthWindow(chart);
    case AnalysisKind::Prosperity: return new ProsperityWindow(chart, flow, prosperityPeriod);
    case AnalysisKind::FlowYear: return new FlowYearWindow(chart, flow);
    case AnalysisKind::MinorLuck: return new MinorLuckWindow(chart, flow);
    case AnalysisKind::Stars: return new StarsWindow(chart);
    case AnalysisKind::SanMing: return new SanMingWindow(chart, flow);
    case AnalysisKind::TextOutput: return new TextOutputWindow(chart, flow, correctionLine);
    case AnalysisKind::Relations: return new RelationsWindow(chart, flow);
    case AnalysisKind::DayChoice: return new DayChoiceWindow(chart, flow);
    case AnalysisKind::Compare: return new CompareWindow(chart, flow.moment);
  }
  return nullptr;
}

}  // namespace

QWidget* CreateAnalysisWindow(AnalysisKind kind, const ChartState& chart, const FlowState& flow,
                              ScorePeriod prosperityPeriod, const std::string& correctionLine) {
  QWidget* w = Create(kind, chart, flow, prosperityPeriod, correctionLine);
  // The title names the person shown after the window's caption.
  if (w && !chart.PersonName.empty())
    w->setWindowTitle(w->windowTitle() + QStringLiteral(" — ") + QString::fromStdString(chart.PersonName));
  if (w) {
    // Esc and Ctrl+W close it, whichever of its controls has the focus.
    auto* close = new QAction(QStringLiteral("關閉"), w);
    close->setObjectName(QStringLiteral("CloseWindow"));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    close->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(close, &QAction::triggered, w, &QWidget::close);
    w->addAction(close);
  }
  return w;
}

}  // namespace qelm::ui
