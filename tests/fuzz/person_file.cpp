// libFuzzer target: arbitrary bytes as the content of the person file.
//
// Whatever the bytes, loading must not fail, and what is loaded must survive
// a save and a second load: the same rows, and the same bytes when saved
// again. Saving an unedited list only drops blank lines and adds a missing
// last line end, so it never grows by more than one CR LF; fields beyond the
// seventh stay with their person.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/person_file.hpp"

namespace {

using namespace qelm::records;

void Require(bool ok) {
  if (!ok) __builtin_trap();
}

// Saves and reloads the list; returns the reloaded list.
PersonList RoundTrip(const PersonList& list) {
  const std::optional<std::string> saved = SerializePersonFile(list);
  Require(saved.has_value());
  PersonList again = ParsePersonFile(*saved);
  Require(!again.truncated || list.truncated);
  Require(again.rows.size() == list.rows.size());
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    Require(again.rows[i].fields == list.rows[i].fields.value());
    Require(again.rows[i].source.has_value());
    Require(again.rows[i].fields.tail() == list.rows[i].fields.tail());
  }
  Require(SerializePersonFile(again) == saved);
  return again;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  PersonList list = ParsePersonFile(content);
  Require(list.rows.size() <= kMaxRecords);
  const std::optional<std::string> saved = SerializePersonFile(list);
  Require(saved.has_value() && saved->size() <= content.size() + 2);
  if (!list.truncated) {
    // Untouched rows are written back as they were read.
    PersonList again = RoundTrip(list);
    for (std::size_t i = 0; i < list.rows.size(); ++i)
      Require(again.rows[i].fields == list.rows[i].fields);
  }

  // Edits on top of what was loaded.
  if (list.rows.size() > 1) {
    const Fields changed{"陳美玲", "女", "1980", "2", "29", "23", "59"};
    Require(static_cast<bool>(ApplyEdit(list, Edit::Modify(0, list.rows[0], changed))));
    const std::size_t mid = list.rows.size() / 2;
    Require(static_cast<bool>(ApplyEdit(list, Edit::Remove(mid, list.rows[mid]))));
  }
  const Fields added{"張三", "男", "1975", "8", "21", "14", "5"};
  Require(static_cast<bool>(ApplyEdit(list, Edit::Append(added))));
  list.truncated = false;
  PersonList again = RoundTrip(list);
  Require(again.rows.back().fields == added);
  return 0;
}
