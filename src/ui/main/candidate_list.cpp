#include "ui/main/candidate_list.hpp"

#include "ui/kit/fonts.hpp"

namespace qelm::ui {

CandidateList::CandidateList(QWidget* parent) : QListView(parent), model_(this) {
  setObjectName(QStringLiteral("candidateList"));
  setAccessibleName(QStringLiteral("候選時辰"));
  setModel(&model_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setFont(Font(kSansFace, 9));
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& i) {
    if (!filling_ && i.isValid()) emit candidateChosen(i.row());
  });
  hide();
}

QString CandidateList::RowText(const CandidateStretch& s) {
  const auto clock = [](Moment t) { return QString::fromStdString(UserMomentText(t).substr(11)); };
  QString text = clock(s.first) + QStringLiteral("–") + clock(s.last) + QStringLiteral("  ");
  if (!s.pillars) return text + QStringLiteral("(此段時刻不存在)");
  for (const Pillar p : {s.pillars->year, s.pillars->month, s.pillars->day, s.pillars->hour})
    text += QString::fromStdString(p.name()) + QLatin1Char(' ');
  return text.trimmed();
}

void CandidateList::ShowStretches(const std::vector<CandidateStretch>& stretches, int current) {
  filling_ = true;
  QStringList rows;
  for (const CandidateStretch& s : stretches) rows << RowText(s);
  if (model_.stringList() != rows) model_.setStringList(rows);
  if (current >= 0) setCurrentIndex(model_.index(current));
  filling_ = false;
  setAccessibleDescription(QStringLiteral("時辰不詳，共 %1 個候選").arg(stretches.size()));
  show();
}

}  // namespace qelm::ui
