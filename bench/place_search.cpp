// The place finder as a user types: every keystroke searches the built-in
// list and the world's cities, so each must stay well under a frame (16 ms).
// The world list is read once, at the first search: its cost is measured
// first, on its own.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "place/places.hpp"

namespace {

using namespace qelm;

// The prefixes a user types on the way to each name.
std::vector<std::string> Keystrokes() {
  std::vector<std::string> out;
  for (std::string name : {"Nairobi", "San Francisco", "St Petersburg", "Kashgar", "Zürich", "m"})
    for (std::size_t n = 1; n <= name.size(); ++n) out.push_back(name.substr(0, n));
  return out;
}

void BM_WorldListFirstSearch(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SearchWorldCities("a", 20));
}
BENCHMARK(BM_WorldListFirstSearch)->Iterations(1)->Unit(benchmark::kMillisecond);

// One keystroke as the finder handles it: the built-in list and the world.
void BM_FinderKeystroke(benchmark::State& state) {
  const std::vector<std::string> keys = Keystrokes();
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& q = keys[i++ % keys.size()];
    benchmark::DoNotOptimize(FindPlaces(q, 20));
    benchmark::DoNotOptimize(SearchWorldCities(q, 20));
  }
}
BENCHMARK(BM_FinderKeystroke)->Unit(benchmark::kMicrosecond);

// The worst keystroke: one letter, which begins thousands of names.
void BM_WorldSearchOneLetter(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SearchWorldCities("s", 20));
}
BENCHMARK(BM_WorldSearchOneLetter)->Unit(benchmark::kMicrosecond);

// A typed name read to a place, as `--place` and the birthplace field do.
void BM_ResolvePlace(benchmark::State& state) {
  const std::vector<std::string> names{"臺北市", "Urumqi", "乌鲁木齐", "州", "St Petersburg", "Nairobi"};
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(ResolvePlace(names[i++ % names.size()]));
}
BENCHMARK(BM_ResolvePlace)->Unit(benchmark::kMicrosecond);

}  // namespace
