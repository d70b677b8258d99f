// Cost of one CalcMoment over moments spread across 1901-2099.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "calendar/lunar.hpp"
#include "calendar/moment.hpp"

namespace {

std::vector<qelm::MomentInput> SpreadMoments(std::size_t count) {
  std::vector<qelm::MomentInput> moments;
  moments.reserve(count);
  std::uint32_t x = 12345;
  const auto next = [&x](std::uint32_t bound) {
    x = x * 1664525u + 1013904223u;  // a plain linear congruential sequence
    return static_cast<int>((x >> 8) % bound);
  };
  for (std::size_t i = 0; i < count; ++i)
    moments.push_back({1901 + next(199), 1 + next(12), 1 + next(28), next(24), next(60)});
  return moments;
}

void BM_CalcMoment(benchmark::State& state) {
  const auto moments = SpreadMoments(4096);
  std::size_t i = 0;
  for (auto _ : state) {
    auto out = qelm::CalcMoment(moments[i]);
    benchmark::DoNotOptimize(out);
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_CalcMoment);

void BM_SolarToLunar(benchmark::State& state) {
  const auto moments = SpreadMoments(4096);
  std::size_t i = 0;
  for (auto _ : state) {
    auto out = qelm::SolarToLunar(moments[i].InputYear, moments[i].InputMonth, moments[i].InputDay);
    benchmark::DoNotOptimize(out);
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_SolarToLunar);

}  // namespace
