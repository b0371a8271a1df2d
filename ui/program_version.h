// The program's version as the windows and `verko --version` show it: "Ver 1.10.042".
#pragma once

#include <QString>

namespace verko {

QString VersionText();

}  // namespace verko
