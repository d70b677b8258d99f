#include "records/person_file.hpp"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "records/big5.hpp"

namespace qelm::records {
namespace {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "qelm-records-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }
  fs::path user() const { return path_ / "User"; }

 private:
  fs::path path_;
};

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const fs::path& p, std::string_view bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Big5(std::string_view utf8) { return EncodeBig5(utf8).bytes.value(); }

Fields Person(std::string name, std::string sex = "男", std::string y = "1975", std::string m = "8",
              std::string d = "21", std::string h = "14", std::string mi = "5") {
  return {std::move(name), std::move(sex), std::move(y), std::move(m), std::move(d), std::move(h),
          std::move(mi)};
}

// The line the program writes for these fields.
std::string Line(const Fields& f) {
  std::string s;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (i > 0) s += '\t';
    s += Big5(f[i]);
  }
  return s + "\r\n";
}

std::size_t FilesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

LoadResult MustLoad(const fs::path& p) {
  LoadResult r = LoadPersonList(p);
  EXPECT_EQ(r.status, Status::kOk) << r.message;
  return r;
}

// ------------------------------------------------------------ load and save

TEST(PersonFile, MissingFileIsCreatedEmpty) {
  TempDir dir;
  LoadResult r = LoadPersonList(dir.user());
  EXPECT_EQ(r.status, Status::kOk);
  EXPECT_TRUE(r.created);
  EXPECT_TRUE(r.list.rows.empty());
  ASSERT_TRUE(fs::is_regular_file(dir.user()));
  EXPECT_EQ(fs::file_size(dir.user()), 0u);
  // An existing file is not "created" again.
  EXPECT_FALSE(MustLoad(dir.user()).created);
}

TEST(PersonFile, ReadingWithoutCreating) {
  TempDir dir;
  EXPECT_EQ(ReadPersonFile(dir.user()).status, Status::kMissing);
  EXPECT_FALSE(fs::exists(dir.user()));
}

