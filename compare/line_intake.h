// The read phase: one file's content cut into lines, each normalised and, when wider than
// the split width, cut into parts, stored as line records up to the line limit.
#pragma once

#include <string>
#include <string_view>

#include "compare/compare_host.h"
#include "compare/lines/line_functions.h"
#include "compare/lines/line_table.h"
#include "compare/lines/progress.h"

namespace verko {

inline constexpr int kMaxLines = 32000;

struct IntakeOptions {
  NormalizeOptions normalize;
  int splitWidth = 250;
  std::string splitChar;  // CP932 pattern after whose matches a wide line may be cut
};

enum class FileRole { kOld, kNew };

// Reads `content` into `table` (which must be empty), adding up to 15 to the progress.
// When the line limit is passed the limit message is shown once through `host` and the
// rest of the file is ignored. Returns kCancel when a cancel is seen; `table` then keeps
// the records stored so far.
Flow ReadLines(std::string_view content, const IntakeOptions& options, FileRole role,
               CompareHost& host, ProgressMeter& progress, LineTable& table);

// The line-limit message of a file.
std::string LineLimitMessage(FileRole role);
inline constexpr const char* kLineLimitTitle = "行数制限オーバー";

}  // namespace verko
