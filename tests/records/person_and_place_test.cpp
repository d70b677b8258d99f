#include "records/person_and_place.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
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
    std::string t = (fs::temp_directory_path() / "qelm-save-XXXXXX").string();
    path = ::mkdtemp(t.data());
  }
  ~Dir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path user() const { return path / "User"; }
  fs::path places() const { return PlaceFilePath(user()); }
  fs::path path;
};

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
void Write(const fs::path& p, std::string_view b) { std::ofstream(p, std::ios::binary) << b; }

Fields P(std::string name, std::string hour = "14") { return {std::move(name), "男", "1975", "7", "1", hour, "30"}; }
std::string UserLine(const Fields& f) {
  std::string s;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (i > 0) s += '\t';
    s += EncodeBig5(f[i]).bytes.value();
  }
  return s + "\r\n";
}
std::string PlaceText(const Fields& f, std::string_view place) {
  std::string s;
  for (const std::string& k : f) s += k + '\t';
  return s + std::string(place) + '\n';
}

const PlaceEntry kTaipei{"臺北", 121.5319, 25.0478, "Asia/Taipei", "standard"};
const PlaceEntry kChengdu{"成都", 104.0667, 30.6667, "Asia/Shanghai", "solar"};
const PlaceEntry kByHand{"", -74.006, 40.7143, "America/New_York", "solar", true};
const std::string kDamaged = "broken line kept as it is\n";

// 甲 in Taipei, 乙 in Chengdu, 丙 without a place; a damaged line, and an
// entry of a person no longer in the list (left by some earlier kill).
void WriteStart(const Dir& d) {
  Write(d.user(), UserLine(P("甲")) + UserLine(P("乙")) + UserLine(P("丙")));
  Write(d.places(), PlaceText(P("甲"), "臺北\t121.5319\t25.0478\tAsia/Taipei\tstandard") + kDamaged +
                        PlaceText(P("乙"), "成都\t104.0667\t30.6667\tAsia/Shanghai\tsolar") +
                        PlaceText(P("丁"), "臺北\t121.5319\t25.0478\tAsia/Taipei\tclock"));
}

// What the files show: each person's fields and place, in list order, and
// the entries that no person names.
struct Shown {
  std::vector<std::pair<Fields, std::optional<PlaceEntry>>> persons;
  std::size_t orphans = 0;
};
Shown Show(const Dir& d) {
  Shown s;
  const LoadResult list = ReadPersonFile(d.user());
  PlaceBook book;
  EXPECT_EQ(LoadPlaceFile(d.places(), book).status, Status::kOk);
  for (const PersonRecord& r : list.list.rows) {
    const std::optional<PlaceEntry> e = FindPlaceEntry(book, r.fields);
    s.persons.emplace_back(r.fields.value(), e ? std::optional(*e) : std::nullopt);
  }
  for (const PlaceLine& l : book.lines)
    if (l.readable() && std::none_of(list.list.rows.begin(), list.list.rows.end(),
                                     [&](const PersonRecord& r) { return l.HasKey(r.fields); }))
      ++s.orphans;
  return s;
}

int stepsLeft = 0;
int KillAtStep(io::WriteStep, const fs::path&) {
  if (--stepsLeft == 0) ::raise(SIGKILL);
  return 0;
}

using Persons = std::vector<std::pair<Fields, std::optional<PlaceEntry>>>;
struct Scenario {
  const char* what;
  std::function<Edit(const PersonList&)> edit;
  std::optional<PlaceEntry> place;
  Persons shown;  // after the save
};
const std::optional<PlaceEntry> kNone;