TEST(PersonFile, UntouchedFileIsRewrittenAsItWas) {
  // What a save of an unedited list changes: a blank line goes, a last line
  // gets its CR LF; everything else stays, fields beyond the seventh,
  // line ends, damaged and short lines included.
  struct Case {
    const char* what;
    std::string before, after;
    std::size_t rows;
  };
  const std::string a = Line(Person("張三"));
  const std::string b = Line(Person("陳美玲", "女", "1980", "2", "29", "23", "59"));
  const std::string aNoEnd = a.substr(0, a.size() - 2);
  const std::string damaged = "\xFF\xFE\x80\xA4\t" + Big5("男") + "\t1975\t8\t21\t14\t5\r\n";
  const std::string binary = std::string("\0\x01\x02\xFA\t\xFF", 6) + "\r\n";
  const Case cases[] = {
      {"last line without line end", aNoEnd, a, 1},
      {"blank lines", "\r\n" + a + "\r\n\r\n" + b + "\n\r\n", a + b, 2},
      {"eight fields", aNoEnd + "\textra\t\r\n", aNoEnd + "\textra\t\r\n", 1},
      {"short line", "only a name\r\n" + a + "1\t2\r\n", "only a name\r\n" + a + "1\t2\r\n", 3},
      {"damaged line", damaged + a, damaged + a, 2},
      {"binary bytes", binary + binary, binary + binary, 2},
      {"lone LF and CR line ends", "x\ny\rz\r\n", "x\ny\rz\r\n", 3},
      {"only TABs", "\t\t\t\t\t\t\r\n", "\t\t\t\t\t\t\r\n", 1},
      {"empty file", "", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    WriteBytes(dir.user(), c.before);
    LoadResult r = MustLoad(dir.user());
    EXPECT_EQ(r.list.rows.size(), c.rows);
    SaveResult s = SavePersonList(dir.user(), r.list);
    EXPECT_TRUE(s) << s.message;
    EXPECT_FALSE(s.reloaded);
    EXPECT_EQ(ReadBytes(dir.user()), c.after);
    EXPECT_EQ(FilesIn(dir.path()), 1u);  // no temporary file left behind
  }
}

TEST(PersonFile, FieldsAsLoaded) {
  const std::string content = "\xFF" "A\t" + Big5("女") + "\r\n" + Big5("黃") + "\t" + Big5("男") +
                              "\t2000\t1\t2\t3\t4\t5\t6\r\n";
  PersonList list = ParsePersonFile(content);
  ASSERT_EQ(list.rows.size(), 2u);
  const PersonRecord& shortRow = list.rows[0];
  EXPECT_EQ(shortRow.fields, Person("\xEF\xBF\xBD" "A", "女", "", "", "", "", ""));
  EXPECT_EQ(shortRow.source->field_count, 2u);
  EXPECT_FALSE(shortRow.source->valid_big5);
  EXPECT_TRUE(shortRow.damaged());
  const PersonRecord& longRow = list.rows[1];
  EXPECT_EQ(longRow.fields, Person("黃", "男", "2000", "1", "2", "3", "4"));
  EXPECT_TRUE(longRow.source->valid_big5);
  EXPECT_EQ(longRow.source->field_count, 9u);
  EXPECT_EQ(longRow.source->line, 2u);
}

// A record's texts packed in one block come back exactly as they went in,
// over random fields (empty, CJK, overlong, bytes that are no text, NUL),
// tails and kept lines; copies are equal and independent.
TEST(PersonFile, PackedFieldsGiveBackWhatTheyHold) {
  const std::vector<std::string> pieces{"", "王", "陳美麗", "1975", "12", std::string(3, '\0'),
                                        "\xFF\xFE", std::string(200, 'x'), "黃" + std::string(60, 'a')};
  std::uint32_t x = 11;
  const auto next = [&x](std::size_t bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<std::size_t>((x >> 8) % bound);
  };
  for (int round = 0; round < 300; ++round) {
    Fields f;
    for (std::string& field : f) field = pieces[next(pieces.size())] + pieces[next(pieces.size())];
    const std::string tail = next(2) ? "" : "\t" + pieces[next(pieces.size())];
    const std::string kept = next(3) ? "" : "line" + pieces[next(pieces.size())];
    RecordFields packed(f, tail, kept);
    RecordFields copy = packed;
    for (std::size_t i = 0; i < kFieldCount; ++i) EXPECT_EQ(packed[i], f[i]);
    EXPECT_EQ(packed.value(), f);
    EXPECT_EQ(packed.tail(), tail);
    EXPECT_EQ(packed.kept(), kept);
    EXPECT_TRUE(packed == f);
    EXPECT_TRUE(copy == packed);
    Fields other = f;
    other[next(kFieldCount)] += "z";
    EXPECT_FALSE(packed == other);
    EXPECT_FALSE(RecordFields(f, tail + "z", kept) == packed);
    copy = RecordFields(other);
    EXPECT_EQ(packed.value(), f) << "a copy holds its own texts";
    EXPECT_EQ(copy.value(), other);
  }
}

// Read from random lines, a record holds what splitting the line at its
// TABs and decoding each of the first seven fields gives, and the file
// writes back what it read.
TEST(PersonFile, ParsedFieldsAgreeWithTheDecodedLine) {
  const std::vector<std::string> pieces{"", Big5("王"), Big5("陳美麗"), "1975", "\t", "\t", "\t", "\xFF",
                                        "\xA4", Big5("女") + "\t", std::string(120, 'y'), "\xF9\xF9", "\0"};
  std::uint32_t x = 5;
  const auto next = [&x](std::size_t bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<std::size_t>((x >> 8) % bound);
  };
  Big5Codec codec;
  for (int round = 0; round < 200; ++round) {
    std::string line = "a";
    for (std::size_t n = next(14); n > 0; --n) line += pieces[next(pieces.size())];
    const PersonList list = ParsePersonFile(line + "\r\n");
    ASSERT_EQ(list.rows.size(), 1u);
    const PersonRecord& row = list.rows[0];
    std::size_t start = 0;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
      const std::size_t tab = start == std::string::npos ? std::string::npos : line.find('\t', start);
      const std::string bytes =
          start == std::string::npos ? "" : line.substr(start, tab == std::string::npos ? tab : tab - start);
      EXPECT_EQ(row.fields[i], codec.Decode(bytes).text) << i;
      start = tab == std::string::npos ? tab : tab + 1;
    }
    EXPECT_EQ(row.fields.tail(), start == std::string::npos ? "" : line.substr(start - 1));
    EXPECT_EQ(SerializePersonFile(list), line + "\r\n");
  }
}

