// verko-cli: compares two text files (CP932, UTF-8 or EUC-JP) into the result report from the
// terminal, in batch mode (no questions; an existing result file is overwritten).
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "batch/parallel_compare.h"
#include "cli/batch_command.h"
#include "cli/cli_options.h"
#include "cli/console_host.h"
#include "cli/folder_command.h"
#include "compare/compare_run.h"

namespace {

constexpr int kExitSame = 0;
constexpr int kExitDifferent = 1;
constexpr int kExitFailed = 2;
constexpr int kExitInterrupted = 130;

// Set by the Ctrl-C handler together with the run's cancel flag; std::atomic<bool> is
// lock-free, so setting it there is safe.
std::atomic<bool> g_interrupted{false};
verko::RunFlags* g_flags = nullptr;

void OnInterrupt(int) {
  g_interrupted = true;
  if (g_flags) g_flags->CancelRequested = true;
}

void PrintSummary(const verko::CompareRequest& request, const verko::CompareResult& result) {
  const verko::ReportCounts& c = result.counts;
  std::printf("結果ファイル = %s\n", request.resultName.c_str());
  std::printf("旧ファイルの行数（分割後）: %d  新ファイルの行数（分割後）: %d\n",
              result.oldLineCount, result.newLineCount);
  std::printf("一致行: %d  削除行: %d  追加行: %d  移動行: %d\n", c.CountCommon, c.CountDeleted,
              c.CountAdded, c.CountMoved);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  verko::CliOptions options;
  std::string error;
  if (!verko::ParseCommandLine(args, &options, &error)) {
    std::fprintf(stderr, "verko-cli: %s\n\n%s", error.c_str(), verko::UsageText().c_str());
    return kExitFailed;
  }
  if (options.help) {
    std::fputs(verko::UsageText().c_str(), stdout);
    return kExitSame;
  }

  verko::RunFlags flags;
  g_flags = &flags;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  const bool terminal = isatty(STDERR_FILENO);
  verko::ConsoleHost host(stderr, !options.quiet && terminal, flags, g_interrupted);
  const int jobs = options.jobs > 0 ? options.jobs : verko::DefaultJobCount();
  if (options.batch) {
    verko::BatchCommand command{options.batchName, options.batchDb, options.request.options,
                                options.quiet,     terminal,        jobs};
    int status = verko::RunBatchCommand(command, host, g_interrupted, stdout, stderr);
    g_flags = nullptr;
    return status;
  }
  if (options.folders) {
    verko::FolderCommand command{options.request.oldName,
                                 options.request.newName,
                                 options.request.resultName,
                                 {options.recursive, options.filePatterns},
                                 options.request.options,
                                 options.quiet,
                                 terminal,
                                 jobs};
    int status = verko::RunFolderCommand(command, g_interrupted, stdout, stderr);
    g_flags = nullptr;
    return status;
  }
  verko::CompareResult result =
      verko::ExecuteCompare(options.request, verko::RunMode::kBatch, host, flags);
  g_flags = nullptr;

  if (std::string warning = verko::InvalidTextWarning(result); !warning.empty()) {
    host.ShowMessage(warning, "文字コードの警告");
  }
  switch (result.status) {
    case verko::kStatusDone:
      if (!options.quiet) PrintSummary(options.request, result);
      return result.counts.Differences() > 0 ? kExitDifferent : kExitSame;
    case verko::kStatusCancelled:
      host.ShowMessage("比較処理を中止しました。", "キャンセル");
      return kExitInterrupted;
    default:
      host.ShowMessage(result.message.text, result.message.title);
      return kExitFailed;
  }
}
