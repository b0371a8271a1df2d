// Where the work database lives when the user has chosen no work folder: a folder of the
// user's own, so that on a shared machine nobody else can read, replace or block it.
#pragma once

#include <string>

#include "common/status.h"

namespace verko {

// $XDG_RUNTIME_DIR/verko/ when that is set, else $XDG_CACHE_HOME/Verko/, else
// ~/.cache/Verko/; with a trailing "/". Empty when no home folder can be told.
std::string DefaultWorkFolder();

// Makes `folder` and any missing folder above it, each with access for the user only
// (0700). A folder that exists already is left as it is.
Status MakePrivateFolder(const std::string& folder);

// The user's home folder: $HOME, else the password database's entry; with a trailing "/",
// empty when neither tells it.
std::string HomeFolder();

}  // namespace verko
