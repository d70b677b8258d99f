// A person record: its texts packed in one block (see RecordFields), and
// the edits made of records.
#include <algorithm>
#include <cstring>
#include <utility>

#include "records/person_file.hpp"

namespace qelm::records {

RecordFields::RecordFields(const Fields& fields, std::string_view tail, std::string_view kept)
    : RecordFields(std::array<std::string_view, kFieldCount>{fields[0], fields[1], fields[2], fields[3], fields[4],
                                                             fields[5], fields[6]},
                   tail, kept) {}

RecordFields::RecordFields(const std::array<std::string_view, kFieldCount>& fields, std::string_view tail,
                           std::string_view kept) {
  std::array<std::string_view, kEnds> pieces;
  std::copy(fields.begin(), fields.end(), pieces.begin());
  pieces[kFieldCount] = tail;
  pieces[kFieldCount + 1] = kept;
  std::size_t size = 0;
  for (const std::string_view p : pieces) size += p.size();
  char* text = nullptr;
  if (size <= kInlineText) {
    text = reinterpret_cast<char*>(raw_.data() + 1 + kEnds);
  } else {
    char* block = new char[4 * kEnds + size];
    raw_[0] = 1;
    std::memcpy(raw_.data() + kBlockAt, &block, sizeof block);
    text = block + 4 * kEnds;
  }
  std::uint32_t at = 0;
  for (std::size_t i = 0; i < kEnds; ++i) {
    std::copy(pieces[i].begin(), pieces[i].end(), text + at);
    at += static_cast<std::uint32_t>(pieces[i].size());
    if (onHeap()) std::memcpy(const_cast<char*>(Block()) + 4 * i, &at, sizeof at);
    else raw_[1 + i] = static_cast<unsigned char>(at);
  }
}

RecordFields::~RecordFields() { Free(); }

void RecordFields::Free() {
  if (onHeap()) delete[] Block();
  raw_ = {};
}

RecordFields::RecordFields(const RecordFields& other) : raw_(other.raw_) {
  if (!onHeap()) return;
  const std::size_t bytes = 4 * kEnds + other.End(kEnds - 1);
  char* block = new char[bytes];
  std::memcpy(block, other.Block(), bytes);
  std::memcpy(raw_.data() + kBlockAt, &block, sizeof block);
}

RecordFields& RecordFields::operator=(const RecordFields& other) {
  if (this != &other) *this = RecordFields(other);
  return *this;
}

RecordFields& RecordFields::operator=(RecordFields&& other) noexcept {
  if (this != &other) {
    Free();
    raw_ = other.raw_;
    other.raw_ = {};
  }
  return *this;
}

Fields RecordFields::value() const {
  Fields f;
  for (std::size_t i = 0; i < kFieldCount; ++i) f[i] = std::string((*this)[i]);
  return f;
}

std::array<std::string_view, kFieldCount> RecordFields::views() const {
  std::array<std::string_view, kFieldCount> v;
  for (std::size_t i = 0; i < kFieldCount; ++i) v[i] = (*this)[i];
  return v;
}

bool operator==(const RecordFields& a, const RecordFields& b) {
  for (std::size_t i = 0; i < RecordFields::kEnds; ++i)
    if (a.End(i) != b.End(i)) return false;
  return std::equal(a.Text(), a.Text() + a.End(RecordFields::kEnds - 1), b.Text());
}

bool operator==(const RecordFields& a, const Fields& b) {
  for (std::size_t i = 0; i < kFieldCount; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

bool SameRow(const PersonRecord& a, const PersonRecord& b) {
  // Equal texts: a line read whose fields write it back keeps no bytes, so
  // equal fields and tails are equal lines.
  return a.fields == b.fields && a.source.has_value() == b.source.has_value();
}

Edit Edit::Append(Fields after) {
  Edit e;
  e.kind = Kind::kAppend;
  e.after = std::move(after);
  return e;
}

Edit Edit::Modify(std::size_t index, PersonRecord before, Fields after) {
  Edit e;
  e.kind = Kind::kModify;
  e.index = index;
  e.before = std::move(before);
  e.after = std::move(after);
  return e;
}

Edit Edit::Remove(std::size_t index, PersonRecord before) {
  Edit e;
  e.kind = Kind::kRemove;
  e.index = index;
  e.before = std::move(before);
  return e;
}

Edit Edit::Restore(std::size_t index, PersonRecord removed) {
  Edit e;
  e.kind = Kind::kRestore;
  e.index = index;
  e.after = removed.fields.value();
  e.before = std::move(removed);
  return e;
}

}  // namespace qelm::records
