// A whole chart from two moments: the chart and the flow state, both reports,
// both star lists and the five level scores.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

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
  const ChartState chart = LoadChart("王小明", Sex::Male, birth);
  const FlowState f = ComputeFlow(&chart, flow);
  benchmark::DoNotOptimize(ZiPingReport(chart, f));
  benchmark::DoNotOptimize(SanMingReport(chart, f));
  benchmark::DoNotOptimize(BuildStarRows(chart, School::ZiPing));
  benchmark::DoNotOptimize(BuildStarRows(chart, School::SanMing));
  benchmark::DoNotOptimize(BuildVirtues(chart.MonthBranch));
  for (const ScorePeriod p : kScorePeriods) benchmark::DoNotOptimize(LevelScores(chart, f, p));
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
  Loaded() : Loaded(Sex::Male, *CalcMoment(kBirth).result, *CalcMoment(kFlow).result) {}
  Loaded(Sex sex, const MomentResult& birth, const MomentResult& at)
      : chart(LoadChart("王小明", sex, birth)), flow(ComputeFlow(&chart, at)) {}
};

void BM_LoadChartAndFlow(benchmark::State& state) {
  const MomentResult birth = *CalcMoment(kBirth).result;
  const MomentResult flow = *CalcMoment(kFlow).result;
  for (auto _ : state) {
    const ChartState chart = LoadChart("王小明", Sex::Male, birth);
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

// Both at once, the shared lines composed once, into buffers kept from one
// chart to the next: as the batch writes them.
void BM_BothReportsAtOnce(benchmark::State& state) {
  const Loaded l;
  std::string ziPing, sanMing;
  for (auto _ : state) {
    ziPing.clear();
    sanMing.clear();
    AppendBothReports(ziPing, sanMing, l.chart, l.flow, "\r\n");
    benchmark::DoNotOptimize(ziPing.data());
    benchmark::DoNotOptimize(sanMing.data());
  }
}
BENCHMARK(BM_BothReportsAtOnce);

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
    for (const ScorePeriod p : kScorePeriods) benchmark::DoNotOptimize(LevelScores(l.chart, l.flow, p));
  }
}
BENCHMARK(BM_LevelScores);

}  // namespace

// The same pieces over charts spread across 1901-2099, both sexes, each with
// its own flow moment: no one chart's branches taken again and again.
namespace {

struct Spread {
  std::vector<Loaded> charts;
  Spread() {
    std::uint32_t x = 2026;
    const auto next = [&x](int bound) {
      x = x * 1664525u + 1013904223u;  // a plain linear congruential sequence
      return static_cast<int>((x >> 8) % static_cast<std::uint32_t>(bound));
    };
    const auto moment = [&] {
      return *CalcMoment({1901 + next(199), 1 + next(12), 1 + next(28), next(24), next(60)}).result;
    };
    charts.reserve(1024);
    for (int i = 0; i < 1024; ++i) {
      const MomentResult birth = moment();
      charts.emplace_back(SexOfCode(i % 2), birth, moment());
    }
  }
};

void BM_LoadChartAndFlowSpread(benchmark::State& state) {
  const Spread s;
  std::size_t i = 0;
  for (auto _ : state) {
    const Loaded& l = s.charts[i++ & 1023];
    const ChartState chart = LoadChart("王小明", l.chart.Sex, l.chart.birth);
    benchmark::DoNotOptimize(ComputeFlow(&chart, l.flow.moment));
  }
}
BENCHMARK(BM_LoadChartAndFlowSpread);

void BM_BothReportsSpread(benchmark::State& state) {
  const Spread s;
  std::size_t i = 0;
  for (auto _ : state) {
    const Loaded& l = s.charts[i++ & 1023];
    benchmark::DoNotOptimize(ZiPingReport(l.chart, l.flow));
    benchmark::DoNotOptimize(SanMingReport(l.chart, l.flow));
  }
}
BENCHMARK(BM_BothReportsSpread);

void BM_BothReportsAtOnceSpread(benchmark::State& state) {
  const Spread s;
  std::string ziPing, sanMing;
  std::size_t i = 0;
  for (auto _ : state) {
    const Loaded& l = s.charts[i++ & 1023];
    ziPing.clear();
    sanMing.clear();
    AppendBothReports(ziPing, sanMing, l.chart, l.flow, "\r\n");
    benchmark::DoNotOptimize(ziPing.data());
    benchmark::DoNotOptimize(sanMing.data());
  }
}
BENCHMARK(BM_BothReportsAtOnceSpread);

void BM_BothStarListsSpread(benchmark::State& state) {
  const Spread s;
  std::size_t i = 0;
  for (auto _ : state) {
    const Loaded& l = s.charts[i++ & 1023];
    benchmark::DoNotOptimize(BuildStarRows(l.chart, School::ZiPing));
    benchmark::DoNotOptimize(BuildStarRows(l.chart, School::SanMing));
  }
}
BENCHMARK(BM_BothStarListsSpread);

}  // namespace
