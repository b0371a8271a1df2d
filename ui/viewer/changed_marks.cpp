#include "ui/viewer/changed_marks.h"

#include <QPoint>

#include "report/changed_characters.h"

namespace verko {
namespace {

bool InBlock(LineKind kind) {
  return kind == LineKind::kDeleted || kind == LineKind::kAdded;
}

// The length of the UTF-8 sequence led by `lead`; 1 for a byte that leads none.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 0x6) return 2;
  if ((lead >> 4) == 0xE) return 3;
  if ((lead >> 3) == 0x1E) return 4;
  return 1;
}

QVariantList ShownRanges(std::string_view text, const std::vector<ByteRange>& ranges,
                         int tabWidth) {
  QVariantList shown;
  if (ranges.empty()) return shown;
  const std::vector<int> at = ShownPositions(text, tabWidth);
  for (const ByteRange& range : ranges) {
    const uint32_t begin = std::min<uint32_t>(range.begin, text.size());
    const uint32_t end = std::min<uint32_t>(range.end, text.size());
    if (end > begin) shown.append(QPoint(at[begin], at[end] - at[begin]));
  }
  return shown;
}

}  // namespace

std::vector<int> ShownPositions(std::string_view utf8, int tabWidth) {
  std::vector<int> at(utf8.size() + 1, 0);
  int shown = 0, column = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = SequenceLength(lead);
    if (i + length > utf8.size()) length = 1;
    for (std::size_t k = 0; k < length; ++k) at[i + k] = shown;
    if (lead == '\t' && tabWidth > 0) {
      const int spaces = tabWidth - column % tabWidth;
      shown += spaces;
      column += spaces;
    } else {
      // UTF-16 units: two for a character beyond the basic plane.
      shown += length == 4 ? 2 : 1;
      bool narrow = length == 1 && lead < 0x80;
      if (length == 3) {
        const int code = ((lead & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F);
        narrow = code >= 0xFF61 && code <= 0xFF9F;  // half-width katakana
      }
      column += narrow ? 1 : 2;
    }
    i += length;
  }
  at[utf8.size()] = shown;
  return at;
}

ChangedMarks::ChangedMarks(const ReportDocument& document, int tabWidth)
    : document_(document), tabWidth_(tabWidth) {}

void ChangedMarks::Reset() {
  done_.clear();
  ranges_.clear();
}

QVariantList ChangedMarks::RangesOf(int line) {
  if (line < 0 || line >= document_.Count() || !InBlock(document_.Line(line).kind)) return {};
  if (done_.size() != static_cast<std::size_t>(document_.Count())) {
    done_.assign(document_.Count(), false);
  }
  if (!done_[line]) MarkBlockOf(line);
  const auto found = ranges_.find(line);
  return found == ranges_.end() ? QVariantList() : found->second;
}

void ChangedMarks::MarkBlockOf(int line) {
  int first = line, last = line;
  while (first > 0 && InBlock(document_.Line(first - 1).kind)) --first;
  while (last + 1 < document_.Count() && InBlock(document_.Line(last + 1).kind)) ++last;
  std::vector<int> oldLines, newLines;
  std::vector<std::string_view> oldTexts, newTexts;
  for (int i = first; i <= last; ++i) {
    done_[i] = true;
    const bool deleted = document_.Line(i).kind == LineKind::kDeleted;
    (deleted ? oldLines : newLines).push_back(i);
    (deleted ? oldTexts : newTexts).push_back(document_.TextOf(i));
  }
  if (oldLines.empty() || newLines.empty()) return;
  for (const ChangedLinePair& pair : PairChangedLines(oldTexts, newTexts, TextEncoding::kUtf8)) {
    const int oldLine = oldLines[pair.oldIndex];
    const int newLine = newLines[pair.newIndex];
    ranges_[oldLine] = ShownRanges(oldTexts[pair.oldIndex], pair.ranges.oldRanges, tabWidth_);
    ranges_[newLine] = ShownRanges(newTexts[pair.newIndex], pair.ranges.newRanges, tabWidth_);
  }
}

}  // namespace verko
