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

// The text cut at the edges of the changed ranges (sorted, clipped to the text, overlaps
// joined); neighbouring pieces differ in being changed.
std::vector<TaishoPiece> PiecesOf(std::string_view text, std::vector<ByteRange> ranges) {
  std::sort(ranges.begin(), ranges.end(),
            [](const ByteRange& a, const ByteRange& b) { return a.begin < b.begin; });
  std::vector<TaishoPiece> pieces;
  std::size_t at = 0;
  for (const ByteRange& range : ranges) {
    const std::size_t begin = std::max(at, std::min<std::size_t>(range.begin, text.size()));
    const std::size_t end = std::min<std::size_t>(range.end, text.size());
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

}  // namespace

bool HasSide(TaishoRowKind kind, TaishoSide side) {
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

TaishoCell CellOf(const TaishoRow& row, TaishoSide side) {
  const bool old = side == TaishoSide::kOld;
  TaishoCell cell;
  if (!HasSide(row.kind, side)) {
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
      case TaishoRowKind::kOmitted:
      case TaishoRowKind::kCommon:
      case TaishoRowKind::kChanged:
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
    case TaishoRowKind::kAdded:
    case TaishoRowKind::kDeleted:
    case TaishoRowKind::kMovedOld:
    case TaishoRowKind::kMovedNew:
    case TaishoRowKind::kOmitted:
      cell.pieces = PiecesOf(text, {{0, static_cast<uint32_t>(text.size())}});
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
