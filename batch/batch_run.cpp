#include "batch/batch_run.h"

#include "batch/pair_counts.h"

namespace verko {
namespace {

constexpr const char* kCannotRunTitle = "バッチ処理を実行できません";

// The first pair of paths that coincide, as the defect message of the consistency pass;
// empty when the row is consistent. Texts are compared exactly.
std::string RowDefect(const std::string& oldPath, const std::string& newPath,
                      const std::string& resultPath) {
  if (oldPath == newPath) {
    return "旧ファイルと新ファイルが同一です。修正してください。\n　　旧ファイル： " + oldPath +
           "\n　　新ファイル： " + newPath;
  }
  if (oldPath == resultPath) {
    return "旧ファイルと結果ファイルが同一です。修正してください。\n　　旧ファイル： " + oldPath +
           "\n　　結果ファイル： " + resultPath;
  }
  if (newPath == resultPath) {
    return "新ファイルと結果ファイルが同一です。修正してください。\n　　新ファイル： " + newPath +
           "\n　　結果ファイル： " + resultPath;
  }
  return "";
}

std::string PairLines(const std::string& oldPath, const std::string& newPath,
                      const std::string& resultPath) {
  return "ファイルペア：\n　　旧： " + oldPath + "\n　　新： " + newPath + "\n　　結果： " +
         resultPath + "\n";
}

}  // namespace

bool CheckBatchRun(const std::vector<PairRow>& rows, const BatchFolders& folders, int* currentRow,
                   BatchRunHost& host, CompareRunner& runner) {
  if (runner.InteractiveRunActive()) {
    host.ShowRunRefusal("比較処理の実行中はバッチ処理を開始できません。", kCannotRunTitle);
    return false;
  }
  // An invalid split width or context count is refused as a single start refuses it, not
  // replaced by a default for every pair.
  if (!runner.CheckOptions()) return false;
  if (rows.empty()) {
    host.ShowRunRefusal("ファイルリストの内容が空です。", kCannotRunTitle);
    return false;
  }
  const char* missing = folders.oldPath.empty() ? "旧ファイルの存在するパスが設定されていません。"
                        : folders.newPath.empty() ? "新ファイルの存在するパスが設定されていません。"
                        : folders.resultPath.empty()
                            ? "比較結果ファイルの格納先のパスが設定されていません。"
                            : nullptr;
  if (missing) {
    host.ShowRunRefusal(missing, "パスが未指定");
    return false;
  }
  if (CountPairs(rows).Incomplete() > 0 &&
      !host.ConfirmIncompleteRun(
          "ファイル名の設定に《未ペア》または《未定》が残っています。\nバッチ処理を強行しますか？",
          "バッチ処理 - 指定が不完全")) {
    return false;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string defect =
        RowDefect(folders.oldPath + rows[i].oldFile, folders.newPath + rows[i].newFile,
                  folders.resultPath + rows[i].resultFile);
    if (!defect.empty()) {
      *currentRow = static_cast<int>(i);
      host.ShowListDefect(defect, "バッチリストの内容に不備があります", *currentRow);
      return false;
    }
  }
  return host.ConfirmRunStart(
      "現在のバッチリストに基づいて連続比較処理を実行します。よろしいですか？", "バッチ処理の確認");
}

std::string BatchCancelQuestion() {
  return "バッチ処理を中止してよろしいですか？\n\nただし、現在処理中の比較は最後まで実行されます。";
}

BatchRunSummary RunBatch(const std::vector<PairRow>& rows, const BatchFolders& folders,
                         int* currentRow, BatchRunHost& host, CompareRunner& runner,
                         BatchRunFlags& flags) {
  BatchRunSummary summary;
  if (!CheckBatchRun(rows, folders, currentRow, host, runner)) return summary;

  summary.started = true;
  flags.BatchRunning = true;
  flags.BatchCancelRequested = false;
  host.SetRunDisplay(true);
  std::size_t row = 0;
  // Pairs with lines that were not valid in their file's encoding, told at the end.
  std::string encodingWarnings;
  for (;;) {
    *currentRow = static_cast<int>(row);
    if (row >= rows.size()) {
      host.ShowCompletion(
          "バッチ処理が完了しました。\n処理したファイルペア数： " +
              std::to_string(summary.processed) +
              (encodingWarnings.empty() ? std::string()
                                        : "\n\n文字コードの警告：\n" + encodingWarnings),
          "バッチ処理完了");
      summary.completed = true;
      *currentRow = 0;
      break;
    }
    const PairRow& pair = rows[row];
    if (HasPlaceholder(pair)) {
      ++summary.skipped;
    } else {
      const std::string oldPath = folders.oldPath + pair.oldFile;
      const std::string newPath = folders.newPath + pair.newFile;
      const std::string resultPath = folders.resultPath + pair.resultFile;
      host.ShowRunRow(static_cast<int>(row));
      CompareResult result = runner.RunBatchCompare(oldPath, newPath, resultPath);
      host.ShowPairOutcome(static_cast<int>(row), result);
      if (result.status == kStatusDone) {
        ++summary.processed;
        if (std::string warning = InvalidTextWarning(result); !warning.empty()) {
          encodingWarnings += PairLines(oldPath, newPath, resultPath) + warning;
        }
      } else if (result.status == kStatusFailed) {
        ++summary.failed;
        if (!host.AskContinueAfterError(PairLines(oldPath, newPath, resultPath) +
                                            "の比較を実行しようとしてエラーが起きました。\n\n" +
                                            result.message.text +
                                            "\n\nバッチリストの残りの処理を続行しますか？",
                                        "比較処理でエラー")) {
          break;
        }
      } else if (result.status == kStatusCancelled) {
        ++summary.cancelled;
        if (!host.AskContinueAfterCancel(PairLines(oldPath, newPath, resultPath) +
                                             "の比較の実行中にキャンセルされました。\n\n"
                                             "バッチリストの残りの処理を続行しますか？",
                                         "比較処理がキャンセルされた")) {
          break;
        }
      }
    }
    ++row;
    *currentRow = static_cast<int>(row);
    host.YieldAfterPair();
    if (flags.BatchCancelRequested) break;
  }
  host.SetRunDisplay(false);
  host.ShowRunRow(-1);
  flags.BatchRunning = false;
  flags.BatchCancelRequested = false;
  return summary;
}

}  // namespace verko
