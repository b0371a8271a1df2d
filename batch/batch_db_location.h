// Where the batch-list database lives. The build delivers VerkoBatchList.mdb beside the
// program; when the program's folder cannot be written (an installed copy), the per-user
// data folder holds the database, seeded from the delivered file on first use.
#pragma once

#include <string>

#include "common/program_files.h"
#include "common/status.h"

namespace verko {

inline constexpr const char* kBatchListDbName = "VerkoBatchList.mdb";

// The per-user data folder of the program: $XDG_DATA_HOME/Verko/, else
// $HOME/.local/share/Verko/ (empty when neither variable is set).
std::string UserDataFolder();

// The database path for a program folder, decided without touching the disk: beside the
// program when its folder can be written, else in the user's data folder.
std::string ChooseBatchListDbPath(const std::string& appDir, bool appDirWritable,
                                  const std::string& userDataDir);

// Copies the delivered file to `path` (making its folder) unless `path` exists already. The
// copy is written under a temporary name and renamed into place.
Status SeedBatchListDb(const std::string& delivered, const std::string& path);

// Decides the path for `appDir` and, when it is the user's copy and does not exist yet,
// creates the folder and copies the delivered file there (under a temporary name, renamed
// into place). Sets *path even on failure, so that the caller can name it.
Status LocateBatchListDb(const std::string& appDir, std::string* path);

}  // namespace verko
