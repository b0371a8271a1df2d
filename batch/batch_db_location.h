// Where the batch-list database lives: in the user's data folder,
// $XDG_DATA_HOME/Verko/VerkoBatchList.mdb (~/.local/share/Verko/), the one file that the
// batch window and verko-cli both use. On first use it is seeded from the empty database
// delivered with the program; neither a build nor an installation ever writes there.
#pragma once

#include <string>

#include "common/program_files.h"
#include "common/status.h"

namespace verko {

inline constexpr const char* kBatchListDbName = "VerkoBatchList.mdb";

// The per-user data folder of the program: $XDG_DATA_HOME/Verko/, else
// ~/.local/share/Verko/ (empty when no home folder can be told).
std::string UserDataFolder();

// The empty database delivered with the program in `programFolder`: beside it in the build
// folder, in the installed data folder otherwise (see DeliveredFile).
std::string DeliveredBatchListDb(const std::string& programFolder);

// Copies the delivered file to `path` (making its folder, for the user only) unless `path`
// exists already. The copy is written under a temporary name and put in place only when
// complete, and never over a database that appeared meanwhile.
Status SeedBatchListDb(const std::string& delivered, const std::string& path);

// The user's database; when it does not exist yet, it is seeded from the file delivered
// with the program in `programFolder`. Sets *path even on failure, so that the caller can
// name it.
Status LocateBatchListDb(const std::string& programFolder, std::string* path);

}  // namespace verko
