#include "records/place_file.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qelm::records {
namespace {

namespace fs = std::filesystem;

struct Dir {
  Dir() {
    std::string t = (fs::temp_directory_path() / "qelm-places-XXXXXX").string();
    path = ::mkdtemp(t.data());
  }
  ~Dir() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
  }
  fs::path path;
};

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
void Write(const fs::path& p, std::string_view b) { std::ofstream(p, std::ios::binary) << b; }

Fields P(std::string name, std::string hour = "14") { return {name, "男", "1975", "7", "1", hour, "30"}; }
const PlaceEntry kTaipei{"臺北", 121.5319, 25.0478, "Asia/Taipei", "standard"};
const PlaceEntry kChengdu{"成都", 104.0667, 30.6667, "Asia/Shanghai", "solar"};
const PlaceEntry kByHand{"", -74.006, 40.7143, "America/New_York", "solar", true};

TEST(PlaceFile, LinesReadOrKeptAsTheyAre) {
  // A sound line, then lines that must come back byte for byte: short of
  // fields, bad UTF-8, a bad number, an unknown mode, an empty line, CR LF,
  // a last line without its end.
  const std::string sound = "甲\t男\t1975\t7\t1\t14\t30\t臺北\t121.5319\t25.0478\tAsia/Taipei\tstandard\n";
  const std::string content = sound + "乙\t女\t1980\n" + "\xff\xfe\t男\t1\t1\t1\t1\t1\tx\t1\t1\tUTC\tclock\n" +
                              "丙\t男\t1\t1\t1\t1\t1\tx\tabc\t1\tUTC\tclock\n" +
                              "丁\t男\t1\t1\t1\t1\t1\tx\t1\t1\tUTC\tlunar\n" + "\n" +
                              "戊\t男\t1\t1\t1\t1\t1\t\t-74.006\t40.7143\tAmerica/New_York\tsolar:later\r\n" +
                              "己\t男\t1\t1\t1\t1\t1\tx\t1\t1\tUTC\tclock";
  const PlaceBook book = ParsePlaceFile(content);
  ASSERT_EQ(book.lines.size(), 8u);
  const std::array<bool, 8> readable{true, false, false, false, false, false, true, true};
  for (std::size_t i = 0; i < readable.size(); ++i) EXPECT_EQ(book.lines[i].readable(), readable[i]) << i;
  EXPECT_EQ(*book.lines[0].entry(), kTaipei);
  EXPECT_EQ(*book.lines[6].entry(), kByHand);
  EXPECT_EQ(SerializePlaceFile(book), content);
}

TEST(PlaceFile, UnreadableLinesAreNamed) {
  const std::string key = "甲\t男\t1975\t7\t1\t14\t30\t";
  struct Case {
    const char* what;
    std::string line;
    const char* problem;  // the start of what the user is told
  };
  const Case cases[] = {
      {"a field missing", key + "臺北\t121.5\t25\tAsia/Taipei\n", "有 11 欄，應為 12 欄"},
      {"a field too many", key + "臺北\t121.5\t25\tAsia/Taipei\tclock\tx\n", "有 13 欄，應為 12 欄"},
      {"nan", key + "臺北\tnan\t25\tAsia/Taipei\tclock\n", "經度「nan」不是 -180 到 180 之間的數"},
      {"inf", key + "臺北\t-inf\t25\tAsia/Taipei\tclock\n", "經度「-inf」不是"},
      {"1e308", key + "臺北\t1e308\t25\tAsia/Taipei\tclock\n", "經度「1e308」不是"},
      {"180.0001", key + "臺北\t180.0001\t25\tAsia/Taipei\tclock\n", "經度「180.0001」不是"},
      {"0x10", key + "臺北\t0x10\t25\tAsia/Taipei\tclock\n", "經度「0x10」不是"},
      {"latitude 91", key + "臺北\t121.5\t91\tAsia/Taipei\tclock\n", "緯度「91」不是 -90 到 90 之間的數"},
      {"empty zone", key + "臺北\t121.5\t25\t\tclock\n", "沒有時區"},
      {"unknown mode", key + "臺北\t121.5\t25\tAsia/Taipei\tlunar\n", "時間模式「lunar」不明"},
      {"a surrogate", key + "\xED\xA0\x80\t121.5\t25\tAsia/Taipei\tclock\n", "第 24 個位元組起不是有效的 UTF-8 文字"},
      {"lead F5", key + "\xF5\x80\x80\x80\t121.5\t25\tAsia/Taipei\tclock\n", "第 24 個位元組起"},
      {"CR-only line ends", key + "臺北\t121.5\t25\tAsia/Taipei\tclock\r" + key + "x\r", "含有單獨的 CR"},
      {"a NUL", key + "臺北\t121.5\t25\tAsia/Taipei\tclock" + std::string(1, '\0') + "\n", "含有 NUL 字元"},
      {"a long field, quoted by its start", key + "臺北\t" + std::string(100, '9') + "\t25\tAsia/Taipei\tclock\n",
       "經度「99999999999999999999…」不是"},
  };
  const std::string sound = key + "臺北\t121.5\t25\tAsia/Taipei\tclock\n";
  for (const Case& c : cases) {
    const PlaceBook book = ParsePlaceFile(sound + "\n" + c.line);
    ASSERT_EQ(book.lines.size(), 3u) << c.what;
    EXPECT_TRUE(book.lines[0].problem().empty() && book.lines[1].problem().empty()) << c.what;
    EXPECT_FALSE(book.lines[2].readable()) << c.what;
    EXPECT_EQ(book.lines[2].problem().rfind(c.problem, 0), 0u) << c.what << ": " << book.lines[2].problem();
    EXPECT_EQ(SerializePlaceFile(book), sound + "\n" + c.line) << c.what;
    EXPECT_EQ(UnreadablePlacesText(book), "出生地檔案有 1 行無法讀取，已原樣保留（第 3 行" + book.lines[2].problem() + "）");
  }
  // Many: the first three are named.
  std::string many;
  for (const Case& c : cases) many += c.line.substr(0, c.line.size() - 1) + "\n";
  const std::string text = UnreadablePlacesText(ParsePlaceFile(many));
  EXPECT_EQ(text.rfind("出生地檔案有 15 行無法讀取，已原樣保留（第 1 行有 11 欄", 0), 0u) << text;
  EXPECT_NE(text.find("；第 3 行經度「nan」"), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with("；……）")) << text;
  EXPECT_EQ(UnreadablePlacesText(ParsePlaceFile(sound + "\n")), "");
}

