#include "report/changed_characters.h"

#include <algorithm>
#include <cstddef>

namespace verko {
namespace {

// One unit of a line: its bytes and a hash of them (for counting common units cheaply).
struct Unit {
  uint32_t begin = 0;
  uint32_t end = 0;
  uint64_t hash = 0;
};

bool IsWordByte(unsigned char byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
         (byte >= 'a' && byte <= 'z') || byte == '_';
}

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// The byte length of the character at `pos` (a non-ASCII one); 1 for a byte that starts
// no valid character, so that every byte belongs to exactly one unit.
std::size_t CharacterLength(std::string_view text, std::size_t pos, TextEncoding encoding) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  const std::size_t left = text.size() - pos;
  auto trail = [&](std::size_t i, unsigned char low, unsigned char high) {
    return i < left && InRange(static_cast<unsigned char>(text[pos + i]), low, high);
  };
  switch (encoding) {
    case TextEncoding::kCp932:
      if ((InRange(byte, 0x81, 0x9F) || InRange(byte, 0xE0, 0xFC)) && left >= 2) return 2;
      return 1;
    case TextEncoding::kUtf8: {
      const std::size_t length = InRange(byte, 0xC2, 0xDF)   ? 2
                                 : InRange(byte, 0xE0, 0xEF) ? 3
                                 : InRange(byte, 0xF0, 0xF4) ? 4
                                                             : 1;
      for (std::size_t i = 1; i < length; ++i) {
        if (!trail(i, 0x80, 0xBF)) return 1;
      }
      return length;
    }
    case TextEncoding::kEucJp:
      if (byte == 0x8E) return trail(1, 0xA1, 0xDF) ? 2 : 1;
      if (byte == 0x8F) return trail(1, 0xA1, 0xFE) && trail(2, 0xA1, 0xFE) ? 3 : 1;
      if (InRange(byte, 0xA1, 0xFE)) return trail(1, 0xA1, 0xFE) ? 2 : 1;
      return 1;
  }
  return 1;
}

uint64_t HashBytes(std::string_view bytes) {
  uint64_t hash = 1469598103934665603ULL;
  for (const char c : bytes) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  }
  return hash;
}

std::vector<Unit> SplitUnits(std::string_view text, TextEncoding encoding) {
  std::vector<Unit> units;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    std::size_t end = pos + 1;
    if (IsWordByte(byte)) {
      while (end < text.size() && IsWordByte(static_cast<unsigned char>(text[end]))) ++end;
    } else if (byte >= 0x80) {
      end = pos + CharacterLength(text, pos, encoding);
    }
    units.push_back({static_cast<uint32_t>(pos), static_cast<uint32_t>(end),
                     HashBytes(text.substr(pos, end - pos))});
    pos = end;
  }
  return units;
}

std::vector<uint64_t> SortedHashes(const std::vector<Unit>& units) {
  std::vector<uint64_t> hashes;
  hashes.reserve(units.size());
  for (const Unit& unit : units) hashes.push_back(unit.hash);
  std::sort(hashes.begin(), hashes.end());
  return hashes;
}

double SimilarityOfSorted(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b) {
  if (a.empty() && b.empty()) return 1.0;
  std::size_t i = 0, j = 0, common = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i] < b[j]) {
      ++i;
    } else if (b[j] < a[i]) {
      ++j;
    } else {
      ++common, ++i, ++j;
    }
  }
  return 2.0 * static_cast<double>(common) / static_cast<double>(a.size() + b.size());
}

// A stretch of the alignment: `oldCount` old units facing `newCount` new units, either all
// matched one to one (common) or all changed.
struct Stretch {
  bool common = false;
  std::size_t oldCount = 0;
  std::size_t newCount = 0;
};

class PairAligner {
 public:
  PairAligner(std::string_view oldText, std::string_view newText, TextEncoding encoding)
      : oldText_(oldText),
        newText_(newText),
        old_(SplitUnits(oldText, encoding)),
        new_(SplitUnits(newText, encoding)) {}

