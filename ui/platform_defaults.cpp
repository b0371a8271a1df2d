#include "ui/platform_defaults.h"

#include <QDir>

#include "compare/lines/line_functions.h"

namespace verko {

QString DefaultWorkPath() {
  QString path = QDir::tempPath();
  return path.endsWith('/') ? path : path + '/';
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
