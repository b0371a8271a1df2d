// What two files' bytes alone tell about a pair of a folder comparison, before any line is
// read: whether they are the same bytes, and whether either looks binary (a NUL byte in its
// first 8 KB, the rule diff and git use).
#pragma once

#include <string>

namespace verko {

struct FileBytes {
  bool readable = false;  // both are regular files that could be opened and read
  bool equal = false;     // byte for byte the same content
  bool binary = false;    // either holds a NUL byte in its first kBinaryProbeBytes
};

inline constexpr std::size_t kBinaryProbeBytes = 8192;

// Reads both files through one reused buffer per thread (read, not mapped: a file cut
// short meanwhile must not end the process). Anything unusual (a file missing, unreadable, not
// a regular file) gives readable false: the compare run then says what is wrong.
FileBytes CompareFileBytes(const std::string& oldPath, const std::string& newPath);

// Whether both files are readable and either looks binary, from their first
// kBinaryProbeBytes alone: what a run needs to know of a pair before its turn, without
// reading the pair whole a second time.
bool PairLooksBinary(const std::string& oldPath, const std::string& newPath);

}  // namespace verko
