// The persons of the person file as the rows of the person window's list:
// name, sex and the five numbers of the birth moment, one column each.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <vector>

#include "records/person_file.hpp"

namespace qelm::ui {

class PersonListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Shows `list`, which the caller keeps; call reload() after changing it.
  PersonListModel(const records::PersonList& list, QObject* parent);

  // The list changed: every row is shown afresh.
  void reload();

  // The record of the list a row shows.
  std::size_t recordOf(int row) const { return static_cast<std::size_t>(row); }
  // The row that shows a record (-1: none).
  int rowOf(std::size_t record) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Headings and widths (twips) of the columns.
  struct Column {
    const char* heading;
    int width;
  };
  static const std::array<Column, records::kFieldCount> kColumns;

 private:
  const records::PersonList& list_;
};

}  // namespace qelm::ui
