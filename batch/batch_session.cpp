#include "batch/batch_session.h"

#include <set>

#include "batch/method_display.h"
#include "batch/pair_counts.h"
#include "batch/result_naming.h"
#include "common/path_parts.h"

namespace verko {
namespace {

constexpr const char* kProgramTitle = "Verko ドルパキネッセル";
constexpr const char* kOtherFolderQuestion = "現在のリストとは別のパスが選択されました。\n";

PairField SideField(PairSide side) {
  return side == PairSide::kOld ? PairField::kOldFile : PairField::kNewFile;
}

std::string& RowField(PairRow& row, PairField field) {
  return field == PairField::kOldFile   ? row.oldFile
         : field == PairField::kNewFile ? row.newFile
                                        : row.resultFile;
}

// The side's word in the window's texts: 旧 or 新.
const char* SideWord(PairSide side) {
  return side == PairSide::kOld ? "旧" : "新";
}

}  // namespace

bool BatchSession::Open(const std::string& dbPath, int32_t batchId) {
  Status status = Status::Ok();
  store_ = BatchListStore::Open(dbPath, &status);
  if (!store_) {
    host_.ShowMessage(
        "バッチリスト用のデータベースをオープンできません。\n\n理由: " + status.reason(),
        kProgramTitle, MessageIcon::kCritical);
    return false;
  }
  dbPath_ = dbPath;
  compactOnClose_ = false;
  host_.ShowCompactOnClose(false);
  // A remembered list that is gone would leave the window without a list, and pairs added
  // then would belong to none: the default list is shown instead.
  currentBatchId_ = store_->ListExists(batchId) ? batchId : kDefaultBatchID;
  RefreshBatchFList();
  RestoreBatchListInfo(currentBatchId_);
  return true;
}

void BatchSession::Close() {
  if (!store_) return;
  SaveBatchListInfo();
  store_.reset();
  rows_.clear();
  currentRow_ = kNoRow;
  if (!compactOnClose_) return;
  Status status = CompactBatchListDb(dbPath_);
  if (!status.ok()) {
    host_.ShowMessage(
        "バッチリスト用のデータベースを圧縮できませんでした。元のファイルはそのまま残っています。"
        "\n\n理由: " +
            status.reason(),
        kProgramTitle, MessageIcon::kExclamation);
  }
}

void BatchSession::SetCurrentRow(int row) {
  currentRow_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : kNoRow;
}

void BatchSession::SetCompactOnClose(bool checked) {
  compactOnClose_ = checked;
  host_.ShowCompactOnClose(checked);
}

bool BatchSession::Check(const Status& status) {
  if (status.ok()) return true;
  host_.ShowMessage("バッチリスト用のデータベースを更新できません。\n\n理由: " + status.reason(),
                    kProgramTitle, MessageIcon::kCritical);
  return false;
}

void BatchSession::RestoreBatchListInfo(int32_t batchId) {
  std::optional<BatchListSettings> loaded;
  Check(store_->LoadSettings(batchId, &loaded));
  listShown_ = loaded.has_value();
  settings_ = loaded.value_or(BatchListSettings{});
  host_.ShowSettings(settings_, batchId == kDefaultBatchID);
}

void BatchSession::SaveBatchListInfo() {
  if (store_ && listShown_) Check(store_->SaveSettings(currentBatchId_, settings_));
}

void BatchSession::RefreshBatchFList() {
  Check(store_->ReadPairs(currentBatchId_, &rows_));
  currentRow_ = rows_.empty() ? kNoRow : 0;
  host_.ShowRows(rows_, currentRow_);
  UpdateCountInfo();
}

void BatchSession::UpdateCountInfo() {
  counts_ = CountPairs(rows_);
  CountButtons buttons;
  buttons.eachEnabled = currentRow_ != kNoRow;
  buttons.oldAutoEnabled = counts_.unpairedOldCount > 0;
  buttons.newAutoEnabled = counts_.unpairedNewCount > 0;
  host_.ShowCounts(CountInfoText(counts_), buttons);
}

std::optional<std::string> BatchSession::AskFreeName(const std::string& prompt,
                                                     const std::string& title, std::string proposal,
                                                     const std::string& retryDefault) {
  for (;;) {
    std::optional<std::string> name = host_.AskText(prompt, title, proposal);
    if (!name || name->empty()) return std::nullopt;
    if (!store_->FindListByName(*name)) return name;
    host_.ShowMessage(
        "「" + *name + "」という名前は既に使われています。別の名前を指定してください。",
        "名前が重複", MessageIcon::kExclamation);
    proposal = retryDefault.empty() ? *name : retryDefault;
  }
}

void BatchSession::NewList() {
  if (!store_) return;
  SaveBatchListInfo();
  std::string proposal;
  for (int n = 1;; ++n) {
    proposal = "新規" + std::to_string(n);
    if (!store_->FindListByName(proposal)) break;
  }
  std::optional<std::string> name =
      AskFreeName("新しいバッチリストの名前を入力してください。", "新規バッチリスト", proposal, "");
  if (!name) return;
  int32_t batchId = 0;
  if (!Check(store_->AddList(*name, &batchId))) return;
  currentBatchId_ = batchId;
  RefreshBatchFList();
  RestoreBatchListInfo(currentBatchId_);
}

void BatchSession::RenameList() {
  if (!store_ || !listShown_ || currentBatchId_ == kDefaultBatchID) return;
  const std::string current = settings_.batchName;
  std::optional<std::string> name = AskFreeName("バッチリストの変更後の名前を入力してください。",
                                                "バッチリストの改名", current, current);
  if (!name || !Check(store_->RenameList(currentBatchId_, *name))) return;
  settings_.batchName = *name;
  host_.ShowSettings(settings_, false);
}

void BatchSession::DeleteList() {
  if (!store_ || !listShown_ || currentBatchId_ == kDefaultBatchID) return;
  if (!host_.AskOkCancel(
          "現在のバッチリスト「" + settings_.batchName + "」を削除してよろしいですか？",
          "バッチリストの削除の確認", MessageIcon::kQuestion)) {
    return;
  }
  if (!Check(store_->DeleteList(currentBatchId_))) return;
  currentBatchId_ = kDefaultBatchID;
  RestoreBatchListInfo(currentBatchId_);
  RefreshBatchFList();
  SetCompactOnClose(true);
}

std::vector<std::string> BatchSession::ListNames() {
  std::vector<std::string> names;
  std::vector<std::pair<int32_t, std::string>> lists;
  if (store_ && Check(store_->ReadListNames(&lists))) {
    for (auto& [id, name] : lists) names.push_back(std::move(name));
  }
  return names;
}

bool BatchSession::SelectList(const std::optional<std::string>& name) {
  if (!store_) return true;
  if (!name) {
    host_.ShowMessage("バッチリストを選択してください。", "バッチリストが選択されていません",
                      MessageIcon::kExclamation);
    return false;
  }
  std::optional<int32_t> batchId = store_->FindListByName(*name);
  if (!batchId) {
    host_.ShowMessage("バッチリストが見つかりません。", "内部エラー", MessageIcon::kCritical);
    return false;
  }
  currentBatchId_ = *batchId;
  RestoreBatchListInfo(currentBatchId_);
  RefreshBatchFList();
  return true;
}

void BatchSession::ClearContent() {
  if (!store_) return;
  if (rows_.empty()) {
    host_.ShowMessage("現在、ファイルリストは空です。", "クリアする必要なし",
                      MessageIcon::kExclamation);
  } else if (host_.AskYesNo("現在のファイルリストの内容をすべてクリアしてよろしいですか？",
                            "リストの内容のクリア")) {
    if (Check(store_->ClearPairs(currentBatchId_))) SetCompactOnClose(true);
    RefreshBatchFList();
  }
  UpdateCountInfo();
}

void BatchSession::DeleteRow() {
  if (!store_) return;
  if (currentRow_ == kNoRow) {
    host_.ShowMessage("削除したいファイルペアを選択してください。", "削除対象がない",
                      MessageIcon::kExclamation);
  } else {
    const PairRow& row = rows_[static_cast<std::size_t>(currentRow_)];
    if (host_.AskOkCancel("ファイルペア：\n   " + row.oldFile + " - " + row.newFile + " - " +
                              row.resultFile + "\nを削除してよろしいですか？",
                          "ファイルペアの削除の確認", MessageIcon::kQuestion) &&
        Check(store_->DeletePair(row.pairId))) {
      // The next row becomes current; after the last row there is none.
      rows_.erase(rows_.begin() + currentRow_);
      SetCurrentRow(currentRow_);
      host_.ShowRows(rows_, currentRow_);
      SetCompactOnClose(true);
    }
  }
  UpdateCountInfo();
}

bool BatchSession::SetPairName(int row, PairField field, const std::string& name) {
  if (!store_ || row < 0 || row >= static_cast<int>(rows_.size()) || name.empty()) return false;
  PairRow& pair = rows_[static_cast<std::size_t>(row)];
  if (!Check(store_->SetPairField(pair.pairId, field, name))) return false;
  RowField(pair, field) = name;
  host_.ShowRowChanged(row);
  return true;
}

std::string& BatchSession::Folder(PairSide side) {
  return side == PairSide::kOld ? settings_.oldPath : settings_.newPath;
}

void BatchSession::SetRowField(int row, PairField field, const std::string& value) {
  PairRow& pair = rows_[static_cast<std::size_t>(row)];
  if (!Check(store_->SetPairField(pair.pairId, field, value))) return;
  RowField(pair, field) = value;
  host_.ShowRowChanged(row);
}

// Sets the side of every row back to unpaired.
void BatchSession::ResetSide(PairSide side) {
  std::vector<std::pair<int64_t, std::string>> values;
  for (const PairRow& row : rows_) values.emplace_back(row.pairId, std::string(UnpairedMark));
  if (!Check(store_->SetPairFields(SideField(side), values))) return;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    RowField(rows_[i], SideField(side)) = UnpairedMark;
    host_.ShowRowChanged(static_cast<int>(i));
  }
}

