#include "cli/pair_outcome.h"

namespace verko {
namespace {

// A message of several lines on one line: each line trimmed of its blanks, empty ones
// dropped, the rest joined with one blank.
std::string OneLine(const std::string& text) {
  std::string line;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string piece = text.substr(start, end - start);
    const std::size_t first = piece.find_first_not_of(" \t\r");
    if (first != std::string::npos) {
      piece = piece.substr(first, piece.find_last_not_of(" \t\r") - first + 1);
      if (!line.empty()) line += ' ';
      line += piece;
    }
    start = end + 1;
  }
  return line;
}

}  // namespace

PairOutcome OutcomeOf(const PairRun& run) {
  switch (run.result.status) {
    case kStatusDone:
      if (!run.cutMessages.empty()) return PairOutcome::kCut;
      return run.result.counts.Differences() > 0 ? PairOutcome::kDifferent : PairOutcome::kSame;
    case kStatusCancelled:
      return PairOutcome::kCancelled;
    default:
      return PairOutcome::kError;
  }
}

std::string OutcomeLine(const PairRun& run, const std::string& name) {
  switch (OutcomeOf(run)) {
    case PairOutcome::kSame:
      return "相違なし: " + name;
    case PairOutcome::kDifferent:
      return "相違あり: " + name;
    case PairOutcome::kCut: {
      std::string reasons;
      for (const std::string& message : run.cutMessages) {
        // The first line says which file and where; the rest is the window's "continuing".
        reasons += (reasons.empty() ? "" : " ") + message.substr(0, message.find('\n'));
      }
      return "打ち切り: " + name + " — " + reasons;
    }
    case PairOutcome::kCancelled:
      return "キャンセル: " + name;
    case PairOutcome::kError:
      break;
  }
  return "エラー: " + name + " — " + OneLine(run.result.message.text);
}

void OutcomeCounts::Add(PairOutcome outcome) {
  switch (outcome) {
    case PairOutcome::kSame:
      ++same;
      break;
    case PairOutcome::kDifferent:
      ++different;
      break;
    case PairOutcome::kCut:
      ++cut;
      break;
    case PairOutcome::kError:
      ++error;
      break;
    case PairOutcome::kCancelled:
      ++cancelled;
      break;
  }
}

}  // namespace verko
