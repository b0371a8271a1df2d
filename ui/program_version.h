// The program's version as the windows and the command line show it: "Ver 1.10.042"
// (major, minor in two digits, revision in three).
#pragma once

#include <QString>

namespace verko {

QString VersionText();

}  // namespace verko