  ChangedRanges Find() {
    AlignStretches();
    MergeShortCommonStretches();
    return RangesOfStretches();
  }

 private:
  bool Same(std::size_t i, std::size_t j) const {
    const Unit& a = old_[i];
    const Unit& b = new_[j];
    return a.hash == b.hash &&
           oldText_.substr(a.begin, a.end - a.begin) == newText_.substr(b.begin, b.end - b.begin);
  }

  void Push(bool common, std::size_t oldCount, std::size_t newCount) {
    if (oldCount == 0 && newCount == 0) return;
    if (!stretches_.empty() && stretches_.back().common == common) {
      stretches_.back().oldCount += oldCount;
      stretches_.back().newCount += newCount;
    } else {
      stretches_.push_back({common, oldCount, newCount});
    }
  }

  // The common start and end are set aside; the middle is aligned by the longest common
  // subsequence of units when small enough, else taken as changed whole.
  void AlignStretches() {
    std::size_t head = 0;
    while (head < old_.size() && head < new_.size() && Same(head, head)) ++head;
    std::size_t tail = 0;
    while (tail < old_.size() - head && tail < new_.size() - head &&
           Same(old_.size() - 1 - tail, new_.size() - 1 - tail)) {
      ++tail;
    }
    Push(true, head, head);
    const std::size_t n = old_.size() - head - tail;
    const std::size_t m = new_.size() - head - tail;
    if (n > 0 && m > 0 && n * m <= static_cast<std::size_t>(kMaxAlignedCells)) {
      AlignMiddle(head, n, m);
    } else {
      Push(false, n, m);
    }
    Push(true, tail, tail);
  }

  void AlignMiddle(std::size_t head, std::size_t n, std::size_t m) {
    // length[i][j]: the longest common subsequence of old units i.. and new units j..
    const std::size_t width = m + 1;
    std::vector<uint16_t> length((n + 1) * width, 0);
    for (std::size_t i = n; i-- > 0;) {
      for (std::size_t j = m; j-- > 0;) {
        length[i * width + j] =
            Same(head + i, head + j)
                ? static_cast<uint16_t>(length[(i + 1) * width + j + 1] + 1)
                : std::max(length[(i + 1) * width + j], length[i * width + j + 1]);
      }
    }
    std::size_t i = 0, j = 0;
    while (i < n && j < m) {
      if (Same(head + i, head + j)) {
        Push(true, 1, 1);
        ++i, ++j;
      } else if (length[(i + 1) * width + j] >= length[i * width + j + 1]) {
        Push(false, 1, 0);
        ++i;
      } else {
        Push(false, 0, 1);
        ++j;
      }
    }
    Push(false, n - i, m - j);
  }

  // A single common unit between two changes (a lone matching character or space inside a
  // changed phrase) joins them, so the changes read as words rather than scattered letters.
  void MergeShortCommonStretches() {
    std::vector<Stretch> merged;
    for (std::size_t k = 0; k < stretches_.size(); ++k) {
      Stretch stretch = stretches_[k];
      const bool between = k > 0 && k + 1 < stretches_.size();
      if (stretch.common && between && stretch.oldCount == 1) stretch.common = false;
      if (!merged.empty() && merged.back().common == stretch.common) {
        merged.back().oldCount += stretch.oldCount;
        merged.back().newCount += stretch.newCount;
      } else {
        merged.push_back(stretch);
      }
    }
    stretches_ = std::move(merged);
  }

  static void AddRange(const std::vector<Unit>& units, std::size_t first, std::size_t count,
                       std::vector<ByteRange>* ranges) {
    if (count > 0) ranges->push_back({units[first].begin, units[first + count - 1].end});
  }

