// The person window on a person file of 1,000 and of 100,000 persons, half
// of them with a birthplace, offscreen: the peak resident memory of the
// process once the window shows its list and again after a 修改 of the first
// row is saved; how long the 修改 holds the window (return_ms) and how long
// until the saved list is shown (save_ms).
//
// The peak is the process's own (getrusage), so run one size alone for its
// figure: --benchmark_filter=PersonWindowMemory/100000.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "records/person_store.hpp"
#include "records/place_file.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"
#include "ui/person/store_commands.hpp"
#include "ui_bench_main.hpp"

namespace {

namespace fs = std::filesystem;

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// `count` persons "王<n>", every other one with a birthplace in the
// companion file.
fs::path Folder(QTemporaryDir& dir, std::size_t count) {
  const fs::path folder(QFile::encodeName(dir.path()).toStdString());
  std::ofstream out(folder / "User", std::ios::binary);
  std::ofstream places(qelm::records::PlaceFilePath(folder / "User"), std::ios::binary);
  const std::string male = "\xA8\x6B", wang = "\xA4\xFD";
  for (std::size_t i = 0; i < count; ++i) {
    std::string rest(1, '\t');
    rest += std::to_string(1901 + i % 199);
    rest += "\t5\t17\t14\t30";
    out << wang << i << "\t" << male << rest << "\r\n";
    if (i % 2 == 0) places << "王" << i << "\t男" << rest << "\t臺北市\t121.5\t25.05\tAsia/Taipei\tclock\n";
  }
  return folder;
}

void PersonWindowMemory(benchmark::State& state) {
  QTemporaryDir dir;
  const fs::path folder = Folder(dir, static_cast<std::size_t>(state.range(0)));
  qelm::ui::MainWindow main([] { return qelm::MakeMoment(2024, 6, 15, 10, 30); });
  main.show();
  double before = 0, after = 0, saveMs = 0, returnMs = 0;
  for (auto _ : state) {
    qelm::records::PersonStore store(folder / "User");
    auto w = std::make_unique<qelm::ui::PersonWindow>(main, store);
    w->show();
    QApplication::processEvents();
    before = PeakResidentMegabytes();
    // The first row clicked, which puts it into the entry, then 修改.
    ClickFirstPerson(*w);
    auto* modify = w->findChild<QPushButton*>(QStringLiteral("modifyButton"));
    const auto* commands = w->findChild<qelm::ui::StoreCommands*>(QStringLiteral("storeCommands"));
    const auto start = std::chrono::steady_clock::now();
    modify->click();
    QApplication::processEvents();
    const auto back = std::chrono::steady_clock::now();
    // The save may go on in the background: until its result is shown.
    while (commands->running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const auto saved = std::chrono::steady_clock::now();
    returnMs = std::chrono::duration<double, std::milli>(back - start).count();
    saveMs = std::chrono::duration<double, std::milli>(saved - start).count();
    after = PeakResidentMegabytes();
    benchmark::DoNotOptimize(w.get());
    w.reset();  // the window goes before the store it shows
  }
  state.counters["peak_MB_shown"] = before;
  state.counters["peak_MB_saved"] = after;
  state.counters["save_ms"] = saveMs;
  state.counters["return_ms"] = returnMs;
}
BENCHMARK(PersonWindowMemory)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv); }
