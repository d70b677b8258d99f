#include "cli/batch.hpp"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <istream>
#include <limits>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli/parse_errors.hpp"
#include "records/big5.hpp"

namespace qelm::cli {

namespace {

// Reads lines of at most kMaxLineBytes into a buffer made once. The rest of a
// longer line is read through and dropped: the line keeps its start only.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in), buffer_(kMaxLineBytes + 1) {}

  enum Result { kLine, kTooLong, kEnd };
  Result Read(std::string& line) {
    in_.getline(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    const auto count = static_cast<std::size_t>(in_.gcount());
    if (in_.fail()) {
      if (in_.eof()) return kEnd;  // nothing was left
      // kMaxLineBytes read and the line goes on.
      line.assign(buffer_.data(), count);
      in_.clear();
      in_.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
      return kTooLong;
    }
    // The line end was taken, unless the input ended first.
    line.assign(buffer_.data(), in_.eof() ? count : count - 1);
    return kLine;
  }

 private:
  std::istream& in_;
  std::vector<char> buffer_;
};

// The error of a line too long to take: its start is quoted, whole
// characters of it.
std::string WriteTooLong(JsonWriter& w, std::string_view start) {
  std::string reason = "此行超過 64 KiB(" + std::to_string(kMaxLineBytes) + " 位元組),未讀入;開頭為「" +
                       std::string(records::FirstCharacters(start, 24)) + "…」";
  WriteError(w, reason);
  return reason;
}

// A skipped line as the error stream names it; its reason may quote the
// line, so a long quote is cut.
void WriteSkipped(std::ostream& err, std::size_t number, std::string_view reason) {
  err << "qelm-report: 第 " << number << " 行:" << ShortQuotes(reason) << "\n";
}

constexpr std::size_t kBlockLines = 32;
constexpr int kBlocksPerJob = 4;  // in flight: read, waiting, being worked or waiting to be written

struct Block {
  std::vector<std::string> lines;
  std::vector<bool> tooLong;  // of each line
  std::size_t firstLine = 0;  // the number of the first line, from 1
  std::vector<std::pair<std::size_t, std::string>> skipped;  // the lines' indexes and reasons
  rapidjson::StringBuffer out;
  bool done = false;  // guarded by the batch's mutex
};

// Reads up to kBlockLines lines; false when the input has none left. Notes
// in `tooLong` when a line was.
bool ReadBlock(LineReader& in, Block& b, std::size_t firstLine) {
  b.firstLine = firstLine;
  b.lines.resize(kBlockLines);
  b.tooLong.assign(kBlockLines, false);
  std::size_t n = 0;
  for (; n < kBlockLines; ++n) {
    const LineReader::Result r = in.Read(b.lines[n]);
    if (r == LineReader::kEnd) break;
    b.tooLong[n] = r == LineReader::kTooLong;
  }
  b.lines.resize(n);
  return n > 0;
}

void Work(Block& b, const LineWork& work) {
  JsonWriter w(b.out);
  b.skipped.clear();
  for (std::size_t i = 0; i < b.lines.size(); ++i) {
    std::string reason = b.tooLong[i] ? WriteTooLong(w, b.lines[i]) : work(b.lines[i], w);
    if (!reason.empty()) b.skipped.emplace_back(i, std::move(reason));
    w.EndLine();
  }
}

void Write(std::ostream& out, const rapidjson::StringBuffer& buffer) {
  out.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
}

// Lines are handed to the output stream some tens of kilobytes at a time.
constexpr std::size_t kWriteBytes = std::size_t{64} << 10;

bool RunOneThread(std::istream& in, std::ostream& out, std::ostream& err, const LineWork& work) {
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  LineReader reader(in);
  std::string line;
  bool skipped = false;
  std::size_t number = 0;
  for (LineReader::Result r; (r = reader.Read(line)) != LineReader::kEnd;) {
    ++number;
    const std::string reason = r == LineReader::kTooLong ? WriteTooLong(w, line) : work(line, w);
    if (!reason.empty()) {
      WriteSkipped(err, number, reason);
      skipped = true;
    }
    w.EndLine();
    if (buffer.GetSize() >= kWriteBytes) {
      Write(out, buffer);
      buffer.Clear();
    }
  }
  Write(out, buffer);
  return skipped;
}

// The blocks between the reader, the workers and the writer. The calling
// thread reads and writes; the workers take blocks in input order and mark
// them done; the writer takes done blocks off the front only, so the output
// keeps the input's order.
class Pipeline {
 public:
  Pipeline(std::ostream& out, std::ostream& err, int jobs, const LineWork& work)
      : out_(out), err_(err), work_(work), limit_(kBlocksPerJob * jobs) {
    // The calling thread is one of the `jobs`: it works blocks whenever it
    // would otherwise wait for them.
    for (int i = 1; i < jobs; ++i) workers_.emplace_back([this] { WorkLoop(); });
  }
  ~Pipeline() {
    {
      std::lock_guard lock(mutex_);
      inputEnded_ = true;
    }
    workReady_.notify_all();
    for (std::thread& t : workers_) t.join();
  }

