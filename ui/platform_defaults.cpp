#include "ui/platform_defaults.h"

#include <QFileInfo>

#include "compare/lines/line_functions.h"
#include "compare/work_folder.h"

namespace verko {

QString DefaultWorkPath() {
  return QString::fromStdString(DefaultWorkFolder());
}

QString DefaultEditorSetting(const QString& program) {
  const QString quoted =
      program.contains(QLatin1Char(' ')) ? QLatin1Char('"') + program + QLatin1Char('"') : program;
  return quoted + QStringLiteral(" --view %1");
}

bool IsViewerSetting(const QString& setting) {
  static const QString kSuffix = QStringLiteral(" --view %1");
  if (!setting.endsWith(kSuffix)) return false;
  QString program = setting.chopped(kSuffix.size());
  if (program.size() >= 2 && program.startsWith(QLatin1Char('"')) &&
      program.endsWith(QLatin1Char('"'))) {
    program = program.mid(1, program.size() - 2);
  }
  return QFileInfo(program).fileName() == QStringLiteral("verko");
}

#ifdef Q_OS_WIN
QString SystemProgramFolder() {
  return QStringLiteral("c:/windows/");
}
QString SystemProgramFolderPattern() {
  return QStringLiteral("c:[\\\\/]windows[\\\\/]");
}
#else
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
