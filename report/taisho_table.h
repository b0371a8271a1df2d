// The 新旧対照表 (table of the new text beside the old) as its writers lay it out: one row per
// place of the comparison with the new and the old text, the changed characters of each side,
// and what a side without text says instead (（新設）, （削る）, where a moved line went or
// came from); runs of common lines left out as （略）. The HTML and Excel writers draw it;
// taisho_rows.h makes the rows from a comparison.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace verko {

enum class TaishoRowKind {
  kCommon,    // the same line on both sides
  kChanged,   // a deleted line facing the added line that replaces it
  kAdded,     // a new line with no old counterpart: （新設） on the old side
  kDeleted,   // an old line with no new counterpart: （削る） on the new side
  kMovedOld,  // a moved line at its old place: （N 行目へ移動） on the new side
  kMovedNew,  // a moved line at its new place: （N 行目から移動） on the old side
  kOmitted,   // common rows left out: （略） on both sides, after the number of the one
              // provision left out where the row is one (its text: ２ gives ２　（略）)
};

// A run of changed bytes [begin, end) of a side's UTF-8 text.
struct ChangedRange {
  std::size_t begin = 0, end = 0;
};

struct TaishoRow {
  TaishoRowKind kind = TaishoRowKind::kCommon;
  // Line and part numbers of each side; 0 where the side has no line.
  int oldNo = 0, oldPart = 0, newNo = 0, newPart = 0;
  std::string oldText, newText;  // UTF-8
  // Changed characters of a changed row (underlined). Added, deleted and moved rows count as
  // changed throughout where they have none.
  std::vector<ChangedRange> oldChanged, newChanged;
  // Doubly underlined: the number and 見出し of a provision renumbered, moved, added or
  // deleted whole (the formal style of a table by provisions).
  std::vector<ChangedRange> oldDouble, newDouble;
  // A moved line: its line number at the other place. So too a deleted or added line paired
  // with its changed version elsewhere (a line that moved and changed), whose changed
  // characters then are all that is underlined.
  int movedNo = 0;
};

// The fixed texts of the table.
inline constexpr std::string_view kTaishoTitle = "新旧対照表";
inline constexpr std::string_view kTaishoNewHeading = "改正後";
inline constexpr std::string_view kTaishoOldHeading = "改正前";
inline constexpr std::string_view kTaishoNote = "（傍線部分は改正部分）";
inline constexpr std::string_view kTaishoNoteDouble =
    "（傍線部分は改正部分、二重傍線部分は移動、新設又は削る規定の番号及び見出し）";
inline constexpr std::string_view kTaishoAdded = "（新設）";
inline constexpr std::string_view kTaishoDeleted = "（削る）";
inline constexpr std::string_view kTaishoDateLabel = "比較日時：";
inline constexpr std::string_view kTaishoLineHeading = "行";
inline constexpr std::string_view kTaishoOmitted = "（略）";

struct TaishoTable {
  std::string oldName, newName;  // as shown (UTF-8)
  std::string dateTime;          // the comparison's date, as shown
  bool oldLeft = false;          // the old text in the left column (official tables: right)
  // Rows by provision (provision_rows.h): no line numbers, and the note names both kinds of
  // underline when `doubleUnderlines`.
  bool byProvision = false;
  bool doubleUnderlines = false;
  std::string title = std::string(kTaishoTitle);
  std::vector<TaishoRow> rows;
};

enum class TaishoSide { kOld, kNew };

// One side of one row as a writer draws it: the line number ("12", "12-2" for a part of a
// cut line, empty for none) and either the text cut into pieces, each changed or not, or a
// note in place of the text.
struct TaishoPiece {
  std::string_view text;
  bool changed = false;
  bool doubled = false;  // a changed piece doubly underlined
};
struct TaishoCell {
  std::string number;
  std::vector<TaishoPiece> pieces;  // views into the row's text
  std::string note;  // （新設）, （削る）, （略）, （N 行目へ移動）, …
};
TaishoCell CellOf(const TaishoRow& row, TaishoSide side);

// The note line of the table: which underlines it uses.
std::string_view NoteOf(const TaishoTable& table);

// The two sides in column order: new then old, or old then new with `oldLeft`.
inline TaishoSide LeftSide(const TaishoTable& table) {
  return table.oldLeft ? TaishoSide::kOld : TaishoSide::kNew;
}
inline TaishoSide RightSide(const TaishoTable& table) {
  return table.oldLeft ? TaishoSide::kNew : TaishoSide::kOld;
}
// "改正後" or "改正前".
std::string_view HeadingOf(TaishoSide side);
// The file name of a side.
const std::string& FileNameOf(const TaishoTable& table, TaishoSide side);

// A text made safe to show: an invalid UTF-8 sequence becomes U+FFFD, and a control character
// other than the tab (which neither HTML nor a workbook may hold, and which would be
// invisible) its picture from the Control Pictures block (U+2400 + code, U+2421 for DEL).
// Appended to `out`.
void AppendShownText(std::string_view utf8, std::string* out);

}  // namespace verko