TEST(PersonAndPlace, AKillAtAnyStepShowsEachPersonOldOrNewNeverAMix) {
  const std::vector<Scenario> scenarios{
      {"輸入 with a place", [](const PersonList&) { return Edit::Append(P("戊")); }, kByHand,
       {{P("甲"), kTaipei}, {P("乙"), kChengdu}, {P("丙"), kNone}, {P("戊"), kByHand}}},
      {"輸入 without a place, over an old entry", [](const PersonList&) { return Edit::Append(P("丁")); }, kNone,
       {{P("甲"), kTaipei}, {P("乙"), kChengdu}, {P("丙"), kNone}, {P("丁"), kNone}}},
      {"修改 fields and place", [](const PersonList& l) { return Edit::Modify(0, l.rows[0], P("甲", "15")); }, kChengdu,
       {{P("甲", "15"), kChengdu}, {P("乙"), kChengdu}, {P("丙"), kNone}}},
      {"修改 fields, place kept", [](const PersonList& l) { return Edit::Modify(1, l.rows[1], P("乙", "9")); }, kChengdu,
       {{P("甲"), kTaipei}, {P("乙", "9"), kChengdu}, {P("丙"), kNone}}},
      {"修改 the place only", [](const PersonList& l) { return Edit::Modify(1, l.rows[1], P("乙")); }, kTaipei,
       {{P("甲"), kTaipei}, {P("乙"), kTaipei}, {P("丙"), kNone}}},
      {"修改, place cleared", [](const PersonList& l) { return Edit::Modify(0, l.rows[0], P("庚")); }, kNone,
       {{P("庚"), kNone}, {P("乙"), kChengdu}, {P("丙"), kNone}}},
      {"修改 a person without a place", [](const PersonList& l) { return Edit::Modify(2, l.rows[2], P("辛")); }, kTaipei,
       {{P("甲"), kTaipei}, {P("乙"), kChengdu}, {P("辛"), kTaipei}}},
      {"刪除 with a place", [](const PersonList& l) { return Edit::Remove(1, l.rows[1]); }, kNone,
       {{P("甲"), kTaipei}, {P("丙"), kNone}}},
      {"刪除 without", [](const PersonList& l) { return Edit::Remove(2, l.rows[2]); }, kNone,
       {{P("甲"), kTaipei}, {P("乙"), kChengdu}}},
  };
  const auto save = [](const Dir& d, const Scenario& s) {
    LoadResult list = LoadPersonList(d.user());
    PlaceBook book;
    LoadPlaceFile(d.places(), book);
    return SavePersonAndPlace(d.user(), list.list, book, s.edit(list.list), s.place);
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.what);
    Dir start;
    WriteStart(start);
    const Shown before = Show(start);
    ASSERT_TRUE(save(start, s));
    const Shown after = Show(start);
    EXPECT_EQ(after.persons, s.shown);
    EXPECT_EQ(after.orphans, 0u);
    EXPECT_NE(Read(start.places()).find(kDamaged), std::string::npos);

    // Killed at the n-th step of the save's file writes, for every n.
    int n = 1;
    for (;; ++n) {
      Dir d;
      WriteStart(d);
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        stepsLeft = n;
        io::SetWriteStepHook(KillAtStep);
        ::_exit(save(d, s) ? 0 : 1);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      if (WIFEXITED(status)) {  // fewer steps than n: the save ran through
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(Show(d).persons, after.persons);
        break;
      }
      ASSERT_TRUE(WIFSIGNALED(status));
      SCOPED_TRACE("killed at step " + std::to_string(n));
      const Shown now = Show(d);
      // The list is whole, old or new; each person with its place of then.
      ASSERT_TRUE(now.persons == before.persons || now.persons == after.persons);
      EXPECT_LE(now.orphans, 1u);
      EXPECT_NE(Read(d.places()).find(kDamaged), std::string::npos);

      // The next save shows the same and leaves no entry without person and
      // no file of the killed save behind.
      LoadResult list = LoadPersonList(d.user());
      PlaceBook book;
      ASSERT_EQ(LoadPlaceFile(d.places(), book).status, Status::kOk);
      ASSERT_TRUE(SavePersonAndPlace(d.user(), list.list, book));
      const Shown next = Show(d);
      EXPECT_EQ(next.persons, now.persons);
      EXPECT_EQ(next.orphans, 0u);
      EXPECT_EQ(std::distance(fs::directory_iterator(d.path), {}), 2);
    }
    EXPECT_GT(n, 3) << "the save wrote nothing";
  }
}

