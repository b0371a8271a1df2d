#include "report/report_writer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/encoding.h"
#include "common/program_version.h"
#include "compare/lines/line_functions.h"
#include "report/ordered_links.h"
#include "report/report_format.h"
#include "report/report_lines.h"

namespace verko {
namespace {

// Share of the progress bar that the new walk earns.
constexpr double kWalkShare = 20;
// How much report is collected before it is handed to the settings' flush.
constexpr std::size_t kFlushSize = 256 * 1024;

// The report's own texts in CP932, converted once per report rather than once per line.
struct ReportLabels {
  std::string separator = ToCp932("======================");
  std::string noDifferences = ToCp932("相違点は見つかりませんでした!!");
  std::string statistics = ToCp932("統計情報：");
  std::string oldLines = ToCp932("　旧ファイルの行数（分割後）：");
  std::string newLines = ToCp932("　新ファイルの行数（分割後）：");
  std::string common = ToCp932("　　　一致行 　　　　　　　：");
  std::string deleted = ToCp932("　　　削除行 　　　　　　　：");
  std::string added = ToCp932("　　　追加行 　　　　　　　：");
  std::string moved = ToCp932("　　　移動行 　　　　　　　：");
  std::string unit = ToCp932(" 行 ");
  std::string unitShort = ToCp932(" 行");
};

// Which of a writer's three forms: common, single (added on the new side, deleted on the
// old side) or moved.
enum class Form { kCommon, kSingle, kMoved };

// One report: the walk over the new file with its state, the line writers and the blocks
// around the body. Lives for one call of WriteReport.
class ReportWalk {
 public:
  ReportWalk(const LineTable& oldText, const LineTable& newText, MatchState& state,
             const ReportSettings& settings, std::string& out, ReportCounts& counts)
      : oldText_(oldText),
        newText_(newText),
        state_(state),
        settings_(settings),
        out_(out),
        counts_(counts),
        diffOnly_(settings.diffOnly),
        contextLines_(settings.contextLines),
        chain_(settings.fewestMoves ? LongestOrderedChain(state.NewLink) : std::vector<char>()) {}

  void WriteHeader();
  Flow WalkNew(ProgressMeter& progress);
  Flow WalkTrailingOld();
  Flow ListUnchanged();
  void WriteStatistics();

 private:
  void OutputCurNew(Form form);
  void OutputCurOld(Form form);
  Flow OutputDelLine();
  void OutputPendLine(int position);
  void OutputSeparator() { WriteLine(labels_.separator); }
  // Hands the lines written so far on once they are many; kStop when they cannot go.
  Flow FlushIfLarge() {
    if (!settings_.flush || out_.size() < kFlushSize) return Flow::kContinue;
    return settings_.flush(out_) ? Flow::kContinue : Flow::kStop;
  }
  static std::string NameText(const std::optional<std::string>& text, const std::string& name) {
    return text ? *text : ToCp932(NameForHeader(name));
  }
  void WriteLine(std::string_view text) {
    out_.append(text);
    out_.append("\r\n");
  }
  // A common line has been written: count it, and after ContextLines of them in
  // difference-only mode start holding common lines back.
  void CountWrittenCommon() {
    ++pendingCommon_;
    if (diffOnly_ && pendingCommon_ == contextLines_) inHunk_ = false;
  }
  void WriteCountLine(const std::string& label, int lines, int32_t words, const std::string& unit);

  const LineTable& oldText_;
  const LineTable& newText_;
  MatchState& state_;
  const ReportSettings& settings_;
  std::string& out_;
  ReportCounts& counts_;
  const ReportLabels labels_;

