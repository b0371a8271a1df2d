// The words of a 改め文 for one changed line: where the old and new text of a line differ,
// the phrases quoted (grown to whole runs of kanji, katakana or digits, and on until they
// occur once in the provision they are looked for in), and the wording of clauses in the
// 縦書き or 横書き style of the official texts.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/aratame_document.h"
#include "report/aratame_instructions.h"

namespace verko {

enum class AratameStyle { kTategaki, kYokogaki };

// The pairs (i, j) of a best alignment of n old and m new units in order, by the weight
// `score(i, j)` (0: never paired) summed over the pairs; cost n times m.
std::vector<std::pair<int, int>> AlignByScore(int n, int m,
                                              const std::function<int(int, int)>& score);

// A changed part of two sequences: old [oldBegin, oldEnd) became new [newBegin, newEnd).
struct SequenceHunk {
  int oldBegin, oldEnd, newBegin, newEnd;
};

// The changed parts of two sequences (lines, characters): common start and end set aside,
// the middle aligned by a longest common subsequence of equal units, or taken as one part
// when it spans more than `maxCells` (old units times new units).
template <class T>
std::vector<SequenceHunk> DiffSequences(const std::vector<T>& a, const std::vector<T>& b,
                                        long maxCells) {
  int n = static_cast<int>(a.size());
  int m = static_cast<int>(b.size());
  int head = 0;
  while (head < n && head < m && a[head] == b[head]) ++head;
  int tail = 0;
  while (tail < n - head && tail < m - head && a[n - 1 - tail] == b[m - 1 - tail]) ++tail;
  int rows = n - head - tail;
  int cols = m - head - tail;
  std::vector<std::pair<int, int>> pairs;
  if (static_cast<long>(rows) * cols <= maxCells) {
    pairs =
        AlignByScore(rows, cols, [&](int i, int j) { return a[head + i] == b[head + j] ? 1 : 0; });
  }
  std::vector<SequenceHunk> hunks;
  int i = 0, j = 0;
  pairs.emplace_back(rows, cols);
  for (auto [pi, pj] : pairs) {
    if (pi > i || pj > j) hunks.push_back({head + i, head + pi, head + j, head + pj});
    i = pi + 1;
    j = pj + 1;
  }
  return hunks;
}

// The edits that turn `oldLine` into `newLine`, each `from` occurring exactly once in
// `scope` (the lines of the provision the clause names, `oldLine` among them); with an empty
// `scope`, the shortest whole words (for a clause that changes every place they occur).
// False when no such quoting exists (a phrase that cannot be made unique).
bool DraftLineEdits(std::string_view oldLine, std::string_view newLine,
                    const std::vector<std::string_view>& scope, std::vector<PhraseEdit>* edits);

// 「A」を「B」に、「C」を「D」に改め、「E」を削り … as one clause's words after 中.
// `final` gives the verb's closing form (改める) for the last clause of a sentence.
std::string WordEdits(const std::vector<PhraseEdit>& edits, AratameStyle style, bool final);

// The name of `path` after `previous` in the same sentence: 同条, 同項第三号, 同号, or the
// full name (第十三条第一項) when it shares nothing with it.
std::string RelativeName(const AmendmentPath& path, const AmendmentPath* previous,
                         AratameStyle style);

NumeralStyle NumeralsOf(AratameStyle style);

// Whether two lines are alike enough to be one provision's old and new text (0 to 1).
double Likeness(std::string_view a, std::string_view b);
// Lines or provisions at least this alike are taken for one changed provision.
inline constexpr double kAlikeEnough = 0.5;

}  // namespace verko
