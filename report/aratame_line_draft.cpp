#include "report/aratame_line_draft.h"

#include <algorithm>

namespace verko {
namespace {

constexpr std::string_view kIndent = "　";
constexpr long kMaxLineCells = 4L << 20;

std::string LineName(int line) {
  return std::to_string(line) + "行目";
}

std::string CountWord(int count, AratameStyle style) {
  return WriteNumeral(count, NumeralsOf(style)) + "行";
}

}  // namespace

DraftSentence DraftLineChange(const std::vector<std::string>& oldLines, int index,
                              const std::string& newLine, AratameStyle style) {
  std::vector<PhraseEdit> edits;
  std::vector<std::string_view> scope = {oldLines[index]};
  if (Likeness(oldLines[index], newLine) >= kAlikeEnough &&
      DraftLineEdits(oldLines[index], newLine, scope, &edits) && !edits.empty()) {
    return {LineName(index + 1) + "中" + WordEdits(edits, style, true) + "。", {}, true};
  }
  return {LineName(index + 1) + "を次のように改める。", {newLine}, true};
}

DraftSentence DraftLineInsertion(int after, const std::vector<std::string>& added,
                                 AratameStyle style) {
  bool atStart = after == 0;
  return {LineName(atStart ? 1 : after) + (atStart ? "の前に次の" : "の次に次の") +
              CountWord(static_cast<int>(added.size()), style) + "を加える。",
          added, true};
}

DraftSentence DraftLineDeletion(int index) {
  return {LineName(index + 1) + "を削る。", {}, true};
}

std::vector<DraftSentence> DraftByLines(const std::vector<std::string>& oldLines,
                                        const std::vector<std::string>& newLines,
                                        AratameStyle style) {
  std::vector<DraftSentence> sentences;
  std::vector<SequenceHunk> hunks = DiffSequences(oldLines, newLines, kMaxLineCells);
  for (auto hunk = hunks.rbegin(); hunk != hunks.rend(); ++hunk) {
    int oldCount = hunk->oldEnd - hunk->oldBegin;
    int newCount = hunk->newEnd - hunk->newBegin;
    std::vector<std::string> added(newLines.begin() + hunk->newBegin,
                                   newLines.begin() + hunk->newEnd);
    if (oldCount == newCount) {
      for (int k = oldCount - 1; k >= 0; --k) {
        sentences.push_back(
            DraftLineChange(oldLines, hunk->oldBegin + k, newLines[hunk->newBegin + k], style));
      }
      continue;
    }
    if (oldCount == 0) {
      bool atStart = hunk->oldBegin == 0;
      sentences.push_back({LineName(atStart ? 1 : hunk->oldBegin) +
                               (atStart ? "の前に次の" : "の次に次の") +
                               CountWord(newCount, style) + "を加える。",
                           added, true});
      continue;
    }
    // Lines deleted, or fewer or more lines in their place: all but the first deleted, from
    // the last, and the first replaced by the new lines.
    for (int line = hunk->oldEnd - 1; line > hunk->oldBegin; --line) {
      sentences.push_back(DraftLineDeletion(line));
    }
    if (newCount == 0) {
      sentences.push_back(DraftLineDeletion(hunk->oldBegin));
    } else {
      sentences.push_back({LineName(hunk->oldBegin + 1) + "を次のように改める。", added, true});
    }
  }
  return sentences;
}

std::string QuotedProvisionLine(const std::string& line) {
  LineLabel label = LabelOf(line);
  bool item = label.role == LineRole::kItem && !label.parenthesised;
  return std::string(kIndent) + (item ? std::string(kIndent) : "") + line;
}

std::string WriteSentences(const std::vector<DraftSentence>& sentences) {
  std::string out;
  for (const DraftSentence& sentence : sentences) {
    out += std::string(kIndent) + std::string(kIndent) + sentence.text + "\n";
    for (const std::string& line : sentence.quoted) {
      out += sentence.lineQuotes ? std::string(kIndent) + line : QuotedProvisionLine(line);
      out += "\n";
    }
  }
  return out;
}

}  // namespace verko
