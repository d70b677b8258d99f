#include "records/person_store.hpp"

#include <sys/stat.h>

#include <chrono>
#include <utility>

#include "calendar/date_row.hpp"
#include "records/big5.hpp"
#include "records/file_io.hpp"

namespace qelm::records {

namespace {

// A field of decimal digits as a number; nothing for any other text.
std::optional<int> Number(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

// The fields name a real minute of the years the calendar covers.
bool RealMinute(FieldsView f) {
  const std::optional<FieldMinute> m = MinuteOfFields(f);
  if (!m) return false;
  const Date day{std::chrono::sys_days(std::chrono::year_month_day{
                                           std::chrono::year{m->year}, std::chrono::month(static_cast<unsigned>(m->month)),
                                           std::chrono::day(static_cast<unsigned>(m->day))})
                     .time_since_epoch()};
  return day >= DateRow::kFirstDate && day <= DateRow::kLastDate;
}

std::string MomentText(FieldsView f) {
  return std::string(f[kYear]) + "-" + std::string(f[kMonth]) + "-" + std::string(f[kDay]) + " " +
         std::string(f[kHour]) + ":" + std::string(f[kMinute]);
}

}  // namespace

std::string ShownField(std::string_view field) {
  constexpr std::size_t kShownBytes = 4 * kMaxNameLength;  // a long name, whole
  if (field.size() <= kShownBytes) return std::string(field);
  return std::string(FirstCharacters(field, kMaxNameLength)) + "…";
}

Fields ShownFields(const Fields& fields) {
  Fields shown;
  for (std::size_t i = 0; i < kFieldCount; ++i) shown[i] = ShownField(fields[i]);
  return shown;
}

bool SavedOrKept(const SaveResult& r) {
  return r || r.status == Status::kCannotWrite || r.status == Status::kBusy || r.status == Status::kCannotRead;
}

std::optional<Fields> EntryToOfferAgain(const std::vector<Edit>& dropped) {
  for (auto e = dropped.rbegin(); e != dropped.rend(); ++e)
    if (e->kind != Edit::Kind::kRemove) return e->after;
  return std::nullopt;
}

std::optional<FieldMinute> MinuteOfFields(FieldsView f) {
  const auto y = Number(f[kYear]), m = Number(f[kMonth]), d = Number(f[kDay]), h = Number(f[kHour]),
             mi = Number(f[kMinute]);
  if (!y || !m || !d || !h || !mi || *m < 1 || *m > 12 || *d < 1 || *h > 23 || *mi > 59) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{*y}, std::chrono::month(static_cast<unsigned>(*m)),
                                         std::chrono::day(static_cast<unsigned>(*d))};
  if (!date.ok()) return std::nullopt;
  return FieldMinute{*y, *m, *d, *h, *mi};
}

std::optional<std::string> RecordProblem(const PersonRecord& r) {
  if (!r.source) return std::nullopt;
  if (!r.source->valid_big5) return "不是有效的 Big5 文字";
  if (r.source->field_count < kFieldCount)
    return "有 " + std::to_string(r.source->field_count) + " 欄，應為 " + std::to_string(kFieldCount) + " 欄";
  if (r.source->overlong) return "欄位超過 " + std::to_string(kMaxNameLength) + " 個字";
  if (!RealMinute(r.fields)) return "出生時刻「" + MomentText(r.fields) + "」無效";
  return std::nullopt;
}

std::optional<std::string> EntryProblem(const Fields& f) {
  if (f[kName].empty()) return "請輸入姓名";
  if (f[kYear] == "0" || f[kMonth] == "0" || f[kDay] == "0") return "出生日期不完整，請選擇年、月、日、時";
  if (!RealMinute(f)) return "出生時刻「" + MomentText(f) + "」無效";
  return std::nullopt;
}

std::string DamagedRecordsText(const PersonList& list) {
  constexpr std::size_t kNamed = 3;
  std::size_t count = 0;
  std::string named;
  for (const PersonRecord& r : list.rows) {
    const std::optional<std::string> problem = RecordProblem(r);
    if (!problem) continue;
    if (++count <= kNamed) named += (count > 1 ? "；第 " : "第 ") + std::to_string(r.source->line) + " 行" + *problem;
  }
  if (count == 0) return {};
  return "清單有 " + std::to_string(count) + " 行無法排盤，已原樣保留（" + named + (count > kNamed ? "；……" : "") +
         "）";
}

namespace {
std::int64_t Nanoseconds(const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }
std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}
}  // namespace

