// qelm-report chart --batch end to end: 10,000 random lines from memory to
// memory, on one thread and spread over threads.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.hpp"

namespace {

constexpr int kCharts = 10000;

// Lines "NAME<TAB>男|女<TAB>birth<TAB>flow moment" spread over 1901-2099.
std::string RandomBatch(int count) {
  std::uint32_t x = 4242;
  const auto next = [&x](int bound) {
    x = x * 1664525u + 1013904223u;  // a plain linear congruential sequence
    return static_cast<int>((x >> 8) % static_cast<std::uint32_t>(bound));
  };
  std::string in;
  char line[128];
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line, "某人%d\t%s\t%04d-%02d-%02d %02d:%02d\t%04d-%02d-%02d %02d:%02d\n", i,
                  next(2) ? "男" : "女", 1901 + next(199), 1 + next(12), 1 + next(28), next(24), next(60),
                  1901 + next(199), 1 + next(12), 1 + next(28), next(24), next(60));
    in += line;
  }
  return in;
}

// Output into a string whose room is made and touched once, so that the
// measure holds neither the growing and copying of the output itself nor the
// first touch of its pages.
class StringSink : public std::streambuf {
 public:
  explicit StringSink(std::size_t room) {
    text_.resize(room);
    text_.clear();
  }
  void clear() { text_.clear(); }
  std::size_t size() const { return text_.size(); }

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    text_.append(s, static_cast<std::size_t>(n));
    return n;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) text_ += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }

 private:
  std::string text_;
};

void RunBatch(benchmark::State& state, std::vector<const char*> args) {
  const std::string input = RandomBatch(kCharts);
  StringSink sink(std::size_t{160} << 20);  // a chart is about 11 KB
  std::size_t bytes = 0;
  for (auto _ : state) {
    sink.clear();
    std::istringstream in(input);
    std::ostream out(&sink);
    std::ostringstream err;
    qelm::cli::Streams io{in, out, err};
    qelm::cli::Run(static_cast<int>(args.size()), args.data(), io);
    bytes = sink.size();
    benchmark::DoNotOptimize(bytes);
  }
  // Seconds per chart.
  state.counters["per_chart"] =
      benchmark::Counter(kCharts, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

// One thread, in CPU time.
void BM_Batch(benchmark::State& state) { RunBatch(state, {"qelm-report", "chart", "--batch", "--jobs", "1"}); }
BENCHMARK(BM_Batch)->Unit(benchmark::kMillisecond);

// --jobs N against the clock: the gain from more threads.
void BM_BatchJobs(benchmark::State& state) {
  const std::string jobs = std::to_string(state.range(0));
  RunBatch(state, {"qelm-report", "chart", "--batch", "--jobs", jobs.c_str()});
}
BENCHMARK(BM_BatchJobs)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
