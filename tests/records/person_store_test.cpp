#include "records/person_store.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "records/big5.hpp"
#include "records/file_io.hpp"

namespace qelm::records {
namespace {

namespace fs = std::filesystem;

struct Dir {
  Dir() {
    std::string t = (fs::temp_directory_path() / "qelm-store-XXXXXX").string();
    path = ::mkdtemp(t.data());
  }
  ~Dir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path user() const { return path / "User"; }
  fs::path places() const { return PlaceFilePath(user()); }
  std::size_t files() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), {})); }
  fs::path path;
};

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
void Write(const fs::path& p, std::string_view b) { std::ofstream(p, std::ios::binary) << b; }

Fields P(std::string name, std::string hour = "14") { return {std::move(name), "男", "1975", "7", "1", hour, "30"}; }
std::string UserLine(const Fields& f, std::string_view tail = {}) {
  std::string s;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (i > 0) s += '\t';
    s += EncodeBig5(f[i]).bytes.value();
  }
  return s + std::string(tail) + "\r\n";
}
std::string PlaceLineOf(const Fields& f, const PlaceEntry& e) {
  std::string s;
  for (const std::string& k : f) s += k + '\t';
  return s + e.name + "\t" + std::to_string(e.longitude) + "\t" + std::to_string(e.latitude) + "\t" + e.zone + "\t" +
         e.mode + "\n";
}

const PlaceEntry kTaipei{"臺北", 121.5, 25.0, "Asia/Taipei", "standard"};
const PlaceEntry kChengdu{"成都", 104.0, 30.5, "Asia/Shanghai", "solar"};

// Each person the pair shows, with its place.
using Shown = std::vector<std::pair<Fields, std::optional<PlaceEntry>>>;
Shown Show(const fs::path& user) {
  Shown s;
  PlaceBook book;
  LoadPlaceFile(PlaceFilePath(user), book);
  for (const PersonRecord& r : ReadPersonFile(user).list.rows) {
    const std::optional<PlaceEntry> e = FindPlaceEntry(book, r.fields);
    s.emplace_back(r.fields.value(), e ? std::optional(*e) : std::nullopt);
  }
  return s;
}

// A store holding 甲 of 成都 and 丙 of 臺北, saved as the pair at `from`.
void Fill(PersonStore& store) {
  store.Open();
  ASSERT_TRUE(store.Append(P("甲"), kChengdu));
  ASSERT_TRUE(store.Append(P("丙"), kTaipei));
}
// The target of 另存新檔: 甲 of 臺北, 乙 of 成都 and a damaged line.
void WriteTarget(const Dir& d) {
  Write(d.user(), UserLine(P("甲")) + UserLine(P("乙")) + "\xFF\xFE\r\n");
  Write(d.places(), PlaceLineOf(P("甲"), kTaipei) + PlaceLineOf(P("乙"), kChengdu));
}

int failAt = 0;
int FailAtStep(io::WriteStep, const fs::path&) { return --failAt == 0 ? EIO : 0; }
int killAt = 0;
int KillAtStep(io::WriteStep, const fs::path&) {
  if (--killAt == 0) ::raise(SIGKILL);
  return 0;
}

// 另存新檔 writes the pair as the list's own save does: a failure at any step
// leaves the target pair byte for byte as it was, and says so; otherwise the
// new pair is there. No temporary file stays.
TEST(PersonStore, SaveAsIsAllOrNothingAtEveryFailedStep) {
  Dir home;
  PersonStore store(home.user());
  Fill(store);
  const Shown wanted{{P("甲"), kChengdu}, {P("丙"), kTaipei}};
  int failures = 0;
  for (int n = 1; n <= 12; ++n) {
    SCOPED_TRACE("failing step " + std::to_string(n));
    Dir d;
    WriteTarget(d);
    const std::string oldUser = Read(d.user()), oldPlaces = Read(d.places());
    failAt = n;
    io::SetWriteStepHook(FailAtStep);
    const SaveResult r = store.SaveAs(d.user());
    io::SetWriteStepHook(nullptr);
    EXPECT_EQ(d.files(), 2u);
    if (r) {
      EXPECT_EQ(Show(d.user()), wanted);
      continue;
    }
    ++failures;
    EXPECT_EQ(Read(d.user()), oldUser);
    EXPECT_EQ(Read(d.places()), oldPlaces);
    EXPECT_NE(r.message.find("未變更"), std::string::npos) << r.message;
  }
  // Each file's flush and rename: the steps at which a save can fail.
  EXPECT_EQ(failures, 4);
}

