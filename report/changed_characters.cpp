#include "report/changed_characters.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "report/change_units.h"
#include "report/moved_edits.h"
#include "report/word_units.h"

namespace verko {
namespace {

// How many of the candidates are weighed by their units in common when none is alike by its
// common start and end.
constexpr std::size_t kUnitsWindow = 8;

std::size_t UnitCount(const Bounds& bounds) {
  return bounds.size() - 1;
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

// How many units at the start and at the end of a pair of split lines are common and set
// aside from the alignment.
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

// How alike two lines are by their common start and end bytes alone: a cheap measure that
// is enough for the usual edit inside a line.
// Their common start is kept in `commonStart` (when given) once found.
bool AlikeByEnds(std::string_view a, std::string_view b, std::size_t* commonStart = nullptr) {
  if (a.size() + b.size() == 0) return true;
  const std::size_t shorter = std::min(a.size(), b.size());
  // The common start and end together are at most the shorter line.
  if (2.0 * static_cast<double>(shorter) <
      kMinPairSimilarity * static_cast<double>(a.size() + b.size())) {
    return false;
  }
  const std::size_t start = CommonStart(a.data(), b.data(), shorter);
  if (commonStart != nullptr) *commonStart = start;
  const std::size_t end = CommonEnd(a.data() + a.size(), b.data() + b.size(), shorter - start);
  return 2.0 * static_cast<double>(start + end) >=
         kMinPairSimilarity * static_cast<double>(a.size() + b.size());
}

// Two lines split for aligning: their common start (in whole units on both sides) and their
// common end are one unit each, set aside as common; only the middle is split into units.
class SplitPair {
 public:
  // `knownStart`: the number of equal bytes at their start when already counted.
  void Split(std::string_view a, std::string_view b, TextEncoding encoding, ChangeUnits units,
             std::size_t knownStart = kUnknown) {
    const std::size_t start = knownStart != kUnknown
                                  ? knownStart
                                  : CommonStart(a.data(), b.data(), std::min(a.size(), b.size()));
    if (units == ChangeUnits::kWords) {
      SplitWords(a, b, encoding, start);
      return;
    }
    // Below the first difference both lines are split alike, except for the unit that
    // reaches it, which may start earlier in one line than in the other.
    const std::size_t head = std::min(start == a.size() ? start : UnitStart(a, start, encoding),
                                      start == b.size() ? start : UnitStart(b, start, encoding));
    // Equal bytes from a boundary of each line on are equal units, split alike: the common
    // end is the longest equal end that starts on a boundary in both lines.
    std::size_t end =
        CommonEnd(a.data() + a.size(), b.data() + b.size(), std::min(a.size(), b.size()) - head);
    while (end > 0) {
      const std::size_t endA = a.size() - NextBoundary(a, a.size() - end, encoding);
      const std::size_t endB = b.size() - NextBoundary(b, b.size() - end, encoding);
      if (endA == endB) {
        end = endA;
        break;
      }
      end = std::min(endA, endB);
    }
    ends_ = {head > 0 ? 1u : 0u, end > 0 ? 1u : 0u};
    SplitLine(a, head, a.size() - end, encoding, &a_, &aBounds_);
    SplitLine(b, head, b.size() - end, encoding, &b_, &bBounds_);
  }

  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);

  const UnitLine& A() const { return a_; }
  const UnitLine& B() const { return b_; }
  const CommonEnds& Ends() const { return ends_; }

 private:
  // The dictionary cuts a line by its context, so the same words may be cut differently in
  // two lines. The common start and end are set aside at a place where both lines may be
  // cut (inside no character, number or ASCII word of either) and one of them is: the
  // changed middle then begins and ends on whole words of the line that changed there.
  void SplitWords(std::string_view a, std::string_view b, TextEncoding encoding,
                  std::size_t start) {
    FindWordCuts(a, encoding, &aCuts_);
    FindWordCuts(b, encoding, &bCuts_);
    auto cutInBoth = [&](std::size_t p, std::size_t q) {
      return (aCuts_[p] & bCuts_[q] & kMayCut) != 0 && ((aCuts_[p] | bCuts_[q]) & kCut) != 0;
    };
    std::size_t head = start;
    while (head > 0 && !cutInBoth(head, head)) --head;
    std::size_t end =
        CommonEnd(a.data() + a.size(), b.data() + b.size(), std::min(a.size(), b.size()) - head);
    while (end > 0 && !cutInBoth(a.size() - end, b.size() - end)) --end;
    ends_ = {head > 0 ? 1u : 0u, end > 0 ? 1u : 0u};
    SplitLineAtCuts(a, head, a.size() - end, aCuts_, &a_, &aBounds_);
    SplitLineAtCuts(b, head, b.size() - end, bCuts_, &b_, &bBounds_);
  }

  static void SplitLineAtCuts(std::string_view text, std::size_t head, std::size_t tail,
                              const std::vector<uint8_t>& cuts, UnitLine* line, Bounds* bounds) {
    bounds->clear();
    if (head > 0) bounds->push_back(0);
    for (std::size_t p = head; p < tail; ++p) {
      if (p == head || (cuts[p] & kCut) != 0) bounds->push_back(static_cast<uint32_t>(p));
    }
    if (tail < text.size()) bounds->push_back(static_cast<uint32_t>(tail));
    bounds->push_back(static_cast<uint32_t>(text.size()));
    *line = LineOf(text, *bounds);
  }

  static void SplitLine(std::string_view text, std::size_t head, std::size_t tail,
                        TextEncoding encoding, UnitLine* line, Bounds* bounds) {
    bounds->clear();
    if (head > 0) bounds->push_back(0);
    AppendUnits(text, head, tail, encoding, bounds);
    if (tail < text.size()) bounds->push_back(static_cast<uint32_t>(tail));
    bounds->push_back(static_cast<uint32_t>(text.size()));
    *line = LineOf(text, *bounds);
  }

  UnitLine a_, b_;
  Bounds aBounds_, bBounds_;
  std::vector<uint8_t> aCuts_, bCuts_;
  CommonEnds ends_;
};

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
  // Whether middle units i and j are equal: by their keys, and by their bytes for long ones.
  bool Same(std::size_t i, std::size_t j) const {
    return aKeys_[i] == bKeys_[j] &&
           (IsShortKey(aKeys_[i]) || a_.Unit(head_ + i) == b_.Unit(head_ + j));
  }

