// The rows of the 新旧対照表 of two documents of provisions (provisions.h), laid out as
// amendment tables are: the old and new forms of one provision share a row even when it was
// renumbered or moved (its identity comes from its text and the order of numbers, not from
// its number alone); only provisions that changed are shown, with their article's line, the
// rest left out as （略） rows; a renumbered, added or deleted provision's number and 見出し
// carry a double underline in the formal style. Documents without provisions are left to
// the line rows of taisho_rows.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/changed_characters.h"
#include "report/taisho_table.h"

namespace verko {

enum class TaishoStyle {
  kFormal,  // a renumbered, moved, added or deleted provision's number and 見出し: 二重傍線
  kSimple,  // one kind of underline: a changed number is a changed word
};

struct ProvisionRowOptions {
  TaishoStyle style = TaishoStyle::kFormal;
  bool allLines = false;                    // every line a row, unchanged ones too; no （略）
  ChangeUnits units = ChangeUnits::kWords;  // what the marks of changed words cover
};

// The rows of the old and new lines (UTF-8, each a whole line: a cut line's pieces
// joined), one row per non-blank line of a provision that changed or per line of context,
// and one （略） row for each run left out. nullopt when either side reads as no document of
// provisions (HasProvisions), or when the two are too large to align within the cost bound
// (the line rows then serve).
std::optional<std::vector<TaishoRow>> ProvisionRowsOf(const std::vector<std::string>& oldLines,
                                                      const std::vector<std::string>& newLines,
                                                      const ProvisionRowOptions& options);

// Units of the alignment: at most this many old lines times new lines between two lines
// equal in their text (the cost of aligning by likeness grows with their product).
inline constexpr long long kMaxProvisionCells = 40'000'000;

}  // namespace verko
