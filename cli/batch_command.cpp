#include "cli/batch_command.h"

#include <memory>
#include <optional>
#include <vector>

#include "batch/batch_db_location.h"
#include "batch/batch_list_store.h"
#include "batch/batch_run.h"
#include "batch/pair_counts.h"
#include "batch/pair_outcome.h"
#include "batch/parallel_compare.h"
#include "cli/output_errors.h"
#include "cli/pair_progress.h"

namespace verko {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 2;
constexpr int kExitInterrupted = 130;

// The batch checks need to know only that no window runs a comparison; the pairs themselves
// are run by RunPairs.
class CliCompareRunner : public CompareRunner {
 public:
  CompareResult RunBatchCompare(const std::string&, const std::string&,
                                const std::string&) override {
    return {};
  }
  bool InteractiveRunActive() const override { return false; }
};

// The terminal answers the checks' questions itself: an incomplete list runs (its
// placeholder rows are skipped). The pairs do not go through RunBatch, so its questions during
// a run are never asked.
class CliBatchRunHost : public BatchRunHost {
 public:
  explicit CliBatchRunHost(ConsoleHost& host) : host_(host) {}

  void ShowRunRefusal(const std::string& text, const std::string& title) override {
    host_.ShowMessage(text, title);
  }
  bool ConfirmIncompleteRun(const std::string&, const std::string&) override { return true; }
  void ShowListDefect(const std::string& text, const std::string& title, int) override {
    host_.ShowMessage(text, title);
  }
  bool ConfirmRunStart(const std::string&, const std::string&) override { return true; }
  void SetRunDisplay(bool) override {}
  bool AskContinueAfterError(const std::string&, const std::string&) override { return true; }
  bool AskContinueAfterCancel(const std::string&, const std::string&) override { return false; }
  void YieldAfterPair() override {}
  void ShowCompletion(const std::string&, const std::string&) override {}

 private:
  ConsoleHost& host_;
};

}  // namespace

int RunBatchCommand(const BatchCommand& command, ConsoleHost& host,
                    const std::atomic<bool>& interrupted, std::FILE* out, std::FILE* err) {
  std::string dbPath = command.dbPath;
  if (dbPath.empty()) {
    Status located = LocateBatchListDb(ProgramFolder(), &dbPath);
    if (!located.ok()) {
      host.ShowMessage(
          "バッチリスト用のデータベースを用意できません。\n\n理由: " + located.reason(),
          "Verko ドルパキネッセル");
      return kExitFailed;
    }
  }

  BatchListSettings settings;
  std::vector<PairRow> rows;
  {
    Status status = Status::Ok();
    std::unique_ptr<BatchListStore> store = BatchListStore::Open(dbPath, &status);
    if (!store) {
      host.ShowMessage(
          "バッチリスト用のデータベースをオープンできません。\n\n理由: " + status.reason(),
          "Verko ドルパキネッセル");
      return kExitFailed;
    }
    std::optional<int32_t> batchId = store->FindListByName(command.listName);
    std::optional<BatchListSettings> loaded;
    if (batchId) status = store->LoadSettings(*batchId, &loaded);
    if (batchId && status.ok() && loaded) status = store->ReadPairs(*batchId, &rows);
    if (!status.ok()) {
      host.ShowMessage("バッチリストを読み込めません。\n\n理由: " + status.reason(),
                       "Verko ドルパキネッセル");
      return kExitFailed;
    }
    if (!loaded) {
      host.ShowMessage("バッチリスト「" + command.listName + "」が見つかりません。",
                       "バッチリストが見つかりません");
      return kExitFailed;
    }
    settings = *loaded;
  }

  CliCompareRunner runner;
  CliBatchRunHost runHost(host);
  const BatchFolders folders{settings.oldPath, settings.newPath, settings.resultPath};
  int currentRow = 0;
  if (!CheckBatchRun(rows, folders, &currentRow, runHost, runner)) {
    return interrupted ? kExitInterrupted : kExitFailed;
  }

  // Every complete pair, in the list's order; rows with a placeholder are skipped, and their
  // lines come at their place in the list.
  std::vector<PairTask> tasks;
  std::vector<std::size_t> taskRows;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (HasPlaceholder(rows[row])) continue;
    tasks.push_back({folders.oldPath + rows[row].oldFile, folders.newPath + rows[row].newFile,
                     folders.resultPath + rows[row].resultFile, "", false});
    taskRows.push_back(row);
  }
  PairProgress progress(err, command.showProgress && !command.quiet);
  auto print = [&](std::FILE* stream, const std::string& line) {
    if (stream == err || !command.quiet) progress.Print(stream, line);
  };
  OutcomeCounts counts;
  int skipped = 0, notRun = 0;
  std::size_t nextRow = 0;
  auto skipUpTo = [&](std::size_t end) {
    for (; nextRow < end; ++nextRow) {
      if (!HasPlaceholder(rows[nextRow])) continue;
      ++skipped;
      print(out, SkippedPairLine(folders.resultPath + rows[nextRow].resultFile));
    }
  };
  PairCallbacks callbacks;
  if (command.showProgress && !command.quiet) {
    callbacks.progress = [&](int done, int total) { progress.Show(done, total); };
  }
  callbacks.finished = [&](std::size_t index, const PairRun& run) {
    const PairTask& task = tasks[index];
    if (!run.started) {
      ++notRun;
      return;
    }
    skipUpTo(taskRows[index]);
    nextRow = taskRows[index] + 1;
    const PairOutcome outcome = OutcomeOf(run.result);
    counts.Add(outcome);
    for (const std::string& warning : run.warnings) print(err, "verko-cli: " + warning);
    if (outcome == PairOutcome::kError) {
      print(err, "verko-cli: 比較処理でエラー\nファイルペア：\n　　旧： " + task.oldPath +
                     "\n　　新： " + task.newPath + "\n　　結果： " + task.resultPath +
                     "\nの比較を実行しようとしてエラーが起きました。\n\n" +
                     run.result.message.text);
    }
    print(out, PairOutcomeLine(run.result, task.resultPath));
  };
  // A batch list writes a result for every pair, as its rows name them.
  RunPairs(tasks, command.options, PairRules{}, command.jobs, interrupted, callbacks);
  progress.Clear();
  const bool completed = !interrupted && counts.cancelled == 0 && notRun == 0;
  if (completed) skipUpTo(rows.size());

  // A pair cut at the line limit was not compared completely: it is counted apart.
  std::fprintf(
      out,
      "バッチ処理%s: 比較 %d 組、エラー %d 組、スキップ %d 組（《未ペア》または《未定》）、"
      "打ち切り %d 組、キャンセル %d 組\n",
      completed ? "完了" : "中止", counts.same + counts.different, counts.error, skipped,
      counts.cut, counts.cancelled);
  FlushOutput(out);
  if (interrupted) return kExitInterrupted;
  return completed && counts.error == 0 && counts.cut == 0 ? kExitDone : kExitFailed;
}

}  // namespace verko
