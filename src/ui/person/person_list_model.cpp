#include "ui/person/person_list_model.hpp"

#include <algorithm>

#include "records/big5.hpp"
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
QString Shown(std::string_view field) { return Q(records::ShownField(field)); }
// Fields of at most this many bytes are shown whole.
constexpr std::size_t kPlainName = 4 * records::kMaxNameLength;

// As a number, which every view reads.
QVariant Alignment(int column) {
  return static_cast<int>(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
}
}  // namespace

PersonListModel::PersonListModel(const records::PersonList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

void PersonListModel::reload() {
  beginResetModel();
  frozen_.reset();
  count_ = list_.rows.size();
  narrowed_.clear();
  names_.clear();
  years_.clear();
  nameStarts_.assign(1, 0);
  yearStarts_.assign(1, 0);
  Find();
  endResetModel();
}

void PersonListModel::freeze(int first, int last) {
  Frozen f;
  f.first = std::max(first, 0);
  for (int row = f.first; row <= last && row < rowCount(); ++row) {
    auto& texts = f.rows.emplace_back();
    for (int column = 0; column < columnCount(); ++column) texts[static_cast<std::size_t>(column)] = Text(recordOf(row), column);
  }
  frozen_ = std::move(f);
}

QString PersonListModel::Text(std::size_t record, int column) const {
  return Shown(list_.rows[record].fields[static_cast<std::size_t>(column)]);
}

bool PersonListModel::MakeSearchTexts(std::size_t rows) {
  if (frozen_) return false;
  const std::size_t from = nameStarts_.size() - 1, to = std::min(count_, from + rows);
  if (from == 0) {
    // Room guessed from a short name and a year: growing step by step would
    // copy the texts again and again.
    nameStarts_.reserve(count_ + 1);
    yearStarts_.reserve(count_ + 1);
    names_.reserve(static_cast<qsizetype>(count_) * 6);
    years_.reserve(static_cast<qsizetype>(count_) * 5);
  }
  // Every name (case-folded) and year one after another, each ended by a
  // line feed, which no field holds: one text to search rather than a text
  // a record.
  for (std::size_t record = from; record < to; ++record) {
    const records::RecordFields& fields = list_.rows[record].fields;
    const std::string_view name = fields[records::kName];
    names_ += (name.size() <= kPlainName ? QString::fromUtf8(name) : Shown(name)).toCaseFolded();
    names_ += QLatin1Char('\n');
    nameStarts_.push_back(names_.size());
    years_ += QUtf8StringView(fields[records::kYear]).toString().trimmed();
    years_ += QLatin1Char('\n');
    yearStarts_.push_back(years_.size());
  }
  return to < count_;
}

void PersonListModel::setSearch(const QString& text) {
  const QString wanted = text.trimmed().toCaseFolded();
  if (wanted == search_) return;
  // A search that only grows (the next keystroke) finds among the rows
  // found so far: what holds the longer text holds the shorter one.
  const bool narrowing = searching() && wanted.startsWith(search_);
  beginResetModel();
  if (narrowing) {
    narrowed_.push_back({search_, found_});
  } else {
    // Taking keys back returns to what the shorter text found before.
    while (!narrowed_.empty() && narrowed_.back().search.size() > wanted.size()) narrowed_.pop_back();
    if (!narrowed_.empty() && narrowed_.back().search != wanted) narrowed_.clear();
  }
  const bool earlier = !narrowing && !narrowed_.empty();
  search_ = wanted;
  if (narrowing) {
    Narrow();
  } else if (earlier) {
    found_ = std::move(narrowed_.back().found);
    narrowed_.pop_back();
  } else {
    Find();
  }
  endResetModel();
}

namespace {
// The text of record `record` in a joined text, without its line feed.
QStringView Part(const QString& joined, const std::vector<qsizetype>& starts, std::size_t record) {
  return QStringView(joined).sliced(starts[record], starts[record + 1] - starts[record] - 1);
}
}  // namespace

// Whether the name holds the search or the year starts with it.
bool PersonListModel::Matches(std::size_t record) const {
  return Part(names_, nameStarts_, record).contains(search_) || YearMatches(record);
}

bool PersonListModel::YearMatches(std::size_t record) const {
  return years_[yearStarts_[record]] == search_.front() && Part(years_, yearStarts_, record).startsWith(search_);
}

void PersonListModel::Find() {
  found_.clear();
  if (!searching()) return;
  MakeSearchTexts(count_);
  // The joined names are searched as one text (no name holds a line feed,
  // so a hit lies within one name); the records passed over on the way are
  // tried by their year. Frozen while the list is written, the texts made so
  // far are searched.
  const QStringView names(names_);
  const std::size_t count = nameStarts_.size() - 1;
  std::size_t record = 0;
  for (qsizetype from = 0; record < count;) {
    const qsizetype at = names.indexOf(search_, from);
    const qsizetype end = at < 0 ? names.size() : at;
    for (; record < count && nameStarts_[record + 1] <= end; ++record)
      if (YearMatches(record)) found_.push_back(record);
    if (at < 0) break;
    found_.push_back(record);
    from = nameStarts_[++record];
  }
}

void PersonListModel::Narrow() {
  // Few rows left are tried one by one; many, by searching all names again.
  if (found_.size() > count_ / 16) return Find();
  std::erase_if(found_, [this](std::size_t record) { return !Matches(record); });
}

int PersonListModel::rowOf(std::size_t record) const {
  if (record >= count_) return -1;
  if (!searching()) return static_cast<int>(record);
  const auto at = std::lower_bound(found_.begin(), found_.end(), record);
  return at != found_.end() && *at == record ? static_cast<int>(at - found_.begin()) : -1;
}

int PersonListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(searching() ? found_.size() : count_);
}

int PersonListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kColumns.size());
}

QVariant PersonListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) {
    if (!frozen_) return Text(recordOf(index.row()), index.column());
    const auto at = static_cast<std::size_t>(index.row() - frozen_->first);
    return index.row() >= frozen_->first && at < frozen_->rows.size()
               ? frozen_->rows[at][static_cast<std::size_t>(index.column())]
               : QString();
  }
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
