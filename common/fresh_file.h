// A new file beside the path it is meant for, put there once complete: the path never names
// a half-written file, and writers side by side never share one. Where the file system
// allows, the file has no name until then, so a program killed while it writes leaves
// nothing behind; elsewhere it has a temporary name until it is put in place.
#pragma once

#include <string>

namespace verko {

struct FreshFile {
  int fd = -1;
  // The temporary name of a file that has one; empty for an unnamed file.
  std::string tempPath;
};

// Creates a file in the folder of `path`, readable and writable by the user only (0600),
// opened for reading and writing: unnamed where the file system allows, else named `path` +
// ".tmp-" + random letters that did not exist before (exclusive create, never through a
// symbolic link), held by a lock while it is open. False with errno set when neither can be
// made.
bool CreateFreshFile(const std::string& path, FreshFile* file);

// Removes the name `path` (a file, or a link itself, never its target) at once, without a
// temporary name on the way. A regular file's blocks stay with the returned descriptor until
// it is closed, so that freeing a large file takes its time where the caller closes it (a
// kill closes it too). -1 when no descriptor was kept: nothing there (errno ENOENT), a link
// or another kind of file (removed all the same), or a name that could not be removed.
int RemoveKeepingOpen(const std::string& path);

// Removes the files that CreateFreshFile made for `path` (`path` + ".tmp-" + ten letters or
// digits, a regular file of the user's own) and that no living writer holds: what a run
// killed while it wrote left behind. No other file is touched.
void RemoveLeftFreshFiles(const std::string& path);

// Gives an unnamed fresh file for `path` a temporary name beside it, as CreateFreshFile names
// the files it cannot leave unnamed, so that a rename can put it in place; true at once for
// a file that has a name. False with errno set.
bool NameFreshFile(FreshFile* file, const std::string& path);

// Gives an unnamed file the name `path`, where nothing may stand (EEXIST then). False with
// errno set.
bool LinkUnnamedFile(int fd, const std::string& path);

}  // namespace verko
