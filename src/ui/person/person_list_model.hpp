// The persons of the person file as the rows of the person window's list:
// name, sex and the five numbers of the birth moment, one column each; all
// of them, or those a search finds.
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

  // The list changed: every row is shown afresh (those the search finds).
  void reload();

  // Shows only the persons whose name holds `text` (letters in any case) or
  // whose birth year begins with it; empty shows everyone.
  void setSearch(const QString& text);
  bool searching() const { return !search_.isEmpty(); }
  std::size_t total() const { return list_.rows.size(); }

  // The record of the list a row shows.
  std::size_t recordOf(int row) const {
    return searching() ? found_[static_cast<std::size_t>(row)] : static_cast<std::size_t>(row);
  }
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
  bool Matches(std::size_t record) const;
  void Find();    // among all records
  void Narrow();  // among those found, for a search that grew

  const records::PersonList& list_;
  QString search_;
  // The names (case-folded) and years of every record as the search
  // compares them, joined, each ended by a line feed; where each begins
  // (and, last, the end).
  QString names_, years_;
  std::vector<qsizetype> nameStarts_{0}, yearStarts_{0};
  std::vector<std::size_t> found_;      // the records the search finds, in list order
};

}  // namespace qelm::ui
