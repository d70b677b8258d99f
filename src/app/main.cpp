// QELM: the program opens its main chart window and, over it, the person
// records window.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include "ui/kit/fonts.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window_state.hpp"
#include "ui/person/unsaved_prompt.hpp"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // The installed desktop entry and icon (hicolor theme) share this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qelm.QELM"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.qelm.QELM")));
  // Qt's own dialogs (file, print) in Traditional Chinese too, whatever the
  // session's language (qt6-translations-l10n).
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_zh_TW"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);
  qelm::ui::InstallFontSubstitutions();
  qelm::ui::MainWindow window;
  const auto persons = qelm::ui::ConnectPersonWindow(window);  // "排盤"
  window.show();
  window.OpenPersonWindow();
  const int status = app.exec();
  // Edits of the person list that could not be written yet: a last try, and
  // the user's word before any is given up.
  qelm::ui::FinishPersonEdits(*persons, qelm::ui::DialogPrompt());
  return status;
}
