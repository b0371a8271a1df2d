// The report phase: classifies every line from the links as common, deleted, added or
// moved, and writes the header, the body (full or difference-only with context lines) and
// the statistics, as CP932 text with CR LF line ends.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "compare/lines/line_table.h"
#include "compare/lines/progress.h"
#include "matching/match_state.h"
#include "report/comparison.h"
#include "report/report_counts.h"

namespace verko {

struct ReportSettings {
  std::string oldName;   // the old file's name as given for the run (UTF-8)
  std::string newName;   // the new file's name (UTF-8)
  std::string dateTime;  // "yyyy/mm/dd hh:nn:ss"
  bool diffOnly = false;
  int contextLines = 3;  // context lines around a difference in difference-only mode
  // The common lines are the longest chain of links in order on both sides, so only the
  // lines that left their order are moved; otherwise a linked line is moved when its old
  // line lies before an old line already taken in order (the first link met wins).
  bool fewestMoves = false;
  // When set, the names as the header shows them (NameForHeader) already in the report's
  // text, such as the working text's codes; else they are taken to CP932 (a character CP932
  // cannot hold becoming "?"). Made before the report is written, so that nothing that
  // adds codes runs while a thread encodes the report.
  std::optional<std::string> oldNameText = std::nullopt, newNameText = std::nullopt;
  // When set, receives the report written so far whenever it has grown past a few hundred
  // kilobytes (whole lines) and empties it, so a large report is never held at once. A
  // false return ends the report there (WriteReport then returns kCancel).
  std::function<bool(std::string& written)> flush = nullptr;
};

// The most bytes a report can hold, in any report encoding, with a margin: every record of two
// files at the line limit on a line of its own (a moved line at both of its places), each at
// the widest split width in characters that take three bytes each, a separator before each
// line, the header with two names as long as a path can be, and the statistics. A reader
// refuses a larger file before reading it: no comparison wrote it.
std::uint64_t LargestReportBytes();

// A file name as the header shows it: a control character (a line break, a tab, an escape,
// also the C1 controls) would break the report's lines, so each becomes "?". UTF-8.
std::string NameForHeader(std::string_view name);

// Appends the report to `out` (handing it on to settings.flush as it grows), fills `counts` and
// writes "P" into state.OldMarks for every old line written. Shows "結果出力中", adds up to 20 to
// the progress while walking, and at the end shows 100 and "処理完了". Returns kCancel when a
// cancel is seen at a progress step; `out` then holds what was written so far. Requires `state`
// sized for the two tables (MatchState::Reset) with links written in pairs, and contextLines from 1
// to 9.
Flow WriteReport(const LineTable& oldText, const LineTable& newText, MatchState& state,
                 const ReportSettings& settings, ProgressMeter& progress, std::string& out,
                 ReportCounts& counts);

// Appends the report of a comparison already walked (BuildComparison) to `out`, handing it on
// to settings.flush as it grows. kStop when the flush refused a piece, or when the walk was
// cut by a cancel (the report then ends after the lines decided before it, without statistics).
Flow AppendReport(const Comparison& comparison, const ReportSettings& settings, std::string& out);

}  // namespace verko
