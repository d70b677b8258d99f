// libFuzzer target: arbitrary bytes as the content of the birthplace file
// `User.places`.
//
// Whatever the bytes: loading does not fail; an unedited book is written
// back byte for byte; every line is either read (an entry the writer can
// write and read back the same) or named with its problem (empty lines
// aside); and after changes the lines not changed are still there byte for
// byte, the changed entries read back as given.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/person_and_place.hpp"
#include "records/place_file.hpp"
#include "records/utf8.hpp"

namespace {

using namespace qelm::records;

void Require(bool ok) {
  if (!ok) __builtin_trap();
}

// The checker walks the bytes a sequence at a time, as the reader does.
void CheckUtf8Walk(std::string_view bytes) {
  std::size_t i = 0;
  bool valid = true;
  while (i < bytes.size()) {
    const Utf8Sequence q = NextUtf8Sequence(bytes.substr(i));
    Require(q.length >= 1 && q.length <= 4 && i + q.length <= bytes.size());
    valid = valid && q.valid;
    i += q.length;
  }
  Require(valid == IsValidUtf8(bytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  CheckUtf8Walk(content);
  PlaceBook book = ParsePlaceFile(content);
  Require(book.lines.size() <= kMaxRecords);
  if (book.truncated) return 0;
  Require(SerializePlaceFile(book) == content);

  bool named = false;
  std::vector<Fields> keys;
  for (const PlaceLine& line : book.lines) {
    Require(line.line() >= 1 && !line.text().empty());
    if (line.readable()) {
      Require(line.problem().empty() && line.entry() && !CheckPlaceEntry(*line.entry()));
      keys.push_back(line.keyFields());
      // Written again from its fields, the entry reads back the same.
      PlaceBook one;
      ApplyPlaceChange(one, {std::nullopt, line.keyFields(), *line.entry()});
      const auto text = SerializePlaceFile(one);
      Require(text.has_value());
      const PlaceBook again = ParsePlaceFile(*text);
      Require(again.lines.size() == 1 && again.lines[0].entry() == line.entry() && again.lines[0].key() == line.key());
    } else {
      const std::string_view body = line.text().substr(0, line.text().find('\n'));
      Require(line.problem().empty() == (body.empty() || body == "\r"));
      named = named || !line.problem().empty();
    }
  }
  Require(UnreadablePlacesText(book).empty() == !named);

  // Changes: one entry moved to a new key, one dropped, one added.
  std::vector<std::string> unreadable;
  for (const PlaceLine& line : book.lines)
    if (!line.readable()) unreadable.push_back(std::string(line.text()));
  const Fields added{"張三", "男", "1975", "8", "21", "14", "5"};
  const PlaceEntry place{"臺北", 121.5319, 25.0478, "Asia/Taipei", "solar", true};
  const Fields moved{"李四", "女", "2000", "2", "29", "23", "59"};
  if (keys.size() > 1) ApplyPlaceChange(book, {keys.back(), moved, place});
  if (!keys.empty()) ApplyPlaceChange(book, {keys.front(), std::nullopt, std::nullopt});
  ApplyPlaceChange(book, {std::nullopt, added, place});
  const auto saved = SerializePlaceFile(book);
  Require(saved.has_value());
  const PlaceBook again = ParsePlaceFile(*saved);
  const std::optional<PlaceEntry> found = FindPlaceEntry(again, added);
  Require(found && *found == place);
  if (!keys.empty() && keys.front() != added) Require(!FindPlaceEntry(again, keys.front()));
  std::size_t k = 0;
  for (const PlaceLine& line : again.lines) {
    if (line.readable()) continue;
    std::string bytes(line.text());
    // The last line, when it had no end, got one when a line followed it.
    Require(k < unreadable.size());
    const std::string& before = unreadable[k++];
    Require(bytes == before || bytes == before + "\n");
  }
  Require(k == unreadable.size());
  // Entries of persons who are not in the list leave it; the other lines stay.
  PlaceBook kept = again;
  DropPlacesWithoutPerson(kept, {PersonRecord{added, std::nullopt}});
  for (const PlaceLine& line : kept.lines) Require(!line.readable() || line.HasKey(added));
  Require(kept.lines.size() == unreadable.size() + 1);
  return 0;
}
