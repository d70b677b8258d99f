// The batch output of a fixed, generated set of charts, pinned by SHA-256
// digests in batch_guard_digests.txt: of the whole output, of each key's
// values over all lines and of each line. Work on speed must never change a
// byte of it. When it changes, the test names the keys and the lines that
// changed; a deliberate change of the output records the digests again
// (QELM_RECORD_BATCH_GUARD=1) in the same commit, saying why.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "calendar/tables.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

constexpr const char* kDigestFile = QELM_SOURCE_DIR "/tests/cli/batch_guard_digests.txt";

std::string Sha256Hex(const std::string& data) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> md{};
  unsigned int length = 0;
  EVP_Digest(data.data(), data.size(), md.data(), &length, EVP_sha256(), nullptr);
  std::string hex;
  char two[3];
  for (unsigned int i = 0; i < length; ++i) {
    std::snprintf(two, sizeof two, "%02x", md[i]);
    hex += two;
  }
  return hex;
}

// "yyyy-mm-dd hh:mm", the form a batch line takes.
std::string UserText(Moment t) {
  std::string text = MomentText(t);
  text[4] = text[7] = '-';
  return text;
}

// A plain linear congruential sequence: the same lines on every machine.
struct Sequence {
  std::uint32_t x = 20261207;
  int next(int bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<int>((x >> 8) % static_cast<std::uint32_t>(bound));
  }
};

// Names that test the writing of texts: quotes, backslashes, control
// characters, bytes that are no UTF-8, and ordinary names.
const std::array<std::string, 12> kNames{
    "王小明", "陳美玲", "", "A \"quoted\" name", "back\\slash", "tab\tsplit",  // a fifth field: refused
    std::string("bell\x07 and del\x7f", 14), "\xff\xfe broken", "cut \xe7\x8e", "\xe7\x8e\x8b\xe7 mix",
    "nul-free \x01\x1f end", "long name 長長長長長長長長長長長長長長長長長長長長"};

std::string BatchInput() {
  Sequence r;
  std::string in;
  const auto line = [&](const std::string& name, std::string_view sex, const std::string& birth,
                        const std::string& at) {
    in += name;
    in += '\t';
    in += sex;
    in += '\t';
    in += birth;
    in += '\t';
    in += at;
    in += r.next(5) == 0 ? "\r\n" : "\n";
  };
  for (int i = 0; i < 600; ++i) {
    const std::string& name = kNames[static_cast<std::size_t>(r.next(static_cast<int>(kNames.size())))];
    const std::string_view sex = i % 2 == 0 ? "男" : "女";
    const int year = 1901 + r.next(199);
    Moment birth = MakeMoment(year, 1 + r.next(12), 1 + r.next(28), r.next(24), r.next(60));
    switch (i % 6) {
      case 1:  // the last double hour, which reaches into the next day
        birth = MakeMoment(DateOf(birth), 23, r.next(60));
        break;
      case 2:  // born at the very minute of a solar term
        birth = *SolarTermAt((year - 1900) * 24 + 1 + r.next(24));
        break;
      default: break;
    }
    Moment at = MakeMoment(1901 + r.next(199), 1 + r.next(12), 1 + r.next(28), r.next(24), r.next(60));
    if (i % 5 == 3) at = birth + std::chrono::minutes{r.next(60 * 24 * 40)};  // before the first luck pillar
    if (at > MakeMoment(2099, 12, 31, 23, 59)) at = MakeMoment(2099, 12, 31, 23, 59);
    line(name, sex, UserText(birth), UserText(at));
  }
  // The ends of the range, and lines that are refused.
  line("頭", "男", "1901-01-01 00:00", "2099-12-31 23:59");
  line("尾", "女", "2099-12-31 23:59", "1901-01-01 00:00");
  line("錯", "\xff", "2000-02-04 20:35", "2030-06-15 12:00");
  line("錯", "女", "1900-12-31 23:59", "2030-06-15 12:00");
  line("錯", "女", "2000-02-30 10:00", "2030-06-15 12:00");
  line("錯", "男", "2000-02-04 20:35", "");
  in += "only one field\n\n";
  return in;
}

// The digests of an output: "all" for the whole of it, "key K" for the values
// of key K over all lines (the members of the objects that group several, as
// "key Report.子平法"; "-" where a line has none), "line N" for line N.
using Digests = std::map<std::string, std::string>;

std::string Serialized(const rapidjson::Value& v) {
  rapidjson::StringBuffer b;
  rapidjson::Writer<rapidjson::StringBuffer> w(b);
  v.Accept(w);
  return {b.GetString(), b.GetSize()};
}

