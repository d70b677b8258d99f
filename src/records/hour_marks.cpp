#include "records/hour_marks.hpp"

#include <cerrno>
#include <string_view>

#include "records/file_io.hpp"

namespace qelm::records {

namespace {
constexpr std::size_t kMaxMarkBytes = std::size_t{32} << 20;
}

std::filesystem::path HourMarkFilePath(const std::filesystem::path& personFile) {
  std::filesystem::path p = personFile;
  p += ".hours";
  return p;
}

std::set<Fields> ReadHourMarks(const std::filesystem::path& file) {
  std::set<Fields> marks;
  const io::FileContent content = io::ReadWhole(file, kMaxMarkBytes);
  std::string_view rest = content.bytes;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Fields f;
    std::size_t count = 0;
    for (std::size_t from = 0;; ++count) {
      const std::size_t tab = line.find('\t', from);
      if (count < f.size()) f[count] = std::string(line.substr(from, tab == std::string_view::npos ? tab : tab - from));
      if (tab == std::string_view::npos) break;
      from = tab + 1;
    }
    if (count + 1 == kFieldCount) marks.insert(std::move(f));
  }
  return marks;
}

int WriteHourMarks(const std::filesystem::path& file, const std::set<Fields>& marks) {
  if (marks.empty()) {
    std::error_code e;
    std::filesystem::remove(file, e);
    return e ? e.value() : 0;
  }
  std::string content;
  for (const Fields& f : marks) {
    for (std::size_t i = 0; i < f.size(); ++i) {
      if (i > 0) content += '\t';
      content += f[i];
    }
    content += '\n';
  }
  return io::WriteReplacing(file, content);
}

}  // namespace qelm::records
