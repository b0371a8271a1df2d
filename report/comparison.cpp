#include "report/comparison.h"

#include "compare/lines/line_functions.h"
#include "report/ordered_links.h"

namespace verko {
namespace {

// Share of the progress bar that the new walk earns.
constexpr double kWalkShare = 20;

// The walk over the new file with its state; lives for one call of BuildComparison.
class ComparisonWalk {
 public:
  ComparisonWalk(const LineTable& oldText, const LineTable& newText, MatchState& state,
                 bool fewestMoves, Comparison& out)
      : oldText_(oldText),
        newText_(newText),
        state_(state),
        out_(out),
        counts_(out.counts),
        diffOnly_(out.diffOnly),
        contextLines_(out.contextLines),
        chain_(fewestMoves ? LongestOrderedChain(state.NewLink) : std::vector<char>()) {}

  Flow WalkNew(ProgressMeter& progress);
  void WalkTrailingOld();
  void ListUnchanged();

 private:
  void Add(EntryKind kind, int oldId, int newId) { out_.entries.push_back({kind, oldId, newId}); }
  void OutputDelLine(int curOld, int curNew);
  void OutputPendLine(int position);
  // A common line has been listed: count it, and after ContextLines of them in
  // difference-only mode start holding common lines back.
  void CountWrittenCommon() {
    ++pendingCommon_;
    if (diffOnly_ && pendingCommon_ == contextLines_) inHunk_ = false;
  }

  const LineTable& oldText_;
  const LineTable& newText_;
  MatchState& state_;
  Comparison& out_;
  ReportCounts& counts_;