TEST(PlaceFile, TheWriterRefusesWhatTheReaderCannotReadBack) {
  const auto with = [](auto change) {
    PlaceEntry e = kTaipei;
    change(e);
    return e;
  };
  const double nan = std::nan(""), inf = HUGE_VAL;
  const std::vector<PlaceEntry> refused{
      with([&](PlaceEntry& e) { e.longitude = nan; }),   with([&](PlaceEntry& e) { e.longitude = inf; }),
      with([&](PlaceEntry& e) { e.longitude = -inf; }),  with([](PlaceEntry& e) { e.longitude = 180.0001; }),
      with([](PlaceEntry& e) { e.longitude = 1e308; }),  with([&](PlaceEntry& e) { e.latitude = nan; }),
      with([](PlaceEntry& e) { e.latitude = -90.5; }),   with([](PlaceEntry& e) { e.zone = ""; }),
      with([](PlaceEntry& e) { e.mode = "lunar"; }),     with([](PlaceEntry& e) { e.name = "臺\t北"; }),
      with([](PlaceEntry& e) { e.name = "\xED\xA0\x80"; }), with([](PlaceEntry& e) { e.zone = std::string("UTC\0", 4); }),
  };
  for (const PlaceEntry& e : refused) {
    EXPECT_TRUE(CheckPlaceEntry(e).has_value()) << e.longitude << " " << e.latitude << " " << e.zone;
    PlaceBook book;
    ApplyPlaceChange(book, {std::nullopt, P("甲"), e});
    EXPECT_FALSE(SerializePlaceFile(book).has_value());
  }
  // What it writes comes back the same.
  const std::vector<PlaceEntry> sound{kTaipei, kChengdu, kByHand, with([](PlaceEntry& e) { e.longitude = -180; }),
                                      with([](PlaceEntry& e) { e.latitude = 90; }),
                                      with([](PlaceEntry& e) { e.longitude = 0.1 + 0.2; })};
  for (const PlaceEntry& e : sound) {
    EXPECT_FALSE(CheckPlaceEntry(e).has_value());
    PlaceBook book;
    ApplyPlaceChange(book, {std::nullopt, P("甲"), e});
    const PlaceBook again = ParsePlaceFile(SerializePlaceFile(book).value());
    ASSERT_TRUE(FindPlaceEntry(again, P("甲")));
    EXPECT_EQ(*FindPlaceEntry(again, P("甲")), e);
  }
}

