// 擇日: a year of dates with their almanac and the relations each forms with
// a person's natal pillars, as `qelm-report days` and the 擇日 window compute
// them. The goal: a year under 1 ms.
#include <benchmark/benchmark.h>

#include "analysis/day_choice.hpp"
#include "calendar/moment.hpp"
#include "chart/chart.hpp"

namespace {

using namespace qelm;

void BM_AYearOfDaysWithRelations(benchmark::State& state) {
  const ChartState chart = LoadChart("王小明", Sex::Male, *CalcMoment({1990, 5, 17, 14, 30}).result);
  const NatalPillars natal = NatalPillars::Of(chart);
  std::size_t relations = 0;
  for (auto _ : state) {
    const std::vector<ChosenDay> days = ChooseDays(MakeDate(2024, 1, 1), MakeDate(2024, 12, 31), &natal, {});
    relations = 0;
    for (const ChosenDay& d : days) relations += d.relations.size();
    benchmark::DoNotOptimize(relations);
  }
  state.counters["relations"] = static_cast<double>(relations);
  state.SetItemsProcessed(state.iterations() * 366);
}
BENCHMARK(BM_AYearOfDaysWithRelations)->Unit(benchmark::kMicrosecond);

// The twelve hours of a date with their gods, as the window shows them.
void BM_HoursOfADate(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(HoursOf(MakeDate(2024, 2, 4), DayChange::AtZiStart));
}
BENCHMARK(BM_HoursOfADate);

}  // namespace
