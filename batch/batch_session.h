// The batch window's logic without the window: the open batch-list database, the shown list
// (its settings as the fields hold them, its rows in grid order, the current row, the counts)
// and every command of the window, from creating a list to the batch run. The window shows
// what BatchHost is told and forwards its controls' events here.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_host.h"
#include "batch/batch_list_store.h"
#include "batch/batch_run.h"
#include "batch/batch_types.h"
#include "batch/compare_runner.h"
#include "batch/file_pairing.h"

namespace verko {

inline constexpr int kNoRow = -1;

class BatchSession {
 public:
  // `host` and `runner` must outlive the session.
  BatchSession(BatchHost& host, CompareRunner& runner) : host_(host), runner_(runner) {}

  // Opens the database and shows the list `batchId` (the default list when there is no such
  // list). On failure shows the open message and returns false; the session then holds no
  // list and its commands do nothing.
  bool Open(const std::string& dbPath, int32_t batchId);
  // Saves the shown list's settings, closes the database and compacts it when the check box
  // is on (a failure is shown; the file stays as it was). Safe to call more than once.
  void Close();
  bool IsOpen() const { return store_ != nullptr; }

  int32_t CurrentBatchID() const { return currentBatchId_; }
  // The fields of the shown list; the window writes the user's edits here.
  BatchListSettings& Settings() { return settings_; }
  const std::vector<PairRow>& Rows() const { return rows_; }
  int CurrentRow() const { return currentRow_; }
  void SetCurrentRow(int row);
  const PairCounts& Counts() const { return counts_; }
  bool CompactOnClose() const { return compactOnClose_; }
  void SetCompactOnClose(bool checked);
  BatchRunFlags& RunFlags() { return flags_; }
  bool BatchRunning() const { return flags_.BatchRunning; }

  // List commands.
  void NewList();
  void RenameList();
  void DeleteList();
  // The names for the list chooser, in the order of the lists.
  std::vector<std::string> ListNames();
  // The chooser's OK with the chosen name (nullopt when none is chosen); true when the
  // chooser may close.
  bool SelectList(const std::optional<std::string>& name);
  void ClearContent();
  void DeleteRow();
  void UpdateCountInfo();
  // A name typed into a grid cell; false (and nothing stored) for an empty name.
  bool SetPairName(int row, PairField field, const std::string& name);

  // Pairing commands.
  void SelectFiles(PairSide side);
  void AutoPair(PairSide side);
  void PairIndividually(PairSide side);
  // The pairing method chooser: presets the pattern fields.
  void ChoosePairingMethod(int method);

  // Naming commands.
  void ChooseResultMethod(int method);
  void GenerateResultNames();
  void ChooseResultFolder();

  // The batch run and its cancel command.
  BatchRunSummary Execute();
  void RequestCancel();
  // A close asked for while a run is in progress: from the window's own close box it runs
  // the cancel question and is refused; a close by the program passes.
  bool QueryClose(bool byUser);

 private:
  void RestoreBatchListInfo(int32_t batchId);
  void SaveBatchListInfo();
  void RefreshBatchFList();
  bool Check(const Status& status);
  std::string& Folder(PairSide side);
  void ResetSide(PairSide side);
  void DropPairedLeftovers(PairSide side,
                           const std::vector<std::pair<std::size_t, std::string>>& found);
  void SetRowField(int row, PairField field, const std::string& value);
  // Asks for a list name until it is free; nullopt when the user gives none.
  std::optional<std::string> AskFreeName(const std::string& prompt, const std::string& title,
                                         std::string proposal, const std::string& retryDefault);

  BatchHost& host_;
  CompareRunner& runner_;
  std::unique_ptr<BatchListStore> store_;
  std::string dbPath_;
  int32_t currentBatchId_ = kDefaultBatchID;
  bool listShown_ = false;
  BatchListSettings settings_;
  std::vector<PairRow> rows_;
  int currentRow_ = kNoRow;
  PairCounts counts_;
  bool compactOnClose_ = false;
  BatchRunFlags flags_;
};

}  // namespace verko
