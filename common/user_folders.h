// The user's own folders on this platform: the home folder, the XDG base folders (data,
// cache, runtime) and folders made with access for the user only.
#pragma once

#include <string>

#include "common/status.h"

namespace verko {

// The user's home folder: $HOME, else the password database's entry; with a trailing "/",
// empty when neither tells it.
std::string HomeFolder();

// The XDG base folder named by `variable` (for example XDG_DATA_HOME) when it holds an
// absolute path, else `underHome` in the home folder (for example ".local/share"); with a
// trailing "/", empty when neither can be told.
std::string XdgFolder(const char* variable, const char* underHome);

// $XDG_RUNTIME_DIR with a trailing "/" when it holds an absolute path, else empty.
std::string RuntimeFolder();

// Makes `folder` and any missing folder above it, each with access for the user only
// (0700). A folder that exists already is left as it is.
Status MakePrivateFolder(const std::string& folder);

// Whether the existing `folder` is the user's own and closed to everyone else: a folder, not a
// symbolic link, owned by the user, with no access for its group or others. Otherwise the
// reason, naming the folder.
Status CheckPrivateFolder(const std::string& folder);

// Creates the file `path` for the user only (0600) when nothing stands there; a file of the
// user's own already there is closed to everyone else. Never follows a symbolic link.
Status MakePrivateFile(const std::string& path);

}  // namespace verko