// Killed at any step, each person of the target shows old or new, and the
// next 另存新檔 there removes what the killed one left.
TEST(PersonStore, SaveAsKilledAtAnyStepShowsEachPersonOldOrNew) {
  Dir home;
  PersonStore store(home.user());
  Fill(store);
  for (int n = 1;; ++n) {
    SCOPED_TRACE("killed at step " + std::to_string(n));
    Dir d;
    WriteTarget(d);
    const Shown before = Show(d.user());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      killAt = n;
      io::SetWriteStepHook(KillAtStep);
      ::_exit(store.SaveAs(d.user()) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const Shown now = Show(d.user());
    if (WIFEXITED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
      break;
    }
    const std::map<Fields, std::optional<PlaceEntry>> old(before.begin(), before.end());
    const std::map<Fields, std::optional<PlaceEntry>> fresh{{P("甲"), kChengdu}, {P("丙"), kTaipei}};
    for (const auto& [person, place] : now) {
      const bool wasOld = old.contains(person) && old.at(person) == place;
      const bool isNew = fresh.contains(person) && fresh.at(person) == place;
      EXPECT_TRUE(wasOld || isNew) << person[0];
    }
    ASSERT_TRUE(store.SaveAs(d.user()));
    EXPECT_EQ(d.files(), 2u) << "a temporary file stayed";
    ASSERT_LT(n, 20);
  }
}

// A deletion is taken back where it stood, byte for byte, with its place.
TEST(PersonStore, UndoPutsTheRemovedPersonBackWithItsPlace) {
  Dir d;
  const std::string odd = UserLine(P("乙"), "\t手寫的附註");
  Write(d.user(), UserLine(P("甲")) + odd + UserLine(P("丙")));
  Write(d.places(), PlaceLineOf(P("乙"), kChengdu));
  const std::string user = Read(d.user()), places = Read(d.places());
  PersonStore store(d.user());
  store.Open();
  EXPECT_FALSE(store.canUndo());
  EXPECT_EQ(store.UndoRemove().status, Status::kIncomplete);
  ASSERT_TRUE(store.Remove(1));
  EXPECT_EQ(Read(d.user()), UserLine(P("甲")) + UserLine(P("丙")));
  EXPECT_EQ(Read(d.places()), "");
  ASSERT_TRUE(store.canUndo());
  ASSERT_TRUE(store.UndoRemove());
  EXPECT_FALSE(store.canUndo());
  EXPECT_EQ(Read(d.user()), user);
  EXPECT_EQ(Show(d.user())[1], (std::pair{P("乙"), std::optional(kChengdu)}));
}

// What a line holds is kept: fields after the seventh through a change of
// the person, a name over 50 characters and its place through other saves.
TEST(PersonStore, NotesAndLongNamesStayWithTheirPerson) {
  Dir d;
  std::string longName;
  for (int i = 0; i < 51; ++i) longName += "陳";
  Write(d.user(), UserLine(P("甲"), "\tnote\t2") + UserLine(P(longName)));
  Write(d.places(), PlaceLineOf(P(longName), kTaipei));
  PersonStore store(d.user());
  store.Open();
  EXPECT_EQ(store.list().rows[1].fields[kName], longName);
  ASSERT_TRUE(store.Modify(0, P("乙"), std::nullopt));
  ASSERT_TRUE(store.Append(P("丙"), std::nullopt));
  EXPECT_EQ(Read(d.user()), UserLine(P("乙"), "\tnote\t2") + UserLine(P(longName)) + UserLine(P("丙")));
  EXPECT_EQ(Show(d.user())[1].second, kTaipei);
  EXPECT_EQ(ShownField(longName), longName) << "a long name is shown whole";
  EXPECT_EQ(ShownField(std::string(300, 'x')), std::string(50, 'x') + "…");
}

// Nothing incomplete is stored, and nothing empty over a person.
TEST(PersonStore, IncompleteEntriesAreRefused) {
  Dir d;
  Write(d.user(), UserLine(P("甲")));
  PersonStore store(d.user());
  store.Open();
  struct Case {
    Fields entry;
    const char* said;
  };
  const Case cases[] = {
      {{"", "男", "1975", "7", "1", "14", "30"}, "請輸入姓名"},
      {{"乙", "男", "0", "0", "0", "0", "0"}, "出生日期不完整"},
      {{"乙", "男", "1980", "2", "30", "1", "1"}, "無效"},
      {{"乙", "男", "1900", "12", "31", "1", "1"}, "無效"},
      {{"乙", "男", "1980", "2", "3", "24", "1"}, "無效"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    const SaveResult a = store.Append(c.entry, std::nullopt);
    EXPECT_EQ(a.status, Status::kIncomplete);
    EXPECT_NE(a.message.find(c.said), std::string::npos) << a.message;
    EXPECT_EQ(store.Modify(0, c.entry, std::nullopt).status, Status::kIncomplete);
  }
  EXPECT_EQ(store.Modify(5, P("乙"), std::nullopt).status, Status::kIncomplete);
  EXPECT_EQ(Read(d.user()), UserLine(P("甲")));
}

// Damaged lines are named when the list opens, each with why.
TEST(PersonStore, DamagedLinesAreNamedOnOpening) {
  Dir d;
  Write(d.user(), UserLine(P("甲")) + "\xFF\xFE\t1\r\n" + "only\tthree\tfields\r\n" +
                      UserLine({"乙", "男", "1980", "2", "30", "1", "1"}));
  PersonStore store(d.user());
  const std::string said = store.Open().message;
  EXPECT_NE(said.find("清單有 3 行無法排盤"), std::string::npos) << said;
  EXPECT_NE(said.find("第 2 行不是有效的 Big5 文字"), std::string::npos) << said;
  EXPECT_NE(said.find("第 3 行有 3 欄"), std::string::npos) << said;
  EXPECT_NE(said.find("第 4 行出生時刻「1980-2-30 1:1」無效"), std::string::npos) << said;
  EXPECT_FALSE(RecordProblem(store.list().rows[0]));
}

// The same commands, run at once on one store and in the background on
// another with files of the same content: after each, both pairs of files
// hold the same bytes and both stores say the same, whether the store in
// the background is read while the command runs or only once it has ended.
TEST(PersonStore, CommandsInTheBackgroundEndAsCommandsRunAtOnce) {
  Dir direct, background;
  PersonStore a(direct.user()), b(background.user());
  a.Open();
  b.Open();
  std::uint32_t x = 11;
  const auto next = [&x](std::size_t bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<std::size_t>((x >> 8) % bound);
  };
  for (int step = 0; step < 40; ++step) {
    const std::size_t rows = a.list().rows.size();
    const Fields f = P("人" + std::to_string(next(9)), std::to_string(next(24)));
    const std::optional<PlaceEntry> place = next(2) ? std::optional(kTaipei) : std::nullopt;
    const std::size_t at = rows ? next(rows) : 0;
    std::function<SaveResult(PersonStore&)> command;
    switch (rows ? next(4) : 0) {
      case 0: command = [&](PersonStore& s) { return s.Append(f, place); }; break;
      case 1: command = [&](PersonStore& s) { return s.Modify(at, f, place); }; break;
      case 2: command = [&](PersonStore& s) { return s.Remove(at); }; break;
      default: command = [](PersonStore& s) { return s.UndoRemove(); }; break;
    }
    const SaveResult done = command(a);
    bool woke = false;
    b.RunInBackground(command, [&woke] { woke = true; });
    if (next(2)) {
      EXPECT_EQ(b.list().rows.size(), a.list().rows.size());  // waits for the command
    }
    const std::optional<SaveResult> result = b.Settle();
    ASSERT_TRUE(result);
    EXPECT_TRUE(woke);
    EXPECT_EQ(result->status, done.status);
    EXPECT_EQ(result->message, done.message);
    ASSERT_EQ(Read(background.user()), Read(direct.user())) << "step " << step;
    ASSERT_EQ(Read(background.places()), Read(direct.places())) << "step " << step;
    EXPECT_EQ(b.canUndo(), a.canUndo());
  }
  EXPECT_FALSE(b.Settle());  // a result is told once
}

// Opening again reads a file changed since it was read, whether another copy
// replaced it or it was rewritten in place with the same length, at once
// or a while after; a file left alone keeps the list, with nothing said.
TEST(PersonStore, OpeningAgainShowsAChangedFile) {
  for (const bool later : {false, true}) {
    for (const bool inPlace : {false, true}) {
      SCOPED_TRACE(std::string(later ? "later" : "at once") + (inPlace ? ", in place" : ", replaced"));
      Dir d;
      Write(d.user(), UserLine(P("甲")));
      if (later) std::this_thread::sleep_for(std::chrono::milliseconds(150));
      PersonStore store(d.user());
      store.Open();
      const std::string changed = UserLine(P("乙"));
      ASSERT_EQ(changed.size(), Read(d.user()).size());
      if (inPlace) {
        Write(d.user(), changed);
      } else {
        Write(d.path / "new", changed);
        fs::rename(d.path / "new", d.user());
      }
      store.Open();
      ASSERT_EQ(store.list().rows.size(), 1u);
      EXPECT_EQ(store.list().rows[0].fields[kName], "乙");
      EXPECT_EQ(store.Open().message, "");
      EXPECT_EQ(store.list().rows[0].fields[kName], "乙");
    }
  }
}

}  // namespace
}  // namespace qelm::records
