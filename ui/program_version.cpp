#include "ui/program_version.h"

namespace verko {

QString VersionText() {
  return QStringLiteral("Ver %1.%2.%3")
      .arg(VERKO_VERSION_MAJOR)
      .arg(VERKO_VERSION_MINOR, 2, 10, QLatin1Char('0'))
      .arg(VERKO_VERSION_PATCH, 3, 10, QLatin1Char('0'));
}

}  // namespace verko
