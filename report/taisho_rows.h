// The rows of the 新旧対照表 from a comparison: one row per line of the report, except that
// a deleted line and the added line it most likely became (PairChangedLines) share a row
// with their changed characters. From the comparison of a run, or from a report read back
// (the viewer's).
#pragma once

#include <vector>

#include "common/working_text.h"
#include "report/changed_characters.h"
#include "report/comparison.h"
#include "report/report_reader.h"
#include "report/taisho_table.h"

namespace verko {

// Joins, within each run of differences (between common and omitted rows), the pairs of like
// deleted and added lines into kChanged rows with their changed characters. Both sides keep
// their order; of two rows free to come in either order, the old side's comes first.
// Deleted and added rows that no run paired but are edits of each other (a line that moved
// and changed, PairMovedEdits) keep their rows, marked, each with the other's line number.
std::vector<TaishoRow> PairChangedRows(std::vector<TaishoRow> rows,
                                       ChangeUnits units = ChangeUnits::kWords);

// The rows of a run's comparison, its texts (working text) taken to UTF-8. A difference-only
// comparison without differences is one （略） row.
std::vector<TaishoRow> TaishoRowsOf(const Comparison& comparison, const WorkingText& working,
                                    ChangeUnits units = ChangeUnits::kWords);

// The rows of a report read back: its body lines (a common line has one text for both
// sides) and its gaps.
std::vector<TaishoRow> TaishoRowsOf(const ReportDocument& document);

}  // namespace verko
