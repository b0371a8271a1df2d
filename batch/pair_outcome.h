// How one compared pair ended, as verko-cli reports it for every pair of a batch list or of
// two folders: a word a script can act on, followed by the pair and, for a cut or an error,
// why, all on one line.
#pragma once

#include <string>
#include <string_view>

#include "compare/compare_run.h"

namespace verko {

enum class PairOutcome {
  kSame,       // completed, no added, deleted or moved line
  kDifferent,  // completed with differences
  kCut,        // a file was cut at the line limit: the comparison is not complete
  kError,      // refused or failed; the message says why
  kCancelled,  // cancelled by the user (Ctrl-C)
  kSkipped,    // not compared (a row of a batch list still holding a placeholder)
  kBinary,     // binary files whose bytes differ (compared by bytes, no report)
};

// The outcome of a compare run.
PairOutcome OutcomeOf(const CompareResult& result);

// "相違なし", "相違あり", "打ち切り", "エラー", "キャンセル", "スキップ" or "バイナリ".
const char* PairOutcomeWord(PairOutcome outcome);

// What a finished run found, for a window's status line or a row of a list: "相違なし", or
// the word with the line counts ("相違あり（一致 12　削除 1　追加 2　移動 0）"), for an error
// "エラー：" and the message on one line.
std::string OutcomeSummary(const CompareResult& result);

// "word: label", then for a cut which file was cut and where, for an error the message, on
// the same line. `label` names the pair (a result path, a file name of a folder).
std::string PairOutcomeLine(const CompareResult& result, std::string_view label);
// The line of a pair that was not compared.
std::string SkippedPairLine(std::string_view label);
// The line of binary files that differ.
std::string BinaryPairLine(std::string_view label);

// Which file the line limit cut and from which line on nothing was compared, one sentence
// per cut file, each on a line of its own; empty when nothing was cut.
std::string LineLimitCutText(const CompareResult& result);

// A message of several lines as one line: each line break with the blanks around it
// becomes one blank.
std::string MessageOnOneLine(std::string_view text);

}  // namespace verko