FileStamp StampOf(const std::filesystem::path& file) {
  FileStamp s;
  s.takenAt = Now();
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return s;
  s.exists = true;
  s.size = static_cast<std::uintmax_t>(st.st_size);
  s.inode = static_cast<std::uintmax_t>(st.st_ino);
  s.modified = Nanoseconds(st.st_mtim);
  s.changed = Nanoseconds(st.st_ctim);
  return s;
}

bool FileStamp::Trusted() const {
  // File times advance in the file system's coarse ticks (a few
  // milliseconds): a change made just after the stamp could carry the same
  // time, unless the times lie well before it.
  constexpr std::int64_t kTick = 100'000'000;
  return !exists || (modified < takenAt - kTick && changed < takenAt - kTick);
}

bool FileStamp::Same(const FileStamp& later) const {
  return Trusted() && exists == later.exists && size == later.size && inode == later.inode &&
         modified == later.modified && changed == later.changed;
}

PersonStore::~PersonStore() { Wait(); }

void PersonStore::RunInBackground(std::function<SaveResult(PersonStore&)> command, std::function<void()> done) {
  Wait();
  pending_ = std::async(std::launch::async, [this, command = std::move(command), done = std::move(done)] {
    worker_ = std::this_thread::get_id();
    SaveResult r = command(*this);
    worker_ = std::thread::id{};
    if (done) done();
    return r;
  });
}

void PersonStore::Wait() const {
  // The command itself reads and writes the store as it likes (and must not
  // look at `pending_`, which is being set while it starts).
  if (worker_.load() == std::this_thread::get_id() || !pending_.valid()) return;
  finished_ = pending_.get();
}

std::optional<SaveResult> PersonStore::Settle() {
  Wait();
  return std::exchange(finished_, std::nullopt);
}

void PersonStore::Stamp(bool byContent) {
  personStamp_ = StampOf(path_);
  placeStamp_ = StampOf(PlaceFilePath(path_));
  byContent_ = byContent;
}

namespace {
// Whether a file is as it was: by its stamp, or, when the stamp cannot
// tell (taken within a tick of the file's last change), by its content.
bool Unchanged(const std::filesystem::path& file, const FileStamp& stamp, const DiskState& disk, bool byContent) {
  const FileStamp now = StampOf(file);
  if (!byContent && stamp.Same(now)) return true;
  if (now.exists != stamp.exists || now.size != stamp.size || now.inode != stamp.inode) return false;
  if (!now.exists) return !disk.exists;
  const io::FileContent content = io::ReadWhole(file, kMaxFileBytes);
  return content.exists && content.complete && content.error == 0 && DiskStateOf(content.bytes) == disk;
}
}  // namespace

bool PersonStore::FilesUnchanged() const {
  return Unchanged(path_, personStamp_, list_.disk, byContent_) &&
         Unchanged(PlaceFilePath(path_), placeStamp_, places_.disk, byContent_);
}

void PersonStore::ReadFiles() {
  // Stamped first: a change made while the files are read shows at the next
  // opening.
  Stamp(false);
  const LoadResult places = LoadPlaceFile(PlaceFilePath(path_), places_);
  LoadResult loaded = LoadPersonList(path_);
  list_ = std::move(loaded.list);
  opened_ = true;
  readMessage_ = loaded.message;
  if (!places.message.empty()) readMessage_ += (readMessage_.empty() ? "" : "；") + places.message;
  // A file that could not be read whole is read again at every opening.
  readWhole_ = loaded.status == Status::kOk && places.status == Status::kOk && !list_.truncated && !places_.truncated;
  readUnsaid_ = true;
  problemsText_.reset();
}

PersonStore::Opened PersonStore::Open() {
  Wait();
  Opened o;
  if (opened_ && hasUnsaved()) {
    // Edits that could not be written before: onto what the files hold now.
    o.retried = true;
    o.saved = Save();
    o.message = o.saved.message;
    if (!o.saved) o.message += "；尚未存檔的修改仍只保存在記憶體中";
  } else {
    // Read afresh, unless the files are still as this store read or wrote
    // them: then what it holds is what they hold. What the read said (that
    // the file was created) is said once.
    if (!opened_ || !readWhole_ || !FilesUnchanged()) ReadFiles();
    if (std::exchange(readUnsaid_, false)) o.message = readMessage_;
  }
  if (!problemsText_) {
    problemsText_.emplace();
    for (const std::string& more : {UnreadablePlacesText(places_), DamagedRecordsText(list_)})
      if (!more.empty()) *problemsText_ += (problemsText_->empty() ? "" : "；") + more;
  }
  if (!problemsText_->empty()) o.message += (o.message.empty() ? "" : "；") + *problemsText_;
  return o;
}

