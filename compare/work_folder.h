// Where the work database lives when the user has chosen no work folder: a folder of the
// user's own, so that on a shared machine nobody else can read, replace or block it.
#pragma once

#include <string>

namespace verko {

// $XDG_RUNTIME_DIR/verko/ when that is set, else $XDG_CACHE_HOME/Verko/ (~/.cache/Verko/);
// with a trailing "/". Made for the user only on first use (MakePrivateFolder). Empty when
// no home folder can be told.
std::string DefaultWorkFolder();

}  // namespace verko