// A file read in pieces gives the list its whole content gives, wherever
// the pieces cut its lines (CR LF among them), beyond the most records too.
TEST(PersonFile, AFileReadInPiecesIsReadAsAWhole) {
  std::uint32_t x = 9;
  const auto next = [&x](std::size_t bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<std::size_t>((x >> 8) % bound);
  };
  const std::vector<std::string> ends{"\r\n", "\n", "\r", "\r\n\r\n"};
  for (const std::size_t count : {std::size_t{9000}, kMaxRecords + 3}) {
    // The first line's CR LF cut by the first piece's end.
    const std::string first = "A\tB\t1\t2\t3\t4\t5\t";
    std::string content = first + std::string(65535 - first.size(), 'x') + "\r\n";
    for (std::size_t i = 0; i < count; ++i)
      content += Big5("王") + std::to_string(i) + "\t" + Big5("男") + "\t1975\t8\t" + std::string(next(40), '1') +
                 "\t14\t5" + ends[next(ends.size())];
    content += "last";
    TempDir dir;
    WriteBytes(dir.user(), content);
    const PersonList whole = ParsePersonFile(content);
    const LoadResult read = ReadPersonFile(dir.user());
    ASSERT_EQ(read.list.rows.size(), whole.rows.size());
    for (std::size_t i = 0; i < whole.rows.size(); ++i) {
      ASSERT_TRUE(SameRow(read.list.rows[i], whole.rows[i])) << i;
      ASSERT_EQ(read.list.rows[i].source->line, whole.rows[i].source->line) << i;
      ASSERT_EQ(read.list.rows[i].source->line_end, whole.rows[i].source->line_end) << i;
    }
    EXPECT_EQ(read.list.truncated, whole.truncated);
    EXPECT_EQ(read.list.disk, whole.disk);
  }
}

// A field longer than any name is kept whole (the place of its person is
// found by it); its line is damaged and written back byte for byte.
TEST(PersonFile, OverlongFieldsAreKeptWhole) {
  const auto repeat = [](std::string_view s, std::size_t n) {
    std::string r;
    for (std::size_t i = 0; i < n; ++i) r += s;
    return r;
  };
  const std::string rest = "\t" + Big5("男") + "\t1975\t8\t21\t14\t5\r\n";
  struct Case {
    const char* what;
    std::string line;
    std::string name;  // as read
    std::string year;
    bool damaged;
  };
  const Case cases[] = {
      {"50 characters", Big5(repeat("陳", 50)) + rest, repeat("陳", 50), "1975", false},
      {"51 characters", Big5(repeat("陳", 51)) + rest, repeat("陳", 51), "1975", true},
      {"51 letters", repeat("a", 51) + rest, repeat("a", 51), "1975", true},
      {"8 MiB", repeat("a", 8 << 20) + rest, repeat("a", 8 << 20), "1975", true},
      {"a long year", "a\t" + Big5("男") + "\t" + repeat("1", 60) + "\t8\t21\t14\t5\r\n", "a",
       repeat("1", 60), true},
  };
  for (const Case& c : cases) {
    PersonList list = ParsePersonFile(c.line);
    ASSERT_EQ(list.rows.size(), 1u) << c.what;
    EXPECT_EQ(list.rows[0].fields[kName], c.name) << c.what;
    EXPECT_EQ(list.rows[0].fields[kYear], c.year) << c.what;
    EXPECT_EQ(list.rows[0].damaged(), c.damaged) << c.what;
    EXPECT_EQ(SerializePersonFile(list), c.line) << c.what;
    // Storing the long name anew is refused, never cut.
    if (c.name.size() > 50 && c.damaged && c.year == "1975") {
      EXPECT_EQ(ApplyEdit(list, Edit::Modify(0, list.rows[0], Person(c.name, "女"))).status, Status::kBadText);
    }
  }
}

