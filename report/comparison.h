// The comparison as data: what the report walk decides, in the order the report lists it.
// One walk over the new file classifies every line (common, deleted, added, moved at its
// old place, moved at its new place), holds common lines back and, in difference-only mode,
// keeps only the context around each difference with a gap for every run left out. Every
// result format is written from this one sequence, so they all show the same comparison;
// the report writes one body line per entry.
#pragma once

#include <cstdint>
#include <vector>

#include "compare/lines/line_table.h"
#include "compare/lines/progress.h"
#include "matching/match_state.h"
#include "report/report_counts.h"

namespace verko {

enum class EntryKind : std::uint8_t {
  kCommon,    // a line of both files
  kDeleted,   // an old line without partner
  kAdded,     // a new line without partner
  kMovedOld,  // a moved line at its old place (shown with the old text)
  kMovedNew,  // a moved line at its new place (shown with the new text)
  kGap,       // difference-only mode: a run of common lines left out here
};

struct ComparisonEntry {
  EntryKind kind = EntryKind::kCommon;
  // The old and new LineIDs of the entry, 0 where it has no side (deleted: no new, added: no
  // old, gap: neither). A moved entry names both: its own line and its partner.
  int oldId = 0;
  int newId = 0;
  // A common entry shown with the old side's text (the listing of a comparison without
  // difference); every other common entry shows the new side's text. Both texts are equal
  // under the comparison's collation, not always byte for byte.
  bool oldText = false;
};

struct Comparison {
  const LineTable* oldText = nullptr;  // the two line tables the entries point into
  const LineTable* newText = nullptr;
  bool diffOnly = false;
  int contextLines = 3;
  std::vector<ComparisonEntry> entries;
  ReportCounts counts;
  // Whether the walk reached its end; false after a cancel (entries then hold what was
  // decided up to it, counts are not final).
  bool complete = false;

  // Difference-only mode without any difference: the report says so instead of listing.
  bool NoDifferences() const { return counts.Differences() == 0; }
};

// Walks the links of `state` into `comparison` (emptied first) and writes "P" into
// state.OldMarks for every old line listed. Adds up to 20 to the progress while walking the
// new file; returns kStop when a cancel is seen at a progress step. Requires `state` sized
// for the two tables (MatchState::Reset) with links written in pairs, and contextLines from
// 1 to 9 in difference-only mode.
struct WalkOptions {
  bool diffOnly = false;
  int contextLines = 3;  // context lines around a difference in difference-only mode
  // The common lines are the longest chain of links in order on both sides, so only the
  // lines that left their order are moved; otherwise a linked line is moved when its old
  // line lies before an old line already taken in order (the first link met wins).
  bool fewestMoves = false;
};

Flow BuildComparison(const LineTable& oldText, const LineTable& newText, MatchState& state,
                     const WalkOptions& options, ProgressMeter& progress, Comparison& comparison);

}  // namespace verko
