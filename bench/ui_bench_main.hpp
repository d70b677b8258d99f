// The main of a window benchmark: one application, offscreen unless a
// platform is asked for, the program's font substitutions, then the
// benchmarks named on the command line.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include "ui/kit/fonts.hpp"

inline int RunWindowBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  qelm::ui::InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
