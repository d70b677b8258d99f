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

void RunBatch(benchmark::State& state, std::vector<const char*> args) {
  const std::string input = RandomBatch(kCharts);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::istringstream in(input);
    std::ostringstream out, err;
    qelm::cli::Streams io{in, out, err};
    qelm::cli::Run(static_cast<int>(args.size()), args.data(), io);
    bytes = out.view().size();
    benchmark::DoNotOptimize(bytes);
  }
  // Seconds per chart.
  state.counters["per_chart"] =
      benchmark::Counter(kCharts, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_Batch(benchmark::State& state) { RunBatch(state, {"qelm-report", "chart", "--batch"}); }
BENCHMARK(BM_Batch)->Unit(benchmark::kMillisecond);

}  // namespace
