// A whole chart from two moments: the chart and the flow state, both reports,
// both star lists and the five level scores.
#include <benchmark/benchmark.h>

#include "analysis/scoring.hpp"
#include "analysis/stars.hpp"
#include "calendar/moment.hpp"
#include "chart/chart.hpp"
#include "report/report.hpp"

namespace {

using namespace qelm;

const MomentInput kBirth{1984, 2, 4, 23, 21};
const MomentInput kFlow{2024, 7, 16, 9, 45};

void BuildEverything(const MomentResult& birth, const MomentResult& flow) {
  const ChartState chart = LoadChart("王小明", 1, birth);
  const FlowState f = ComputeFlow(&chart, flow);
  benchmark::DoNotOptimize(ZiPingReport(chart, f));
  benchmark::DoNotOptimize(SanMingReport(chart, f));
  benchmark::DoNotOptimize(BuildStarRows(chart, School::ZiPing));
  benchmark::DoNotOptimize(BuildStarRows(chart, School::SanMing));
  benchmark::DoNotOptimize(BuildVirtues(chart.MonthBranch));
  for (int level = 1; level <= 5; ++level) benchmark::DoNotOptimize(LevelScores(chart, f, level));
}

// From the entered moments: both run through the calendar engine first.
void BM_ChartFromMoments(benchmark::State& state) {
  for (auto _ : state) {
    const auto birth = CalcMoment(kBirth);
    const auto flow = CalcMoment(kFlow);
    BuildEverything(*birth.result, *flow.result);
  }
}
BENCHMARK(BM_ChartFromMoments);

// From the engine's results, as the windows have them at hand.
void BM_ChartFromResults(benchmark::State& state) {
  const MomentResult birth = *CalcMoment(kBirth).result;
  const MomentResult flow = *CalcMoment(kFlow).result;
  for (auto _ : state) BuildEverything(birth, flow);
}
BENCHMARK(BM_ChartFromResults);

}  // namespace

// The pieces, to see where the time goes.
namespace {

struct Loaded {
  ChartState chart;
  FlowState flow;
  Loaded() : chart(LoadChart("王小明", 1, *CalcMoment(kBirth).result)), flow(ComputeFlow(&chart, *CalcMoment(kFlow).result)) {}
};

void BM_LoadChartAndFlow(benchmark::State& state) {
  const MomentResult birth = *CalcMoment(kBirth).result;
  const MomentResult flow = *CalcMoment(kFlow).result;
  for (auto _ : state) {
    const ChartState chart = LoadChart("王小明", 1, birth);
    benchmark::DoNotOptimize(ComputeFlow(&chart, flow));
  }
}
BENCHMARK(BM_LoadChartAndFlow);

void BM_BothReports(benchmark::State& state) {
  const Loaded l;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ZiPingReport(l.chart, l.flow));
    benchmark::DoNotOptimize(SanMingReport(l.chart, l.flow));
  }
}
BENCHMARK(BM_BothReports);

void BM_BothStarLists(benchmark::State& state) {
  const Loaded l;
  for (auto _ : state) {
    benchmark::DoNotOptimize(BuildStarRows(l.chart, School::ZiPing));
    benchmark::DoNotOptimize(BuildStarRows(l.chart, School::SanMing));
  }
}
BENCHMARK(BM_BothStarLists);

void BM_LevelScores(benchmark::State& state) {
  const Loaded l;
  for (auto _ : state) {
    for (int level = 1; level <= 5; ++level) benchmark::DoNotOptimize(LevelScores(l.chart, l.flow, level));
  }
}
BENCHMARK(BM_LevelScores);

}  // namespace