void BatchSession::SelectFiles(PairSide side) {
  if (!store_) return;
  const std::string word = SideWord(side);
  std::vector<std::string> paths =
      host_.ChooseFiles("比較対象の「" + word + "ファイル」を選択(複数選択可)", Folder(side));
  if (paths.empty()) return;
  SelectedFiles selected = SplitSelectedFiles(paths);
  if (!Folder(side).empty() && Folder(side) != selected.folder && !rows_.empty()) {
    if (!host_.AskOkCancel(std::string(kOtherFolderQuestion) +
                               "現在選択されているファイルをクリアしてよろしいですか？",
                           word + "ファイルの選択", MessageIcon::kExclamation)) {
      return;
    }
    if (!Check(store_->ClearPairs(currentBatchId_))) return;
    rows_.clear();
  }
  Folder(side) = selected.folder;
  host_.ShowSettings(settings_, currentBatchId_ == kDefaultBatchID);
  if (rows_.size() + selected.names.size() > static_cast<std::size_t>(kMaxPairs)) {
    host_.ShowMessage("１つのバッチリストに登録できるファイルペアは " + std::to_string(kMaxPairs) +
                          " 組までです。",
                      word + "ファイルの選択", MessageIcon::kExclamation);
  } else {
    std::vector<PairRow> added;
    for (const std::string& name : selected.names) {
      added.push_back(
          side == PairSide::kOld
              ? PairRow{0, name, std::string(UnpairedMark), std::string(UndecidedMark)}
              : PairRow{0, std::string(UnpairedMark), name, std::string(UndecidedMark)});
    }
    Check(store_->AddPairs(currentBatchId_, added));
  }
  RefreshBatchFList();
}