  ChangedRanges RangesOfStretches() const {
    ChangedRanges ranges;
    std::size_t i = 0, j = 0;
    for (const Stretch& stretch : stretches_) {
      if (!stretch.common) {
        AddRange(old_, i, stretch.oldCount, &ranges.oldRanges);
        AddRange(new_, j, stretch.newCount, &ranges.newRanges);
      }
      i += stretch.oldCount;
      j += stretch.newCount;
    }
    return ranges;
  }

  std::string_view oldText_, newText_;
  std::vector<Unit> old_, new_;
  std::vector<Stretch> stretches_;
};

}  // namespace

ChangedRanges FindChangedCharacters(std::string_view oldText, std::string_view newText,
                                    TextEncoding encoding) {
  return PairAligner(oldText, newText, encoding).Find();
}

double LineSimilarity(std::string_view oldText, std::string_view newText, TextEncoding encoding) {
  return SimilarityOfSorted(SortedHashes(SplitUnits(oldText, encoding)),
                            SortedHashes(SplitUnits(newText, encoding)));
}

std::vector<ChangedLinePair> PairChangedLines(const std::vector<std::string_view>& oldLines,
                                              const std::vector<std::string_view>& newLines,
                                              TextEncoding encoding) {
  std::vector<ChangedLinePair> pairs;
  if (oldLines.empty() || newLines.empty()) return pairs;
  std::vector<std::vector<uint64_t>> newHashes;
  newHashes.reserve(newLines.size());
  for (const std::string_view line : newLines) {
    newHashes.push_back(SortedHashes(SplitUnits(line, encoding)));
  }
  std::size_t next = 0;  // the first new line not yet passed
  for (std::size_t i = 0; i < oldLines.size() && next < newLines.size(); ++i) {
    const std::vector<uint64_t> oldHashes = SortedHashes(SplitUnits(oldLines[i], encoding));
    const std::size_t last = std::min(newLines.size(), next + kPairWindow);
    double best = kMinPairSimilarity;
    std::size_t chosen = last;
    for (std::size_t j = next; j < last; ++j) {
      const double similarity = SimilarityOfSorted(oldHashes, newHashes[j]);
      if (similarity > best || (chosen == last && similarity >= best)) {
        best = similarity;
        chosen = j;
      }
    }
    if (chosen == last) continue;
    pairs.push_back({static_cast<int>(i), static_cast<int>(chosen),
                     FindChangedCharacters(oldLines[i], newLines[chosen], encoding)});
    next = chosen + 1;
  }
  return pairs;
}

std::vector<ChangedLineMarks> MarkChangedLines(const std::vector<LineKind>& kinds,
                                               const std::vector<std::string_view>& texts,
                                               TextEncoding encoding) {
  std::vector<ChangedLineMarks> marks;
  std::vector<int> oldAt, newAt;
  std::vector<std::string_view> oldTexts, newTexts;
  const int count = static_cast<int>(std::min(kinds.size(), texts.size()));
  int k = 0;
  while (k < count) {
    if (!IsDifference(kinds[k])) {
      ++k;
      continue;
    }
    oldAt.clear(), newAt.clear(), oldTexts.clear(), newTexts.clear();
    for (; k < count && IsDifference(kinds[k]); ++k) {
      if (kinds[k] == LineKind::kDeleted) {
        oldAt.push_back(k);
        oldTexts.push_back(texts[k]);
      } else if (kinds[k] == LineKind::kAdded) {
        newAt.push_back(k);
        newTexts.push_back(texts[k]);
      }
    }
    const std::size_t first = marks.size();
    for (ChangedLinePair& pair : PairChangedLines(oldTexts, newTexts, encoding)) {
      marks.push_back({oldAt[pair.oldIndex], std::move(pair.ranges.oldRanges)});
      marks.push_back({newAt[pair.newIndex], std::move(pair.ranges.newRanges)});
    }
    std::sort(marks.begin() + static_cast<std::ptrdiff_t>(first), marks.end(),
              [](const ChangedLineMarks& a, const ChangedLineMarks& b) { return a.line < b.line; });
  }
  return marks;
}

}  // namespace verko
