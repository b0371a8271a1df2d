#include "ui/platform_defaults.h"

#include "compare/lines/line_functions.h"
#include "compare/work_folder.h"

namespace verko {

QString DefaultWorkPath() {
  return QString::fromStdString(DefaultWorkFolder());
}

#ifdef Q_OS_WIN
QString DefaultEditorSetting() {
  return QStringLiteral("Notepad.exe %1");
}
QString SystemProgramFolder() {
  return QStringLiteral("c:/windows/");
}
QString SystemProgramFolderPattern() {
  return QStringLiteral("c:[\\\\/]windows[\\\\/]");
}
#else
QString DefaultEditorSetting() {
  return QStringLiteral("xdg-open %1");
}
QString SystemProgramFolder() {
  return QStringLiteral("/usr/bin/");
}
QString SystemProgramFolderPattern() {
  return QStringLiteral("/usr/bin/");
}
#endif

QString DefaultSplitChar() {
  return QString::fromUtf8(kDefaultSplitChar);
}

}  // namespace verko
