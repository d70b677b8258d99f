// One QApplication for the whole window test program, whoever asks first.
#pragma once

#include <QApplication>

#include "ui/window_layer.hpp"

namespace qelm::ui {

inline void TestApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "test_ui";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  InstallFontSubstitutions();
}

}  // namespace qelm::ui
