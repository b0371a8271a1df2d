// A new file under a temporary name beside the path it is meant for, to be renamed (or
// linked) there once complete: the path never names a half-written file, and writers side
// by side never share one.
#pragma once

#include <string>

namespace verko {

// Creates a file named `path` + ".tmp-" + random letters that did not exist before
// (exclusive create, never through a symbolic link), readable and writable by the user only
// (0600), opened for reading and writing. Returns its descriptor and sets *tempPath, or -1
// with errno set.
int CreateFreshFile(const std::string& path, std::string* tempPath);

}  // namespace verko
