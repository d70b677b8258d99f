// The main of a window benchmark: one application, offscreen unless a
// platform is asked for, the program's font substitutions, then the
// benchmarks named on the command line.
#pragma once

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>

#include "ui/kit/fonts.hpp"
#include "ui/person/person_list_view.hpp"
#include "ui/person/person_window.hpp"

// The first row of a person window's list made current and clicked, as the
// mouse does: the entry then shows that person.
inline void ClickFirstPerson(qelm::ui::PersonWindow& window) {
  QAbstractItemView* list = window.personList()->view();
  const QModelIndex first = list->model()->index(0, 0);
  list->setCurrentIndex(first);
  const QPointF at = list->visualRect(first).center();
  QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &release);
}

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
