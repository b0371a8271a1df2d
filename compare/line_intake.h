// The read phase: one file's bytes cut into lines, each normalised and, when wider than
// the split width, cut into parts, stored as line records up to the line limit. The file
// is read piece by piece and no further than the line limit needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/byte_source.h"
#include "common/status.h"
#include "compare/compare_host.h"
#include "compare/lines/line_functions.h"
#include "compare/lines/line_table.h"
#include "compare/lines/progress.h"
#include "compare/lines/raw_lines.h"

namespace verko {

struct IntakeOptions {
  NormalizeOptions normalize;
  int splitWidth = 250;
  std::string splitChar;  // CP932 pattern after whose matches a wide line may be cut
  // When set, receives every physical line that was stored (whole or in part) as it was
  // read, with its line end.
  RawLines* rawLines = nullptr;
};

enum class FileRole { kOld, kNew };

// Where the line limit stopped the reading of a file: nothing from physical line `line` on
// was compared, except the first parts of that line when `withinLine` is set.
struct LineLimitCut {
  int line = 0;  // 0: the file was read to its end
  bool withinLine = false;

  bool cut() const { return line > 0; }
};

struct IntakeResult {
  Flow flow = Flow::kContinue;   // kStop when a cancel was seen
  Status status = Status::Ok();  // a failure to read the file, with the system's reason
  LineLimitCut cut;
  // The first line on which a search of the split pattern gave up for taking too long
  // (the search counted as no match); 0 when none did.
  int tooSlowLine = 0;
};

// Reads `source` into `table` (which must be empty), adding up to 15 to the progress.
// When the line limit is passed the limit message is shown once through `host` and the
// rest of the file is neither read nor stored. On a cancel or a read failure `table`
// keeps the records stored so far.
IntakeResult ReadFileLines(ByteSource& source, const IntakeOptions& options, FileRole role,
                           CompareHost& host, ProgressMeter& progress, LineTable& table);

// How far into a file's bytes intake can read before its line limit, in any encoding, so
// that a run which decodes its files reads no further than a CP932 run would need: past
// more line ends than the limit has lines, or past an open line longer than intake holds
// even at three bytes per character (a half-width katakana in UTF-8), nothing more can be
// compared. The bytes up to there give intake what the whole file would.
class IntakeReach {
 public:
  explicit IntakeReach(int splitWidth);
  // Notes the next bytes of the file; false once what follows them is beyond the reach.
  bool Take(std::string_view bytes);

 private:
  std::uint64_t longestLine_;
  std::uint64_t carriageReturns_ = 0, lineFeeds_ = 0;
  std::uint64_t openLine_ = 0;  // bytes since the last line end
};

// The line-limit message of a file.
std::string LineLimitMessage(FileRole role);
inline constexpr const char* kLineLimitTitle = "行数制限オーバー";

}  // namespace verko