TEST(PlaceFile, ChangesFollowThePerson) {
  struct Case {
    const char* what;
    PlaceChange change;
    std::vector<std::pair<Fields, PlaceEntry>> after;  // the readable entries, in order
  };
  const std::vector<Case> cases{
      {"entered with a place", {std::nullopt, P("丁"), kByHand}, {{P("甲"), kTaipei}, {P("乙"), kChengdu}, {P("丁"), kByHand}}},
      {"entered without", {std::nullopt, P("丁"), std::nullopt}, {{P("甲"), kTaipei}, {P("乙"), kChengdu}}},
      {"changed: the place moves to the new key, in its line",
       {P("甲"), P("甲", "15"), kTaipei}, {{P("甲", "15"), kTaipei}, {P("乙"), kChengdu}}},
      {"changed with another place", {P("甲"), P("甲"), kByHand}, {{P("甲"), kByHand}, {P("乙"), kChengdu}}},
      {"changed, place cleared", {P("甲"), P("甲", "15"), std::nullopt}, {{P("乙"), kChengdu}}},
      {"deleted", {P("乙"), std::nullopt, std::nullopt}, {{P("甲"), kTaipei}}},
  };
  for (const Case& c : cases) {
    PlaceBook book = ParsePlaceFile("broken line\n");
    ApplyPlaceChange(book, {std::nullopt, P("甲"), kTaipei});
    ApplyPlaceChange(book, {std::nullopt, P("乙"), kChengdu});
    ApplyPlaceChange(book, c.change);
    std::vector<std::pair<Fields, PlaceEntry>> got;
    for (const PlaceLine& l : book.lines)
      if (l.readable()) got.emplace_back(l.keyFields(), *l.entry());
    EXPECT_EQ(got, c.after) << c.what;
    EXPECT_EQ(book.lines.front().text(), "broken line\n") << c.what;  // the damaged line stays
    for (const auto& [key, entry] : c.after) {
      ASSERT_TRUE(FindPlaceEntry(book, key)) << c.what;
      EXPECT_EQ(*FindPlaceEntry(book, key), entry) << c.what;
    }
  }
}

TEST(PlaceFile, SavesMergeWithAnotherCopyAndKeepFailedChanges) {
  Dir dir;
  const fs::path file = PlaceFilePath(dir.path / "User");
  EXPECT_EQ(file.filename(), "User.places");
  PlaceBook mine, theirs;
  ASSERT_EQ(LoadPlaceFile(file, mine).status, Status::kOk);
  ASSERT_EQ(LoadPlaceFile(file, theirs).status, Status::kOk);
  EXPECT_FALSE(fs::exists(file));  // nothing to keep, no file

  ASSERT_TRUE(SavePlaceFile(file, mine, PlaceChange{std::nullopt, P("甲"), kTaipei}));
  const SaveResult r = SavePlaceFile(file, theirs, PlaceChange{std::nullopt, P("乙"), kChengdu});
  ASSERT_TRUE(r);
  EXPECT_TRUE(r.reloaded);
  PlaceBook again;
  ASSERT_EQ(LoadPlaceFile(file, again).status, Status::kOk);
  ASSERT_TRUE(FindPlaceEntry(again, P("甲")));
  EXPECT_EQ(*FindPlaceEntry(again, P("乙")), kChengdu);
  EXPECT_EQ(SerializePlaceFile(again), Read(file));

  // A folder that cannot be written: the change waits in memory and the
  // next save that can write brings it to the file.
  if (::geteuid() != 0) {
    fs::permissions(dir.path, fs::perms::owner_write, fs::perm_options::remove);
    const SaveResult failed = SavePlaceFile(file, again, PlaceChange{P("甲"), std::nullopt, std::nullopt});
    EXPECT_EQ(failed.status, Status::kCannotWrite);
    EXPECT_EQ(again.unsaved.size(), 1u);
    EXPECT_FALSE(FindPlaceEntry(again, P("甲")));
    fs::permissions(dir.path, fs::perms::owner_write, fs::perm_options::add);
    ASSERT_TRUE(SavePlaceFile(file, again));
    EXPECT_TRUE(again.unsaved.empty());
    PlaceBook last;
    ASSERT_EQ(LoadPlaceFile(file, last).status, Status::kOk);
    EXPECT_FALSE(FindPlaceEntry(last, P("甲")));
    EXPECT_TRUE(FindPlaceEntry(last, P("乙")));
  }
}

TEST(PlaceFile, PersonFileAndCompanionRoundTripByteForByte) {
  Dir dir;
  const fs::path user = dir.path / "User";
  // Big5 "甲" is A5 D2; a damaged line in each file.
  const std::string people = "\xa5\xd2\t\xa8\x6b\t1975\t7\t1\t14\t30\r\nbroken\r\n";
  const std::string places = "甲\t男\t1975\t7\t1\t14\t30\t臺北\t121.5319\t25.0478\tAsia/Taipei\tstandard\nbroken\n";
  Write(user, people);
  Write(PlaceFilePath(user), places);
  LoadResult list = LoadPersonList(user);
  PlaceBook book;
  ASSERT_EQ(list.status, Status::kOk);
  ASSERT_EQ(LoadPlaceFile(PlaceFilePath(user), book).status, Status::kOk);
  EXPECT_EQ(*FindPlaceEntry(book, list.list.rows[0].fields), kTaipei);
  ASSERT_TRUE(SavePersonList(user, list.list));
  ASSERT_TRUE(SavePlaceFile(PlaceFilePath(user), book));
  EXPECT_EQ(Read(user), people);
  EXPECT_EQ(Read(PlaceFilePath(user)), places);
}

