// verko-cli OLD_DIR NEW_DIR RESULT_DIR: compares every file of the old folder with the file of
// the same name in the new folder into the result folder, many pairs at once, and prints one
// line per pair in name order, the files found on one side only and a summary line.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>

#include "batch/folder_pairs.h"
#include "compare/compare_run.h"

namespace verko {

struct FolderCommand {
  std::string oldDir, newDir, resultDir;
  FolderScanOptions scan;
  CompareOptions options;
  bool quiet = false;
  bool showProgress = false;  // stderr is a terminal
  int jobs = 1;
  bool allReports = false;  // a result file for every pair, not only for those that differ
  bool text = false;        // binary files compared by lines too
};

// Exit status: 0 every pair without differences and nothing on one side only; 1 some pair
// differs (binary files too) or a file or folder is on one side only; 2 the folders were refused, a
// pair failed or was cut, or a folder could not be walked; 130 interrupted.
int RunFolderCommand(const FolderCommand& command, const std::atomic<bool>& interrupted,
                     std::FILE* out, std::FILE* err);

}  // namespace verko
