// verko: the desktop program. `verko [OLD [NEW [RESULT]]]` opens the main window with the
// given names in the file fields; `verko --view REPORT` opens the report viewer alone, and
// `verko --view OLD NEW` compares two files into it;
// `verko --help` and `verko --version` print and end.
#include <QApplication>
#include <QTextStream>
#include <csignal>
#include <optional>

#include "common/standard_streams.h"
#include "ui/command_line.h"
#include "ui/qt_translation.h"
#include "ui/shared/settings_store.h"
#include "ui/shared/ui_services.h"
#include "ui/verko_main.h"
#include "ui/viewer_handoff.h"
#include "ui/viewer_launch.h"

namespace {

void SetIdentity() {
  QCoreApplication::setOrganizationName(QStringLiteral("Verko"));
  QCoreApplication::setApplicationName(QStringLiteral("Verko"));
}

// Reads the command line before any window exists, so that --help and --version work in a
// terminal without a display. Returns the exit status when the program ends here.
std::optional<int> ReadCommandLine(int argc, char** argv, verko::CommandLine* line) {
  QCoreApplication app(argc, argv);
  SetIdentity();
  verko::InstallQtTranslation();
  *line = verko::ParseCommandLine(QCoreApplication::arguments());
  switch (line->action) {
    case verko::CommandLine::Action::kOpenWindow:
      return std::nullopt;
    case verko::CommandLine::Action::kPrintHelp:
    case verko::CommandLine::Action::kPrintVersion:
      QTextStream(stdout) << line->text;
      return 0;
    case verko::CommandLine::Action::kRefuse:
      QTextStream(stderr) << "verko: " << line->text << '\n';
      return 2;
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  verko::OpenClosedStandardStreams();
  verko::CommandLine line;
  if (std::optional<int> status = ReadCommandLine(argc, argv, &line)) return *status;

  // A file-size limit (ulimit -f) makes a write fail with its error, which the run reports,
  // instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  SetIdentity();
  // Ties the windows to the installed desktop entry (its name and icon in the desktop's bars).
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.verko.Verko"));
  // Qt's own dialogs, buttons and context menus in Japanese.
  verko::InstallQtTranslation();
  const QString appDir = QApplication::applicationDirPath() + QLatin1Char('/');
  const QStringList args = QApplication::arguments().mid(1);

  verko::QtUiServices services;
  verko::SettingsStore store;
  if (!line.viewReport.isEmpty()) {
    verko::ViewRequest request{line.viewReport, line.viewNew};
    // Started as the editor of a main window that stays above all others.
    request.aboveOthers = qEnvironmentVariableIntValue("VERKO_VIEWER_ABOVE") == 1;
    return verko::RunViewerProgram(request, store, services, appDir,
                                   verko::ViewerHandoff::SocketPath());
  }

  verko::VerkoMain window(store, services, appDir);
  window.SetFileNames(line.fileNames);
  window.show();
  return QApplication::exec();
}