TEST(PersonAndPlace, TwinsShareAPlaceUntilTheLastGoes) {
  Dir d;
  WriteStart(d);
  LoadResult list = LoadPersonList(d.user());
  PlaceBook book;
  ASSERT_EQ(LoadPlaceFile(d.places(), book).status, Status::kOk);
  // A second 甲: the same fields name the same place.
  ASSERT_TRUE(SavePersonAndPlace(d.user(), list.list, book, Edit::Append(P("甲")), kNone));
  EXPECT_EQ(Show(d).persons[3], (std::pair{P("甲"), std::optional(kTaipei)}));
  // One of them changed: the other keeps the place, the changed one takes its own.
  ASSERT_TRUE(SavePersonAndPlace(d.user(), list.list, book, Edit::Modify(0, list.list.rows[0], P("壬")), kChengdu));
  EXPECT_EQ(Show(d).persons[0], (std::pair{P("壬"), std::optional(kChengdu)}));
  EXPECT_EQ(Show(d).persons[3], (std::pair{P("甲"), std::optional(kTaipei)}));
  ASSERT_TRUE(SavePersonAndPlace(d.user(), list.list, book, Edit::Remove(3, list.list.rows[3])));
  EXPECT_FALSE(FindPlaceEntry(book, P("甲")));
  EXPECT_EQ(Show(d).orphans, 0u);
}

TEST(PersonAndPlace, RefusedOrUnwrittenSavesChangeNeitherFile) {
  Dir d;
  WriteStart(d);
  const std::string people = Read(d.user()), places = Read(d.places());
  LoadResult list = LoadPersonList(d.user());
  PlaceBook book;
  ASSERT_EQ(LoadPlaceFile(d.places(), book).status, Status::kOk);
  // A place the file could not read back is refused before anything is written.
  for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 180.0001, 1e308}) {
    PlaceEntry e = kTaipei;
    e.longitude = bad;
    const SaveResult r = SavePersonAndPlace(d.user(), list.list, book, Edit::Append(P("戊")), e);
    EXPECT_EQ(r.status, Status::kBadText) << bad;
    e = kTaipei;
    e.latitude = bad;
    EXPECT_EQ(SavePersonAndPlace(d.user(), list.list, book, Edit::Append(P("戊")), e).status, Status::kBadText);
  }
  EXPECT_EQ(list.list.rows.size(), 3u);
  EXPECT_TRUE(list.list.unsaved.empty() && book.unsaved.empty());

  // A companion that cannot be read (a folder in its place): neither file
  // is written, both changes wait in memory, and a later save writes both.
  fs::rename(d.places(), d.path / "aside");
  fs::create_directory(d.places());
  const SaveResult r = SavePersonAndPlace(d.user(), list.list, book, Edit::Append(P("戊")), kByHand);
  EXPECT_EQ(r.status, Status::kCannotRead);
  EXPECT_NE(r.message.find("出生地的修改暫存在記憶體中"), std::string::npos) << r.message;
  EXPECT_EQ(Read(d.user()), people);
  EXPECT_EQ(list.list.unsaved.size(), 1u);
  ASSERT_TRUE(FindPlaceEntry(book, P("戊")));
  fs::remove(d.places());
  fs::rename(d.path / "aside", d.places());
  ASSERT_TRUE(SavePersonAndPlace(d.user(), list.list, book));
  const Shown s = Show(d);
  ASSERT_EQ(s.persons.size(), 4u);
  EXPECT_EQ(s.persons[3], (std::pair{P("戊"), std::optional(kByHand)}));
  EXPECT_EQ(s.persons[0], (std::pair{P("甲"), std::optional(kTaipei)}));
  EXPECT_TRUE(list.list.unsaved.empty() && book.unsaved.empty());
}

// Entries whose person is not in the list leave the book, however many
// (few are compared one by one, many looked up by a hash), twins and
// unreadable lines stay.
TEST(PersonAndPlace, EntriesLeaveExactlyWhenTheirPersonIsGone) {
  for (const int count : {3, 60}) {
    PlaceBook book;
    std::vector<PersonRecord> rows;
    std::vector<Fields> kept;
    for (int i = 0; i < count; ++i) {
      ApplyPlaceChange(book, {std::nullopt, P("甲" + std::to_string(i)), kTaipei});
      if (i % 3 != 0) {
        rows.push_back(PersonRecord{P("甲" + std::to_string(i)), std::nullopt});
        kept.push_back(P("甲" + std::to_string(i)));
      }
    }
    rows.push_back(rows.front());  // a twin
    book.lines.push_back(ParsePlaceFile(kDamaged).lines.at(0));
    DropPlacesWithoutPerson(book, rows);
    std::vector<Fields> left;
    for (const PlaceLine& l : book.lines)
      if (l.readable()) left.push_back(l.keyFields());
    EXPECT_EQ(left, kept) << count;
    EXPECT_EQ(book.lines.back().text(), kDamaged) << count;
  }
}

}  // namespace
}  // namespace qelm::records
