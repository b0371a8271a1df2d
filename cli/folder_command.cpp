#include "cli/folder_command.h"

#include "batch/pair_outcome.h"
#include "batch/parallel_compare.h"
#include "cli/pair_progress.h"

namespace verko {
namespace {

constexpr int kExitSame = 0;
constexpr int kExitDifferent = 1;
constexpr int kExitFailed = 2;
constexpr int kExitInterrupted = 130;

std::string FolderProblemLine(const FolderProblem& problem) {
  CompareResult failed;
  failed.status = kStatusFailed;
  failed.message.text = problem.reason;
  return PairOutcomeLine(failed, problem.name);
}

std::string SummaryLine(const OutcomeCounts& counts, int notRun, const FolderComparison& scan,
                        bool interrupted) {
  std::string line = interrupted ? "フォルダ比較中断: " : "フォルダ比較完了: ";
  line += "比較 " + std::to_string(counts.Compared()) + " 組（相違なし " +
          std::to_string(counts.same) + "、相違あり " + std::to_string(counts.different) +
          (counts.binary > 0 ? "、バイナリ " + std::to_string(counts.binary) : "") + "、打ち切り " +
          std::to_string(counts.cut) + "、エラー " + std::to_string(counts.error) +
          "、キャンセル " + std::to_string(counts.cancelled) + "）";
  if (notRun > 0) line += "、未実行 " + std::to_string(notRun) + " 組";
  line += "、旧フォルダのみ " + std::to_string(scan.oldOnly.size()) + " 件、新フォルダのみ " +
          std::to_string(scan.newOnly.size()) + " 件";
  if (!scan.problems.empty()) {
    line += "、比較できないフォルダ " + std::to_string(scan.problems.size()) + " 件";
  }
  return line;
}

}  // namespace

int RunFolderCommand(const FolderCommand& command, const std::atomic<bool>& interrupted,
                     std::FILE* out, std::FILE* err) {
  FolderRefusal refusal = PrepareFolders(command.oldDir, command.newDir, command.resultDir);
  if (!refusal.text.empty()) {
    std::fprintf(err, "verko-cli: %s\n%s\n", refusal.title.c_str(), refusal.text.c_str());
    return kExitFailed;
  }
  const FolderComparison scan =
      PairFolders(command.oldDir, command.newDir, command.resultDir, command.scan);

  std::vector<PairTask> tasks;
  for (const FolderPair& pair : scan.pairs) {
    tasks.push_back({pair.oldPath, pair.newPath, pair.resultPath, pair.refusal, true});
  }
  PairProgress progress(err, command.showProgress && !command.quiet);
  OutcomeCounts counts;
  int notRun = 0;
  PairCallbacks callbacks;
  // Without a progress line the pairs' ends need not wake this thread one by one.
  if (command.showProgress && !command.quiet) {
    callbacks.progress = [&](int done, int total) { progress.Show(done, total); };
  }
  callbacks.finished = [&](std::size_t index, const PairRun& run) {
    if (!run.started) {
      ++notRun;
      return;
    }
    counts.Add(OutcomeOf(run));
    for (const std::string& warning : run.warnings) progress.Print(err, "verko-cli: " + warning);
    if (!command.quiet) progress.Print(out, PairOutcomeLine(run, scan.pairs[index].name));
  };
  PairRules rules;
  rules.byteShortcuts = true;
  rules.text = command.text;
  rules.allReports = command.allReports;
  RunPairs(tasks, command.options, rules, command.jobs, interrupted, callbacks);
  progress.Clear();

  if (!command.quiet) {
    for (const FolderProblem& problem : scan.problems)
      progress.Print(out, FolderProblemLine(problem));
    for (const std::string& name : scan.oldOnly) progress.Print(out, "旧フォルダのみ: " + name);
    for (const std::string& name : scan.newOnly) progress.Print(out, "新フォルダのみ: " + name);
  }
  progress.Print(out, SummaryLine(counts, notRun, scan, interrupted));

  if (interrupted) return kExitInterrupted;
  if (counts.error + counts.cut + counts.cancelled > 0 || !scan.problems.empty()) {
    return kExitFailed;
  }
  if (counts.different + counts.binary > 0 || !scan.oldOnly.empty() || !scan.newOnly.empty())
    return kExitDifferent;
  return kExitSame;
}

}  // namespace verko
