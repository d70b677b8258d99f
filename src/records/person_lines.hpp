// The lines of the person file: a line read into its record, a record
// written back as its line, and the records of a content taken whole or in
// pieces. Shared by the file's reading, writing and saving.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "records/big5.hpp"
#include "records/person_file.hpp"

namespace qelm::records {

// The line as its fields and tail write it: name TAB sex TAB year TAB month
// TAB day TAB hour TAB minute, then the tail. False when a field cannot be
// written (no Big5 for a character, or a TAB, CR or LF in it).
bool AppendLine(Big5Codec& codec, const RecordFields& f, std::string& out);

// The records of a content read line by line, whole or in pieces.
class PersonLines {
 public:
  // Room for every record at once (lines counted by their LF): growing the
  // list step by step would hold the old and the new room together.
  explicit PersonLines(std::size_t lineFeeds) { list_.rows.reserve(std::min(lineFeeds + 1, kMaxRecords)); }

  // Takes the lines that end in `content` (at its end: all, but a line cut
  // off when the content is not complete); returns how much it took.
  std::size_t Take(std::string_view content, bool atEnd, bool complete);

  PersonList Finish(bool complete, const DiskState& disk) {
    if (!complete) list_.truncated = true;
    list_.disk = disk;
    return std::move(list_);
  }

 private:
  PersonList list_;
  Big5Codec codec_;
  std::size_t lineNumber_ = 0;
};

// The content of the list, line by line to `put`: untouched records as
// they were read, the others from their fields, CR LF after every line.
// False when a line cannot be written.
template <class Put>
bool PutContent(const PersonList& list, Put put) {
  Big5Codec codec;
  std::string line;
  for (const PersonRecord& row : list.rows) {
    line.clear();
    if (row.source && !row.fields.kept().empty()) line += row.fields.kept();
    else if (!AppendLine(codec, row.fields, line)) return false;
    line += row.source && !row.source->line_end.empty() ? std::string_view(row.source->line_end)
                                                         : std::string_view("\r\n");
    put(std::string_view(line));
  }
  return true;
}

}  // namespace qelm::records
