// What a birthplace adds to a chart: the birth moment through the engine as
// entered, and corrected to standard time or true solar time (zone reading,
// daylight saving, equation of time and, for solar time, a second engine run).
#include <benchmark/benchmark.h>

#include "calendar/moment.hpp"
#include "place/correction.hpp"

namespace {

using namespace qelm;

const MomentInput kBirth{1975, 7, 1, 9, 30};  // Taipei, daylight saving
const Place kTaipei{"臺北市", 121.53185, 25.04776, "Asia/Taipei"};
const Place kNewYork{"紐約", -74.00597, 40.71427, "America/New_York"};

void BM_BirthAsEntered(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CalcMoment(kBirth));
}
BENCHMARK(BM_BirthAsEntered);

void Corrected(benchmark::State& state, const Place& place, TimeMode mode) {
  for (auto _ : state) {
    const CorrectionOutcome c = CorrectBirth(kBirth, place, mode);
    benchmark::DoNotOptimize(CorrectedMoment(*c.correction));
  }
}
void BM_BirthStandardTime(benchmark::State& state) { Corrected(state, kTaipei, TimeMode::Standard); }
void BM_BirthSolarTime(benchmark::State& state) { Corrected(state, kTaipei, TimeMode::Solar); }
BENCHMARK(BM_BirthStandardTime);
BENCHMARK(BM_BirthSolarTime);

// The correction alone, without the engine; two zones in turn, so the
// remembered zone lookup is missed every time.
void BM_CorrectionOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CorrectBirth(kBirth, kTaipei, TimeMode::Solar));
}
void BM_CorrectionAlternatingZones(benchmark::State& state) {
  bool flip = false;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CorrectBirth(kBirth, flip ? kTaipei : kNewYork, TimeMode::Solar));
    flip = !flip;
  }
}
BENCHMARK(BM_CorrectionOnly);
BENCHMARK(BM_CorrectionAlternatingZones);

}  // namespace
