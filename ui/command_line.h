// The command line of the desktop program: `verko [OLD [NEW [RESULT]]]` puts the names into
// the main window's file fields; --view REPORT opens a report in the viewer, --view OLD NEW
// compares two files into the viewer; --help and --version print and end the program.
#pragma once

#include <QString>
#include <QStringList>

namespace verko {

struct CommandLine {
  enum class Action { kOpenWindow, kPrintHelp, kPrintVersion, kRefuse };
  Action action = Action::kOpenWindow;
  QStringList fileNames;  // old, new, result; at most three
  QString viewReport;     // --view REPORT: the report viewer alone
  QString viewNew;        // --view OLD NEW: the new file (viewReport is then the old one)
  QString text;           // what to print for help, version and refusals
};

// Reads `arguments` (the program's name first). Needs the application object (for its name,
// version and Qt's translated texts).
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace verko
