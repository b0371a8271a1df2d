// ExecuteCompare: one whole comparison of an old file against a new file into the result
// report: checks, the work database, reading, matching, the report and the end of run.
// Everything window-bound goes through CompareHost.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/message_icon.h"
#include "common/split_width.h"
#include "common/status.h"
#include "common/text_encoding.h"
#include "compare/compare_host.h"
#include "compare/line_intake.h"
#include "documents/document_text.h"
#include "report/changed_characters.h"
#include "report/provision_rows.h"
#include "report/report_counts.h"
#include "report/result_format.h"

namespace verko {

struct CompareOptions {
  bool trimTop = false;
  bool trimTail = true;
  bool compress = false;
  bool split = false;
  int splitWidth = kMaxSplitWidth;  // used when split is on: kMinSplitWidth to kMaxSplitWidth
  std::string splitChar;            // UTF-8 split pattern; empty = the default pattern
  bool diffOnly = false;
  int contextLines = 3;  // 1 to 9
  // Moved lines are only those outside the longest chain of links in order on both sides.
  bool fewestMoves = false;
  std::string workPath;  // work folder ending in "/"
  bool displayWithEditor = false;
  std::string editorSetting;  // command line with the placeholder "%1"
  // Linux text is UTF-8 unless told otherwise: by default each file's encoding is
  // recognised, and a CP932 file still gives its report byte for byte.
  EncodingChoice oldEncoding = EncodingChoice::kAuto;
  EncodingChoice newEncoding = EncodingChoice::kAuto;
  // kAuto: the inputs' encoding when both are the same, else UTF-8.
  EncodingChoice reportEncoding = EncodingChoice::kAuto;
  // What counts as a difference: letter case (ignored unless asked), and with ignoreWidth
  // full-width ASCII and half-width katakana compare as their standard forms.
  bool caseSensitive = false;
  bool ignoreWidth = false;
  // What the marks of changed lines cover (the viewer, --color, the tables, JSON): words or
  // characters. The report itself has no marks.
  ChangeUnits units = ChangeUnits::kWords;
  // Whether the work database is written on a thread of its own while the run goes on;
  // runs side by side that fill the cores write it at their end instead.
  bool workDatabaseThread = true;
  // Whether the run writes the work database at all: of many runs of one command only the
  // last in list order does, since each would replace the one before.
  bool workDatabase = true;
  // What the result is: the report, or another format written from the same comparison.
  // The statuses, the counts and the work database are the same in every format.
  ResultFormat format = ResultFormat::kReport;
  // The 新旧対照表 with the old text (改正前) in the left column.
  bool oldLeft = false;
  // Documents (Word, Excel, PowerPoint, OpenDocument, PDF) and files with a converter are
  // compared by their text; with `documents.convert` off, every file by its bytes.
  DocumentSettings documents;
  bool yokogaki = false;  // the 改め文 in the 横書き style
  // The 新旧対照表 of documents of provisions: its underlines, every line or only the
  // provisions that changed, and its title (empty: 新旧対照表).
  TaishoStyle taishoStyle = TaishoStyle::kFormal;
  bool allLines = false;
  std::string title{};
};

struct CompareRequest {
  std::string oldName, newName, resultName;  // as given, UTF-8
  CompareOptions options;
  // When set, the finished report (or what was written before a cancel) is handed here
  // instead of being written to a file; resultName then only names it in messages, and no
  // file of that name is opened or compared with the inputs.
  std::function<Status(std::string_view report)> reportSink;
  // When not empty, an old or new name spelt so ("-") stands for standard input: that file
  // is read from descriptor 0, and messages call it 標準入力. The report's header shows the
  // name as given.
  std::string standardInputName = std::string();
  // When set, the result file is opened only once matching shows the pair differs (or a
  // file was cut): a pair without differences gets no report, and its result file is left
  // as it was, untouched.
  bool reportOnlyIfDifferent = false;
};

// A refusal or failure for the user: text, icon (shown with an OK button) and title.
struct CompareMessage {
  std::string text;
  MessageIcon icon = MessageIcon::kExclamation;
  std::string title;
};

// Status values of a run.
inline constexpr int kStatusDone = 0;
inline constexpr int kStatusFailed = -1;
inline constexpr int kStatusOverwriteDeclined = -2;
inline constexpr int kStatusCancelled = -4;

struct CompareResult {
  int status = kStatusDone;
  CompareMessage message;  // written for kStatusFailed only
  ReportCounts counts;     // of the report, when the report phase ran
  int oldLineCount = 0, newLineCount = 0;
  // The encodings the run used (recognised ones for "auto"), once the files were read.
  TextEncoding oldEncoding = TextEncoding::kCp932;
  TextEncoding newEncoding = TextEncoding::kCp932;
  TextEncoding reportEncoding = TextEncoding::kCp932;
  // Lines holding bytes that are not valid in their file's encoding (compared as bytes).
  int oldInvalidLines = 0, newInvalidLines = 0;
  // Old lines that matched only because a wave-dash twin counts as one character, and
  // the line numbers of the first few.
  int twinLines = 0;
  std::vector<int> twinLineNos;
  // What the text of a document input was taken from ("Word 文書から 312 段落"); empty for
  // a file compared as it is.
  std::string oldDocument, newDocument;
  // What the result format's writer said of how it wrote the result (the 改め文: how many
  // provisions it wrote whole); empty when it said nothing.
  std::string formatNotice;
  // A run that completed with a cut file compared only the lines before the cut.
  LineLimitCut oldCut, newCut;

  bool Cut() const { return oldCut.cut() || newCut.cut(); }
};

// The warning about lines that were not valid in their file's encoding, one line per file
// ("旧ファイルの 3 行は UTF-8 として正しくないバイトを含みます。..."); empty when there were none.
std::string InvalidTextWarning(const CompareResult& result);

// The notice of the inputs taken from documents, a line for each ("旧ファイル: Word 文書から
// 312 段落"), for standard error or the window; empty when both were text files.
std::string DocumentNotice(const CompareResult& result);

// The notice about lines that matched only through a wave-dash twin ("波ダッシュなど表記の
// 異なる同じ文字: 7 行（旧 1, 2, …）"), for standard error or the window, never the report;
// empty when there were none.
std::string TwinNotice(const CompareResult& result);

// For a run that recognised an encoding ("auto"), which encoding it read each file in
// ("文字コード: 旧ファイル UTF-8、新ファイル UTF-8"); empty for a run given both encodings or
// one that did not read the files.
std::string EncodingsReadNote(const CompareOptions& options, const CompareResult& result);

// Runs one comparison. Not re-entrant: one run at a time per host. `flags` are shared with
// the host's cancel command; CancelRequested is cleared when reading starts and at the end.
CompareResult ExecuteCompare(const CompareRequest& request, RunMode mode, CompareHost& host,
                             RunFlags& flags);

}  // namespace verko
