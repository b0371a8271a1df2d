// verko-cli: compares two text files (CP932, UTF-8 or EUC-JP) into the result report from the
// terminal, in batch mode (no questions; an existing result file is overwritten).
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "batch/pair_outcome.h"
#include "batch/parallel_compare.h"
#include "cli/apply_aratame_command.h"
#include "cli/batch_command.h"
#include "cli/cli_options.h"
#include "cli/console_host.h"
#include "cli/folder_command.h"
#include "cli/output_errors.h"
#include "cli/report_output.h"
#include "common/failure_reason.h"
#include "common/standard_streams.h"
#include "common/system_error.h"
#include "compare/compare_run.h"
#include "report/word_units.h"

namespace {

constexpr int kExitSame = 0;
constexpr int kExitDifferent = 1;
constexpr int kExitFailed = 2;

// The signal that interrupted the run (SIGINT, SIGTERM, SIGHUP or SIGPIPE), 0 while none
// has; set by the handler together with the run's cancel flag. Both atomics are lock-free,
// so setting them there is safe.
std::atomic<int> g_signal{0};
std::atomic<bool> g_interrupted{false};
verko::RunFlags* g_flags = nullptr;
// Set once a failure to write to standard output has been said (by the run, for the
// report), so that it is not said twice.
bool g_outputFailureSaid = false;

void OnInterrupt(int signal) {
  int none = 0;
  g_signal.compare_exchange_strong(none, signal);
  g_interrupted = true;
  if (g_flags) g_flags->CancelRequested = true;
}

// Ctrl-C exits 130, SIGTERM 143, a hang-up 129, a closed pipe 141, as a shell reports a
// program the signal ended.
int InterruptedExit() {
  int signal = g_signal.load();
  return 128 + (signal != 0 ? signal : SIGINT);
}

// A reader of standard output that went away (`verko-cli … - | head -1`) ends the run
// without a word, as the signal would.
bool PipeClosed() {
  return g_signal.load() == SIGPIPE;
}

// Ctrl-C, SIGTERM, a hang-up (the terminal closed) and a closed pipe cancel the run instead
// of ending the program, so the end of run still closes and removes its files. A file-size
// limit (ulimit -f) makes a write fail with its error instead of killing the program, so
// the run reports it.
void InstallSignalHandlers(verko::RunFlags& flags) {
  g_flags = &flags;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaction(signal, &action, nullptr);
  std::signal(SIGXFSZ, SIG_IGN);
}

// Standard output takes everything verko-cli prints there in the end, or the run fails: a
// full disk or a closed descriptor is said on standard error, as any other write failure.
int FinishStandardOutput(int status) {
  verko::FlushOutput(stdout);
  const int error = verko::FirstOutputError() != 0 ? verko::FirstOutputError() : EIO;
  if (verko::FirstOutputError() == 0 && !std::ferror(stdout)) return status;
  if (PipeClosed() || error == EPIPE) return 128 + SIGPIPE;
  if (g_outputFailureSaid) return kExitFailed;
  std::fprintf(stderr, "verko-cli: 標準出力に書き込むことができません。\n理由： %s\n",
               verko::SystemErrorText(error).c_str());
  return kExitFailed;
}

void PrintSummary(const verko::CompareRequest& request, const verko::CompareResult& result) {
  const verko::ReportCounts& c = result.counts;
  std::printf("結果ファイル = %s\n", request.resultName.c_str());
  std::printf("旧ファイルの行数（分割後）: %d  新ファイルの行数（分割後）: %d\n",
              result.oldLineCount, result.newLineCount);
  std::printf("一致行: %d  削除行: %d  追加行: %d  移動行: %d\n", c.CountCommon, c.CountDeleted,
              c.CountAdded, c.CountMoved);
}

// Whether standard output is the file at `path` (a report appended to an input file would
// damage it).
bool StandardOutputIs(const std::string& path) {
  struct stat out, file;
  return ::fstat(STDOUT_FILENO, &out) == 0 && S_ISREG(out.st_mode) &&
         ::stat(path.c_str(), &file) == 0 && out.st_dev == file.st_dev && out.st_ino == file.st_ino;
}

// Where an input is found on disk: for "-", the file standard input reads.
std::string InputPath(const std::string& name) {
  return name == verko::kStandardInputName ? "/dev/stdin" : name;
}

// Reads "-" as the old or the new file from standard input; false (with the message shown)
// when both are "-" or standard input is closed.
bool PrepareStandardInput(bool inputClosed, verko::ConsoleHost& host,
                          verko::CompareRequest& request) {
  request.standardInputName = std::string(verko::kStandardInputName);
  const bool oldIn = request.oldName == verko::kStandardInputName;
  const bool newIn = request.newName == verko::kStandardInputName;
  if (oldIn && newIn) {
    host.ShowMessage(
        "旧ファイルと新ファイルの両方に標準入力（-）が指定されています。\n"
        "標準入力を指定できるのは一方だけです。",
        "ファイル指定ミス");
    return false;
  }
  if ((oldIn || newIn) && inputClosed) {
    host.ShowMessage(std::string("標準入力が閉じられているため、") + (oldIn ? "旧" : "新") +
                         "ファイルを読み取れません。",
                     "ファイル指定ミス");
    return false;
  }
  return true;
}

// Sends the report to standard output when the result is "-"; false (with the message
// shown) when standard output is one of the compared files.
bool PrepareStandardOutput(const verko::CliOptions& options, bool outputClosed,
                           verko::ConsoleHost& host, verko::CompareRequest& request) {
  if (request.resultName != verko::kStandardOutputName) return true;
  if (outputClosed) {
    host.ShowMessage("標準出力が閉じられているため、比較結果を書き込めません。",
                     "ファイル指定ミス");
    return false;
  }
  const bool onOld = StandardOutputIs(InputPath(request.oldName));
  if (onOld || StandardOutputIs(InputPath(request.newName))) {
    host.ShowMessage(onOld ? "結果ファイルに旧ファイルと同じファイルが指定されています。"
                           : "結果ファイルに新ファイルと同じファイルが指定されています。",
                     "ファイル指定ミス");
    return false;
  }
  verko::ReportOutput output;
  output.terminal = isatty(STDOUT_FILENO);
  output.color =
      verko::UseColor(options.color, output.terminal, std::getenv("NO_COLOR"), std::getenv("TERM"));
  if (request.options.format != verko::ResultFormat::kReport) {
    // A patch, a table or data goes out as its own bytes, neither converted nor coloured.
    output.terminal = false;
    output.color = false;
  }
  std::setlocale(LC_CTYPE, "");
  output.codeset = verko::TerminalCodeset(nl_langinfo(CODESET));
  output.units = request.options.units;
  request.reportSink = [output, &host](std::string_view report) {
    // The report starts on a line of its own when the progress shares its terminal.
    host.ClearProgress();
    verko::Status status = verko::WriteReport(report, output, stdout);
    if (!status.ok()) g_outputFailureSaid = true;
    return status;
  };
  return true;
}

// Marks of changed words are made for the coloured report and the formats that show changes:
// where ICU cannot be loaded they go by character, which is said once, before the run.
void SayWhenWordsFallBack(const verko::CompareOptions& options, bool colored) {
  const bool marks = colored || verko::ResultFormatMarksChanges(options.format);
  std::string reason;
  if (marks && options.units == verko::ChangeUnits::kWords && !verko::WordUnitsAvailable(&reason)) {
    std::fprintf(stderr,
                 "verko-cli: 語の区切りを調べられないため、変更箇所を文字単位で示します。%s\n",
                 reason.c_str());
  }
}

int RunCommandLine(const std::vector<std::string>& args, const verko::ClosedStreams& closed) {
  verko::CliOptions options;
  std::string error;
  if (!verko::ParseCommandLine(args, &options, &error)) {
    std::fprintf(stderr, "verko-cli: %s\n詳しくは verko-cli --help を参照してください。\n",
                 error.c_str());
    return kExitFailed;
  }
  if (options.help) {
    std::fputs(verko::UsageText().c_str(), stdout);
    return kExitSame;
  }
  if (options.version) {
    std::printf("%s\n", verko::VersionLine().c_str());
    return kExitSame;
  }

  if (options.applyAratame) {
    return verko::RunApplyAratame(options.request.oldName, options.request.newName,
                                  options.request.resultName, stderr);
  }

  verko::RunFlags flags;
  InstallSignalHandlers(flags);
  const bool terminal = isatty(STDERR_FILENO);
  verko::ConsoleHost host(stderr, !options.quiet && terminal, flags, g_interrupted);
  const int jobs = options.jobs > 0 ? options.jobs : verko::DefaultJobCount();
  if (options.batch || options.folders) SayWhenWordsFallBack(options.request.options, false);
  if (options.batch) {
    verko::BatchCommand command{options.batchName, options.batchDb, options.request.options,
                                options.quiet,     terminal,        jobs};
    int status = verko::RunBatchCommand(command, host, g_interrupted, stdout, stderr);
    g_flags = nullptr;
    return g_interrupted ? InterruptedExit() : status;
  }
  if (options.folders) {
    verko::FolderCommand command{options.request.oldName,
                                 options.request.newName,
                                 options.request.resultName,
                                 {options.recursive, options.filePatterns,
                                  verko::ResultFormatExtension(options.request.options.format)},
                                 options.request.options,
                                 options.quiet,
                                 terminal,
                                 jobs,
                                 options.allReports,
                                 options.text};
    int status = verko::RunFolderCommand(command, g_interrupted, stdout, stderr);
    g_flags = nullptr;
    return g_interrupted ? InterruptedExit() : status;
  }
  verko::CompareRequest request = options.request;
  if (!PrepareStandardInput(closed.input, host, request) ||
      !PrepareStandardOutput(options, closed.output, host, request)) {
    return kExitFailed;
  }
  const bool toStandardOutput = static_cast<bool>(request.reportSink);
  SayWhenWordsFallBack(request.options,
                       toStandardOutput && request.options.format == verko::ResultFormat::kReport &&
                           verko::UseColor(options.color, isatty(STDOUT_FILENO),
                                           std::getenv("NO_COLOR"), std::getenv("TERM")));
  verko::CompareResult result = verko::ExecuteCompare(request, verko::RunMode::kBatch, host, flags);
  g_flags = nullptr;
  if (PipeClosed()) return InterruptedExit();

  if (std::string warning = verko::InvalidTextWarning(result); !warning.empty()) {
    host.ShowMessage(warning, "文字コードの警告");
  }
  if (!options.quiet && !toStandardOutput) {
    if (std::string read = verko::EncodingsReadNote(request.options, result); !read.empty()) {
      host.ShowNote(read);
    }
  }
  if (std::string notice = verko::TwinNotice(result); !notice.empty()) {
    host.ShowNote(notice);
  }
  // A line each, as the program names itself before every note.
  std::istringstream documents(verko::DocumentNotice(result));
  for (std::string line; std::getline(documents, line);) host.ShowNote(line);
  if (!result.formatNotice.empty()) host.ShowNote(result.formatNotice);
  switch (verko::OutcomeOf(result)) {
    case verko::PairOutcome::kSame:
    case verko::PairOutcome::kDifferent:
      // On standard output the report ends with its own statistics.
      if (!options.quiet && !toStandardOutput) PrintSummary(options.request, result);
      return result.counts.Differences() > 0 ? kExitDifferent : kExitSame;
    case verko::PairOutcome::kCut:
      // The report is written, but it covers only the lines before the cut; on standard
      // output it is all that goes there.
      if (!options.quiet && !toStandardOutput) PrintSummary(options.request, result);
      host.ShowMessage(verko::LineLimitCutText(result) + "\n比較は完了していません。",
                       "行数制限による打ち切り");
      return kExitFailed;
    case verko::PairOutcome::kCancelled:
      host.ShowMessage("比較処理を中止しました。", "キャンセル");
      return InterruptedExit();
    case verko::PairOutcome::kError:
    case verko::PairOutcome::kSkipped:
    case verko::PairOutcome::kBinary:
      break;
  }
  host.ShowMessage(result.message.text, result.message.title);
  // An open that a signal interrupted (a FIFO without a writer) ends as interrupted.
  return g_interrupted ? InterruptedExit() : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  const verko::ClosedStreams closed = verko::OpenClosedStandardStreams();
  // A failure outside a compare run (too little memory while a batch list is read) still
  // ends with a message, never with an abort.
  int status;
  try {
    status = RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), closed);
  } catch (...) {
    std::fprintf(stderr, "verko-cli: エラー\n%s\n", verko::CurrentFailureReason().c_str());
    status = g_interrupted ? InterruptedExit() : kExitFailed;
  }
  return FinishStandardOutput(status);
}
