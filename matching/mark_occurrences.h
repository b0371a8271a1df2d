// The occurrence scan: walks a text index once and marks each line "U" when its text occurs
// once in the indexed lines and "D" when it occurs more than once.
#pragma once

#include <vector>

#include "compare/lines/progress.h"
#include "matching/text_index.h"

namespace verko {

// Writes "U" and "D" into `marks` (indexed by LineID, cleared beforehand) for the lines of
// `index`, comparing each record's text with the first text of its group of equal texts.
// A single record, or records that are all equal, get no "U". With a `share` (the main
// stages) the scan advances it after each comparison and returns kStop when a cancel is
// seen; without one it shows no progress and always continues.
Flow MarkOccurrences(const TextIndex& index, std::vector<char>& marks, StageShare* share);

}  // namespace verko