// A file read in pieces gives the book its whole content gives, wherever
// the pieces cut its lines, beyond the most lines too.
TEST(PlaceFile, AFileReadInPiecesIsReadAsAWhole) {
  Dir d;
  const fs::path file = d.path / "User.places";
  for (const std::size_t count : {std::size_t{3000}, kMaxRecords + 2}) {
    std::string content;
    for (std::size_t i = 0; i < count; ++i)
      content += "甲" + std::to_string(i) + "\t男\t1975\t7\t1\t14\t30\t臺北\t121.5\t25\tAsia/Taipei\tclock" +
                 (i % 7 == 0 ? "\r\n" : "\n");
    content += "broken";
    Write(file, content);
    const PlaceBook whole = ParsePlaceFile(content);
    PlaceBook read;
    ASSERT_EQ(LoadPlaceFile(file, read).status, Status::kOk);
    ASSERT_EQ(read.lines.size(), whole.lines.size());
    for (std::size_t i = 0; i < whole.lines.size(); ++i) {
      ASSERT_EQ(read.lines[i].text(), whole.lines[i].text()) << i;
      ASSERT_EQ(read.lines[i].readable(), whole.lines[i].readable()) << i;
    }
    EXPECT_EQ(read.truncated, whole.truncated);
    EXPECT_EQ(read.disk, whole.disk);
  }
}

// Random lines put together from fields good and bad: each comes back byte
// for byte; a line reads when it names no problem; its key is its first
// seven fields, which it is found by; what reads is written again from its
// key and entry the same way.
TEST(PlaceFile, RandomLinesKeepTheirTextKeyAndEntry) {
  const std::vector<std::string> pieces{"甲", "男", "1975", "", "臺北", "121.5", "-25.05", "nan", "Asia/Taipei",
                                        "clock", "solar:later", "lunar", "\xFF", std::string(1, '\0'), "a\rb"};
  std::uint32_t x = 3;
  const auto next = [&x](std::size_t bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<std::size_t>((x >> 8) % bound);
  };
  for (int round = 0; round < 400; ++round) {
    std::vector<std::string> fields(next(3) ? kPlaceFieldCount : 1 + next(14));
    for (std::size_t i = 0; i < fields.size(); ++i) {
      // Mostly what a sound line has at that place.
      static const std::array<std::size_t, kPlaceFieldCount> kSound{0, 1, 2, 2, 2, 2, 2, 4, 5, 6, 8, 10};
      fields[i] = next(12) || i >= kSound.size() ? pieces[kSound[std::min(i, kSound.size() - 1)]] : pieces[next(pieces.size())];
    }
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) text += (i ? "\t" : "") + fields[i];
    text += next(5) ? "\n" : "\r\n";
    const PlaceBook book = ParsePlaceFile(text);
    ASSERT_EQ(book.lines.size(), 1u);
    const PlaceLine& line = book.lines[0];
    EXPECT_EQ(line.text(), text);
    EXPECT_EQ(SerializePlaceFile(book), text);
    EXPECT_EQ(line.readable(), line.problem().empty()) << text;
    EXPECT_EQ(line.readable(), line.entry().has_value()) << text;
    const bool utf8 = text.find('\xFF') == std::string::npos;
    if (fields.size() >= kFieldCount && utf8) {
      Fields key;
      std::copy_n(fields.begin(), kFieldCount, key.begin());
      EXPECT_EQ(line.keyFields(), key) << text;
      EXPECT_TRUE(line.HasKey(key)) << text;
      key[next(kFieldCount)] += "z";
      EXPECT_FALSE(line.HasKey(key)) << text;
      if (line.readable()) {
        EXPECT_EQ(FindPlaceEntry(book, line.keyFields()), line.entry());
        PlaceBook again;
        ApplyPlaceChange(again, {std::nullopt, line.keyFields(), *line.entry()});
        const PlaceBook reread = ParsePlaceFile(SerializePlaceFile(again).value());
        EXPECT_EQ(reread.lines.at(0).entry(), line.entry()) << text;
        EXPECT_EQ(reread.lines.at(0).key(), line.key()) << text;
      } else {
        EXPECT_EQ(UnreadablePlaceOf(book, line.keyFields()), &line) << text;
      }
    } else {
      EXPECT_FALSE(line.key()) << text;
    }
  }
}

}  // namespace
}  // namespace qelm::records
