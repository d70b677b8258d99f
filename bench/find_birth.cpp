// 八字反查 over the whole range 1901-2099: the cost of one search, for pillar
// sets spread over the sixty-cycles (most with a match, some without).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "chart/find_birth.hpp"

namespace {

using namespace qelm;

// The pillars of moments spread over the range: sets that occur.
std::vector<EightCharacters> OccurringSets(std::size_t count, bool withHour) {
  std::vector<EightCharacters> sets;
  std::uint32_t x = 4242;
  const auto next = [&x](std::uint32_t bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<int>((x >> 8) % bound);
  };
  for (std::size_t i = 0; i < count; ++i) {
    const MomentResult r = *CalcMoment({1901 + next(199), 1 + next(12), 1 + next(28), next(24), next(60)}).result;
    const MomentPillarSet& m = r.MomentPillars;
    EightCharacters p{m.Year, m.Month, m.Day, m.Hour};
    if (!withHour) p.hour.reset();
    sets.push_back(p);
  }
  return sets;
}

void BM_FindBirthWholeRange(benchmark::State& state) {
  const auto sets = OccurringSets(1024, state.range(0) != 0);
  const DayChange d = state.range(1) != 0 ? DayChange::AtMidnight : DayChange::AtZiStart;
  std::size_t i = 0, found = 0;
  for (auto _ : state) {
    const FindBirthOutcome out = FindBirth(sets[i], d);
    found += out.stretches.size();
    benchmark::DoNotOptimize(out);
    i = (i + 1) & 1023;
  }
  state.counters["stretches"] = benchmark::Counter(static_cast<double>(found), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FindBirthWholeRange)->ArgNames({"hour", "midnight"})->Args({1, 0})->Args({0, 0})->Args({1, 1});

}  // namespace
