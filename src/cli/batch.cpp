#include "cli/batch.hpp"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace qelm::cli {

namespace {

constexpr std::size_t kBlockLines = 32;
constexpr int kBlocksPerJob = 4;  // in flight: read, waiting, being worked or waiting to be written

struct Block {
  std::vector<std::string> lines;
  rapidjson::StringBuffer out;
  bool done = false;  // guarded by the batch's mutex
};

// Reads up to kBlockLines lines; false when the input has none left.
bool ReadBlock(std::istream& in, Block& b) {
  b.lines.clear();
  std::string line;
  while (b.lines.size() < kBlockLines && std::getline(in, line)) b.lines.push_back(std::move(line));
  return !b.lines.empty();
}

void Work(Block& b, const LineWork& work) {
  JsonWriter w(b.out);
  for (const std::string& line : b.lines) {
    work(line, w);
    w.EndLine();
  }
}

void Write(std::ostream& out, const rapidjson::StringBuffer& buffer) {
  out.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
}

// Lines are handed to the output stream some tens of kilobytes at a time.
constexpr std::size_t kWriteBytes = std::size_t{64} << 10;

void RunOneThread(std::istream& in, std::ostream& out, const LineWork& work) {
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  std::string line;
  while (std::getline(in, line)) {
    work(line, w);
    w.EndLine();
    if (buffer.GetSize() >= kWriteBytes) {
      Write(out, buffer);
      buffer.Clear();
    }
  }
  Write(out, buffer);
}

// The blocks between the reader, the workers and the writer. The calling
// thread reads and writes; the workers take blocks in input order and mark
// them done; the writer takes done blocks off the front only, so the output
// keeps the input's order.
class Pipeline {
 public:
  Pipeline(std::ostream& out, int jobs, const LineWork& work) : out_(out), work_(work), limit_(kBlocksPerJob * jobs) {
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

  void Run(std::istream& in) {
    for (;;) {
      std::unique_ptr<Block> b = SpareBlock();
      if (!ReadBlock(in, *b)) break;
      WriteDone(limit_ - 1);
      {
        std::lock_guard lock(mutex_);
        todo_.push_back(b.get());
        inFlight_.push_back(std::move(b));
      }
      workReady_.notify_one();
    }
    WriteDone(0);
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

void RunJsonLines(std::istream& in, std::ostream& out, int jobs, const LineWork& work) {
  if (jobs <= 1) return RunOneThread(in, out, work);
  Pipeline pipeline(out, jobs, work);
  pipeline.Run(in);
}

int DefaultJobs() { return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxJobs); }

}  // namespace qelm::cli
