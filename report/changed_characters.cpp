#include "report/changed_characters.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

namespace verko {
namespace {

// How many of the candidates are weighed by their units in common when none is alike by its
// common start and end.
constexpr std::size_t kUnitsWindow = 8;

// The units of a line as their boundaries: unit k is bytes [bounds[k], bounds[k + 1]).
using Bounds = std::vector<uint32_t>;

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

// Appends the boundaries of `text`'s units to `bounds`, ending with its size.
void SplitUnits(std::string_view text, TextEncoding encoding, Bounds* bounds) {
  const std::size_t base = bounds->size();
  bounds->resize(base + text.size() + 1);  // at most one unit per byte
  uint32_t* out = bounds->data() + base;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t pos = 0;
  while (pos < size) {
    *out++ = static_cast<uint32_t>(pos);
    const unsigned char byte = bytes[pos];
    if (byte < 0x80) {
      ++pos;
      if (IsWordByte(byte)) {
        while (pos < size && IsWordByte(bytes[pos])) ++pos;
      }
    } else if (encoding == TextEncoding::kCp932) {
      pos += (InRange(byte, 0x81, 0x9F) || byte >= 0xE0) && byte <= 0xFC && pos + 1 < size ? 2 : 1;
    } else {
      pos += CharacterLength(text, pos, encoding);
    }
  }
  *out++ = static_cast<uint32_t>(size);
  bounds->resize(static_cast<std::size_t>(out - bounds->data()));
}

std::size_t UnitCount(const Bounds& bounds) {
  return bounds.size() - 1;
}

uint64_t HashBytes(std::string_view bytes) {
  uint64_t hash = 1469598103934665603ULL;
  for (const char c : bytes) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  }
  return hash;
}

std::vector<uint64_t> SortedHashes(std::string_view text, const Bounds& bounds) {
  std::vector<uint64_t> hashes;
  hashes.reserve(UnitCount(bounds));
  for (std::size_t k = 0; k < UnitCount(bounds); ++k) {
    hashes.push_back(HashBytes(text.substr(bounds[k], bounds[k + 1] - bounds[k])));
  }
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

// One line: its text and the boundaries of its units (Count() + 1 of them).
struct UnitLine {
  std::string_view text;
  const uint32_t* bounds = nullptr;
  std::size_t count = 0;
  std::size_t Count() const { return count; }
  std::string_view Unit(std::size_t k) const {
    return text.substr(bounds[k], bounds[k + 1] - bounds[k]);
  }
};

UnitLine LineOf(std::string_view text, const Bounds& bounds) {
  return {text, bounds.data(), UnitCount(bounds)};
}

// The common start and end of two lines, in whole units on both sides (the end never
// overlaps the start).
struct CommonEnds {
  std::size_t head = 0;
  std::size_t tail = 0;
};

// The number of equal bytes at the start of a and b (n bytes each), eight at a time.
std::size_t CommonStart(const char* a, const char* b, std::size_t n) {
  std::size_t k = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; k + 8 <= n; k += 8) {
      uint64_t x, y;
      std::memcpy(&x, a + k, 8);
      std::memcpy(&y, b + k, 8);
      if (x != y) return k + static_cast<std::size_t>(std::countr_zero(x ^ y) >> 3);
    }
  }
  while (k < n && a[k] == b[k]) ++k;
  return k;
}

// The number of equal bytes before aEnd and bEnd (at most n), eight at a time.
std::size_t CommonEnd(const char* aEnd, const char* bEnd, std::size_t n) {
  std::size_t k = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; k + 8 <= n; k += 8) {
      uint64_t x, y;
      std::memcpy(&x, aEnd - k - 8, 8);
      std::memcpy(&y, bEnd - k - 8, 8);
      if (x != y) return k + static_cast<std::size_t>(std::countl_zero(x ^ y) >> 3);
    }
  }
  while (k < n &&
         aEnd[-1 - static_cast<std::ptrdiff_t>(k)] == bEnd[-1 - static_cast<std::ptrdiff_t>(k)]) {
    ++k;
  }
  return k;
}

