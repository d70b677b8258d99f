#include "ui/main/flow_pillars_view.hpp"

#include <QLabel>

#include "ui/kit/click_label.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/pillar_cells.hpp"

namespace qelm::ui {
namespace {

struct ColumnDesign {
  const char* name;     // in the labels' object names
  const char* caption;  // the header
  int left;
  ScorePeriod period;  // of the prosperity window it opens
};
constexpr std::array<ColumnDesign, 4> kColumns{{{"Year", "歲", 7365, ScorePeriod::FlowYear},
                                               {"Month", "月", 8295, ScorePeriod::FlowMonth},
                                               {"Day", "日", 9240, ScorePeriod::FlowDay},
                                               {"Hour", "時", 10185, ScorePeriod::FlowHour}}};

}  // namespace

FlowPillarsView::FlowPillarsView(QWidget* panel, std::function<void(ScorePeriod)> openProsperity) : PartGroup(panel) {
  setObjectName(QStringLiteral("flowPillars"));
  setAccessibleName(QStringLiteral("流年月日時"));
  const QFont text = Font(kSansFace, 9.75);
  const QFont small = Font(kSansFace, 9);
  const QFont big = Font(kSansFace, 12, true);
  for (std::size_t c = 0; c < kColumns.size(); ++c) {
    const ColumnDesign& f = kColumns[c];
    const QString p = QStringLiteral("flow") + QString::fromLatin1(f.name);
    Column& col = columns_[c];
    // The rows stand closer together than their characters are tall: each
    // cell holds its row's text centred where the row puts it, and reaches
    // over the neighbouring rows' empty margins far enough to hold a whole
    // line of its font, so that no character is cut at any scale.
    col.header = MakeClickLabel(this, p + "Header", f.left, 360, 375, 180, small, QString::fromUtf8(f.caption));
    col.header->setWordWrap(false);
    col.header->setAlignment(Qt::AlignCenter);
    col.header->setAccessibleName(QStringLiteral("開啟五行衰旺（") + QString::fromUtf8(f.caption) +
                                  QStringLiteral("）"));
    col.stemTenGod = MakeCell(this, p + "StemTenGod", f.left, 555, 375, 195, text);
    col.stem = MakeCell(this, p + "Stem", f.left, 720, 375, 285, big);
    col.branch = MakeCell(this, p + "Branch", f.left, 975, 375, 285, big);
    col.branchTenGod = MakeCell(this, p + "BranchTenGod", f.left, 1200, 375, 360, text);
    for (int k = 0; k < 3; ++k)
      col.sound[k] = MakeCell(this, p + "Sound" + QString::number(k + 1), f.left - 140 + 220 * k, 1500, 220, 280, text);
    for (QLabel* l : {static_cast<QLabel*>(col.header), col.stemTenGod, col.stem, col.branch, col.branchTenGod,
                      col.sound[0], col.sound[1], col.sound[2]})
      HoldWholeLine(l);
    const ScorePeriod period = f.period;
    QObject::connect(col.header, &ClickLabel::clicked, col.header,
                     [openProsperity, period] { openProsperity(period); });
  }
  FitToParts();
}

std::array<ClickLabel*, 4> FlowPillarsView::headers() const {
  return {columns_[0].header, columns_[1].header, columns_[2].header, columns_[3].header};
}

void FlowPillarsView::DrawFlowPillars(const FlowState& flow, std::optional<Stem> dayMaster) {
  const std::array<Pillar, 4> pillars{flow.YearPillar(), flow.MonthPillar(), flow.DayPillar(), flow.HourPillar()};
  for (std::size_t i = 0; i < 4; ++i) {
    Column& col = columns_[i];
    const Pillar p = pillars[i];
    const PillarDrawing d = DrawPillar(p, dayMaster);
    ShowColoured(col.stem, d.stem);
    ShowColoured(col.branch, d.branch);
    if (dayMaster) {
      ShowColoured(col.stemTenGod, d.stemTenGod);
      ShowColoured(col.branchTenGod, d.hiddenTenGod[0]);
    } else {
      col.stemTenGod->clear();
      col.branchTenGod->clear();
    }
    if (!p.valid()) continue;
    const SoundElement s = SoundElementOf(p);
    const std::uint32_t colour = Element{s.SoundElementIndex}.colour();
    const std::array<std::string_view, 3> chars{s.SoundChar1, s.SoundChar2, s.SoundChar3};
    for (int k = 0; k < 3; ++k) ShowColoured(col.sound[k], {chars[k], colour});
  }
}

}  // namespace qelm::ui
