#include "report/taisho_table.h"

#include <algorithm>
#include <cstdint>

#include "common/text_encoding.h"
#include "common/utf8.h"

namespace verko {

namespace {

std::string NumberOf(int lineNo, int partNo) {
  if (lineNo <= 0) return {};
  std::string number = std::to_string(lineNo);
  if (partNo > 0) number += "-" + std::to_string(partNo);
  return number;
}

// The text cut where its marks change: pieces of one mark each, doubly underlined where a
// double range covers, underlined where a changed one does (ranges clipped to the text and
// to character starts by their owner; overlaps allowed).
std::vector<TaishoPiece> PiecesOf(std::string_view text, const std::vector<ChangedRange>& single,
                                  const std::vector<ChangedRange>& doubled = {}) {
  std::vector<uint8_t> marks(text.size(), 0);
  auto mark = [&](const std::vector<ChangedRange>& ranges, uint8_t value) {
    for (const ChangedRange& range : ranges) {
      for (std::size_t i = range.begin; i < std::min(range.end, text.size()); ++i) {
        marks[i] = std::max(marks[i], value);
      }
    }
  };
  mark(single, 1);
  mark(doubled, 2);
  std::vector<TaishoPiece> pieces;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = at;
    while (end < text.size() && marks[end] == marks[at]) ++end;
    pieces.push_back({text.substr(at, end - at), marks[at] > 0, marks[at] == 2});
    at = end;
  }
  return pieces;
}

std::string MoveNote(int lineNo, std::string_view tail) {
  std::string note = "（" + std::to_string(lineNo) + " ";
  note += tail;
  return note;
}

bool HasText(TaishoRowKind kind, TaishoSide side) {
  switch (kind) {
    case TaishoRowKind::kCommon:
    case TaishoRowKind::kChanged:
      return true;
    case TaishoRowKind::kAdded:
    case TaishoRowKind::kMovedNew:
      return side == TaishoSide::kNew;
    case TaishoRowKind::kDeleted:
    case TaishoRowKind::kMovedOld:
      return side == TaishoSide::kOld;
    case TaishoRowKind::kOmitted:
      break;
  }
  return false;
}

// A deleted or added line paired with its changed version elsewhere.
bool IsMovedEdit(const TaishoRow& row) {
  return row.movedNo > 0 &&
         (row.kind == TaishoRowKind::kDeleted || row.kind == TaishoRowKind::kAdded);
}

}  // namespace

TaishoCell CellOf(const TaishoRow& row, TaishoSide side) {
  const bool old = side == TaishoSide::kOld;
  TaishoCell cell;
  if (!HasText(row.kind, side)) {
    switch (row.kind) {
      case TaishoRowKind::kAdded:
        cell.note =
            row.movedNo > 0 ? MoveNote(row.movedNo, "行目から移動）") : std::string(kTaishoAdded);
        break;
      case TaishoRowKind::kDeleted:
        cell.note =
            row.movedNo > 0 ? MoveNote(row.movedNo, "行目へ移動）") : std::string(kTaishoDeleted);
        break;
      case TaishoRowKind::kMovedOld:
        cell.note = MoveNote(row.movedNo, "行目へ移動）");
        break;
      case TaishoRowKind::kMovedNew:
        cell.note = MoveNote(row.movedNo, "行目から移動）");
        break;
      default: {
        const std::string& label = old ? row.oldText : row.newText;
        cell.note = label.empty() ? std::string(kTaishoOmitted)
                                  : label + "\u3000" + std::string(kTaishoOmitted);
        break;
      }
    }
    return cell;
  }
  cell.number = old ? NumberOf(row.oldNo, row.oldPart) : NumberOf(row.newNo, row.newPart);
  const std::string& text = old ? row.oldText : row.newText;
  const std::vector<ChangedRange>& changed = old ? row.oldChanged : row.newChanged;
  const std::vector<ChangedRange>& doubled = old ? row.oldDouble : row.newDouble;
  switch (row.kind) {
    case TaishoRowKind::kCommon:
      cell.pieces = PiecesOf(text, {});
      break;
    case TaishoRowKind::kChanged:
      cell.pieces = PiecesOf(text, changed, doubled);
      break;
    default:
      if (changed.empty() && doubled.empty() && !IsMovedEdit(row)) {
        cell.pieces = PiecesOf(text, {{0, text.size()}});
      } else {
        cell.pieces = PiecesOf(text, changed, doubled);
      }
      break;
  }
  return cell;
}

std::string_view NoteOf(const TaishoTable& table) {
  return table.doubleUnderlines ? kTaishoNoteDouble : kTaishoNote;
}

std::string_view HeadingOf(TaishoSide side) {
  return side == TaishoSide::kOld ? kTaishoOldHeading : kTaishoNewHeading;
}

const std::string& FileNameOf(const TaishoTable& table, TaishoSide side) {
  return side == TaishoSide::kOld ? table.oldName : table.newName;
}

void AppendShownText(std::string_view utf8, std::string* out) {
  for (std::size_t i = 0; i < utf8.size();) {
    uint32_t cp = 0;
    const std::size_t length = DecodeCharacter(utf8, i, TextEncoding::kUtf8, &cp);
    if (length == 0) {
      AppendUtf8(0xFFFD, out);
      ++i;
      continue;
    }
    if (cp == '\t' || (cp >= 0x20 && cp < 0x7F) || (cp >= 0xA0 && cp != 0xFFFE && cp != 0xFFFF)) {
      out->append(utf8.substr(i, length));
    } else if (cp < 0x20) {
      AppendUtf8(0x2400 + cp, out);
    } else if (cp == 0x7F) {
      AppendUtf8(0x2421, out);
    } else {
      // A C1 control (as invisible as the C0 ones, with no picture) or a noncharacter.
      AppendUtf8(0xFFFD, out);
    }
    i += length;
  }
}

}  // namespace verko