TEST(PersonFile, EmptyNameLineBeginsWithTab) {
  TempDir dir;
  LoadResult r = MustLoad(dir.user());
  ASSERT_TRUE(SavePersonList(dir.user(), r.list, Edit::Append(Person(""))));
  EXPECT_EQ(ReadBytes(dir.user()), "\t" + Big5("男") + "\t1975\t8\t21\t14\t5\r\n");
}

TEST(PersonFile, Big5NamesRoundTrip) {
  TempDir dir;
  LoadResult r = MustLoad(dir.user());
  const Fields people[] = {Person("張三"), Person("陳美玲", "女", "1990", "12", "31", "0", "0"),
                           Person("黃", "女", "2099", "1", "1", "23", "59")};
  for (const Fields& p : people) ASSERT_TRUE(SavePersonList(dir.user(), r.list, Edit::Append(p)));
  EXPECT_EQ(ReadBytes(dir.user()), Line(people[0]) + Line(people[1]) + Line(people[2]));
  EXPECT_EQ(ReadBytes(dir.user()).substr(0, 5), "\xB1\x69\xA4\x54\t");
  LoadResult again = MustLoad(dir.user());
  ASSERT_EQ(again.list.rows.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(again.list.rows[i].fields, people[i]);
    EXPECT_FALSE(again.list.rows[i].damaged());
  }
}

// A name with user-defined characters (造字) loads as a sound record and,
// changed in another field, is written with the same bytes.
TEST(PersonFile, UserDefinedCharactersInNames) {
  const std::string name = "\xFA\x40\xA4\x70\x81\x40";  // U+E000 小 U+EEB8
  const std::string rest = "\t" + Big5("男") + "\t1975\t8\t21\t14\t";
  TempDir dir;
  WriteBytes(dir.user(), name + rest + "5\r\n");
  LoadResult r = MustLoad(dir.user());
  ASSERT_EQ(r.list.rows.size(), 1u);
  EXPECT_EQ(r.list.rows[0].fields[kName], "\xEE\x80\x80小\xEE\xBA\xB8");
  EXPECT_FALSE(r.list.rows[0].damaged());
  Fields changed = r.list.rows[0].fields.value();
  changed[kMinute] = "6";
  ASSERT_TRUE(SavePersonList(dir.user(), r.list, Edit::Modify(0, r.list.rows[0], changed)));
  EXPECT_EQ(ReadBytes(dir.user()), name + rest + "6\r\n");
}

TEST(PersonFile, EditsKeepOtherLinesByteForByte) {
  TempDir dir;
  const std::string damaged = "\xB1\x69\xFF\t" + Big5("男") + "\t1975\t8\t21\t14\t5";
  const std::string shortLine = "\xA4\x54 only";
  const std::string x = Line(Person("甲"));
  WriteBytes(dir.user(), damaged + "\r\n" + x + shortLine + "\n" + x);
  LoadResult r = MustLoad(dir.user());
  ASSERT_EQ(r.list.rows.size(), 4u);

  // Modify the second row and delete the fourth; the damaged and the short
  // line stay as they were.
  const Fields changed = Person("乙", "女");
  ASSERT_TRUE(SavePersonList(dir.user(), r.list, Edit::Modify(1, r.list.rows[1], changed)));
  ASSERT_TRUE(SavePersonList(dir.user(), r.list, Edit::Remove(3, r.list.rows[3])));
  EXPECT_EQ(ReadBytes(dir.user()), damaged + "\r\n" + Line(changed) + shortLine + "\n");

  // "修改" without a change leaves even a damaged row alone (its text has
  // replacement characters, which Big5 cannot hold).
  SaveResult s = SavePersonList(dir.user(), r.list, Edit::Modify(0, r.list.rows[0], r.list.rows[0].fields.value()));
  EXPECT_TRUE(s) << s.message;
  EXPECT_EQ(ReadBytes(dir.user()), damaged + "\r\n" + Line(changed) + shortLine + "\n");

  // Changing the damaged row writes it from its fields, which it cannot.
  Fields edited = r.list.rows[0].fields.value();
  edited[kHour] = "15";
  s = SavePersonList(dir.user(), r.list, Edit::Modify(0, r.list.rows[0], edited));
  EXPECT_EQ(s.status, Status::kBadText);
  EXPECT_EQ(s.message, "姓名含有 Big5 無法表示的字");
  edited[kName] = "張";
  ASSERT_TRUE(SavePersonList(dir.user(), r.list, Edit::Modify(0, r.list.rows[0], edited)));
  EXPECT_EQ(ReadBytes(dir.user()), Line(edited) + Line(changed) + shortLine + "\n");
}