void BatchSession::AutoPair(PairSide side) {
  if (!store_) return;
  const char* cannotTitle = "「自動」機能を実行できません";
  if (settings_.pairingMethod == 0) {
    host_.ShowMessage("新旧ファイルの対応づけの方法を選択してください。", cannotTitle,
                      MessageIcon::kExclamation);
    return;
  }
  if (settings_.pairingMethod == 3 && HasInvalidPatternChar(settings_)) {
    host_.ShowMessage("パターンの指定に無効な文字（\\,?）が含まれています。", cannotTitle,
                      MessageIcon::kExclamation);
    return;
  }
  const std::string word = SideWord(side);
  const std::string other = side == PairSide::kOld ? "新" : "旧";
  std::optional<std::string> chosen =
      host_.ChooseFolder("「" + other + "ファイル」と対応づける" + word + "ファイルのパスを選択",
                         Folder(side), "《比較対象の｢" + word + "ﾌｧｲﾙ｣のあるﾊﾟｽを選ぶ》");
  if (!chosen) return;
  const std::string folder = DirPart(*chosen);
  if (!Folder(side).empty() && folder != Folder(side)) {
    if (!host_.AskOkCancel(
            std::string(kOtherFolderQuestion) + "現在対応づけられている" + word +
                "ファイルを《未ペア》に戻してから、再度対応づけを実行してよろしいですか？",
            word + "ファイルの自動対応づけ", MessageIcon::kExclamation)) {
      return;
    }
    ResetSide(side);
  }
  Folder(side) = folder;
  host_.ShowSettings(settings_, currentBatchId_ == kDefaultBatchID);

  AutoPairOutcome outcome = AutoPairFiles(rows_, side, settings_, ListFolderFiles(folder));
  std::vector<std::pair<int64_t, std::string>> values;
  for (const auto& [row, name] : outcome.found) values.emplace_back(rows_[row].pairId, name);
  if (!Check(store_->SetPairFields(SideField(side), values))) return;
  for (const auto& [row, name] : outcome.found) {
    RowField(rows_[row], SideField(side)) = name;
    host_.ShowRowChanged(static_cast<int>(row));
  }
  DropPairedLeftovers(side, outcome.found);
  if (!outcome.patternError.empty()) {
    host_.ShowMessage("対応づけパターンの指定にエラーがあります。\n" + outcome.patternError,
                      "パターン指定エラー", MessageIcon::kExclamation);
    return;
  }
  RefreshBatchFList();
}

