// Where the work database lives when the user has chosen no work folder: a folder of the
// user's own, so that on a shared machine nobody else can read, replace or block it.
#pragma once

#include <string>

#include "common/status.h"

namespace verko {

// $XDG_RUNTIME_DIR/verko/ when that is set, else $XDG_CACHE_HOME/Verko/ (~/.cache/Verko/);
// with a trailing "/". Made for the user only on first use (MakePrivateFolder). Empty when
// no home folder can be told.
std::string DefaultWorkFolder();

// Readies the work folder of a run. The default folder is made for the user only on first
// use, and refused when it is a symbolic link, not the user's own, or open to others: anyone
// else could read the compared texts there, or plant a file for the run to write through. A
// folder the user chose is taken as it is.
Status PrepareWorkFolder(const std::string& folder);

}  // namespace verko