TEST(PersonFile, DeletingTheLastRecordLeavesAnEmptyFile) {
  TempDir dir;
  WriteBytes(dir.user(), Line(Person("張三")));
  LoadResult r = MustLoad(dir.user());
  ASSERT_TRUE(SavePersonList(dir.user(), r.list, Edit::Remove(0, r.list.rows[0])));
  EXPECT_TRUE(r.list.rows.empty());
  EXPECT_EQ(fs::file_size(dir.user()), 0u);
}

TEST(PersonFile, BadTextIsRefusedBeforeAnythingIsWritten) {
  TempDir dir;
  WriteBytes(dir.user(), Line(Person("張三")));
  LoadResult r = MustLoad(dir.user());
  struct Case {
    Edit edit;
    std::string message;
  };
  const Case cases[] = {
      {Edit::Append(Person("王\t五")), "姓名不可含有定位字元或換行"},
      {Edit::Append(Person("王😀")), "姓名含有 Big5 無法表示的字"},
      {Edit::Modify(0, r.list.rows[0], Person("張三", "男", "19\r\n75")), "資料不可含有定位字元或換行"},
  };
  for (const Case& c : cases) {
    SaveResult s = SavePersonList(dir.user(), r.list, c.edit);
    EXPECT_EQ(s.status, Status::kBadText);
    EXPECT_EQ(s.message, c.message);
  }
  EXPECT_EQ(r.list.rows.size(), 1u);
  EXPECT_TRUE(r.list.unsaved.empty());
  EXPECT_EQ(ReadBytes(dir.user()), Line(Person("張三")));
}

TEST(PersonFile, StaleIndexFindsTheNearestEqualRow) {
  PersonList list = ParsePersonFile(Line(Person("A")) + Line(Person("B")) + Line(Person("A")) +
                                    Line(Person("C")));
  const PersonRecord a = list.rows[0];
  // Index 3 holds C; the nearest A is at 2.
  ASSERT_TRUE(ApplyEdit(list, Edit::Remove(3, a)));
  ASSERT_EQ(list.rows.size(), 3u);
  EXPECT_EQ(list.rows[2].fields[kName], "C");
  EXPECT_EQ(ApplyEdit(list, Edit::Remove(9, list.rows[1])).status, Status::kOk);
  EXPECT_EQ(ApplyEdit(list, Edit::Modify(0, PersonRecord{Person("Z"), std::nullopt}, Person("Y"))).status,
            Status::kConflict);
}

// ------------------------------------------------------------ failures

TEST(PersonFile, FolderThatDoesNotExist) {
  TempDir dir;
  const fs::path user = dir.path() / "gone" / "User";
  LoadResult r = LoadPersonList(user);
  EXPECT_EQ(r.status, Status::kCannotCreate);
  EXPECT_EQ(r.error, ENOENT);
  EXPECT_EQ(r.message, "無法建立檔案 " + user.string() + "（資料夾不存在）");

  // The edit stays in the list, unsaved, and is written once the folder is there.
  SaveResult s = SavePersonList(user, r.list, Edit::Append(Person("張三")));
  EXPECT_EQ(s.status, Status::kCannotWrite);
  EXPECT_EQ(s.message.rfind("無法寫入檔案 ", 0), 0u) << s.message;
  EXPECT_EQ(r.list.rows.size(), 1u);
  EXPECT_EQ(r.list.unsaved.size(), 1u);
  fs::create_directory(dir.path() / "gone");
  s = SavePersonList(user, r.list, Edit::Append(Person("李四")));
  EXPECT_TRUE(s) << s.message;
  EXPECT_TRUE(r.list.unsaved.empty());
  EXPECT_EQ(ReadBytes(user), Line(Person("張三")) + Line(Person("李四")));
}