// A file chosen on both sides stood in a row of its own, waiting for a partner; once
// automatic pairing has given it one in another row, that waiting row would name it twice.
void BatchSession::DropPairedLeftovers(
    PairSide side, const std::vector<std::pair<std::size_t, std::string>>& found) {
  std::set<std::string> taken;
  std::set<std::size_t> filled;
  for (const auto& [row, name] : found) {
    taken.insert(name);
    filled.insert(row);
  }
  const PairField other = SideField(side == PairSide::kOld ? PairSide::kNew : PairSide::kOld);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const PairRow& row = rows_[i];
    if (filled.count(i) || RowField(rows_[i], other) != UnpairedMark ||
        !taken.count(RowField(rows_[i], SideField(side)))) {
      continue;
    }
    if (!Check(store_->DeletePair(row.pairId))) return;
  }
}

void BatchSession::PairIndividually(PairSide side) {
  if (!store_ || currentRow_ == kNoRow) return;
  const int row = currentRow_;
  const std::string word = SideWord(side);
  const std::string other = side == PairSide::kOld ? "新" : "旧";
  const PairField field = SideField(side);
  const std::string partner = side == PairSide::kOld ? rows_[row].newFile : rows_[row].oldFile;
  std::optional<std::string> path =
      host_.ChooseFile(partner + " と対応づける「" + word + "ファイル」を選択", Folder(side));
  if (!path) return;
  const std::string title = word + "ファイルの個別対応づけ";
  const std::string folder = DirPart(*path);
  if (!Folder(side).empty() && folder != Folder(side)) {
    if (!host_.AskOkCancel(std::string(kOtherFolderQuestion) + "現在対応づけられている他の" + word +
                               "ファイルを《未ペア》に戻してよろしいですか？",
                           title, MessageIcon::kExclamation)) {
      return;
    }
    ResetSide(side);
  }
  Folder(side) = folder;
  host_.ShowSettings(settings_, currentBatchId_ == kDefaultBatchID);
  const std::string name = FileNamePart(*path);
  const std::string current = RowField(rows_[row], field);
  if (current != UnpairedMark &&
      !host_.AskOkCancel(other + "ファイル " + partner + " には、すでに" + word +
                             "ファイルとして " + current + " が対応づけられています。\n" + word +
                             "ファイルを " + name + " に変更してよろしいですか？",
                         title, MessageIcon::kQuestion)) {
    return;
  }
  SetRowField(row, field, name);
}

