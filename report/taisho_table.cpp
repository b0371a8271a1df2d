#include "report/taisho_table.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

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

// The text cut at the edges of the changed ranges (sorted, clipped to the text, overlaps
// joined); neighbouring pieces differ in being changed.
std::vector<TaishoPiece> PiecesOf(std::string_view text, std::vector<ChangedRange> ranges) {
  std::sort(ranges.begin(), ranges.end(),
            [](const ChangedRange& a, const ChangedRange& b) { return a.begin < b.begin; });
  std::vector<TaishoPiece> pieces;
  std::size_t at = 0;
  for (const ChangedRange& range : ranges) {
    const std::size_t begin = std::max(at, std::min(range.begin, text.size()));
    const std::size_t end = std::min(range.end, text.size());
    if (end <= begin) continue;
    if (begin > at) pieces.push_back({text.substr(at, begin - at), false});
    if (!pieces.empty() && pieces.back().changed && begin == at) {
      pieces.back().text =
          text.substr(at - pieces.back().text.size(), pieces.back().text.size() + end - begin);
    } else {
      pieces.push_back({text.substr(begin, end - begin), true});
    }
    at = end;
  }
  if (at < text.size()) pieces.push_back({text.substr(at), false});
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

// The embeddings, overrides and isolates of the bidirectional algorithm.
bool IsBidiControl(uint32_t cp) {
  return (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

}  // namespace

TaishoCell CellOf(const TaishoRow& row, TaishoSide side) {
  const bool old = side == TaishoSide::kOld;
  TaishoCell cell;
  if (!HasText(row.kind, side)) {
    switch (row.kind) {
      case TaishoRowKind::kAdded:
        cell.note = "（新設）";
        break;
      case TaishoRowKind::kDeleted:
        cell.note = "（削除）";
        break;
      case TaishoRowKind::kMovedOld:
        cell.note = MoveNote(row.movedNo, "行目へ移動）");
        break;
      case TaishoRowKind::kMovedNew:
        cell.note = MoveNote(row.movedNo, "行目から移動）");
        break;
      default:
        cell.note = kTaishoOmitted;
        break;
    }
    return cell;
  }
  cell.number = old ? NumberOf(row.oldNo, row.oldPart) : NumberOf(row.newNo, row.newPart);
  const std::string& text = old ? row.oldText : row.newText;
  switch (row.kind) {
    case TaishoRowKind::kCommon:
      cell.pieces = PiecesOf(text, {});
      break;
    case TaishoRowKind::kChanged:
      cell.pieces = PiecesOf(text, old ? row.oldChanged : row.newChanged);
      break;
    default:
      cell.pieces = PiecesOf(text, {{0, text.size()}});
      break;
  }
  return cell;
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
    if (IsBidiControl(cp)) {
      // Invisible, and it reorders what follows: a reviewer would read another text.
      char name[16];
      std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(cp));
      out->append(name);
    } else if (cp == '\t' || (cp >= 0x20 && cp < 0x7F) ||
               (cp >= 0xA0 && cp != 0xFFFE && cp != 0xFFFF)) {
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
