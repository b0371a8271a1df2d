// The writers of the result formats other than the report. Each takes the comparison as
// the report walk decided it (report/comparison.h) with what the run knows around it, and
// appends the whole result to `out` as the bytes of the file (or of standard output):
//
//   Status WriteSomething(const ExportInput& input, std::string& out);
//
// A writer reads input.comparison->entries in order and decides nothing the walk decided:
// the kind of every line, the partner of a moved line (the other side's LineID of a moved
// entry), which common lines show as context and where the gaps of difference-only mode lie
// are the entries'; the statistics are comparison->counts. Line texts are the line
// records' (normalised, in the run's working text): ShownTexts gives each entry's text as
// UTF-8, and ChangedMarks the changed characters of the deleted and added lines paired as
// versions of each other. A writer that gives the files' own lines back (a patch) asks for
// them with NeedsRawLines and finds them in oldLines/newLines by LineRecord::LineNo; for
// such a format the run walks in full mode (every common line listed) and the writer takes
// its context from options.contextLines itself.
//
// A new format: declare its writer below, define it in a .cpp of its own, and return it
// from FindFormatWriter. A writer returns a failure (with a reason for the user) only for
// what it cannot do (a library that refuses); the run then refuses the result. A format
// without a writer (FindFormatWriter gives null) is refused before anything is read, and
// the main window shows it greyed. The run writes the bytes as they are, whole, after the
// writer returns; a run cancelled during the walk writes nothing.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/split_width.h"
#include "common/status.h"
#include "common/text_encoding.h"
#include "common/working_text.h"
#include "compare/lines/raw_lines.h"
#include "report/changed_characters.h"
#include "report/comparison.h"
#include "report/provision_rows.h"
#include "report/result_format.h"

namespace verko {

// The run's options as the results name them.
struct ExportOptions {
  bool trimTop = false;
  bool trimTail = true;
  bool compress = false;
  bool split = false;
  int splitWidth = kMaxSplitWidth;
  std::string splitChar;  // UTF-8; empty = the default pattern
  bool diffOnly = false;
  int contextLines = 3;
  bool fewestMoves = false;
  bool caseSensitive = false;
  bool ignoreWidth = false;
  bool oldLeft = false;  // the 新旧対照表 with the old text in the left column
  bool yokogaki = false;  // the 改め文 in the 横書き style (「A」の次に「B」を加える, 第１３条)
  ChangeUnits units = ChangeUnits::kWords;  // what the marks of changed lines cover
  // The 新旧対照表 of documents of provisions: its underlines, whether it shows every line
  // (else only the provisions that changed, the rest （略）), and its title (empty: 新旧対照表).
  TaishoStyle taishoStyle = TaishoStyle::kFormal;
  bool allLines = false;
  std::string title{};
};

struct ExportInput {
  const Comparison* comparison = nullptr;
  // The run's text form: the line records' texts are in it.
  const WorkingText* working = nullptr;
  // The files' own physical lines; set only when NeedsRawLines(format).
  const RawLines* oldLines = nullptr;
  const RawLines* newLines = nullptr;
  std::string oldName, newName;  // as given for the run, UTF-8
  std::string dateTime;          // "yyyy/mm/dd hh:nn:ss", as the report's header
  TextEncoding oldEncoding = TextEncoding::kCp932;
  TextEncoding newEncoding = TextEncoding::kCp932;
  ExportOptions options;
  // Whether the run is asked to stop (may be empty): a writer that takes long asks it now and
  // then, and gives up, with any failure, when it says so.
  std::function<bool()> stopRequested;
  // Where a writer may leave a line for the user about how it wrote the result (may be null).
  std::string* notice = nullptr;

  // A text of the run's working text as UTF-8. A byte that was not valid in its file
  // (and a CP932 code without a character) comes out as that byte, so the result may
  // not be valid UTF-8 where the file was not.
  std::string Utf8(std::string_view working) const;
  // A physical line (or its line end) in its file's own encoding and bytes.
  std::string OldLineBytes(std::string_view working) const;
  std::string NewLineBytes(std::string_view working) const;

  // The text each entry of the comparison shows, as UTF-8 (one per entry, empty for a gap):
  // the old side's for a deleted line, a moved line at its old place and the listing of a
  // comparison without difference, else the new side's.
  std::vector<std::string> ShownTexts() const;
  // The changed characters of the lines paired as changed versions of each other (a deleted
  // line and the added line of the same block it most likely became): for each such entry
  // its index and the byte ranges of `shownTexts` (from ShownTexts) that changed.
  std::vector<ChangedLineMarks> ChangedMarks(const std::vector<std::string>& shownTexts) const;
};

// Whether an entry shows the old side's text (see ExportInput::ShownTexts).
bool ShowsOldText(const ComparisonEntry& entry);

using FormatWriter = Status (*)(const ExportInput& input, std::string& out);

// The writer of a format other than the report; null when there is none (yet).
FormatWriter FindFormatWriter(ResultFormat format);
// Whether the format can be written here: Ok, or the reason its writer cannot work (a library
// it loads when first needed, such as the workbook's, is missing). Ok for the report.
Status FormatAvailable(ResultFormat format);
// Whether the format needs the files' own lines (the run then keeps them while reading).
bool NeedsRawLines(ResultFormat format);

// The writers.
Status WriteUnifiedDiff(const ExportInput& input, std::string& out);
Status WriteComparisonJson(const ExportInput& input, std::string& out);
Status WriteAratame(const ExportInput& input, std::string& out);

}  // namespace verko