void BatchSession::ChoosePairingMethod(int method) {
  if (ApplyPairingMethod(method, &settings_)) {
    host_.ShowSettings(settings_, currentBatchId_ == kDefaultBatchID);
  }
}

void BatchSession::ChooseResultMethod(int method) {
  if (ApplyResultMethod(method, &settings_)) {
    host_.ShowSettings(settings_, currentBatchId_ == kDefaultBatchID);
  }
}

void BatchSession::GenerateResultNames() {
  if (!store_) return;
  if (rows_.empty()) {
    host_.ShowMessage("ファイルリストの内容が空です。", "結果ファイル名を生成できない",
                      MessageIcon::kExclamation);
    return;
  }
  RefreshBatchFList();
  std::vector<std::string> names;
  NamingRefusal refusal;
  if (!verko::GenerateResultNames(rows_, settings_, &names, &refusal)) {
    host_.ShowMessage(refusal.text, refusal.title, MessageIcon::kExclamation);
    return;
  }
  if (names.size() == rows_.size()) {
    std::vector<std::pair<int64_t, std::string>> values;
    for (std::size_t i = 0; i < rows_.size(); ++i) values.emplace_back(rows_[i].pairId, names[i]);
    if (Check(store_->SetPairFields(PairField::kResultFile, values))) {
      for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].resultFile = names[i];
        host_.ShowRowChanged(static_cast<int>(i));
      }
    }
  }
  currentRow_ = 0;
  host_.ShowCurrentRow(currentRow_);
  UpdateCountInfo();
}

void BatchSession::ChooseResultFolder() {
  std::optional<std::string> chosen =
      host_.ChooseFolder("比較結果ファイルを格納するフォルダを選択", settings_.resultPath,
                         "《比較結果ﾌｧｲﾙを格納するﾊﾟｽを選ぶ》");
  if (!chosen) return;
  settings_.resultPath = DirPart(*chosen);
  host_.ShowSettings(settings_, currentBatchId_ == kDefaultBatchID);
}

BatchRunSummary BatchSession::Execute() {
  if (!store_ || flags_.BatchRunning) return {};
  BatchFolders folders{settings_.oldPath, settings_.newPath, settings_.resultPath};
  if (!rows_.empty()) UpdateCountInfo();
  int row = currentRow_;
  BatchRunSummary summary = RunBatch(rows_, folders, &row, host_, runner_, flags_);
  SetCurrentRow(row);
  host_.ShowCurrentRow(currentRow_);
  if (summary.started) UpdateCountInfo();
  return summary;
}

void BatchSession::RequestCancel() {
  if (host_.AskYesNo(BatchCancelQuestion(), "キャンセルの確認")) flags_.BatchCancelRequested = true;
}

bool BatchSession::QueryClose(bool byUser) {
  if (!flags_.BatchRunning || !byUser) return true;
  RequestCancel();
  return false;
}

}  // namespace verko
