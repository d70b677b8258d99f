#include "ui/kit/relation_tree.hpp"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>

#include "ui/kit/colours.hpp"

namespace qelm::ui {

QTreeView* MakeRelationList(QWidget* parent, QStandardItemModel* model, const QString& name, const QFont& font,
                            const QString& accessibleName) {
  auto* list = new QTreeView(parent);
  list->setObjectName(name);
  list->setFont(font);
  list->setModel(model);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  list->setUniformRowHeights(true);
  list->setTextElideMode(Qt::ElideNone);
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list->header()->setStretchLastSection(false);
  list->setAccessibleName(accessibleName);
  return list;
}

QStandardItem* ReadOnlyItem(const QString& text) {
  auto* item = new QStandardItem(text);
  item->setEditable(false);
  return item;
}

void AddRelationSection(QStandardItemModel* model, const QString& heading, std::span<const RelationRow> rows) {
  QStandardItem* section = ReadOnlyItem(heading);
  QFont bold = section->font();
  bold.setBold(true);
  section->setFont(bold);
  model->appendRow({section, ReadOnlyItem({})});
  if (rows.empty()) section->appendRow({ReadOnlyItem(QStringLiteral("（無）")), ReadOnlyItem({})});
  QStandardItem* group = nullptr;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Relation& r = *rows[i].relation;
    if (i == 0 || rows[i - 1].relation->kind != r.kind) {
      group = ReadOnlyItem(QString::fromStdString(std::string(RelationKindName(r.kind))));
      section->appendRow({group, ReadOnlyItem({})});
    }
    QStandardItem* name = ReadOnlyItem(QString::fromStdString(RelationName(r)));
    if (r.element.valid()) name->setForeground(Bgr(r.element.colour()));
    QStandardItem* places = ReadOnlyItem(QString::fromStdString(rows[i].places));
    // A screen reader reads the whole relation on its row.
    const QString line = QString::fromStdString(rows[i].line);
    name->setData(line, Qt::AccessibleTextRole);
    places->setData(line, Qt::AccessibleTextRole);
    group->appendRow({name, places});
  }
}

}  // namespace qelm::ui
