// The persons whose birth hour is not known (時辰不詳), kept beside the person
// file as `User.hours`: the person file keeps its seven fields, so a reader
// that knows nothing of the mark reads it as before. UTF-8, one line a
// marked person: the person's seven fields, TAB-separated, as in `User`.
#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "records/person_file.hpp"

namespace qelm::records {

// "…/User" -> "…/User.hours".
std::filesystem::path HourMarkFilePath(const std::filesystem::path& personFile);

// The marked persons of the file; none when it is missing. Lines that are
// not seven fields are passed over.
std::set<Fields> ReadHourMarks(const std::filesystem::path& file);
// Replaces the file by the marks (an empty set removes it); 0, or the errno
// of the step that failed.
int WriteHourMarks(const std::filesystem::path& file, const std::set<Fields>& marks);

}  // namespace qelm::records