  // True when a line was skipped.
  bool Run(std::istream& in) {
    LineReader reader(in);
    for (std::size_t firstLine = 1;; firstLine += kBlockLines) {
      std::unique_ptr<Block> b = SpareBlock();
      if (!ReadBlock(reader, *b, firstLine)) break;
      WriteDone(limit_ - 1);
      {
        std::lock_guard lock(mutex_);
        todo_.push_back(b.get());
        inFlight_.push_back(std::move(b));
      }
      workReady_.notify_one();
    }
    WriteDone(0);
    return skipped_;
  }

 private:
  void WorkLoop() {
    for (;;) {
      Block* b = nullptr;
      {
        std::unique_lock lock(mutex_);
        workReady_.wait(lock, [this] { return !todo_.empty() || inputEnded_; });
        if (todo_.empty()) return;
        b = todo_.front();
        todo_.pop_front();
      }
      Work(*b, work_);
      {
        std::lock_guard lock(mutex_);
        b->done = true;
      }
      blockDone_.notify_one();
    }
  }

  // Writes the done blocks at the front, waiting until at most `keep` blocks
  // remain in flight.
  void WriteDone(std::size_t keep) {
    std::unique_lock lock(mutex_);
    for (;;) {
      while (!inFlight_.empty() && inFlight_.front()->done) {
        std::unique_ptr<Block> b = std::move(inFlight_.front());
        inFlight_.pop_front();
        lock.unlock();
        Write(out_, b->out);
        for (const auto& [index, reason] : b->skipped) WriteSkipped(err_, b->firstLine + index, reason);
        skipped_ = skipped_ || !b->skipped.empty();
        b->out.Clear();  // keeps its memory for the next block
        b->done = false;
        spare_.push_back(std::move(b));
        lock.lock();
      }
      if (inFlight_.size() <= keep) return;
      if (!todo_.empty()) {
        // Rather than wait, the calling thread works the next block itself.
        Block* b = todo_.front();
        todo_.pop_front();
        lock.unlock();
        Work(*b, work_);
        lock.lock();
        b->done = true;
        continue;
      }
      blockDone_.wait(lock);
    }
  }

  std::unique_ptr<Block> SpareBlock() {
    if (spare_.empty()) return std::make_unique<Block>();
    std::unique_ptr<Block> b = std::move(spare_.back());
    spare_.pop_back();
    return b;
  }

  std::ostream& out_;
  std::ostream& err_;
  bool skipped_ = false;  // the calling thread's only
  const LineWork& work_;
  const std::size_t limit_;
  std::vector<std::unique_ptr<Block>> spare_;  // the calling thread's only

  std::mutex mutex_;
  std::condition_variable workReady_, blockDone_;
  std::deque<std::unique_ptr<Block>> inFlight_;  // in input order
  std::deque<Block*> todo_;                      // not yet taken by a worker
  bool inputEnded_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace

bool RunJsonLines(std::istream& in, std::ostream& out, std::ostream& err, int jobs, const LineWork& work) {
  if (jobs <= 1) return RunOneThread(in, out, err, work);
  Pipeline pipeline(out, err, jobs, work);
  return pipeline.Run(in);
}

int DefaultJobs() { return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxJobs); }

}  // namespace qelm::cli