SaveResult PersonStore::Save(const std::optional<Edit>& edit, const std::optional<PlaceEntry>& place) {
  Wait();
  SaveResult r = SavePersonAndPlace(path_, list_, places_, edit, place);
  // The save may or may not have read or written the files, and another copy
  // may write them at any moment: from now on they are known unchanged only
  // by their content, compared with what the list was read from or wrote.
  Stamp(true);
  problemsText_.reset();
  return r;
}

SaveResult PersonStore::Append(const Fields& after, const std::optional<PlaceEntry>& place) {
  Wait();
  if (const auto problem = EntryProblem(after)) return {Status::kIncomplete, *problem};
  return Save(Edit::Append(after), place);
}

SaveResult PersonStore::Modify(std::size_t index, const Fields& after, const std::optional<PlaceEntry>& place) {
  Wait();
  if (index >= list_.rows.size()) return {Status::kIncomplete, "請先在清單中點選要修改的資料"};
  const PersonRecord& before = list_.rows[index];
  // A damaged row left as it is (its place changed, say) stays byte for byte.
  if (!(before.fields == after)) {
    if (const auto problem = EntryProblem(after)) return {Status::kIncomplete, *problem};
  }
  return Save(Edit::Modify(index, before, after), place);
}

SaveResult PersonStore::Remove(std::size_t index) {
  Wait();
  if (index >= list_.rows.size()) return {Status::kIncomplete, "請先在清單中點選要刪除的資料"};
  PersonRecord removed = list_.rows[index];
  std::optional<PlaceEntry> place = placeOf(removed.fields);
  const std::string name(removed.fields[kName]);
  SaveResult r = Save(Edit::Remove(index, removed));
  if (SavedOrKept(r)) removed_ = Removed{Edit::Restore(index, std::move(removed)), std::move(place)};
  if (r && r.message.empty()) r.message = "已刪除「" + name + "」；按「復原刪除」或 Ctrl+Z 可復原";
  return r;
}

SaveResult PersonStore::UndoRemove() {
  Wait();
  if (!removed_) return {Status::kIncomplete, "沒有可復原的刪除"};
  const std::string name(removed_->edit.before.fields[kName]);
  SaveResult r = Save(removed_->edit, removed_->place);
  if (SavedOrKept(r)) removed_.reset();
  if (r && r.message.empty()) r.message = "已復原「" + name + "」";
  return r;
}

std::optional<std::string> PersonStore::NoteOn(std::size_t record) const {
  Wait();
  if (record >= list_.rows.size()) return std::nullopt;
  const PersonRecord& row = list_.rows[record];
  if (const auto problem = RecordProblem(row))
    return "清單第 " + std::to_string(row.source->line) + " 行無法排盤：" + *problem;
  if (const PlaceLine* line = UnreadablePlaceOf(places_, row.fields))
    return "此人的出生地無法讀取（出生地檔案第 " + std::to_string(line->line()) + " 行" + line->problem() +
           "），已原樣保留；請重新選擇出生地";
  return std::nullopt;
}

std::optional<std::string> PersonStore::CastRefusal(std::optional<std::size_t> shown, bool birthChosen,
                                                    bool placeEntered) const {
  Wait();
  const PersonRecord* row = shown && *shown < list_.rows.size() ? &list_.rows[*shown] : nullptr;
  if (!birthChosen) {
    if (const auto problem = row ? RecordProblem(*row) : std::nullopt)
      return "無法排盤：清單第 " + std::to_string(row->source->line) + " 行" + *problem;
    return "請先選擇出生的年、月、日、時";
  }
  if (row && !placeEntered && UnreadablePlaceOf(places_, row->fields))
    return "此人的出生地無法讀取，不以時鐘時間排盤；請重新選擇出生地";
  return std::nullopt;
}

SaveResult PersonStore::SaveAs(const std::filesystem::path& target) const {
  Wait();
  return SavePersonAndPlaceAs(target, list_, places_);
}

}  // namespace qelm::records