  const bool diffOnly_;
  const int contextLines_;
  // With the fewest moves: which new lines are common (the longest ordered chain of links).
  const std::vector<char> chain_;
  int curOld_ = 0;
  int curNew_ = 0;
  // Old LineID of the latest common line taken in old-file order; every old line at or
  // below it has been written, so the gap rule scans only above it.
  int lastOldShown_ = 0;
  int pendingCommon_ = 0;
  bool inHunk_ = false;
  bool firstContext_ = true;
};

void ReportWalk::WriteHeader() {
  WriteLine(ToCp932(TitleLine(kVersionMajor, kVersionMinor)));
  WriteLine("");
  WriteLine(ToCp932("旧ファイル = ") + NameText(settings_.oldNameText, settings_.oldName));
  WriteLine(ToCp932("新ファイル = ") + NameText(settings_.newNameText, settings_.newName));
  WriteLine("");
  WriteLine(ToCp932("比較日時 = " + settings_.dateTime));
  WriteLine("");
  OutputSeparator();
  WriteLine("    OLD#     NEW#");
  OutputSeparator();
}

void ReportWalk::OutputCurNew(Form form) {
  const LineRecord& newLine = newText_.Line(curNew_);
  switch (form) {
    case Form::kCommon:
      AppendCommonLine(out_, oldText_.Line(curOld_), newLine, newLine);
      break;
    case Form::kSingle:
      AppendAddedLine(out_, newLine);
      break;
    case Form::kMoved:
      AppendMovedNewLine(out_, oldText_.Line(curOld_), newLine);
      break;
  }
}

void ReportWalk::OutputCurOld(Form form) {
  const LineRecord& oldLine = oldText_.Line(curOld_);
  switch (form) {
    case Form::kCommon:
      AppendCommonLine(out_, oldLine, newText_.Line(curNew_), oldLine);
      break;
    case Form::kSingle:
      AppendDeletedLine(out_, oldLine);
      break;
    case Form::kMoved:
      AppendMovedOldLine(out_, oldLine, newText_.Line(curNew_));
      break;
  }
}

Flow ReportWalk::WalkNew(ProgressMeter& progress) {
  StageShare share(progress, kWalkShare);
  const int newCount = newText_.Count();
  for (curNew_ = 1; curNew_ <= newCount; ++curNew_) {
    curOld_ = state_.NewLink[curNew_];
    const int32_t words = WordCountTC(newText_.Line(curNew_).Text);
    if (curOld_ > 0) {
      // The old line lies before old lines already taken in order, or (with the fewest
      // moves) outside the chain of common lines: moved here.
      const bool moved = chain_.empty() ? curOld_ < lastOldShown_ : chain_[curNew_] == 0;
      // A moved line's old place may still lie ahead; the gap rule writes and marks it.
      if (chain_.empty() || !moved) state_.OldMarks[curOld_] = 'P';
      if (moved) {
        ++counts_.CountMoved;
        counts_.WordsMoved += words;
        if (!inHunk_) OutputPendLine(curNew_);
        OutputCurNew(Form::kMoved);
        inHunk_ = true;
        pendingCommon_ = 0;
      } else if (curOld_ == lastOldShown_ + 1) {
        ++counts_.CountCommon;
        counts_.WordsCommon += words;
        lastOldShown_ = curOld_;
        if (inHunk_) {
          OutputCurNew(Form::kCommon);
          CountWrittenCommon();
        } else {
          ++pendingCommon_;  // held back until the next difference shows whether it is context
        }
      } else {
        ++counts_.CountCommon;
        counts_.WordsCommon += words;
        if (OutputDelLine() == Flow::kStop) return Flow::kStop;
        lastOldShown_ = curOld_;
        OutputCurNew(Form::kCommon);
        CountWrittenCommon();
      }
    } else {
      if (!inHunk_) OutputPendLine(curNew_);
      OutputCurNew(Form::kSingle);
      ++counts_.CountAdded;
      counts_.WordsAdded += words;
      inHunk_ = true;
      pendingCommon_ = 0;
    }
    if (FlushIfLarge() == Flow::kStop) return Flow::kStop;
    if (share.Advance(curNew_, newCount) == Flow::kStop) return Flow::kStop;
  }
  return Flow::kContinue;
}

// The old lines skipped between the last line taken in order and curOld_: deleted ones, and
// ones whose partner comes later in the new file (moved, shown here at the old position).
Flow ReportWalk::OutputDelLine() {
  const int savedOld = curOld_;
  const int savedNew = curNew_;
  Flow flow = Flow::kContinue;
  // A long stretch (a file turned round moves nearly every line here) is handed on as it
  // grows, like the walk's own lines.
  for (int i = lastOldShown_ + 1; i <= savedOld && flow == Flow::kContinue; ++i) {
    if (state_.OldMarks[i] == 'P') continue;
    if (!inHunk_) OutputPendLine(savedNew);
    curOld_ = i;
    const int partner = state_.OldLink[i];
    if (partner == 0) {
      OutputCurOld(Form::kSingle);
      ++counts_.CountDeleted;
      counts_.WordsDeleted += WordCountTC(oldText_.Line(i).Text);
    } else {
      // Counted as moved when the walk reaches its new position.
      curNew_ = partner;
      OutputCurOld(Form::kMoved);
    }
    state_.OldMarks[i] = 'P';
    inHunk_ = true;
    pendingCommon_ = 0;
    flow = FlushIfLarge();
  }
  curOld_ = savedOld;
  curNew_ = savedNew;
  return flow;
}

// Writes held-back common lines that end just before new line `position`: all of them in
// full mode, otherwise the context of the coming difference.
void ReportWalk::OutputPendLine(int position) {
  int count;
  if (!diffOnly_) {
    count = pendingCommon_;
  } else if (firstContext_) {
    count = contextLines_;
  } else if (pendingCommon_ > 2 * contextLines_ + 1) {
    OutputSeparator();
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
  const int savedOld = curOld_;
  const int savedNew = curNew_;
  for (int j = start; j < start + count; ++j) {
    curNew_ = j;
    curOld_ = state_.NewLink[j];
    OutputCurNew(Form::kCommon);
  }
  curOld_ = savedOld;
  curNew_ = savedNew;
  pendingCommon_ = 0;
}

// Old lines left unwritten after the walk are deleted at the end of the old file, or (with
// the fewest moves) moved lines shown at their old place.
Flow ReportWalk::WalkTrailingOld() {
  const int oldCount = oldText_.Count();
  for (int i = lastOldShown_ + 1; i <= oldCount; ++i) {
    if (state_.OldMarks[i] == 'P') continue;
    curOld_ = i;
    if (!inHunk_) {
      OutputPendLine(newText_.Count() + 1);
      inHunk_ = true;
    }
    if (const int partner = state_.OldLink[i]; partner != 0) {
      curNew_ = partner;
      OutputCurOld(Form::kMoved);
    } else {
      OutputCurOld(Form::kSingle);
      ++counts_.CountDeleted;
      counts_.WordsDeleted += WordCountTC(oldText_.Line(i).Text);
    }
    state_.OldMarks[i] = 'P';
    if (FlushIfLarge() == Flow::kStop) return Flow::kStop;
  }
  return Flow::kContinue;
}

// In full mode without a difference every line was held back: list them all, old texts.
Flow ReportWalk::ListUnchanged() {
  const int oldCount = oldText_.Count();
  counts_.CountCommon = oldCount;
  for (int i = 1; i <= oldCount; ++i) {
    curOld_ = curNew_ = i;
    OutputCurOld(Form::kCommon);
    if (FlushIfLarge() == Flow::kStop) return Flow::kStop;
  }
  return Flow::kContinue;
}

void ReportWalk::WriteCountLine(const std::string& label, int lines, int32_t words,
                                const std::string& unit) {
  out_.append(label);
  AppendNumberC(out_, lines, 7);
  out_.append(unit);
  AppendNumberC(out_, words, 10);
  WriteLine(" words");
}

void ReportWalk::WriteStatistics() {
  const ReportCounts& c = counts_;
  if (diffOnly_ && c.Differences() == 0) {
    WriteLine(labels_.noDifferences);
    OutputSeparator();
    WriteLine("");
    WriteLine(labels_.statistics);
    WriteCountLine(labels_.oldLines, oldText_.Count(), c.WordsCommon, labels_.unitShort);
    WriteCountLine(labels_.newLines, newText_.Count(), c.WordsCommon, labels_.unitShort);
    return;
  }
  OutputSeparator();
  WriteLine("");
  WriteLine(labels_.statistics);
  WriteCountLine(labels_.oldLines, oldText_.Count(), c.WordsCommon + c.WordsDeleted + c.WordsMoved,
                 labels_.unit);
  WriteCountLine(labels_.newLines, newText_.Count(), c.WordsCommon + c.WordsAdded + c.WordsMoved,
                 labels_.unit);
  WriteLine("");
  WriteCountLine(labels_.common, c.CountCommon, c.WordsCommon, labels_.unit);
  WriteCountLine(labels_.deleted, c.CountDeleted, c.WordsDeleted, labels_.unit);
  WriteCountLine(labels_.added, c.CountAdded, c.WordsAdded, labels_.unit);
  WriteCountLine(labels_.moved, c.CountMoved, c.WordsMoved, labels_.unit);
}

// Every body line is at most 25 bytes plus its text, and every record is written at most
// once, so this reserves the whole report and the walk never reallocates.
std::size_t EstimateSize(const LineTable& oldText, const LineTable& newText) {
  std::size_t size = 2048;
  for (const LineTable* table : {&oldText, &newText}) {
    for (const LineRecord& record : table->Records()) size += record.Text.size() + 25;
  }
  return size;
}

}  // namespace

std::string NameForHeader(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  for (std::size_t pos = 0; pos < name.size(); ++pos) {
    auto b = static_cast<unsigned char>(name[pos]);
    if (b < 0x20 || b == 0x7F) {
      shown += '?';
    } else if (b == 0xC2 && pos + 1 < name.size() &&
               static_cast<unsigned char>(name[pos + 1]) >= 0x80 &&
               static_cast<unsigned char>(name[pos + 1]) <= 0x9F) {
      shown += '?';
      ++pos;
    } else {
      shown += name[pos];
    }
  }
  return shown;
}

Flow WriteReport(const LineTable& oldText, const LineTable& newText, MatchState& state,
                 const ReportSettings& settings, ProgressMeter& progress, std::string& out,
                 ReportCounts& counts) {
  progress.SetPhaseText("結果出力中");
  counts = ReportCounts{};
  const std::size_t estimate = EstimateSize(oldText, newText);
  out.reserve(out.size() + (settings.flush ? std::min(estimate, 2 * kFlushSize) : estimate));

  ReportWalk walk(oldText, newText, state, settings, out, counts);
  walk.WriteHeader();
  if (walk.WalkNew(progress) == Flow::kStop) return Flow::kStop;
  if (walk.WalkTrailingOld() == Flow::kStop) return Flow::kStop;
  if (counts.Differences() == 0 && !settings.diffOnly) {
    if (walk.ListUnchanged() == Flow::kStop) return Flow::kStop;
  }
  walk.WriteStatistics();

  progress.ShowPercent(100);
  progress.SetPhaseText("処理完了");
  return Flow::kContinue;
}

}  // namespace verko