TEST(PersonFile, UserThatIsAFolderOrAPipe) {
  TempDir dir;
  fs::create_directory(dir.user());
  LoadResult r = LoadPersonList(dir.user());
  EXPECT_EQ(r.status, Status::kCannotRead);
  EXPECT_EQ(r.message, "無法讀取檔案 " + dir.user().string() + "（同名的資料夾已存在）");
  SaveResult s = SavePersonList(dir.user(), r.list, Edit::Append(Person("張三")));
  EXPECT_FALSE(s);
  EXPECT_EQ(r.list.unsaved.size(), 1u);
  EXPECT_TRUE(fs::is_directory(dir.user()));

  TempDir fifoDir;
  ASSERT_EQ(::mkfifo(fifoDir.user().c_str(), 0600), 0);
  r = LoadPersonList(fifoDir.user());  // must not wait for a writer
  EXPECT_EQ(r.status, Status::kCannotRead);
}

TEST(PersonFile, FailedWriteLeavesTheOldFileWhole) {
  // A disk that fills up during the save: the write of the new content fails
  // half-way (a file size limit in a child process stands in for the full disk).
  TempDir dir;
  const std::string old = Line(Person("張三")) + Line(Person("李四"));
  WriteBytes(dir.user(), old);
  LoadResult r = MustLoad(dir.user());
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{60, 60};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    SaveResult s = SavePersonList(dir.user(), r.list, Edit::Append(Person("陳美玲")));
    const bool reported = s.status == Status::kCannotWrite && s.error == EFBIG &&
                          s.message.rfind("無法寫入檔案 ", 0) == 0 && r.list.unsaved.size() == 1;
    ::_exit(reported ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the failure was not reported as such";
  EXPECT_EQ(ReadBytes(dir.user()), old);
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "temporary file left behind";
}

TEST(PersonFile, ReadOnlyFolder) {
  TempDir dir;
  WriteBytes(dir.user(), Line(Person("張三")));
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  // The save must fail, say so, and leave the file as it was.
  const auto attempt = [&] {
    LoadResult r = LoadPersonList(dir.user());
    if (r.status != Status::kOk) return 1;
    const SaveResult s = SavePersonList(dir.user(), r.list, Edit::Append(Person("李四")));
    if (s.status != Status::kCannotWrite || s.error != EACCES) return 2;
    return ReadBytes(dir.user()) == Line(Person("張三")) ? 0 : 3;
  };
  if (::geteuid() != 0) {
    EXPECT_EQ(attempt(), 0);
    return;
  }
  // Root writes into read-only folders: try as an ordinary user instead.
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(::chown(dir.path().c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chown(dir.user().c_str(), kNobody, kNobody), 0);
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(9);
    ::_exit(attempt());
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1 load failed, 2 save not refused, 3 file changed, 9 no user switch";
}

TEST(PersonFile, PermissionsAndLinksAreKept) {
  TempDir dir;
  const fs::path real = dir.path() / "real";
  WriteBytes(real, Line(Person("張三")));
  ::chmod(real.c_str(), 0640);
  fs::create_symlink("real", dir.user());
  LoadResult r = MustLoad(dir.user());
  ASSERT_TRUE(SavePersonList(dir.user(), r.list, Edit::Append(Person("李四"))));
  EXPECT_TRUE(fs::is_symlink(dir.user()));
  EXPECT_EQ(ReadBytes(real), Line(Person("張三")) + Line(Person("李四")));
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// ------------------------------------------------------------ two copies

TEST(PersonFile, ConcurrentEditsBothSurvive) {
  TempDir dir;
  WriteBytes(dir.user(), Line(Person("A")) + Line(Person("B")) + Line(Person("C")));
  LoadResult one = MustLoad(dir.user());
  LoadResult two = MustLoad(dir.user());

  // The second copy deletes A and appends D; the first then modifies C,
  // which it saw at index 2.
  ASSERT_TRUE(SavePersonList(dir.user(), two.list, Edit::Remove(0, two.list.rows[0])));
  ASSERT_TRUE(SavePersonList(dir.user(), two.list, Edit::Append(Person("D"))));
  SaveResult s = SavePersonList(dir.user(), one.list, Edit::Modify(2, one.list.rows[2], Person("C2")));
  EXPECT_TRUE(s) << s.message;
  EXPECT_TRUE(s.reloaded);
  EXPECT_EQ(s.message, "檔案已被另一個程式變更，已重新載入並存入這次的修改");
  const std::string expected = Line(Person("B")) + Line(Person("C2")) + Line(Person("D"));
  EXPECT_EQ(ReadBytes(dir.user()), expected);
  ASSERT_EQ(one.list.rows.size(), 3u);  // the first copy now shows both
  EXPECT_EQ(one.list.rows[2].fields[kName], "D");

  // The second copy appends on top of the first one's change.
  ASSERT_TRUE(SavePersonList(dir.user(), two.list, Edit::Append(Person("E"))));
  EXPECT_EQ(ReadBytes(dir.user()), expected + Line(Person("E")));
}

TEST(PersonFile, EditThatNoLongerFitsIsRefused) {
  TempDir dir;
  WriteBytes(dir.user(), Line(Person("A")) + Line(Person("B")));
  LoadResult one = MustLoad(dir.user());
  LoadResult two = MustLoad(dir.user());
  ASSERT_TRUE(SavePersonList(dir.user(), two.list, Edit::Modify(0, two.list.rows[0], Person("A2"))));
  const std::string afterTwo = ReadBytes(dir.user());

  struct Case {
    Edit edit;
    std::string message;
  };
  const Case cases[] = {
      {Edit::Remove(0, one.list.rows[0]), "檔案已被另一個程式變更，已重新載入；要刪除的資料已被變更或刪除"},
      {Edit::Modify(0, one.list.rows[0], Person("A3")),
       "檔案已被另一個程式變更，已重新載入；要修改的資料已被變更或刪除"},
  };
  for (const Case& c : cases) {
    LoadResult stale = one;
    SaveResult s = SavePersonList(dir.user(), stale.list, c.edit);
    EXPECT_EQ(s.status, Status::kConflict);
    EXPECT_EQ(s.message, c.message);
    EXPECT_TRUE(s.reloaded);
    ASSERT_EQ(stale.list.rows.size(), 2u);  // now showing the file's content
    EXPECT_EQ(stale.list.rows[0].fields[kName], "A2");
    EXPECT_EQ(ReadBytes(dir.user()), afterTwo);
  }
}

// An edit kept in memory (the folder was locked) that the file, changed by
// another copy meanwhile, no longer fits: the list takes the file's content,
// the edit is handed back to the caller and later saves go through.
TEST(PersonFile, KeptEditThatNoLongerFitsIsHandedBack) {
  struct Case {
    const char* what;
    std::optional<Edit> next;  // the save after the other copy's change
    std::string file;          // the file after it
  };
  const Case cases[] = {
      {"append", Edit::Append(Person("C")), Line(Person("B")) + Line(Person("C"))},
      {"save without edit", std::nullopt, Line(Person("B"))},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteBytes(dir.user(), Line(Person("A")) + Line(Person("B")));
    LoadResult one = MustLoad(dir.user());
    {
      // Another copy holds the folder's lock: the rename of A stays in memory.
      const int held = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
      ASSERT_EQ(::flock(held, LOCK_EX), 0);
      const SaveResult busy = SavePersonList(dir.user(), one.list, Edit::Modify(0, one.list.rows[0], Person("A2")));
      ::close(held);
      ASSERT_EQ(busy.status, Status::kBusy) << c.what;
      ASSERT_EQ(one.list.unsaved.size(), 1u);
    }
    WriteBytes(dir.user(), Line(Person("B")));  // the other copy removes A
    const SaveResult s = SavePersonList(dir.user(), one.list, c.next);
    EXPECT_TRUE(s) << c.what << ": " << s.message;
    EXPECT_TRUE(s.reloaded);
    ASSERT_EQ(s.dropped.size(), 1u) << c.what;
    EXPECT_EQ(s.dropped[0].after, Person("A2"));
    EXPECT_NE(s.message.find("修改第 1 筆「A」為「A2」"), std::string::npos) << s.message;
    EXPECT_EQ(ReadBytes(dir.user()), c.file) << c.what;
    EXPECT_TRUE(one.list.unsaved.empty());
    EXPECT_EQ(SerializePersonFile(one.list), c.file) << "the list shows the file";
    // The next edit is saved as any other.
    ASSERT_TRUE(SavePersonList(dir.user(), one.list, Edit::Append(Person("D")))) << c.what;
    EXPECT_EQ(ReadBytes(dir.user()), c.file + Line(Person("D")));
  }
}

// Temporary files of a save that was killed go at the next load, unless
// another copy is saving right now.
TEST(PersonFile, StaleTemporaryFilesAreRemoved) {
  for (const bool otherCopySaving : {false, true}) {
    TempDir dir;
    WriteBytes(dir.user(), Line(Person("A")));
    WriteBytes(dir.path() / "User.saving-123-456", Line(Person("A")) + "half");
    WriteBytes(dir.path() / "Other.saving-1", "x");  // not ours
    WriteBytes(dir.path() / "User.saved", "x");
    const int held = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    if (otherCopySaving) {
      ASSERT_EQ(::flock(held, LOCK_EX), 0);
    }
    const LoadResult r = MustLoad(dir.user());
    ::close(held);
    EXPECT_EQ(r.list.rows.size(), 1u);
    EXPECT_EQ(fs::exists(dir.path() / "User.saving-123-456"), otherCopySaving);
    EXPECT_TRUE(fs::exists(dir.path() / "Other.saving-1"));
    EXPECT_TRUE(fs::exists(dir.path() / "User.saved"));
  }
}

// ------------------------------------------------------------ size limits

TEST(PersonFile, AtMostOneHundredThousandRecords) {
  const std::string line = Line(Person("張三"));
  std::string content;
  content.reserve(line.size() * (kMaxRecords + 1));
  for (std::size_t i = 0; i < kMaxRecords; ++i) content += line;

  TempDir dir;
  WriteBytes(dir.user(), content + "\r\n\r\n");  // exactly the limit, blank lines after
  LoadResult full = MustLoad(dir.user());
  EXPECT_EQ(full.list.rows.size(), kMaxRecords);
  EXPECT_FALSE(full.list.truncated);
  EXPECT_TRUE(full.message.empty());

  WriteBytes(dir.user(), content + line);
  LoadResult over = MustLoad(dir.user());
  EXPECT_EQ(over.list.rows.size(), kMaxRecords);
  EXPECT_TRUE(over.list.truncated);
  EXPECT_FALSE(over.message.empty());
  // Saving would drop the last record: refused.
  SaveResult s = SavePersonList(dir.user(), over.list, Edit::Remove(0, over.list.rows[0]));
  EXPECT_EQ(s.status, Status::kTooLarge);
  EXPECT_FALSE(s.message.empty());
  EXPECT_EQ(fs::file_size(dir.user()), content.size() + line.size());
}

TEST(PersonFile, ContentCutShortKeepsOnlyWholeLines) {
  PersonList list = ParsePersonFile("a\r\nb\r\nhalf a li", false);
  EXPECT_EQ(list.rows.size(), 2u);
  EXPECT_TRUE(list.truncated);
}

}  // namespace
}  // namespace qelm::records
