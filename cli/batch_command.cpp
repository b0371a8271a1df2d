#include "cli/batch_command.h"

#include <memory>
#include <optional>
#include <vector>

#include "batch/batch_db_location.h"
#include "batch/batch_list_store.h"
#include "batch/batch_run.h"
#include "batch/pair_outcome.h"

namespace verko {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 2;
constexpr int kExitInterrupted = 130;

// Runs each pair through ExecuteCompare in batch mode and prints how it ended: one line
// per pair (a script acts on its first word), the message of a failure on stderr.
class CliCompareRunner : public CompareRunner {
 public:
  CliCompareRunner(const BatchCommand& command, ConsoleHost& host, RunFlags& flags, std::FILE* out)
      : command_(command), host_(host), flags_(flags), out_(out) {}

  CompareResult RunBatchCompare(const std::string& oldName, const std::string& newName,
                                const std::string& resultName) override {
    CompareRequest request{oldName, newName, resultName, command_.options};
    CompareResult result = ExecuteCompare(request, RunMode::kBatch, host_, flags_);
    if (OutcomeOf(result) == PairOutcome::kCut) ++cut_;
    if (result.status == kStatusFailed) {
      host_.ShowMessage("ファイルペア：\n　　旧： " + oldName + "\n　　新： " + newName +
                            "\n　　結果： " + resultName +
                            "\nの比較を実行しようとしてエラーが起きました。\n\n" +
                            result.message.text,
                        "比較処理でエラー");
    }
    PrintLine(PairOutcomeLine(result, resultName));
    return result;
  }
  bool InteractiveRunActive() const override { return false; }

  void PrintLine(const std::string& line) {
    if (command_.quiet) return;
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
  }

  // Pairs whose comparison was cut at the line limit (counted as compared by the run).
  int cut() const { return cut_; }

 private:
  const BatchCommand& command_;
  ConsoleHost& host_;
  RunFlags& flags_;
  std::FILE* out_;
  int cut_ = 0;
};

// The terminal answers the run's questions itself: an incomplete list runs (its placeholder
// rows are skipped), a failed pair lets the run go on, an interrupted one ends it.
class CliBatchRunHost : public BatchRunHost {
 public:
  CliBatchRunHost(ConsoleHost& host, BatchRunFlags& flags, const std::atomic<bool>& interrupted,
                  CliCompareRunner& runner, const std::vector<PairRow>& rows,
                  const std::string& resultPath)
      : host_(host),
        flags_(flags),
        interrupted_(interrupted),
        runner_(runner),
        rows_(rows),
        resultPath_(resultPath) {}

  void ShowRunRefusal(const std::string& text, const std::string& title) override {
    host_.ShowMessage(text, title);
  }
  bool ConfirmIncompleteRun(const std::string&, const std::string&) override { return true; }
  void ShowListDefect(const std::string& text, const std::string& title, int) override {
    host_.ShowMessage(text, title);
  }
  bool ConfirmRunStart(const std::string&, const std::string&) override { return true; }
  void SetRunDisplay(bool) override {}
  bool AskContinueAfterError(const std::string&, const std::string&) override {
    return !interrupted_;
  }
  bool AskContinueAfterCancel(const std::string&, const std::string&) override { return false; }
  void YieldAfterPair() override {
    if (interrupted_) flags_.BatchCancelRequested = true;
  }
  void ShowCompletion(const std::string&, const std::string&) override {}
  void ShowSkippedRow(int row) override {
    runner_.PrintLine(SkippedPairLine(resultPath_ + rows_[row].resultFile));
  }

 private:
  ConsoleHost& host_;
  BatchRunFlags& flags_;
  const std::atomic<bool>& interrupted_;
  CliCompareRunner& runner_;
  const std::vector<PairRow>& rows_;
  std::string resultPath_;
};

}  // namespace

int RunBatchCommand(const BatchCommand& command, ConsoleHost& host, RunFlags& flags,
                    const std::atomic<bool>& interrupted, std::FILE* out, std::FILE*) {
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
    std::unique_ptr<BatchListStore> store;
    Status status = BatchListStore::Open(dbPath, &store);
    if (!status.ok()) {
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

  BatchRunFlags batchFlags;
  CliCompareRunner runner(command, host, flags, out);
  CliBatchRunHost runHost(host, batchFlags, interrupted, runner, rows, settings.resultPath);
  int currentRow = 0;
  BatchRunSummary summary =
      RunBatch(rows, {settings.oldPath, settings.newPath, settings.resultPath}, &currentRow,
               runHost, runner, batchFlags);
  if (!summary.started) return interrupted ? kExitInterrupted : kExitFailed;

  // A pair cut at the line limit was not compared completely: it is counted apart.
  std::fprintf(
      out,
      "バッチ処理%s: 比較 %d 組、エラー %d 組、スキップ %d 組（《未ペア》または《未定》）、"
      "打ち切り %d 組、キャンセル %d 組\n",
      summary.completed ? "完了" : "中止", summary.processed - runner.cut(), summary.failed,
      summary.skipped, runner.cut(), summary.cancelled);
  std::fflush(out);
  if (interrupted) return kExitInterrupted;
  bool allCompared =
      summary.completed && summary.failed == 0 && summary.cancelled == 0 && runner.cut() == 0;
  return allCompared ? kExitDone : kExitFailed;
}

}  // namespace verko