  static void KeysOfUnits(const UnitLine& line, std::size_t first, std::size_t count,
                          std::vector<uint64_t>* keys) {
    keys->resize(count);
    for (std::size_t k = 0; k < count; ++k) {
      const uint32_t begin = line.bounds[first + k];
      (*keys)[k] = UnitKeyAt(line.text, begin, line.bounds[first + k + 1] - begin);
    }
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

  // The longest common subsequence of the middle units.
  void AlignMiddle(std::size_t head, std::size_t n, std::size_t m) {
    // length[i][j]: the longest common subsequence of old units i.. and new units j..
    head_ = head;
    KeysOfUnits(a_, head, n, &aKeys_);
    KeysOfUnits(b_, head, m, &bKeys_);
    const std::size_t width = m + 1;
    length_.assign((n + 1) * width, 0);
    for (std::size_t i = n; i-- > 0;) {
      uint16_t* row = length_.data() + i * width;
      const uint16_t* below = row + width;
      const uint64_t key = aKeys_[i];
      const bool exact = IsShortKey(key);
      for (std::size_t j = m; j-- > 0;) {
        row[j] = key == bKeys_[j] && (exact || Same(i, j)) ? static_cast<uint16_t>(below[j + 1] + 1)
                                                           : std::max(below[j], row[j + 1]);
      }
    }
    std::size_t i = 0, j = 0;
    while (i < n && j < m) {
      if (Same(i, j)) {
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
    std::size_t oldCount = 0, newCount = 0;
    for (const Stretch& stretch : stretches_) {
      oldCount += !stretch.common && stretch.oldCount > 0;
      newCount += !stretch.common && stretch.newCount > 0;
    }
    ranges.oldRanges.reserve(oldCount);
    ranges.newRanges.reserve(newCount);
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
  std::size_t head_ = 0;  // the first middle unit
  std::vector<uint64_t> aKeys_, bKeys_;
  std::vector<Stretch> stretches_;
  std::vector<uint16_t> length_;
};

// The units of the lines of one side of a block as sorted hashes, made when first asked
// for. Lines are asked for in a window that only moves forward, so a few recent ones are
// kept.
class HashWindow {
 public:
  HashWindow(const std::vector<std::string_view>& texts, TextEncoding encoding)
      : texts_(texts), encoding_(encoding) {}

  const std::vector<uint64_t>& Hashes(std::size_t k) {
    Slot& slot = slots_[k % kSlots];
    if (slot.index != k) {
      slot.index = k;
      SortedKeys(texts_[k], encoding_, &slot.hashes);
    }
    return slot.hashes;
  }

 private:
  static constexpr std::size_t kSlots = kPairWindow + 2;
  struct Slot {
    std::size_t index = static_cast<std::size_t>(-1);
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
              const std::vector<std::string_view>& newLines, TextEncoding encoding,
              ChangeUnits units)
      : oldLines_(oldLines),
        newLines_(newLines),
        encoding_(encoding),
        units_(units),
        oldHashes_(oldLines, encoding),
        newHashes_(newLines, encoding) {}

  std::vector<ChangedLinePair> Pair() {
    std::vector<ChangedLinePair> pairs;
    pairs.reserve(std::min(oldLines_.size(), newLines_.size()));
    std::size_t next = 0;  // the first new line not yet passed
    for (std::size_t i = 0; i < oldLines_.size() && next < newLines_.size(); ++i) {
      const std::size_t chosen = ChoosePartner(i, next);
      if (chosen == newLines_.size()) continue;
      split_.Split(oldLines_[i], newLines_[chosen], encoding_, units_, start_);
      pairs.push_back({static_cast<int>(i), static_cast<int>(chosen),
                       aligner_.Align(split_.A(), split_.B(), split_.Ends())});
      next = chosen + 1;
    }
    return pairs;
  }

 private:
  // The new line old line `i` becomes, from `next` on; newLines_.size() for none.
  std::size_t ChoosePartner(std::size_t i, std::size_t next) {
    const std::size_t none = newLines_.size();
    const std::size_t last = std::min(none, next + kPairWindow);
    // The usual case, cheaply: the next new line, alike by its common start and end.
    start_ = SplitPair::kUnknown;
    if (AlikeByEnds(oldLines_[i], newLines_[next], &start_)) return next;
    // When that new line is the partner of one of the next old lines, this old line has
    // none: looking further ahead would take a later line's partner.
    const std::size_t oldLast = std::min(oldLines_.size(), i + kPairWindow);
    for (std::size_t k = i + 1; k < oldLast; ++k) {
      if (AlikeByEnds(oldLines_[k], newLines_[next])) return none;
    }
    for (std::size_t j = next + 1; j < last; ++j) {
      if (AlikeByEnds(oldLines_[i], newLines_[j], &start_)) return j;
    }
    start_ = SplitPair::kUnknown;
    if (unitLooks_ == static_cast<std::size_t>(kMaxUnitLooks)) return none;
    ++unitLooks_;
    return MostAlikeByUnits(i, next, last);
  }

  // Otherwise the candidate with the most units in common, in any order, among the first
  // few (counting them costs more). Lines of very different lengths are not weighed.
  std::size_t MostAlikeByUnits(std::size_t i, std::size_t next, std::size_t last) {
    double best = kMinPairSimilarity;
    std::size_t chosen = newLines_.size();
    const std::size_t oldSize = oldLines_[i].size();
    for (std::size_t j = next; j < std::min(last, next + kUnitsWindow); ++j) {
      const std::size_t newSize = newLines_[j].size();
      if (2.0 * static_cast<double>(std::min(oldSize, newSize)) <
          kMinPairSimilarity * static_cast<double>(oldSize + newSize)) {
        continue;
      }
      const std::vector<uint64_t>& oldKeys = oldHashes_.Hashes(i);
      const std::vector<uint64_t>& newKeys = newHashes_.Hashes(j);
      // At most the units of the shorter line are common: skip the count where even that
      // falls short of the best so far.
      if (2.0 * static_cast<double>(std::min(oldKeys.size(), newKeys.size())) <
          best * static_cast<double>(oldKeys.size() + newKeys.size())) {
        continue;
      }
      const double similarity = SimilarityOfKeys(oldKeys, newKeys);
      if (similarity > best || (chosen == newLines_.size() && similarity >= best)) {
        best = similarity;
        chosen = j;
      }
    }
    return chosen;
  }

  const std::vector<std::string_view>& oldLines_;
  const std::vector<std::string_view>& newLines_;
  const TextEncoding encoding_;
  const ChangeUnits units_;
  HashWindow oldHashes_, newHashes_;
  SplitPair split_;
  PairAligner aligner_;
  std::size_t unitLooks_ = 0;
  std::size_t start_ = SplitPair::kUnknown;  // the common start of the partner chosen, if known
};

// Words where ICU loads; else characters (the caller says so, WordUnitsAvailable).
ChangeUnits UsableUnits(ChangeUnits units) {
  return units == ChangeUnits::kWords && !WordUnitsAvailable(nullptr) ? ChangeUnits::kCharacters
                                                                      : units;
}

}  // namespace

ChangedRanges FindChangedCharacters(std::string_view oldText, std::string_view newText,
                                    TextEncoding encoding, ChangeUnits units) {
  SplitPair split;
  split.Split(oldText, newText, encoding, UsableUnits(units));
  return PairAligner().Align(split.A(), split.B(), split.Ends());
}

double LineSimilarity(std::string_view oldText, std::string_view newText, TextEncoding encoding) {
  std::vector<uint64_t> oldKeys, newKeys;
  SortedKeys(oldText, encoding, &oldKeys);
  SortedKeys(newText, encoding, &newKeys);
  return SimilarityOfKeys(oldKeys, newKeys);
}

std::vector<ChangedLinePair> PairChangedLines(const std::vector<std::string_view>& oldLines,
                                              const std::vector<std::string_view>& newLines,
                                              TextEncoding encoding, ChangeUnits units) {
  if (oldLines.empty() || newLines.empty()) return {};
  return BlockPairer(oldLines, newLines, encoding, UsableUnits(units)).Pair();
}

std::vector<ChangedLineMarks> MarkChangedLines(const std::vector<LineKind>& kinds,
                                               const std::vector<std::string_view>& texts,
                                               TextEncoding encoding, ChangeUnits units) {
  std::vector<ChangedLineMarks> marks;
  std::vector<int> oldAt, newAt, leftOldAt, leftNewAt;
  std::vector<std::string_view> oldTexts, newTexts, leftOld, leftNew;
  std::vector<bool> paired;
  auto addPair = [&](int oldLine, int newLine, ChangedRanges&& ranges) {
    marks.push_back({oldLine, std::move(ranges.oldRanges), newLine});
    marks.push_back({newLine, std::move(ranges.newRanges), oldLine});
  };
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
    std::vector<ChangedLinePair> pairs = PairChangedLines(oldTexts, newTexts, encoding, units);
    paired.assign(oldAt.size() + newAt.size(), false);
    for (ChangedLinePair& pair : pairs) {
      addPair(oldAt[pair.oldIndex], newAt[pair.newIndex], std::move(pair.ranges));
      paired[pair.oldIndex] = paired[oldAt.size() + pair.newIndex] = true;
    }
    for (std::size_t i = 0; i < oldAt.size(); ++i) {
      if (!paired[i]) leftOldAt.push_back(oldAt[i]), leftOld.push_back(oldTexts[i]);
    }
    for (std::size_t j = 0; j < newAt.size(); ++j) {
      if (!paired[oldAt.size() + j]) leftNewAt.push_back(newAt[j]), leftNew.push_back(newTexts[j]);
    }
  }
  // Lines that moved and changed: deleted and added lines that no block paired.
  for (const auto& [i, j] : PairMovedEdits(leftOld, leftNew, encoding)) {
    addPair(leftOldAt[i], leftNewAt[j],
            FindChangedCharacters(leftOld[i], leftNew[j], encoding, units));
  }
  std::sort(marks.begin(), marks.end(),
            [](const ChangedLineMarks& a, const ChangedLineMarks& b) { return a.line < b.line; });
  return marks;
}

}  // namespace verko
