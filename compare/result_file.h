// The result file of a comparison. The report goes into the file as it is built: the file
// is made (or opened, keeping its mode, owner and links) when the run opens its files and
// emptied by the first write, so that a run refused before it writes leaves the former
// result as it was, and one killed while it writes leaves the head of its report, never the
// head on the former report's tail. A result complete only at its end (a table, a workbook,
// a patch, JSON) is written beside the file and put in its place when whole (see
// common/replacing_file.h). Every write error (a full disk, a failing device) is reported,
// never lost.
#pragma once

#include <string>
#include <string_view>

#include "common/replacing_file.h"
#include "common/status.h"

namespace verko {

enum class ResultPlacement {
  kInPlace,  // the report, written as it is built
  kBeside,   // a result complete only at its end
};

// What closing a result file that nothing was written to does with the former one.
enum class Unwritten {
  kEmpty,  // the run ended without a result (cancelled): the file is left empty
  kKeep,   // the run was refused or failed: the former result stays
};

class ResultFile {
 public:
  ResultFile() = default;
  ResultFile(const ResultFile&) = delete;
  ResultFile& operator=(const ResultFile&) = delete;
  ~ResultFile() { (void)Close(Unwritten::kKeep); }

  Status Open(const std::string& path, ResultPlacement placement = ResultPlacement::kInPlace);
  Status Write(std::string_view bytes);
  // Counts nothing as written: the report's file is left empty when closed, a result
  // written beside is dropped.
  void Discard();
  // Closes the file: the report's is cut where the writing ended (see Unwritten when
  // nothing was written); a result written beside is put in place when it was written
  // whole (a Write without failure, even of nothing), else dropped. Reports a failure of the last
  // writes that only closing reveals.
  Status Close(Unwritten unwritten = Unwritten::kEmpty);
  bool IsOpen() const { return file_.IsOpen(); }

 private:
  ReplacingFile file_;
  ResultPlacement placement_ = ResultPlacement::kInPlace;
  bool wrote_ = false;      // the result was handed over (beside: whole, though maybe empty)
  bool failed_ = false;     // a write failed: what was written beside is not whole
  bool discarded_ = false;  // nothing of what was written counts
};

// Whether two paths name the same existing file (same device and inode), however spelt.
bool IsSameFile(const std::string& a, const std::string& b);
// Whether anything exists at the path (a file or a folder).
bool PathExists(const std::string& path);

}  // namespace verko
