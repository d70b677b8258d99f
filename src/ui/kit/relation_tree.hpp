// The relations of 刑沖合會 as the windows list them: a section heading, one
// heading per kind, and the relations of that kind under it (name, places).
#pragma once

#include <QString>
#include <span>
#include <string>

#include "analysis/relations.hpp"

class QStandardItem;
class QStandardItemModel;

namespace qelm::ui {

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
