// The batch output of a fixed, generated set of charts, pinned by its SHA-256.
// Work on speed must never change a byte of it; a deliberate change of the
// output updates kRecordedDigest in the same commit, saying why.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "calendar/tables.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

// The window-only keys ChartLoaded, DateLabText, CommandLineText and PalaceLineText left the
// JSON; nothing else changed.
constexpr std::string_view kRecordedDigest = "8a6ae412fabb618da70b6c9e706b2da214afbc4ff95186dd21a633963b181091";

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

// On one thread, on the default number and on more threads than the machine
// has cores: the same bytes in the same order.
TEST(BatchGuard, OutputMatchesTheRecordedDigest) {
  const std::string input = BatchInput();
  const std::vector<std::vector<const char*>> runs{
      {"chart", "--batch", "--jobs", "1"}, {"chart", "--batch"}, {"chart", "--batch", "--jobs", "5"}};
  for (const auto& args : runs) {
    const Ran r = RunReport(args, input);
    ASSERT_EQ(r.status, 1) << r.err;  // the input holds bad lines on purpose
    EXPECT_EQ(Lines(r.out).size(), 608u);
    EXPECT_EQ(Sha256Hex(r.out), kRecordedDigest) << args.back() << ": output of " << r.out.size() << " bytes";
  }
}

}  // namespace
}  // namespace qelm::cli
