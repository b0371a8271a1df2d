// The changed characters inside changed lines: within a block of deleted and added lines,
// pairs each old line with the new line it most likely became, and finds which characters
// of each pair differ, as byte ranges of the two texts. Works on the bytes of a report's
// encoding (CP932, UTF-8 or EUC-JP); drawing the ranges is the caller's business (the
// report viewer, the terminal's coloured output). The report file never holds them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/text_encoding.h"
#include "report/report_reader.h"

namespace verko {

// What the marks of a changed line cover: whole words (Japanese words as a dictionary cuts
// them, numbers, ASCII words) or single characters (and ASCII words).
enum class ChangeUnits { kWords, kCharacters };

// Bytes [begin, end) of one line's text.
struct ByteRange {
  uint32_t begin = 0;
  uint32_t end = 0;
  friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

// The changed parts of a pair of lines: ranges in increasing order, not touching each
// other, each starting and ending on a character boundary. Either list may be empty (all
// of that side's text is found in the other).
struct ChangedRanges {
  std::vector<ByteRange> oldRanges;
  std::vector<ByteRange> newRanges;
};

// A deleted line paired with the added line it became: indexes into the block's old and
// new lines, with the changed parts of both texts.
struct ChangedLinePair {
  int oldIndex = 0;
  int newIndex = 0;
  ChangedRanges ranges;
};

// The units compared (`units`): words (word_units.h), or characters with what joins them
// and runs of ASCII letters, digits and "_" (change_units.h). Words need ICU: where it does
// not load, characters are compared (WordUnitsAvailable says why). Runs of changes
// separated by a single common unit are merged, so the result reads as words. Lines are
// paired by their characters whatever the units.
// Cost: the aligned middle of a pair (after its common start and end are set aside) spans
// at most kMaxAlignedCells (old units times new units); a larger middle is marked as
// changed whole.
inline constexpr int kMaxAlignedCells = 1 << 16;

// The changed characters of one pair of lines (`oldText` and `newText`, each one line's
// text without its line end, in `encoding`). Bytes that are no valid character count as
// one unit each; the result is still a valid partition of the bytes.
ChangedRanges FindChangedCharacters(std::string_view oldText, std::string_view newText,
                                    TextEncoding encoding, ChangeUnits units = ChangeUnits::kWords);

// How alike two lines are, from 0 (nothing in common) to 1 (equal units): twice the common
// units over the units of both. Common units are counted as a multiset, without order.
double LineSimilarity(std::string_view oldText, std::string_view newText, TextEncoding encoding);

// Lines at least this alike may be paired.
inline constexpr double kMinPairSimilarity = 0.5;
// How far ahead of the next unpaired new line an old line looks for its partner.
inline constexpr int kPairWindow = 8;
// How many old lines of a block may look for their partner by units in common, the costly
// look; past this many, lines pair by their common start and end alone, so that a long block
// of lines edited beyond that (or one far larger on one side, as where matching linked the
// edited lines elsewhere) costs little more than reading its lines.
inline constexpr int kMaxUnitLooks = 512;

// Pairs the deleted lines `oldLines` with the added lines `newLines` of one block, in order
// (both indexes increase along the result), and lines too different stay unpaired. Each old
// line takes the next unpaired new line when their common start and end bytes alone make up
// at least kMinPairSimilarity of both (the usual edit inside a line); else, unless that new
// line is so alike to one of the next old lines, the first of the next kPairWindow new
// lines alike so; else the most alike by units in common (LineSimilarity) of those of a
// similar length, when at least kMinPairSimilarity (for the first kMaxUnitLooks lines that
// come to this look; later ones stay unpaired). Each pair carries its changed
// characters. Cost is linear in the lines: the work per line and per pair is bounded, and
// only the middle of a pair (between its common start and end) is split into units.
std::vector<ChangedLinePair> PairChangedLines(const std::vector<std::string_view>& oldLines,
                                              const std::vector<std::string_view>& newLines,
                                              TextEncoding encoding,
                                              ChangeUnits units = ChangeUnits::kWords);

// The changed characters of one body line of a report.
struct ChangedLineMarks {
  int line = 0;                   // index into the lines given
  std::vector<ByteRange> ranges;  // within that line's text
  int partner = -1;               // the index of the line it is paired with
};

// The changed characters of a whole report body: `kinds[k]` and `texts[k]` are the kind and
// own text (after the bar) of line k, in report order. Each run of difference lines is a
// block whose deleted lines are paired with its added lines (PairChangedLines); then the
// deleted and added lines no block paired are paired across blocks where they are edits of
// each other (a line moved and changed, PairMovedEdits). Returns the marks of every paired
// line, in line order, each naming its partner. Moved and other lines get none.
std::vector<ChangedLineMarks> MarkChangedLines(const std::vector<LineKind>& kinds,
                                               const std::vector<std::string_view>& texts,
                                               TextEncoding encoding,
                                               ChangeUnits units = ChangeUnits::kWords);

}  // namespace verko
