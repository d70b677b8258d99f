// The relations of 刑沖合會 as the windows list them: a section heading, one
// heading per kind, and the relations of that kind under it (name, places).
#pragma once

#include <QString>
#include <span>
#include <string>

#include "analysis/relations.hpp"

class QFont;
class QStandardItem;
class QStandardItemModel;
class QTreeView;
class QWidget;

namespace qelm::ui {

// The list the sections go into, over `model`: whole rows chosen, no
// editing, every text whole (the columns take their longest text and the
// list scrolls sideways when they need more room than it has).
QTreeView* MakeRelationList(QWidget* parent, QStandardItemModel* model, const QString& name, const QFont& font,
                            const QString& accessibleName);

// A cell no one edits.
QStandardItem* ReadOnlyItem(const QString& text);

// One relation as its row shows it: the positions it joins and the whole
// line a screen reader reads.
struct RelationRow {
  const Relation* relation;
  std::string places, line;
};

// Appends a section: its heading in bold, then the rows grouped by kind
// (they come grouped), or "（無）" when there are none.
void AddRelationSection(QStandardItemModel* model, const QString& heading, std::span<const RelationRow> rows);

}  // namespace qelm::ui
