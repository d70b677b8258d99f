// The read–compare–merge of a save, one step for the person file and its
// companion alike: under the folder lock the file is read whole; when it is
// no longer what the document was read from (another copy of the program
// saved meanwhile), the document to write is the file's present content with
// the document's unsaved changes applied again, those that still fit; the
// others are handed back.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/file_io.hpp"
#include "records/person_file.hpp"

namespace qelm::records {

template <class Doc, class Change>
struct Merged {
  SaveResult result;     // kCannotRead, kTooLarge: nothing to write
  Doc work;              // the document to write
  bool existed = false;  // the file was there
  DiskState disk;        // what it holds now
  bool changed = false;  // it is not what the document was read from
  std::vector<Change> dropped;  // unsaved changes that no longer fit it
};

// `doc` has `disk` (what it was read from) and `unsaved`; `parse(content)`
// reads a file's content, `apply(doc, change)` applies a change and says
// whether it fit. `what` names the file for the user ("檔案", "出生地檔案").
// The unchanged document is moved into the result when `take` is set, else
// copied. Whether the file changed is told by its size and hash, read in
// pieces; only a changed file is read whole.
template <class Doc, class Change, class Parse, class Apply>
Merged<Doc, Change> ReadAndMerge(const std::filesystem::path& target, Doc& doc, bool take, std::string_view what,
                                 Parse parse, Apply apply) {
  Merged<Doc, Change> m;
  const std::string tooLarge = std::string(what) + "已被另一個程式變更且過大，不予存檔";
  const auto failed = [&](const io::FileContent& f) {
    if (f.error != 0) {
      m.result = {Status::kCannotRead,
                  "無法讀取" + std::string(what) + " " + io::PathText(target) + io::Reason(f.error), f.error};
      return true;
    }
    if (!f.complete) {
      m.result = {Status::kTooLarge, tooLarge};
      return true;
    }
    return false;
  };
  DiskStateHasher hasher;
  const io::FileContent hashed =
      io::ReadInPieces(target, kMaxFileBytes, [&hasher](std::string_view piece) { hasher.add(piece); });
  if (failed(hashed)) return m;
  m.existed = hashed.exists;
  m.disk = m.existed ? hasher.state() : DiskState{};
  m.changed = m.disk != doc.disk;
  if (!m.changed) {
    m.work = take ? std::move(doc) : doc;
    return m;
  }
  // Changed by another copy: read whole (under the lock it stays as it is).
  io::FileContent now = io::ReadWhole(target, kMaxFileBytes);
  if (failed(now)) return m;
  m.existed = now.exists;
  m.disk = m.existed ? DiskStateOf(now.bytes) : DiskState{};
  m.work = parse(now.bytes);
  now = {};
  m.work.disk = m.disk;
  if (m.work.truncated) {
    m.result = {Status::kTooLarge, tooLarge};
    return m;
  }
  for (const Change& c : doc.unsaved) {
    if (apply(m.work, c)) {
      m.work.unsaved.push_back(c);
    } else {
      m.dropped.push_back(c);
    }
  }
  return m;
}

}  // namespace qelm::records
