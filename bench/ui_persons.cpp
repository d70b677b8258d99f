// The person window opened on person files of 1,000 persons and at the load
// caps, offscreen: the time until it is shown with its list, and a click on
// the first row.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <chrono>

#include "records/person_file.hpp"
#include "records/person_store.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"
#include "ui/kit/window_layer.hpp"
#include "ui_bench_main.hpp"

namespace {

namespace fs = std::filesystem;
using qelm::ui::MainWindow;
using qelm::ui::PersonWindow;

const std::string kMale = "\xA8\x6B";

// A folder with a person file: one line just under the size cap, nearly all
// name (count 0), or `count` records.
fs::path Folder(QTemporaryDir& dir, std::size_t count) {
  const fs::path folder(QFile::encodeName(dir.path()).toStdString());
  std::ofstream out(folder / "User", std::ios::binary);
  const std::string rest = "\t" + kMale + "\t1990\t5\t17\t14\t30\r\n";
  if (count == 0) {
    out << std::string(31 << 20, 'x') << rest;
  } else {
    for (std::size_t i = 0; i < count; ++i) out << "\xA4\xFD" << i << rest;
  }
  return folder;
}

// The window opened over the store, which has read the list (as the
// program reads it while it starts) or reads it now (`cold`).
void Open(benchmark::State& state, bool cold) {
  QTemporaryDir dir;
  const fs::path folder = Folder(dir, static_cast<std::size_t>(state.range(0)));
  // A list on the disk is older than the program that reads it.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  MainWindow main([] { return qelm::MakeMoment(2024, 6, 15, 10, 30); });
  main.show();
  auto read = std::make_unique<qelm::records::PersonStore>(folder / "User");
  read->Open();
  for (auto _ : state) {
    // The store outlives the window that shows it.
    auto store = cold ? std::make_unique<qelm::records::PersonStore>(folder / "User") : nullptr;
    auto w = std::make_unique<PersonWindow>(main, cold ? *store : *read);
    w->show();
    QApplication::processEvents();
    // The click on the first row.
    ClickFirstPerson(*w);
    benchmark::DoNotOptimize(w.get());
  }
}
void OpenWindow(benchmark::State& state) { Open(state, false); }
void OpenWindowCold(benchmark::State& state) { Open(state, true); }
// 0: one 31 MiB line; else that many records (the most that are loaded, and
// a hundredth of it, which the larger must not take much longer than).
BENCHMARK(OpenWindowCold)->Arg(0)->Arg(1000)->Arg(qelm::records::kMaxRecords)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(OpenWindow)->Arg(0)->Arg(1000)->Arg(qelm::records::kMaxRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv); }
