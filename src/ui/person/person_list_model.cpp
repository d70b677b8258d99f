#include "ui/person/person_list_model.hpp"

#include <algorithm>

#include "records/person_store.hpp"
#include "ui/kit/fonts.hpp"


namespace qelm::ui {

// All columns but the name are centred.
const std::array<PersonListModel::Column, records::kFieldCount> PersonListModel::kColumns{{
    {"姓名", 1500},
    {"性別", 650},
    {"西元", 720},
    {"月", 500},
    {"日", 500},
    {"時", 500},
    {"分", 500},
}};

namespace {
// A field as the list shows it: a text longer than any name (a damaged
// line's) by its start.
QString Shown(const std::string& field) { return Q(records::ShownField(field)); }

// As a number, which every view reads.
QVariant Alignment(int column) {
  return static_cast<int>(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
}
}  // namespace

PersonListModel::PersonListModel(const records::PersonList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

void PersonListModel::reload() {
  beginResetModel();
  names_.clear();
  years_.clear();
  names_.reserve(list_.rows.size());
  years_.reserve(list_.rows.size());
  for (const records::PersonRecord& row : list_.rows) {
    names_.push_back(Shown(row.fields[records::kName]).toCaseFolded());
    years_.push_back(Shown(row.fields[records::kYear]).trimmed());
  }
  Find();
  endResetModel();
}

void PersonListModel::setSearch(const QString& text) {
  const QString wanted = text.trimmed().toCaseFolded();
  if (wanted == search_) return;
  beginResetModel();
  search_ = wanted;
  Find();
  endResetModel();
}

void PersonListModel::Find() {
  found_.clear();
  if (!searching()) return;
  for (std::size_t record = 0; record < names_.size(); ++record)
    if (names_[record].contains(search_) || years_[record].startsWith(search_))
      found_.push_back(record);
}

int PersonListModel::rowOf(std::size_t record) const {
  if (record >= list_.rows.size()) return -1;
  if (!searching()) return static_cast<int>(record);
  const auto at = std::lower_bound(found_.begin(), found_.end(), record);
  return at != found_.end() && *at == record ? static_cast<int>(at - found_.begin()) : -1;
}

int PersonListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(searching() ? found_.size() : list_.rows.size());
}

int PersonListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kColumns.size());
}

QVariant PersonListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole)
    return Shown(list_.rows[recordOf(index.row())].fields[static_cast<std::size_t>(index.column())]);
  if (role == Qt::TextAlignmentRole) return Alignment(index.column());
  return {};
}

QVariant PersonListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(kColumns[static_cast<std::size_t>(section)].heading);
  if (role == Qt::TextAlignmentRole) return Alignment(section);
  return {};
}

}  // namespace qelm::ui
