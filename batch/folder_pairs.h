// Comparing whole folders: every file of the old folder is paired with the file of the same
// name in the new folder and compared into the result folder under the old file's name;
// subfolders are walked and mirrored on request, and files found on one side only are listed.
// Texts are UTF-8 paths; names below the folders are separated by "/".
#pragma once

#include <string>
#include <vector>

namespace verko {

struct FolderScanOptions {
  bool recursive = false;
  // Wildcard patterns ("*", "?") of the file names that take part; empty: every file.
  std::vector<std::string> filePatterns;
  // Added to each result's name (the old file's name): the result format's extension.
  std::string resultExtension = std::string();
};

struct FolderPair {
  std::string name;  // below the old folder, e.g. "sub/a.txt"
  std::string oldPath, newPath, resultPath;
  // Not empty when the pair cannot be compared: why (a message for the user).
  std::string refusal;
};

// A folder below the compared ones that could not be walked: a folder that cannot be read,
// a link that leads back into its own folders. Its files take no part.
struct FolderProblem {
  std::string name;  // below the compared folders, ending in "/"
  std::string reason;
};

struct FolderComparison {
  std::vector<FolderPair> pairs;              // in name order
  std::vector<std::string> oldOnly, newOnly;  // names found on one side only, in name order
  std::vector<FolderProblem> problems;
};

// Why a folder comparison cannot start: the message and its title. Empty text: it may start.
struct FolderRefusal {
  std::string text, title;
};

// Checks the three folders before anything is written and makes the result folder when it is
// missing. Refuses a folder that cannot be read, the same folder twice, a result folder that
// is or lies inside an input folder, and one that cannot be made or written.
FolderRefusal PrepareFolders(const std::string& oldDir, const std::string& newDir,
                             const std::string& resultDir);

// Walks the two folders and pairs their files. The paths of a pair are the folders as given
// (with a "/" added when missing) followed by the pair's name.
FolderComparison PairFolders(const std::string& oldDir, const std::string& newDir,
                             const std::string& resultDir, const FolderScanOptions& options);

}  // namespace verko
