// Reads a result report back from its text: the header, every body line with its kind, line
// and part numbers, text and, for a moved line, the line at its other place; the gaps of a
// difference-only report; the statistics. A text that is not laid out as a report is kept
// as plain lines. Used by the report viewer and by the terminal's coloured output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace verko {

enum class LineKind {
  kCommon,
  kDeleted,
  kAdded,
  kMovedOld,       // a moved line at its old place ("<-")
  kMovedNew,       // a moved line at its new place (">+")
  kGap,            // a separator between difference blocks: common lines left out here
  kNoDifferences,  // the message of a difference-only report without differences
  kPlain,          // a line of a text that is not a report
};

// Whether a line of this kind is a difference (deleted, added or moved).
inline bool IsDifference(LineKind kind) {
  return kind == LineKind::kDeleted || kind == LineKind::kAdded || kind == LineKind::kMovedOld ||
         kind == LineKind::kMovedNew;
}

struct ReportLine {
  LineKind kind = LineKind::kPlain;
  // Line and part numbers as the report shows them; 0 where the line has no such side.
  int oldNo = 0, oldPart = 0, newNo = 0, newPart = 0;
  // The whole line, and where its own text starts within it, in ReportDocument::Text().
  uint32_t start = 0, length = 0, textOffset = 0;
  // A moved line: the index of the same line at its other place; -1 when the report does
  // not hold it (a report cut short).
  int partner = -1;
};

// Where the text of every body line starts: after the marker, the numbers and the bar.
inline constexpr std::size_t kBodyTextColumn = 23;

// The body line forms: fills `line` (kind and numbers; offsets untouched) and returns true
// when `text` is one of the five forms. Works on the bytes of any report encoding (the
// columns before the text are ASCII).
bool ParseBodyLine(std::string_view text, ReportLine* line);

struct ReportHeader {
  std::string title, oldName, newName, dateTime;
};

struct ReportStatistics {
  bool present = false;   // false for a report cut short (no whole statistics block)
  bool detailed = false;  // the four lines of each kind are given (not the short variant)
  int oldLines = 0, newLines = 0;
  int64_t oldWords = 0, newWords = 0;
  int common = 0, deleted = 0, added = 0, moved = 0;
  int64_t wordsCommon = 0, wordsDeleted = 0, wordsAdded = 0, wordsMoved = 0;
};

class ReportDocument {
 public:
  // Reads `utf8` (the whole file, decoded). A report cut short anywhere after its title line
  // is read as far as it goes, without statistics. A text that is not a report becomes one
  // plain line per line of the text.
  static ReportDocument Parse(std::string utf8);

  bool IsReport() const { return isReport_; }
  const ReportHeader& Header() const { return header_; }
  const ReportStatistics& Statistics() const { return statistics_; }

  // The body of a report (header and statistics left out), or every line of another text.
  const std::vector<ReportLine>& Lines() const { return lines_; }
  int Count() const { return static_cast<int>(lines_.size()); }
  const ReportLine& Line(int index) const { return lines_[index]; }
  // A line as the file has it, and its own text (after the bar of a body line).
  std::string_view LineString(int index) const;
  std::string_view TextOf(int index) const;
  // The widest text in columns (a character outside ASCII and half-width katakana counts 2).
  int WidestText() const { return widestText_; }
  const std::string& Text() const { return text_; }

 private:
  bool ParseReport();
  bool ParseStatistics(std::size_t rule, bool noDifferences, std::size_t cutLine);
  void LinkMovedLines();
  void KeepAsPlainText();

  std::string text_;
  std::vector<std::string_view> rawLines_;
  bool isReport_ = false;
  ReportHeader header_;
  ReportStatistics statistics_;
  std::vector<ReportLine> lines_;
  int widestText_ = 0;
};

}  // namespace verko
