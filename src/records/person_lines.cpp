#include "records/person_lines.hpp"

namespace qelm::records {

namespace {

bool Ascii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The Big5 bytes of a field appended to `out`: ASCII as it is, the rest
// through the codec. False when a character has none.
bool AppendBig5(Big5Codec& codec, std::string_view field, std::string& out) {
  if (Ascii(field)) {
    out += field;
    return true;
  }
  EncodedText e = codec.Encode(field);
  if (!e.bytes) return false;
  out += *e.bytes;
  return true;
}

// The record of a line (without its line end), numbered `lineNumber`: its
// fields decoded, and its bytes kept when the fields would not write them
// back as they are.
PersonRecord ParseLine(Big5Codec& codec, std::string_view text, std::string_view lineEnd,
                       std::size_t lineNumber) {
  PersonRecord::Source src;
  src.line_end = lineEnd;
  src.line = static_cast<std::uint32_t>(lineNumber);
  std::array<std::string, kFieldCount> decoded;
  std::array<std::string_view, kFieldCount> fields;
  std::string_view tail;
  bool roundTrips = true;  // the fields write the line back as it is
  std::size_t start = 0;
  for (std::size_t n = 0;; ++n) {
    const std::size_t tab = text.find('\t', start);
    const std::size_t end = tab == std::string_view::npos ? text.size() : tab;
    if (n < kFieldCount) {
      // Kept whole, however long: the place of the person is found by it.
      const std::string_view bytes = text.substr(start, end - start);
      if (Ascii(bytes)) {
        fields[n] = bytes;
      } else {
        DecodedText d = codec.Decode(bytes);
        src.valid_big5 = src.valid_big5 && d.valid;
        if (roundTrips) {
          const EncodedText back = codec.Encode(d.text);
          roundTrips = d.valid && back.bytes && *back.bytes == bytes;
        }
        decoded[n] = std::move(d.text);
        fields[n] = decoded[n];
      }
      if (CharacterCount(fields[n]) > kMaxNameLength) src.overlong = true;
      if (n + 1 == kFieldCount) tail = text.substr(end);
    }
    src.field_count = static_cast<std::uint32_t>(n + 1);
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (src.field_count < kFieldCount) roundTrips = false;
  PersonRecord r{RecordFields(fields, tail, roundTrips ? std::string_view() : text), src};
  return r;
}

}  // namespace

// The line as its fields and tail write it: name TAB sex TAB year TAB month
// TAB day TAB hour TAB minute, then the tail. False when a field cannot be
// written (no Big5 for a character, or a TAB, CR or LF in it).
bool AppendLine(Big5Codec& codec, const RecordFields& f, std::string& out) {
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    if (i > 0) out += '\t';
    const std::size_t from = out.size();
    if (!AppendBig5(codec, f[i], out)) return false;
    if (out.find_first_of("\t\r\n", from) != std::string::npos) return false;
  }
  out += f.tail();
  return true;
}

std::size_t PersonLines::Take(std::string_view content, bool atEnd, bool complete) {
  std::size_t pos = 0;
  // A line ends at CR LF, or at a lone CR or LF.
  while (pos < content.size() && !list_.truncated) {
    std::size_t end = content.find_first_of("\r\n", pos);
    std::string_view lineEnd;
    if (end == std::string_view::npos) {
      if (!atEnd || !complete) break;  // cut off in the middle of a line
      end = content.size();
    } else if (content[end] == '\r' && end + 1 == content.size() && !atEnd) {
      break;  // a CR LF perhaps, cut between pieces
    } else if (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') {
      lineEnd = content.substr(end, 2);
    } else {
      lineEnd = content.substr(end, 1);
    }
    ++lineNumber_;
    const std::string_view text = content.substr(pos, end - pos);
    if (!text.empty()) {
      if (list_.rows.size() == kMaxRecords) {
        list_.truncated = true;
        break;
      }
      list_.rows.push_back(ParseLine(codec_, text, lineEnd, lineNumber_));
    }
    pos = end + lineEnd.size();
  }
  return list_.truncated ? content.size() : pos;  // beyond the most records: nothing more to keep
}

}  // namespace qelm::records
