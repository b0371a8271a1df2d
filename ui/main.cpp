// verko: the desktop program. `verko [OLD [NEW [RESULT]]]` opens the main window with the
// given names in the file fields.
#include <QApplication>

#include "ui/screenshot.h"
#include "ui/shared/settings_store.h"
#include "ui/shared/ui_services.h"
#include "ui/verko_main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Verko"));
  QApplication::setApplicationName(QStringLiteral("Verko"));
  // Ties the windows to the installed desktop entry (its name and icon in the desktop's bars).
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.verko.Verko"));
  const QString appDir = QApplication::applicationDirPath() + QLatin1Char('/');
  QStringList args = QApplication::arguments().mid(1);
  if (args.size() == 2 && args[0] == QLatin1String("--screenshot")) {
    return verko::TakeScreenshots(args[1], appDir);
  }

  verko::SettingsStore store;
  verko::QtUiServices services;
  verko::VerkoMain window(store, services, appDir);
  window.SetFileNames(args);
  window.show();
  return QApplication::exec();
}
