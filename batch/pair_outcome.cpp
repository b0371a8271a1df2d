#include "batch/pair_outcome.h"

namespace verko {
namespace {

std::string CutSentence(const char* role, const LineLimitCut& cut) {
  return std::string(role) + "は " + std::to_string(cut.line) + " 行目" +
         (cut.withinLine ? "の途中" : "") + "から後を比較していません。";
}

std::string OutcomeLine(PairOutcome outcome, std::string_view label, std::string_view detail) {
  std::string line = PairOutcomeWord(outcome);
  line += ": ";
  line += label;
  if (!detail.empty()) {
    line += "  ";
    line += detail;
  }
  return line;
}

}  // namespace

PairOutcome OutcomeOf(const CompareResult& result) {
  switch (result.status) {
    case kStatusDone:
      if (result.Cut()) return PairOutcome::kCut;
      return result.counts.Differences() > 0 ? PairOutcome::kDifferent : PairOutcome::kSame;
    case kStatusCancelled:
      return PairOutcome::kCancelled;
    default:
      return PairOutcome::kError;
  }
}

const char* PairOutcomeWord(PairOutcome outcome) {
  switch (outcome) {
    case PairOutcome::kSame:
      return "相違なし";
    case PairOutcome::kDifferent:
      return "相違あり";
    case PairOutcome::kCut:
      return "打ち切り";
    case PairOutcome::kError:
      return "エラー";
    case PairOutcome::kCancelled:
      return "キャンセル";
    case PairOutcome::kSkipped:
      return "スキップ";
    case PairOutcome::kBinary:
      return "バイナリ";
  }
  return "エラー";
}

std::string PairOutcomeLine(const CompareResult& result, std::string_view label) {
  PairOutcome outcome = OutcomeOf(result);
  std::string detail;
  if (outcome == PairOutcome::kCut) detail = MessageOnOneLine(LineLimitCutText(result));
  if (outcome == PairOutcome::kError) detail = MessageOnOneLine(result.message.text);
  return OutcomeLine(outcome, label, detail);
}

std::string OutcomeSummary(const CompareResult& result) {
  const PairOutcome outcome = OutcomeOf(result);
  std::string summary = PairOutcomeWord(outcome);
  if (outcome == PairOutcome::kError) return summary + "：" + MessageOnOneLine(result.message.text);
  if (outcome == PairOutcome::kDifferent || outcome == PairOutcome::kCut) {
    const ReportCounts& counts = result.counts;
    summary += "（一致 " + std::to_string(counts.CountCommon) + "　削除 " +
               std::to_string(counts.CountDeleted) + "　追加 " + std::to_string(counts.CountAdded) +
               "　移動 " + std::to_string(counts.CountMoved) + "）";
  }
  return summary;
}

std::string SkippedPairLine(std::string_view label) {
  return OutcomeLine(PairOutcome::kSkipped, label, "");
}

std::string BinaryPairLine(std::string_view label) {
  return OutcomeLine(PairOutcome::kBinary, label, "");
}

std::string LineLimitCutText(const CompareResult& result) {
  std::string text;
  if (result.oldCut.cut()) text += CutSentence("旧ファイル", result.oldCut);
  if (result.newCut.cut()) {
    if (!text.empty()) text += '\n';
    text += CutSentence("新ファイル", result.newCut);
  }
  return text;
}

std::string MessageOnOneLine(std::string_view text) {
  std::string line;
  bool pendingBreak = false;
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '\n' || c == '\r') {
      while (!line.empty() && line.back() == ' ') line.pop_back();
      pendingBreak = !line.empty();
      continue;
    }
    if (pendingBreak) {
      if (c == ' ' || c == '\t') continue;
      line += ' ';
      pendingBreak = false;
    }
    line += c;
  }
  return line;
}

}  // namespace verko
