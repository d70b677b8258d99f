// QELM: the program opens its main chart window and, over it, the person
// records window.
#include <QApplication>

#include "ui/main_window.hpp"
#include "ui/person_window.hpp"
#include "ui/window_layer.hpp"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  qelm::ui::InstallFontSubstitutions();
  qelm::ui::MainWindow window;
  qelm::ui::ConnectPersonWindow(window);  // "排盤"
  window.show();
  window.OpenPersonWindow();
  return app.exec();
}
