// The persons of the person file as the rows of the person window's list:
// name, sex and the five numbers of the birth moment, one column each; all
// of them, or those a search finds.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <optional>
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

  // While the list is being written in the background the model does not
  // read it: rows `first` to `last` (those a view can reach meanwhile) are
  // shown from a copy, rows further off are blank, and a search waits. Until
  // thaw(), which is followed by reload().
  void freeze(int first, int last);
  void thaw() { frozen_.reset(); }
  bool frozen() const { return frozen_.has_value(); }

  // Shows only the persons whose name holds `text` (letters in any case) or
  // whose birth year begins with it; empty shows everyone.
  void setSearch(const QString& text);
  bool searching() const { return !search_.isEmpty(); }
  std::size_t total() const { return count_; }

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
  bool YearMatches(std::size_t record) const;
  QString Text(std::size_t record, int column) const;
  bool MakeSearchTexts(std::size_t rows);

 public:
  // Makes the texts a search goes through for the next `rows` records, so
  // that the first keystroke need not make them all; true while more are
  // left. Not while frozen.
  bool prepareSearch(std::size_t rows) { return MakeSearchTexts(rows); }

 private:
  void Find();    // among all records
  void Narrow();  // among those found, for a search that grew

  const records::PersonList& list_;
  std::size_t count_ = 0;  // records in the list when last reloaded
  QString search_;
  // The names (case-folded) and years of every record as the search
  // compares them, joined, each ended by a line feed; where each begins
  // (and, last, the end).
  QString names_, years_;
  // Made a part at a time while the window is idle after a reload, and
  // whatever is left at the first search: a list that is only shown does
  // not wait for them.
  std::vector<qsizetype> nameStarts_{0}, yearStarts_{0};
  struct Frozen {
    int first = 0;
    std::vector<std::array<QString, records::kFieldCount>> rows;
  };
  std::optional<Frozen> frozen_;
  std::vector<std::size_t> found_;      // the records the search finds, in list order
  // The searches a longer text narrowed, with what they found, shortest
  // first: a key taken back returns to them.
  struct Narrowed {
    QString search;
    std::vector<std::size_t> found;
  };
  std::vector<Narrowed> narrowed_;
};

}  // namespace qelm::ui
