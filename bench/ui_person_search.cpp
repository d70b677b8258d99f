// The search over the person list, offscreen: one keystroke in the search
// field on a list of 1,000 and of 100,000 persons, until the list is drawn
// again; the larger list should take no more than twice the smaller.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QAbstractItemView>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "records/person_store.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"
#include "ui/kit/window_layer.hpp"
#include "ui_bench_main.hpp"

namespace {

namespace fs = std::filesystem;

// `count` persons: "王" and a number as the name, years across the range.
fs::path Folder(QTemporaryDir& dir, std::size_t count) {
  const fs::path folder(QFile::encodeName(dir.path()).toStdString());
  std::ofstream out(folder / "User", std::ios::binary);
  const std::string male = "\xA8\x6B", wang = "\xA4\xFD";
  for (std::size_t i = 0; i < count; ++i)
    out << wang << i << "\t" << male << "\t" << 1901 + i % 199 << "\t5\t17\t14\t30\r\n";
  return folder;
}

void Keystroke(benchmark::State& state) {
  QTemporaryDir dir;
  const fs::path folder = Folder(dir, static_cast<std::size_t>(state.range(0)));
  qelm::ui::MainWindow main([] { return qelm::MakeMoment(2024, 6, 15, 10, 30); });
  main.show();
  qelm::records::PersonStore store(folder / "User");  // outlives the window that shows it
  auto window = std::make_unique<qelm::ui::PersonWindow>(main, store);
  window->show();
  // A person looks at the window a moment before the first key, while the
  // window makes what a search goes through.
  QElapsedTimer shown;
  shown.start();
  while (shown.elapsed() < 500) QApplication::processEvents();
  QLineEdit* search = window->personList()->searchField();
  // Typing "1", "2", "3" and taking them back: from everyone to a few
  // hundred and back.
  const Qt::Key keys[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace};
  const QString texts[] = {"1", "2", "3", {}, {}, {}};
  std::size_t next = 0;
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, keys[next], Qt::NoModifier, texts[next]);
    QApplication::sendEvent(search, &press);
    window->personList()->view()->viewport()->repaint();
    next = (next + 1) % std::size(keys);
  }
  state.counters["shown"] = window->personList()->rowCount();
}
BENCHMARK(Keystroke)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(60);

}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv); }
