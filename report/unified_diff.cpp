// The unified diff: the comparison's common lines are the context that both files share,
// every other line of the old file is removed and every other line of the new file added
// (a moved line too: removed at its old place, added at its new one). It works on the
// files' physical lines and their own bytes, so that patch, given the old file, makes the
// new one byte for byte whatever the options: a line cut into pieces is common only when all
// its pieces are common with the pieces of one line of the other file, and two lines the
// comparison links (as equal under a fold: letter case, width, wave-dash twins, blanks) are
// context only when their bytes are the same.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "report/format_writer.h"

namespace verko {
namespace {

// The context around each change: the report's context lines in difference-only mode,
// else the customary three.
int ContextOf(const ExportOptions& options) {
  return options.diffOnly ? options.contextLines : 3;
}

// The lines of a file as patch sees them: a file of nothing but a byte order mark is one
// line without line end, whatever the comparison made of it.
int LinesOf(const RawLines& lines) {
  return lines.Count() == 0 && !lines.Lead().empty() ? 1 : lines.Count();
}

// For each physical line of one side, the line of the other side it is common with
// (0: none), from the common entries of the comparison.
struct LinePairs {
  std::vector<int> oldPartner, newPartner;  // indexed by line number, [0] unused
};

class PairFinder {
 public:
  PairFinder(const LineTable& oldText, const LineTable& newText, int oldLines, int newLines)
      : oldText_(oldText),
        newText_(newText),
        oldSide_(static_cast<std::size_t>(oldLines) + 1),
        newSide_(static_cast<std::size_t>(newLines) + 1) {
    for (const LineRecord& record : oldText.Records()) ++oldSide_[record.LineNo].parts;
    for (const LineRecord& record : newText.Records()) ++newSide_[record.LineNo].parts;
  }

  void AddCommon(int oldId, int newId) {
    const int oldLine = oldText_.Line(oldId).LineNo;
    const int newLine = newText_.Line(newId).LineNo;
    Note(oldSide_[oldLine], newLine);
    Note(newSide_[newLine], oldLine);
  }

  // What comes before a line in its file that is no part of it: a first line's byte order
  // mark.
  static std::string_view LeadOf(const RawLines& lines, int line) {
    return line == 1 ? lines.Lead() : std::string_view();
  }

  // The pairs of lines whose every part is common with a part of the other line and that
  // are the same bytes in their files, end alike (a last line without line end differs from
  // one with, CR LF from LF) and begin alike (a byte order mark), kept only while they rise
  // on both sides.
  LinePairs Pairs(const ExportInput& input) const {
    const RawLines& oldLines = *input.oldLines;
    const RawLines& newLines = *input.newLines;
    LinePairs pairs;
    pairs.oldPartner.assign(oldSide_.size(), 0);
    pairs.newPartner.assign(newSide_.size(), 0);
    int lastNew = 0;
    for (std::size_t oldLine = 1; oldLine < oldSide_.size(); ++oldLine) {
      const Side& side = oldSide_[oldLine];
      if (!side.Whole()) continue;
      const int newLine = side.partner;
      const Side& other = newSide_[static_cast<std::size_t>(newLine)];
      if (!other.Whole() || other.partner != static_cast<int>(oldLine) || newLine <= lastNew ||
          oldLines.End(static_cast<int>(oldLine)) != newLines.End(newLine) ||
          LeadOf(oldLines, static_cast<int>(oldLine)) != LeadOf(newLines, newLine) ||
          !SameBytes(input, static_cast<int>(oldLine), newLine)) {
        continue;
      }
      pairs.oldPartner[oldLine] = newLine;
      pairs.newPartner[static_cast<std::size_t>(newLine)] = static_cast<int>(oldLine);
      lastNew = newLine;
    }
    return pairs;
  }

 private:
  // Whether two physical lines are the same bytes in their files (lines past the tables'
  // end, of a file of nothing but a byte order mark, are empty).
  static bool SameBytes(const ExportInput& input, int oldLine, int newLine) {
    auto text = [](const RawLines& lines, int line) {
      return line <= lines.Count() ? lines.Text(line) : std::string_view();
    };
    const std::string_view oldText = text(*input.oldLines, oldLine);
    const std::string_view newText = text(*input.newLines, newLine);
    if (input.oldEncoding == input.newEncoding && oldText == newText) return true;
    return input.OldLineBytes(oldText) == input.NewLineBytes(newText);
  }

  struct Side {
    int parts = 0;    // records of the line
    int common = 0;   // of them common (a record met twice counts twice)
    int partner = 0;  // the line of the other side, -1 when its pieces go to several
    bool Whole() const { return parts > 0 && common == parts && partner > 0; }
  };

  static void Note(Side& side, int otherLine) {
    ++side.common;
    if (side.partner == 0) {
      side.partner = otherLine;
    } else if (side.partner != otherLine) {
      side.partner = -1;
    }
  }

  const LineTable& oldText_;
  const LineTable& newText_;
  std::vector<Side> oldSide_, newSide_;
};

// One hunk's lines written as they come, with its header once it is complete.
class DiffWriter {
 public:
  DiffWriter(const ExportInput& input, const LinePairs& pairs, std::string& out)
      : input_(input),
        pairs_(pairs),
        out_(out),
        oldCount_(LinesOf(*input.oldLines)),
        newCount_(LinesOf(*input.newLines)),
        context_(ContextOf(input.options)) {}

