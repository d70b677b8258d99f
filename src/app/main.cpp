// QELM: the program opens its main chart window and, over it, the person
// records window.
#include <QApplication>
#include <QByteArray>
#include <QString>

#include "ui/main_window.hpp"
#include "ui/person_window.hpp"
#include "ui/window_layer.hpp"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  qelm::ui::InstallFontSubstitutions();
  qelm::ui::MainWindow window;
  const auto persons = qelm::ui::ConnectPersonWindow(window);  // "排盤"
  window.show();
  // Developer aid: QELM_DEMO_BIRTH="NAME|男|YYYY-MM-DD HH:MM" casts that chart
  // at start-up instead of opening the person window.
  const QByteArray demo = qgetenv("QELM_DEMO_BIRTH");
  if (demo.isEmpty() || !window.CastChartFromText(QString::fromUtf8(demo))) window.OpenPersonWindow();
  const int status = app.exec();
  // Edits of the person list that could not be written yet: a last try, and
  // the user's word before any is given up.
  qelm::ui::FinishPersonEdits(*persons, qelm::ui::DialogPrompt());
  return status;
}