CommonEnds FindCommonEnds(const UnitLine& a, const UnitLine& b) {
  const uint32_t* ba = a.bounds;
  const uint32_t* bb = b.bounds;
  CommonEnds ends;
  // Equal bytes up to a boundary both lines share are equal units: below the first
  // difference both lines are split alike, except that the unit reaching it may end there
  // in one line and go on in the other.
  const std::size_t start =
      CommonStart(a.text.data(), b.text.data(), std::min(a.text.size(), b.text.size()));
  std::size_t head =
      static_cast<std::size_t>(std::upper_bound(ba + 1, ba + a.Count() + 1, start) - (ba + 1));
  head = std::min(head, b.Count());
  while (head > 0 && ba[head] != bb[head]) --head;
  ends.head = head;
  // From the end: equal bytes from a boundary of each line on are equal units, split alike,
  // so the longest such common end is found by its length alone.
  const std::size_t room = std::min(a.text.size() - ba[head], b.text.size() - bb[head]);
  const std::size_t end =
      CommonEnd(a.text.data() + a.text.size(), b.text.data() + b.text.size(), room);
  const std::size_t first = static_cast<std::size_t>(
      std::lower_bound(ba, ba + a.Count() + 1, static_cast<uint32_t>(a.text.size() - end)) - ba);
  std::size_t tail = std::min(a.Count() - first, std::min(a.Count(), b.Count()) - head);
  while (tail > 0 && a.text.size() - ba[a.Count() - tail] != b.text.size() - bb[b.Count() - tail]) {
    --tail;
  }
  ends.tail = tail;
  return ends;
}

// How alike two lines are by their common start and end alone: a lower bound of how alike
// they are by any alignment, and enough for the usual edit inside a line.
double EndsSimilarity(const UnitLine& a, const UnitLine& b, const CommonEnds& ends) {
  const std::size_t units = a.Count() + b.Count();
  if (units == 0) return 1.0;
  return 2.0 * static_cast<double>(ends.head + ends.tail) / static_cast<double>(units);
}

// A stretch of the alignment: `oldCount` old units facing `newCount` new units, either all
// matched one to one (common) or all changed.
struct Stretch {
  bool common = false;
  std::size_t oldCount = 0;
  std::size_t newCount = 0;
};

// Aligns two lines and gives their changed ranges. Keeps its buffers between pairs.
class PairAligner {
 public:
  ChangedRanges Align(const UnitLine& a, const UnitLine& b, const CommonEnds& ends) {
    a_ = a;
    b_ = b;
    stretches_.clear();
    Push(true, ends.head, ends.head);
    const std::size_t n = a.Count() - ends.head - ends.tail;
    const std::size_t m = b.Count() - ends.head - ends.tail;
    if (n > 0 && m > 0 && n * m <= static_cast<std::size_t>(kMaxAlignedCells)) {
      AlignMiddle(ends.head, n, m);
    } else {
      Push(false, n, m);
    }
    Push(true, ends.tail, ends.tail);
    MergeShortCommonStretches();
    return RangesOfStretches();
  }

 private:
  bool Same(std::size_t i, std::size_t j) const { return a_.Unit(i) == b_.Unit(j); }

  void Push(bool common, std::size_t oldCount, std::size_t newCount) {
    if (oldCount == 0 && newCount == 0) return;
    if (!stretches_.empty() && stretches_.back().common == common) {
      stretches_.back().oldCount += oldCount;
      stretches_.back().newCount += newCount;
    } else {
      stretches_.push_back({common, oldCount, newCount});
    }
  }