  void Write() {
    // The changes, as runs of old lines removed and new lines added between common lines.
    int oldLine = 1, newLine = 1;
    while (oldLine <= oldCount_ || newLine <= newCount_) {
      if (oldLine <= oldCount_ && pairs_.oldPartner[oldLine] == newLine) {
        ++oldLine;
        ++newLine;
        continue;
      }
      Change change{oldLine, oldLine, newLine, newLine};
      while (change.oldEnd <= oldCount_ && pairs_.oldPartner[change.oldEnd] == 0) ++change.oldEnd;
      while (change.newEnd <= newCount_ && pairs_.newPartner[change.newEnd] == 0) ++change.newEnd;
      if (change.oldEnd == oldLine && change.newEnd == newLine) break;  // cannot happen: pairs rise
      changes_.push_back(change);
      oldLine = change.oldEnd;
      newLine = change.newEnd;
    }
    if (changes_.empty()) return;
    WriteHeader();
    std::size_t first = 0;
    for (std::size_t i = 1; i <= changes_.size(); ++i) {
      // Changes closer than two contexts share a hunk.
      if (i < changes_.size() && changes_[i].oldBegin - changes_[i - 1].oldEnd <= 2 * context_) {
        continue;
      }
      WriteHunk(first, i);
      first = i;
    }
  }

 private:
  // Old lines [oldBegin, oldEnd) removed and new lines [newBegin, newEnd) added.
  struct Change {
    int oldBegin, oldEnd, newBegin, newEnd;
  };

  void WriteHeader() {
    out_ += "--- " + input_.oldName + "\n";
    out_ += "+++ " + input_.newName + "\n";
  }

  void WriteHunk(std::size_t first, std::size_t last) {
    const Change& begin = changes_[first];
    const Change& end = changes_[last - 1];
    const int lead = std::min(context_, begin.oldBegin - 1);
    const int oldFrom = begin.oldBegin - lead;
    const int newFrom = begin.newBegin - lead;
    const int oldTo = std::min(end.oldEnd + context_, oldCount_ + 1);
    const int newTo = end.newEnd + (oldTo - end.oldEnd);
    out_ +=
        "@@ -" + Range(oldFrom, oldTo - oldFrom) + " +" + Range(newFrom, newTo - newFrom) + " @@\n";
    int oldLine = oldFrom;
    for (std::size_t i = first; i < last; ++i) {
      const Change& change = changes_[i];
      for (; oldLine < change.oldBegin; ++oldLine) PutLine(' ', true, oldLine);
      for (int line = change.oldBegin; line < change.oldEnd; ++line) PutLine('-', true, line);
      for (int line = change.newBegin; line < change.newEnd; ++line) PutLine('+', false, line);
      oldLine = change.oldEnd;
    }
    for (; oldLine < oldTo; ++oldLine) PutLine(' ', true, oldLine);
  }

  // "start,count" as diff writes it: the count left out when it is 1, and an empty range
  // named by the line before it.
  static std::string Range(int start, int count) {
    if (count == 1) return std::to_string(start);
    return std::to_string(count == 0 ? start - 1 : start) + "," + std::to_string(count);
  }

  // A line of the hunk: its mark, the file's own bytes and line end; a last line without
  // one is followed by the note patch reads.
  void PutLine(char mark, bool old, int line) {
    const RawLines& lines = old ? *input_.oldLines : *input_.newLines;
    out_ += mark;
    if (line == 1) out_ += lines.Lead();
    if (line > lines.Count()) {  // a file of nothing but a byte order mark
      out_ += "\n\\ No newline at end of file\n";
      return;
    }
    out_ += old ? input_.OldLineBytes(lines.Text(line)) : input_.NewLineBytes(lines.Text(line));
    const std::string_view end = lines.End(line);
    if (end.empty()) {
      out_ += "\n\\ No newline at end of file\n";
    } else {
      out_ += end;
    }
  }

  const ExportInput& input_;
  const LinePairs& pairs_;
  std::string& out_;
  const int oldCount_, newCount_;
  const int context_;
  std::vector<Change> changes_;
};

// The first line of `lines` that ends in a CR alone, or 0. patch ends lines at LF only: to it
// such a line runs on into the next, and a patch in our lines would not apply.
int FirstLoneCrLine(const RawLines& lines) {
  for (int line = 1; line <= lines.Count(); ++line) {
    if (lines.End(line) == "\r") return line;
  }
  return 0;
}

}  // namespace

Status WriteUnifiedDiff(const ExportInput& input, std::string& out) {
  const Comparison& comparison = *input.comparison;
  PairFinder finder(*comparison.oldText, *comparison.newText, LinesOf(*input.oldLines),
                    LinesOf(*input.newLines));
  for (const ComparisonEntry& entry : comparison.entries) {
    if (entry.kind == EntryKind::kCommon) finder.AddCommon(entry.oldId, entry.newId);
  }
  const LinePairs pairs = finder.Pairs(input);
  const std::size_t start = out.size();
  DiffWriter(input, pairs, out).Write();
  if (out.size() == start) return Status::Ok();  // no change: nothing for patch to misread
  for (const auto& [role, lines] :
       {std::pair{"旧", input.oldLines}, std::pair{"新", input.newLines}}) {
    if (const int line = FirstLoneCrLine(*lines)) {
      out.resize(start);
      return Status::Error(std::string(role) + "ファイルの " + std::to_string(line) +
                           " 行目が CR だけで終わっています。patch は LF で行を区切るため、"
                           "この差分は当てられません。");
    }
  }
  return Status::Ok();
}

}  // namespace verko