// Each line's values by key path.
std::vector<std::map<std::string, std::string>> ValuesByKey(const std::vector<std::string>& lines) {
  const std::set<std::string> grouped{"birth", "Stars", "Virtues", "Report", "BirthCorrection"};
  std::vector<std::map<std::string, std::string>> out;
  for (const std::string& line : lines) {
    auto& values = out.emplace_back();
    rapidjson::Document d;
    d.Parse(line.c_str());
    if (d.HasParseError() || !d.IsObject()) {
      values["(not an object)"] = line;
      continue;
    }
    for (auto m = d.MemberBegin(); m != d.MemberEnd(); ++m) {
      const std::string key = m->name.GetString();
      if (grouped.count(key) && m->value.IsObject()) {
        for (auto s = m->value.MemberBegin(); s != m->value.MemberEnd(); ++s)
          values[key + "." + s->name.GetString()] = Serialized(s->value);
      } else {
        values[key] = Serialized(m->value);
      }
    }
  }
  return out;
}

Digests DigestsOf(const std::string& output) {
  const std::vector<std::string> lines = Lines(output);
  const auto values = ValuesByKey(lines);
  std::set<std::string> keys;
  for (const auto& v : values)
    for (const auto& [key, value] : v) keys.insert(key);
  Digests d;
  d["all"] = Sha256Hex(output);
  for (const std::string& key : keys) {
    std::string joined;
    for (const auto& v : values) {
      const auto at = v.find(key);
      joined += at == v.end() ? "-" : at->second;
      joined += '\n';
    }
    d["key " + key] = Sha256Hex(joined).substr(0, 16);
  }
  for (std::size_t i = 0; i < lines.size(); ++i) d["line " + std::to_string(i + 1)] = Sha256Hex(lines[i]).substr(0, 16);
  return d;
}

Digests ReadDigests() {
  Digests d;
  std::ifstream file(kDigestFile);
  for (std::string line; std::getline(file, line);) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) d[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return d;
}

void WriteDigests(const Digests& d) {
  std::ofstream file(kDigestFile);
  for (const auto& [name, digest] : d) file << name << '\t' << digest << '\n';
}

// What differs between the recorded digests and those of the output: keys
// changed, added or gone, and the first lines that changed, each with its
// input line and its output now.
std::string Differences(const Digests& recorded, const Digests& now, const std::string& input,
                        const std::string& output) {
  std::ostringstream out;
  int lines = 0;
  const std::vector<std::string> inputLines = Lines(input), outputLines = Lines(output);
  for (const auto& [name, digest] : now) {
    const auto at = recorded.find(name);
    const bool isLine = name.rfind("line ", 0) == 0;
    if (at != recorded.end() && at->second == digest) continue;
    if (!isLine) {
      out << name << (at == recorded.end() ? ": new" : ": changed") << "\n";
    } else if (++lines <= 3) {
      const std::size_t n = std::stoul(name.substr(5));
      out << name << " changed; input: " << (n <= inputLines.size() ? inputLines[n - 1] : "?")
          << "\n  output now: " << outputLines[n - 1].substr(0, 2000) << "\n";
    }
  }
  for (const auto& [name, digest] : recorded)
    if (!now.count(name)) out << name << ": gone\n";
  if (lines > 3) out << "and " << lines - 3 << " more lines changed\n";
  return out.str();
}

// On one thread, on the default number and on more threads than the machine
// has cores: the same bytes in the same order, those recorded.
TEST(BatchGuard, OutputMatchesTheRecordedDigests) {
  const std::string input = BatchInput();
  const std::vector<std::vector<const char*>> runs{
      {"chart", "--batch", "--jobs", "1"}, {"chart", "--batch"}, {"chart", "--batch", "--jobs", "5"}};
  std::string first;
  for (const auto& args : runs) {
    const Ran r = RunReport(args, input);
    ASSERT_EQ(r.status, 1) << r.err;  // the input holds bad lines on purpose
    EXPECT_EQ(Lines(r.out).size(), 608u);
    if (first.empty()) first = r.out;
    else {
      EXPECT_TRUE(r.out == first) << args.back() << ": not the output of one thread";
    }
  }
  const Digests now = DigestsOf(first);
  if (const char* record = std::getenv("QELM_RECORD_BATCH_GUARD"); record && *record == '1') {
    WriteDigests(now);
    GTEST_SKIP() << "recorded the digests in " << kDigestFile;
  }
  const Digests recorded = ReadDigests();
  ASSERT_FALSE(recorded.empty()) << "no digests in " << kDigestFile;
  EXPECT_EQ(now.at("all"), recorded.count("all") ? recorded.at("all") : "")
      << "The batch output changed (" << first.size() << " bytes):\n"
      << Differences(recorded, now, input, first);
}

}  // namespace
}  // namespace qelm::cli
