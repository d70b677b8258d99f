// The relations of a chart at a flow moment: what the 刑沖合會 window and the
// JSON compute, at every step of the date row for the window.
#include <benchmark/benchmark.h>

#include "analysis/relations.hpp"
#include "calendar/moment.hpp"
#include "chart/chart.hpp"

namespace {

using namespace qelm;

// The demo chart (巳午未 and more) at a moment inside a luck pillar: nine
// pillars, some thirty relations.
void BM_RelationsOfAChart(benchmark::State& state) {
  const ChartState chart = LoadChart("王小明", Sex::Male, *CalcMoment({1990, 5, 17, 14, 30}).result);
  const FlowState flow = ComputeFlow(&chart, *CalcMoment({2024, 6, 15, 10, 30}).result);
  std::size_t found = 0;
  for (auto _ : state) {
    const ChartRelations r = RelationsOf(chart, flow);
    found = r.natal.size() + r.flow.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["relations"] = static_cast<double>(found);
}
BENCHMARK(BM_RelationsOfAChart);

}  // namespace
