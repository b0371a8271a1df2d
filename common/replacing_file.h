// A file the user named whose new content is complete only at its end (a table, a workbook,
// a patch): written beside the file and put in its place once whole, so that until then the
// former file stays as it was, and a program killed meanwhile leaves it so (the new file has
// no name while it is written, where the system allows). The new file keeps the former one's
// mode (and owner, where allowed), and a symbolic link stays a link: the file it leads to is
// replaced. A device or a pipe, or a file in a folder that takes no new file, is written in
// place instead, emptied by the first write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/fresh_file.h"
#include "common/status.h"

namespace verko {

class ReplacingFile {
 public:
  ReplacingFile() = default;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ~ReplacingFile() { Abandon(); }

  // Makes the new file for `path`; the system's reason when it cannot (the folder is missing
  // or refuses, a folder stands at the path).
  Status Open(const std::string& path);
  // Opens `path` (made when missing) to be written in place, for a content that is useful
  // as far as it was written: emptied by the first write, it keeps what stood there until
  // then.
  Status OpenInPlace(const std::string& path);
  Status Write(std::string_view bytes);
  // Puts the new file in place of the former one; written in place, the file ends where the
  // writing ended. Reports a failure of the writes that only this reveals.
  Status Commit();
  // Drops the new file, leaving the former one as it was (written in place: what was
  // written stays). Also what the destructor does with a file not committed.
  void Abandon();
  // Counts nothing as written: a file written in place is left empty by Commit.
  void Discard() { written_ = 0; }
  bool IsOpen() const { return fd_ >= 0; }

 private:
  Status OpenTargetInPlace();

  std::string target_;  // where the file goes: the path, or the file its link leads to
  FreshFile fresh_;     // the new file beside the target (unless written in place)
  int fd_ = -1;
  bool inPlace_ = false;
  bool regular_ = false;  // written in place: a regular file, emptied by the first write
  bool emptied_ = false;
  std::uint64_t written_ = 0;
};

// Writes `bytes` as the whole new content of `path` that way.
Status ReplaceFileWith(const std::string& path, std::string_view bytes);

}  // namespace verko
