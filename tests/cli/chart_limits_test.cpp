// What the chart command refuses: names the person file could not hold, batch
// lines past their bound, a PDF into a folder that cannot be written.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/resource.h>

#include <filesystem>
#include <streambuf>
#include <string>
#include <vector>

#include "records/big5.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

std::string Repeated(std::string_view text, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += text;
  return out;
}

// The person file's own limit, in characters, whatever their bytes.
TEST(ChartLimits, NamesOverThePersonFilesLimitAreRefused) {
  for (const std::string_view character : {"a", "長"}) {
    const std::string longest = Repeated(character, records::kMaxNameLength);
    const std::string over = Repeated(character, records::kMaxNameLength + 1);
    const auto run = [](const std::string& name) {
      return RunReport({"chart", "--name", name.c_str(), "--sex", "男", "--birth", "2000-02-04 20:35", "--at",
                        "2030-06-15 12:00"});
    };
    EXPECT_EQ(run(longest).status, 0) << character;
    const Ran refused = run(over);
    EXPECT_EQ(refused.status, 2) << character;
    EXPECT_TRUE(refused.out.empty());
    EXPECT_NE(refused.err.find(std::to_string(records::kMaxNameLength)), std::string::npos) << refused.err;

    // A batch line with such a name is an error line, and the batch goes on.
    const Ran batch = RunReport({"chart", "--batch"}, over + "\t男\t2000-02-04 20:35\t2030-06-15 12:00\n" + longest +
                                                          "\t男\t2000-02-04 20:35\t2030-06-15 12:00\n");
    EXPECT_EQ(batch.status, 1);
    const auto lines = Lines(batch.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(nlohmann::json::parse(lines[0]).contains("error")) << lines[0];
    EXPECT_EQ(nlohmann::json::parse(lines[1])["PersonName"], longest);
  }
}

// An input of `size` bytes of one line, then a good line, made as it is read.
class LongLineBuffer : public std::streambuf {
 public:
  explicit LongLineBuffer(std::size_t size) : left_(size) {
    chunk_.assign(1 << 16, 'x');
    tail_ = "\n甲\t男\t2000-02-04 20:35\t2030-06-15 12:00\n";
  }

 protected:
  int_type underflow() override {
    if (left_ > 0) {
      const std::size_t n = std::min(left_, chunk_.size());
      left_ -= n;
      setg(chunk_.data(), chunk_.data(), chunk_.data() + n);
      return traits_type::to_int_type(chunk_[0]);
    }
    if (!tailGiven_) {
      tailGiven_ = true;
      setg(tail_.data(), tail_.data(), tail_.data() + tail_.size());
      return traits_type::to_int_type(tail_[0]);
    }
    return traits_type::eof();
  }

 private:
  std::size_t left_;
  std::string chunk_, tail_;
  bool tailGiven_ = false;
};

long PeakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

TEST(ChartLimits, BatchLinesAreBoundedInLength) {
  for (const char* jobs : {"1", "3"}) {
    // 64 KiB is still a line (refused for its fields, not for its length);
    // one byte more is too long.
    for (const std::size_t size : {std::size_t{64} << 10, (std::size_t{64} << 10) + 1}) {
      const Ran r = RunReport({"chart", "--batch", "--jobs", jobs},
                              std::string(size, 'y') + "\n甲\t男\t2000-02-04 20:35\t2030-06-15 12:00\n");
      EXPECT_EQ(r.status, 1);
      const auto lines = Lines(r.out);
      ASSERT_EQ(lines.size(), 2u);
      const std::string error = nlohmann::json::parse(lines[0])["error"];
      EXPECT_EQ(error.find("64 KiB") != std::string::npos, size > (std::size_t{64} << 10)) << error.substr(0, 200);
      EXPECT_LT(lines[0].size(), 400u) << "the error quotes only the start of the line";
      EXPECT_EQ(nlohmann::json::parse(lines[1])["PersonName"], "甲");
    }
  }

  // A line of 96 MiB is read through, never held: the peak memory of the
  // process stays far below it, and the line after it is cast.
  const long before = PeakKilobytes();
  LongLineBuffer source(std::size_t{96} << 20);
  std::istream in(&source);
  std::ostringstream out, err;
  Streams io{in, out, err};
  const char* args[] = {"qelm-report", "chart", "--batch", "--jobs", "1"};
  EXPECT_EQ(qelm::cli::Run(5, args, io), 1);
  EXPECT_LT(PeakKilobytes() - before, 48L << 10);
  const auto lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_LT(lines[0].size(), 400u);
  EXPECT_EQ(nlohmann::json::parse(lines[1])["PersonName"], "甲");
}

TEST(ChartLimits, PdfIntoAFolderThatCannotBeWrittenNamesTheFullPath) {
  const std::filesystem::path relative = "no-such-folder-of-qelm/chart.pdf";
  const std::string full = (std::filesystem::current_path() / relative).string();
  const Ran r = RunReport({"chart", "--name", "甲", "--sex", "男", "--birth", "2000-02-04 20:35", "--at",
                           "2030-06-15 12:00", "--pdf", relative.c_str()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(full), std::string::npos) << r.err;
  EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
  EXPECT_FALSE(std::filesystem::exists(relative.parent_path()));
}

}  // namespace
}  // namespace qelm::cli
