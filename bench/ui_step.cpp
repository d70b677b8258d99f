// One step of the date row (the whole cascade, the flow moment's redraw and the repaint) and
// the start-up of the main window, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <memory>

#include "ui/main/main_window.hpp"
#include "ui/kit/window_layer.hpp"

namespace {

using qelm::ui::MainWindow;

MainWindow::Clock FixedClock() {
  return [] { return qelm::MakeMoment(2024, 6, 15, 10, 30); };
}

std::unique_ptr<MainWindow> ChartWindow() {
  auto w = std::make_unique<MainWindow>(FixedClock());
  w->CastChart("王小明", 1, {1990, 5, 17, 14, 30});
  w->show();
  QApplication::processEvents();
  return w;
}

// Counts the paint events delivered to widgets, to show that a step was
// really painted.
class PaintCounter : public QObject {
 public:
  long paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// The minute stepped up again and again: mostly single steps, every 60th a
// carry into the hour (and every 1440th into the day). The step as the user
// sees it: the labels that changed are repainted by the event loop.
void BM_MinuteStep(benchmark::State& state) {
  auto w = ChartWindow();
  PaintCounter counter;
  qApp->installEventFilter(&counter);
  for (auto _ : state) {
    w->spinner(4)->stepUp();
    QApplication::processEvents();  // posts the update request
    QApplication::processEvents();  // and paints
  }
  qApp->removeEventFilter(&counter);
  state.counters["paints/step"] = benchmark::Counter(static_cast<double>(counter.paints) / state.iterations());
}
BENCHMARK(BM_MinuteStep)->Unit(benchmark::kMicrosecond);

// The same with the whole window repainted each time (an upper bound).
void BM_MinuteStepFullRepaint(benchmark::State& state) {
  auto w = ChartWindow();
  for (auto _ : state) {
    w->spinner(4)->stepUp();
    w->repaint();
  }
}
BENCHMARK(BM_MinuteStepFullRepaint)->Unit(benchmark::kMicrosecond);

// The longest cascade: 23:59 on 31 December stepped on, which moves minute,
// hour, day, month and year before the window redraws.
void BM_YearEndCascade(benchmark::State& state) {
  auto w = ChartWindow();
  const int fields[5] = {2020, 12, 31, 23, 59};
  PaintCounter counter;
  for (auto _ : state) {
    state.PauseTiming();
    qApp->removeEventFilter(&counter);
    for (int i = 0; i < 5; ++i) w->setField(i, fields[i]);
    QApplication::processEvents();
    QApplication::processEvents();
    qApp->installEventFilter(&counter);
    state.ResumeTiming();
    w->spinner(4)->stepUp();
    QApplication::processEvents();
    QApplication::processEvents();
  }
  qApp->removeEventFilter(&counter);
  state.counters["paints/step"] = benchmark::Counter(static_cast<double>(counter.paints) / state.iterations());
}
BENCHMARK(BM_YearEndCascade)->Unit(benchmark::kMicrosecond);

// The window built, shown and painted once (the application already running).
void BM_StartUp(benchmark::State& state) {
  for (auto _ : state) {
    auto w = std::make_unique<MainWindow>(FixedClock());
    w->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(w.get());
  }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  const auto start = std::chrono::steady_clock::now();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Paint on the next turn of the event loop instead of after 5 ms.
  qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  qelm::ui::InstallFontSubstitutions();
  {
    // The first window of the process: fonts and styles load here.
    MainWindow w(FixedClock());
    w.show();
    QApplication::processEvents();
    const auto shown = std::chrono::steady_clock::now();
    // The processor time too: on a machine shared with other work the
    // clock time holds the waits for a turn on a core.
    std::printf("start-up to the first shown window: %.1f ms (processor time of the process: %.1f ms)\n",
                std::chrono::duration<double, std::milli>(shown - start).count(),
                1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
