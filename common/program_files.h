// The files delivered with the program (its help document, the empty batch-list database):
// where the running executable is, and where a delivered file lies relative to it.
#pragma once

#include <string>

namespace verko {

// The folder of the running executable with a trailing "/" (empty when it cannot be told).
std::string ProgramFolder();

// The path of the delivered file `name` for a program in `programFolder`: beside the
// executable when it is there (the build folder), else in the installed data folder next to
// the program's (`../share/verko/` from `bin/`). When it is in neither place, the path beside
// the executable, so that a message can name where it was looked for.
std::string DeliveredFile(const std::string& programFolder, const std::string& name);

// The path of `name` beside a program in `programFolder`, else in `installedFolder` relative
// to it when there; else the path beside, for a message to name.
std::string ProgramFileIn(const std::string& programFolder, const std::string& name,
                          const std::string& installedFolder);

}  // namespace verko
