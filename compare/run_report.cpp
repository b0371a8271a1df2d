#include <ctime>
#include <string>
#include <string_view>

#include "compare/compare_run_phases.h"
#include "compare/report_destination.h"
#include "report/format_writer.h"
#include "report/report_writer.h"

namespace verko {
namespace {

std::string CurrentDateTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
  return text;
}

}  // namespace

void CompareRun::WriteResult() {
  if (options_.format != ResultFormat::kReport) {
    WriteExport();
    return;
  }
  ReportSettings settings;
  settings.oldName = request_.oldName;
  settings.newName = request_.newName;
  settings.dateTime = CurrentDateTime();
  if (result_.reportEncoding != TextEncoding::kCp932) {
    // Names may hold characters that take new codes: they take them now, before the
    // destination's thread reads the working text to encode the report.
    settings.oldNameText = working_->FromUtf8(NameForHeader(request_.oldName));
    settings.newNameText = working_->FromUtf8(NameForHeader(request_.newName));
  }
  settings.diffOnly = options_.diffOnly;
  settings.contextLines = options_.contextLines;
  settings.fewestMoves = options_.fewestMoves;
  meter_.SetPhaseText("結果出力中");
  Comparison comparison;
  const Flow walked = BuildComparison(
      oldText_, newText_, state_, {settings.diffOnly, settings.contextLines, settings.fewestMoves},
      meter_, comparison);
  result_.counts = comparison.counts;
  if (walked != Flow::kStop && !ReportFitsEncoding(comparison, settings)) return;
  ReportDestination destination(*working_, result_.reportEncoding, resultFile_,
                                request_.reportSink);
  settings.flush = destination.PieceTaker();
  std::string& report = memory_.memory().report;
  const Flow flow = AppendReport(comparison, settings, report);
  reportWritten_ = true;
  if (destination.Failed()) {
    RefuseReport(destination.failure());
    return;
  }
  // A cancelled report keeps the lines written up to that moment.
  if (flow == Flow::kStop || walked == Flow::kStop) {
    Cancel();
  } else {
    meter_.ShowPercent(100);
    meter_.SetPhaseText("処理完了");
  }
  if (!destination.Finish(report)) RefuseReport(destination.failure());
}

bool CompareRun::ReportFitsEncoding(const Comparison& comparison, ReportSettings settings) {
  // Standard output takes the report whole, encoded before anything goes out; a report of
  // the files' own bytes, or in UTF-8, holds every character; so does CP932 while no code
  // stands for a character beyond it.
  const TextEncoding encoding = result_.reportEncoding;
  if (request_.reportSink || !working_->DecodesAll() || encoding == TextEncoding::kUtf8 ||
      (encoding == TextEncoding::kCp932 && !working_->GaveOutCodes())) {
    return true;
  }
  std::string encoded, unfit;
  std::size_t failedAt = 0;
  const auto fits = [&](std::string& piece) {
    if (working_->ToEncodingOver(piece, encoding, &encoded, &failedAt)) {
      piece.clear();
      return true;
    }
    unfit = std::move(piece);
    return false;
  };
  settings.flush = fits;
  std::string rest;
  AppendReport(comparison, settings, rest);
  if (unfit.empty()) (void)fits(rest);
  if (unfit.empty()) return true;
  RefuseReportEncoding(unfit, failedAt);
  return false;
}

void CompareRun::WriteExport() {
  meter_.SetPhaseText("結果出力中");
  Comparison comparison;
  // A patch takes its context from every common line, whatever the report would leave out.
  const bool diffOnly = options_.diffOnly && options_.format != ResultFormat::kUnified;
  const Flow walked =
      BuildComparison(oldText_, newText_, state_,
                      {diffOnly, options_.contextLines, options_.fewestMoves}, meter_, comparison);
  result_.counts = comparison.counts;
  // A cancelled run writes no result in these formats: half a table or patch misleads.
  if (walked == Flow::kStop) {
    Cancel();
    return;
  }
  ExportInput input;
  input.comparison = &comparison;
  input.working = working_.get();
  if (NeedsRawLines(options_.format)) {
    input.oldLines = &oldRaw_;
    input.newLines = &newRaw_;
  }
  input.oldName = request_.oldName;
  input.newName = request_.newName;
  input.dateTime = CurrentDateTime();
  input.oldEncoding = result_.oldEncoding;
  input.newEncoding = result_.newEncoding;
  input.options = {.trimTop = options_.trimTop,
                   .trimTail = options_.trimTail,
                   .compress = options_.compress,
                   .split = options_.split,
                   .splitWidth = splitWidth_,
                   .splitChar = options_.splitChar,
                   .diffOnly = options_.diffOnly,
                   .contextLines = options_.contextLines,
                   .fewestMoves = options_.fewestMoves,
                   .caseSensitive = options_.caseSensitive,
                   .ignoreWidth = options_.ignoreWidth,
                   .oldLeft = options_.oldLeft,
                   .yokogaki = options_.yokogaki,
                   .units = options_.units,
                   .taishoStyle = options_.taishoStyle,
                   .allLines = options_.allLines,
                   .title = options_.title};
  input.stopRequested = [this] { return flags_.StopRequested(); };
  input.notice = &result_.formatNotice;
  std::string bytes;
  Status written = FindFormatWriter(options_.format)(input, bytes);
  // A stop asked while the result was made (Ctrl-C, a hang-up) ends the run as cancelled,
  // with nothing written.
  if (flags_.StopRequested()) {
    Cancel();
    return;
  }
  if (!written.ok()) {
    Refuse(std::string("出力形式 ") + ResultFormatName(options_.format) +
               " の結果を作れませんでした。\n\n理由： " + written.reason(),
           kTitleRunError);
    return;
  }
  reportWritten_ = true;
  Status status = request_.reportSink ? request_.reportSink(bytes) : resultFile_.Write(bytes);
  if (status.ok() && !request_.reportSink) status = resultFile_.Close();
  if (!status.ok()) RefuseWrite(status);
  meter_.ShowPercent(100);
  meter_.SetPhaseText("処理完了");
}

void CompareRun::RefuseReport(const PieceWriter::Failure& failure) {
  if (failure.encoding) {
    RefuseReportEncoding(failure.piece, failure.failedAt);
  } else {
    RefuseWrite(failure.status);
  }
}

void CompareRun::RefuseWrite(const Status& status) {
  if (request_.reportSink) {
    // The report went to standard output, which has no file name to show.
    Refuse("標準出力に書き込むことができません。\n\n理由： " + status.reason(), kTitleRunError);
    return;
  }
  Refuse(FileMessage(kRoleResult, request_.resultName, "に書き込むことができません。",
                     status.reason()),
         kTitleRunError);
}

void CompareRun::RefuseReportEncoding(std::string_view report, std::size_t failedAt) {
  const std::size_t begin = report.rfind('\n', failedAt);
  const std::size_t start = begin == std::string_view::npos ? 0 : begin + 1;
  const std::size_t end = report.find('\r', failedAt);
  std::string line;
  std::size_t unused = 0;
  working_->ToEncoding(report.substr(start, end - start), TextEncoding::kUtf8, &line, &unused);
  const char* encoding = EncodingCaption(result_.reportEncoding);
  Refuse(std::string("結果ファイルの文字コード（") + encoding +
             "）では表せない文字が、次の行にあります。\n   " + line +
             "\n\n結果ファイルの文字コードに UTF-8 を指定してください。",
         kTitleEncoding);
}

}  // namespace verko
