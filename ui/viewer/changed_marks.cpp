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

ChangedMarks::ChangedMarks(const ReportDocument& document, int tabWidth, ChangeUnits units)
    : document_(document), tabWidth_(tabWidth), units_(units) {}

void ChangedMarks::Reset() {
  done_ = false;
  ranges_.clear();
  partners_.clear();
}

QVariantList ChangedMarks::RangesOf(int line) {
  if (line < 0 || line >= document_.Count() || !InBlock(document_.Line(line).kind)) return {};
  MarkAll();
  const auto found = ranges_.find(line);
  return found == ranges_.end() ? QVariantList() : found->second;
}

int ChangedMarks::PartnerOf(int line) {
  if (line < 0 || line >= document_.Count() || !InBlock(document_.Line(line).kind)) return -1;
  MarkAll();
  const auto found = partners_.find(line);
  return found == partners_.end() ? -1 : found->second;
}

void ChangedMarks::MarkAll() {
  if (done_) return;
  done_ = true;
  std::vector<LineKind> kinds;
  std::vector<std::string_view> texts;
  kinds.reserve(document_.Count());
  texts.reserve(document_.Count());
  for (int i = 0; i < document_.Count(); ++i) {
    kinds.push_back(document_.Line(i).kind);
    texts.push_back(InBlock(kinds.back()) ? document_.TextOf(i) : std::string_view());
  }
  for (const ChangedLineMarks& marks :
       MarkChangedLines(kinds, texts, TextEncoding::kUtf8, units_)) {
    ranges_[marks.line] = ShownRanges(texts[marks.line], marks.ranges, tabWidth_);
    partners_[marks.line] = marks.partner;
  }
}

}  // namespace verko
