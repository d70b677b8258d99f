// QELM: the program opens its main chart window.
#include <QApplication>

#include "ui/main_window.hpp"
#include "ui/window_layer.hpp"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  qelm::ui::InstallFontSubstitutions();
  qelm::ui::MainWindow window;
  window.show();
  return app.exec();
}