  const bool diffOnly_;
  const int contextLines_;
  // With the fewest moves: which new lines are common (the longest ordered chain of links).
  const std::vector<char> chain_;
  // Old LineID of the latest common line taken in old-file order; every old line at or
  // below it has been listed, so the gap rule scans only above it.
  int lastOldShown_ = 0;
  int pendingCommon_ = 0;
  bool inHunk_ = false;
  bool firstContext_ = true;
};

Flow ComparisonWalk::WalkNew(ProgressMeter& progress) {
  StageShare share(progress, kWalkShare);
  const int newCount = newText_.Count();
  for (int curNew = 1; curNew <= newCount; ++curNew) {
    const int curOld = state_.NewLink[curNew];
    const int32_t words = WordCountTC(newText_.Line(curNew).Text);
    if (curOld > 0) {
      // The old line lies before old lines already taken in order, or (with the fewest
      // moves) outside the chain of common lines: moved here.
      const bool moved = chain_.empty() ? curOld < lastOldShown_ : chain_[curNew] == 0;
      // A moved line's old place may still lie ahead; the gap rule lists and marks it.
      if (chain_.empty() || !moved) state_.OldMarks[curOld] = 'P';
      if (moved) {
        ++counts_.CountMoved;
        counts_.WordsMoved += words;
        if (!inHunk_) OutputPendLine(curNew);
        Add(EntryKind::kMovedNew, curOld, curNew);
        inHunk_ = true;
        pendingCommon_ = 0;
      } else if (curOld == lastOldShown_ + 1) {
        ++counts_.CountCommon;
        counts_.WordsCommon += words;
        lastOldShown_ = curOld;
        if (inHunk_) {
          Add(EntryKind::kCommon, curOld, curNew);
          CountWrittenCommon();
        } else {
          ++pendingCommon_;  // held back until the next difference shows whether it is context
        }
      } else {
        ++counts_.CountCommon;
        counts_.WordsCommon += words;
        OutputDelLine(curOld, curNew);
        lastOldShown_ = curOld;
        Add(EntryKind::kCommon, curOld, curNew);
        CountWrittenCommon();
      }
    } else {
      if (!inHunk_) OutputPendLine(curNew);
      Add(EntryKind::kAdded, 0, curNew);
      ++counts_.CountAdded;
      counts_.WordsAdded += words;
      inHunk_ = true;
      pendingCommon_ = 0;
    }
    if (share.Advance(curNew, newCount) == Flow::kStop) return Flow::kStop;
  }
  return Flow::kContinue;
}

// The old lines skipped between the last line taken in order and `curOld`, the partner of
// new line `curNew`: deleted ones, and ones whose partner comes later in the new file
// (moved, listed here at the old place and counted when the walk reaches the new one).
void ComparisonWalk::OutputDelLine(int curOld, int curNew) {
  for (int i = lastOldShown_ + 1; i <= curOld; ++i) {
    if (state_.OldMarks[i] == 'P') continue;
    if (!inHunk_) OutputPendLine(curNew);
    const int partner = state_.OldLink[i];
    if (partner == 0) {
      Add(EntryKind::kDeleted, i, 0);
      ++counts_.CountDeleted;
      counts_.WordsDeleted += WordCountTC(oldText_.Line(i).Text);
    } else {
      Add(EntryKind::kMovedOld, i, partner);
    }
    state_.OldMarks[i] = 'P';
    inHunk_ = true;
    pendingCommon_ = 0;
  }
}

// Lists held-back common lines that end just before new line `position`: all of them in
// full mode, otherwise the context of the coming difference (after a gap when the run is
// longer than two contexts and a line).
void ComparisonWalk::OutputPendLine(int position) {
  int count;
  if (!diffOnly_) {
    count = pendingCommon_;
  } else if (firstContext_) {
    count = contextLines_;
  } else if (pendingCommon_ > 2 * contextLines_ + 1) {
    Add(EntryKind::kGap, 0, 0);
    count = contextLines_;
  } else {
    // The first ContextLines of the run went out as trailing context of the last difference.
    count = pendingCommon_ - contextLines_;
  }
  firstContext_ = false;
  int start = position - count;
  if (start < 1) {
    count -= 1 - start;
    start = 1;
  }
  for (int j = start; j < start + count; ++j) Add(EntryKind::kCommon, state_.NewLink[j], j);
  pendingCommon_ = 0;
}

// Old lines left unlisted after the walk are deleted at the end of the old file, or (with
// the fewest moves) moved lines listed at their old place.
void ComparisonWalk::WalkTrailingOld() {
  const int oldCount = oldText_.Count();
  for (int i = lastOldShown_ + 1; i <= oldCount; ++i) {
    if (state_.OldMarks[i] == 'P') continue;
    if (!inHunk_) {
      OutputPendLine(newText_.Count() + 1);
      inHunk_ = true;
    }
    if (const int partner = state_.OldLink[i]; partner != 0) {
      Add(EntryKind::kMovedOld, i, partner);
    } else {
      Add(EntryKind::kDeleted, i, 0);
      ++counts_.CountDeleted;
      counts_.WordsDeleted += WordCountTC(oldText_.Line(i).Text);
    }
    state_.OldMarks[i] = 'P';
  }
}

// In full mode without a difference every line was held back: list them all, old texts.
void ComparisonWalk::ListUnchanged() {
  const int oldCount = oldText_.Count();
  counts_.CountCommon = oldCount;
  for (int i = 1; i <= oldCount; ++i) out_.entries.push_back({EntryKind::kCommon, i, i, true});
}

// Room for every record once (each is listed at most once); gaps are few beside them.
std::size_t MostEntries(const LineTable& oldText, const LineTable& newText) {
  return static_cast<std::size_t>(oldText.Count()) + static_cast<std::size_t>(newText.Count()) + 1;
}

}  // namespace

Flow BuildComparison(const LineTable& oldText, const LineTable& newText, MatchState& state,
                     const WalkOptions& options, ProgressMeter& progress, Comparison& comparison) {
  comparison.oldText = &oldText;
  comparison.newText = &newText;
  comparison.diffOnly = options.diffOnly;
  comparison.contextLines = options.contextLines;
  comparison.entries.clear();
  comparison.entries.reserve(MostEntries(oldText, newText));
  comparison.counts = ReportCounts{};
  comparison.complete = false;

  ComparisonWalk walk(oldText, newText, state, options.fewestMoves, comparison);
  if (walk.WalkNew(progress) == Flow::kStop) return Flow::kStop;
  walk.WalkTrailingOld();
  if (comparison.counts.Differences() == 0 && !options.diffOnly) walk.ListUnchanged();
  comparison.complete = true;
  return Flow::kContinue;
}

}  // namespace verko
