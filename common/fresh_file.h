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
// symbolic link). False with errno set when neither can be made.
bool CreateFreshFile(const std::string& path, FreshFile* file);

// Moves what stands at `path` (a file, a link) to a temporary name beside it (as
// CreateFreshFile names its files), so that the path is free and what stood there can be
// removed later, away from where time counts. True with *asidePath set when something was
// moved; false with errno set otherwise (ENOENT: nothing there).
bool MoveAside(const std::string& path, std::string* asidePath);

// Gives an unnamed file the name `path`, where nothing may stand (EEXIST then). False with
// errno set.
bool LinkUnnamedFile(int fd, const std::string& path);

}  // namespace verko
