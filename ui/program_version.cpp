#include "ui/program_version.h"

#include "common/program_version.h"

namespace verko {

QString VersionText() {
  return QString::fromStdString(ProgramVersionText());
}

}  // namespace verko
