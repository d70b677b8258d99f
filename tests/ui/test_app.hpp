// One QApplication for the whole window test program, whoever asks first.
#pragma once

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "ui/kit/window_layer.hpp"

namespace qelm::ui {

inline void TestApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "test_ui";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  // The settings of this test process alone: the cases run side by side, and
  // a choice one of them keeps must not reach another, nor the user's own.
  static QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  InstallFontSubstitutions();
}

}  // namespace qelm::ui