  // The longest common subsequence of the middle units.
  void AlignMiddle(std::size_t head, std::size_t n, std::size_t m) {
    // length[i][j]: the longest common subsequence of old units i.. and new units j..
    const std::size_t width = m + 1;
    length_.assign((n + 1) * width, 0);
    for (std::size_t i = n; i-- > 0;) {
      for (std::size_t j = m; j-- > 0;) {
        length_[i * width + j] =
            Same(head + i, head + j)
                ? static_cast<uint16_t>(length_[(i + 1) * width + j + 1] + 1)
                : std::max(length_[(i + 1) * width + j], length_[i * width + j + 1]);
      }
    }
    std::size_t i = 0, j = 0;
    while (i < n && j < m) {
      if (Same(head + i, head + j)) {
        Push(true, 1, 1);
        ++i, ++j;
      } else if (length_[(i + 1) * width + j] >= length_[i * width + j + 1]) {
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
    std::size_t out = 0;
    for (std::size_t k = 0; k < stretches_.size(); ++k) {
      Stretch stretch = stretches_[k];
      const bool between = k > 0 && k + 1 < stretches_.size();
      if (stretch.common && between && stretch.oldCount == 1) stretch.common = false;
      if (out > 0 && stretches_[out - 1].common == stretch.common) {
        stretches_[out - 1].oldCount += stretch.oldCount;
        stretches_[out - 1].newCount += stretch.newCount;
      } else {
        stretches_[out++] = stretch;
      }
    }
    stretches_.resize(out);
  }

  static void AddRange(const uint32_t* bounds, std::size_t first, std::size_t count,
                       std::vector<ByteRange>* ranges) {
    if (count > 0) ranges->push_back({bounds[first], bounds[first + count]});
  }

  ChangedRanges RangesOfStretches() const {
    ChangedRanges ranges;
    std::size_t i = 0, j = 0;
    for (const Stretch& stretch : stretches_) {
      if (!stretch.common) {
        AddRange(a_.bounds, i, stretch.oldCount, &ranges.oldRanges);
        AddRange(b_.bounds, j, stretch.newCount, &ranges.newRanges);
      }
      i += stretch.oldCount;
      j += stretch.newCount;
    }
    return ranges;
  }

  UnitLine a_, b_;
  std::vector<Stretch> stretches_;
  std::vector<uint16_t> length_;
};

// The lines of one side of a block, split into units when first asked for. Lines are asked
// for in a window that only moves forward, so a few recent ones are kept.
class LineWindow {
 public:
  LineWindow(const std::vector<std::string_view>& texts, TextEncoding encoding)
      : texts_(texts), encoding_(encoding) {}

  std::size_t Size() const { return texts_.size(); }

  const UnitLine& Line(std::size_t k) {
    Slot& slot = slots_[k % kSlots];
    if (slot.index != k) {
      slot.index = k;
      slot.bounds.clear();
      SplitUnits(texts_[k], encoding_, &slot.bounds);
      slot.line = LineOf(texts_[k], slot.bounds);
      slot.hashes.clear();
    }
    return slot.line;
  }

  // The line's units as sorted hashes, for counting units in common.
  const std::vector<uint64_t>& Hashes(std::size_t k) {
    const UnitLine& line = Line(k);
    std::vector<uint64_t>& hashes = slots_[k % kSlots].hashes;
    if (hashes.empty() && line.Count() > 0) {
      for (std::size_t u = 0; u < line.Count(); ++u) hashes.push_back(HashBytes(line.Unit(u)));
      std::sort(hashes.begin(), hashes.end());
    }
    return hashes;
  }

 private:
  // A window of lines from the current one on, and one more.
  static constexpr std::size_t kSlots = kPairWindow + 2;
  struct Slot {
    std::size_t index = static_cast<std::size_t>(-1);
    Bounds bounds;
    UnitLine line;
    std::vector<uint64_t> hashes;
  };

  const std::vector<std::string_view>& texts_;
  const TextEncoding encoding_;
  Slot slots_[kSlots];
};

// Pairs the lines of one block.
class BlockPairer {
 public:
  BlockPairer(const std::vector<std::string_view>& oldLines,
              const std::vector<std::string_view>& newLines, TextEncoding encoding)
      : old_(oldLines, encoding), new_(newLines, encoding) {}

  std::vector<ChangedLinePair> Pair() {
    std::vector<ChangedLinePair> pairs;
    std::size_t next = 0;  // the first new line not yet passed
    for (std::size_t i = 0; i < old_.Size() && next < new_.Size(); ++i) {
      const std::size_t chosen = ChoosePartner(i, next);
      if (chosen == new_.Size()) continue;
      const UnitLine& a = old_.Line(i);
      const UnitLine& b = new_.Line(chosen);
      pairs.push_back({static_cast<int>(i), static_cast<int>(chosen),
                       aligner_.Align(a, b, FindCommonEnds(a, b))});
      next = chosen + 1;
    }
    return pairs;
  }

 private:
  bool AlikeByEnds(std::size_t i, std::size_t j) {
    const UnitLine& a = old_.Line(i);
    const UnitLine& b = new_.Line(j);
    return EndsSimilarity(a, b, FindCommonEnds(a, b)) >= kMinPairSimilarity;
  }

  // The new line old line `i` becomes, from `next` on; new_.Size() for none.
  std::size_t ChoosePartner(std::size_t i, std::size_t next) {
    const std::size_t none = new_.Size();
    const std::size_t last = std::min(none, next + kPairWindow);
    // The usual case, cheaply: the next new line, alike by its common start and end.
    if (AlikeByEnds(i, next)) return next;
    // When that new line is the partner of one of the next old lines, this old line has
    // none: looking further ahead would take a later line's partner.
    const std::size_t oldLast = std::min(old_.Size(), i + kPairWindow);
    for (std::size_t k = i + 1; k < oldLast; ++k) {
      if (AlikeByEnds(k, next)) return none;
    }
    for (std::size_t j = next + 1; j < last; ++j) {
      if (AlikeByEnds(i, j)) return j;
    }
    return MostAlikeByUnits(i, next, last);
  }

  // Otherwise the candidate with the most units in common, in any order, among the first
  // few (counting them costs more).
  std::size_t MostAlikeByUnits(std::size_t i, std::size_t next, std::size_t last) {
    double best = kMinPairSimilarity;
    std::size_t chosen = new_.Size();
    const std::size_t oldCount = old_.Line(i).Count();
    for (std::size_t j = next; j < std::min(last, next + kUnitsWindow); ++j) {
      // Two lines can share at most the units of the shorter one.
      const std::size_t newCount = new_.Line(j).Count();
      if (2.0 * static_cast<double>(std::min(oldCount, newCount)) <
          kMinPairSimilarity * static_cast<double>(oldCount + newCount)) {
        continue;
      }
      const double similarity = SimilarityOfSorted(old_.Hashes(i), new_.Hashes(j));
      if (similarity > best || (chosen == new_.Size() && similarity >= best)) {
        best = similarity;
        chosen = j;
      }
    }
    return chosen;
  }

  LineWindow old_, new_;
  PairAligner aligner_;
};

}  // namespace

ChangedRanges FindChangedCharacters(std::string_view oldText, std::string_view newText,
                                    TextEncoding encoding) {
  Bounds oldBounds, newBounds;
  SplitUnits(oldText, encoding, &oldBounds);
  SplitUnits(newText, encoding, &newBounds);
  const UnitLine a = LineOf(oldText, oldBounds), b = LineOf(newText, newBounds);
  return PairAligner().Align(a, b, FindCommonEnds(a, b));
}

double LineSimilarity(std::string_view oldText, std::string_view newText, TextEncoding encoding) {
  Bounds oldBounds, newBounds;
  SplitUnits(oldText, encoding, &oldBounds);
  SplitUnits(newText, encoding, &newBounds);
  return SimilarityOfSorted(SortedHashes(oldText, oldBounds), SortedHashes(newText, newBounds));
}

std::vector<ChangedLinePair> PairChangedLines(const std::vector<std::string_view>& oldLines,
                                              const std::vector<std::string_view>& newLines,
                                              TextEncoding encoding) {
  if (oldLines.empty() || newLines.empty()) return {};
  return BlockPairer(oldLines, newLines, encoding).Pair();
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
