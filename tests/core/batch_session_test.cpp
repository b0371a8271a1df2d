// The batch window's commands without the window: lists, rows, counts, pairing, naming and
// the batch run, with a scripted host and a fake compare runner.
#include "batch/batch_session.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/core/batch_test_support.h"

namespace verko {
namespace {

using test_support::FakeCompareRunner;
using test_support::ScriptedBatchHost;
using test_support::TempDir;
using test_support::WriteFile;
using Names = std::vector<std::string>;

const std::string U(UnpairedMark), D(UndecidedMark);

class BatchSessionTest : public ::testing::Test {
 protected:
  BatchSessionTest() : path(dir.File("VerkoBatchList.mdb")), session(host, runner) {
    test_support::MakeBatchListDb(path);
    EXPECT_TRUE(session.Open(path, 1));
  }

  // Adds old files through the select command: the names end up as rows of the shown list.
  void SelectOld(const std::string& folder, const Names& names) {
    Names paths;
    for (const auto& name : names) paths.push_back(folder + name);
    host.files.push_back(paths);
    session.SelectFiles(PairSide::kOld);
  }

  Names Column(PairField field) const {
    Names names;
    for (const auto& row : session.Rows()) {
      names.push_back(field == PairField::kOldFile   ? row.oldFile
                      : field == PairField::kNewFile ? row.newFile
                                                     : row.resultFile);
    }
    return names;
  }

  // A ready list of three complete pairs in folders of the test.
  void MakeThreePairs() {
    SelectOld("/o/", {"a.txt", "b.txt", "c.txt"});
    for (int i = 0; i < 3; ++i) {
      session.SetPairName(i, PairField::kNewFile, "n" + std::to_string(i));
      session.SetPairName(i, PairField::kResultFile, "r" + std::to_string(i));
    }
    session.Settings().newPath = "/n/";
    session.Settings().resultPath = "/r/";
  }

  TempDir dir;
  std::string path;
  ScriptedBatchHost host;
  FakeCompareRunner runner;
  BatchSession session;
};

TEST_F(BatchSessionTest, OpensOnTheDefaultListWhenTheRememberedOneIsGone) {
  EXPECT_EQ(session.CurrentBatchID(), 1);
  EXPECT_EQ(session.Settings().batchName, "既定のリスト");
  EXPECT_TRUE(host.renameDeleteDisabled);
  EXPECT_EQ(host.countLine, "ペア 0　未ペア・未定 0");
  session.Close();
  BatchSession again(host, runner);
  ASSERT_TRUE(again.Open(path, 42));
  EXPECT_EQ(again.CurrentBatchID(), 1);

  BatchSession broken(host, runner);
  EXPECT_FALSE(broken.Open(dir.File("missing.mdb"), 1));
  EXPECT_EQ(
      host.messages.back().rfind(
          "Verko ドルパキネッセル: バッチリスト用のデータベースをオープンできません。\n\n理由: ",
          0),
      0u);
  broken.NewList();  // no list, nothing happens
  EXPECT_TRUE(host.inputs.empty());
}

TEST_F(BatchSessionTest, NewListProposesTheFirstFreeNameAndRefusesDuplicates) {
  host.texts = {"新規1", "新規2"};
  session.NewList();
  session.NewList();
  EXPECT_EQ(host.inputs[0],
            "新規バッチリスト: 新しいバッチリストの名前を入力してください。 [新規1]");
  EXPECT_EQ(host.inputs[1].substr(host.inputs[1].size() - 9), "[新規2]");
  EXPECT_EQ(session.Settings().batchName, "新規2");
  EXPECT_FALSE(host.renameDeleteDisabled);

  session.Settings().oldPath = "/kept/";
  host.texts = {std::nullopt};
  session.NewList();
  EXPECT_EQ(host.inputs[2].substr(host.inputs[2].size() - 9), "[新規3]");
  EXPECT_EQ(session.Settings().batchName, "新規2");  // cancelled: the list stays
  const int32_t second = session.CurrentBatchID();

  host.texts = {"新規1", "It's mine"};
  session.NewList();
  EXPECT_EQ(host.messages.back(),
            "名前が重複: 「新規1」という名前は既に使われています。別の名前を指定してください。");
  EXPECT_EQ(host.inputs.back().substr(host.inputs.back().size() - 9), "[新規1]");
  EXPECT_EQ(session.Settings().batchName, "It's mine");

  // The settings of the list shown before were stored by the new command.
  ASSERT_TRUE(session.SelectList("新規2"));
  EXPECT_EQ(session.CurrentBatchID(), second);
  EXPECT_EQ(session.Settings().oldPath, "/kept/");
}

TEST_F(BatchSessionTest, RenameRefusesTakenNamesAndTheDefaultList) {
  session.RenameList();
  EXPECT_TRUE(host.inputs.empty());  // list 1 is never renamed
  host.texts = {"first"};
  session.NewList();
  host.texts = {"first", "O'Neil"};
  session.RenameList();
  EXPECT_EQ(host.messages.size(), 1u);  // its own name counts as taken
  EXPECT_EQ(host.inputs.back(),
            "バッチリストの改名: バッチリストの変更後の名前を入力してください。 [first]");
  EXPECT_EQ(session.Settings().batchName, "O'Neil");
  EXPECT_EQ(session.ListNames(), (Names{"既定のリスト", "O'Neil"}));
}

TEST_F(BatchSessionTest, DeletingAListRemovesItsPairsAndShowsTheDefaultList) {
  session.DeleteList();
  EXPECT_TRUE(host.questions.empty());
  SelectOld("/d/", {"default.txt"});
  host.texts = {"doomed"};
  session.NewList();
  SelectOld("/o/", {"x.txt", "y.txt"});
  host.okCancel = {false};
  session.DeleteList();
  EXPECT_EQ(host.questions.back(),
            "バッチリストの削除の確認: 現在のバッチリスト「doomed」を削除してよろしいですか？");
  EXPECT_EQ(session.Rows().size(), 2u);
  session.DeleteList();
  EXPECT_EQ(session.CurrentBatchID(), 1);
  EXPECT_EQ(Column(PairField::kOldFile), Names{"default.txt"});
  EXPECT_TRUE(host.compactChecked);
  EXPECT_EQ(session.ListNames(), Names{"既定のリスト"});
  EXPECT_FALSE(session.SelectList("doomed"));
  EXPECT_EQ(host.messages.back(), "内部エラー: バッチリストが見つかりません。");
  EXPECT_FALSE(session.SelectList(std::nullopt));
  EXPECT_EQ(host.messages.back(),
            "バッチリストが選択されていません: バッチリストを選択してください。");
}

TEST_F(BatchSessionTest, SelectingFilesAddsRowsAndAnotherFolderAsksToClear) {
  SelectOld("/o/", {"b.txt", "a.txt", "b.txt"});
  EXPECT_EQ(session.Settings().oldPath, "/o/");
  EXPECT_EQ(Column(PairField::kOldFile), (Names{"a.txt", "b.txt", "b.txt"}));
  EXPECT_EQ(Column(PairField::kNewFile), (Names{U, U, U}));
  EXPECT_EQ(Column(PairField::kResultFile), (Names{D, D, D}));
  EXPECT_EQ(host.countLine, "ペア 0　未ペア・未定 3");
  EXPECT_TRUE(host.buttons.newAutoEnabled);
  EXPECT_FALSE(host.buttons.oldAutoEnabled);
  EXPECT_TRUE(host.buttons.eachEnabled);

  host.okCancel = {false};
  SelectOld("/other/", {"z.txt"});
  EXPECT_EQ(host.questions.back(),
            "旧ファイルの選択: 現在のリストとは別のパスが選択されました。\n"
            "現在選択されているファイルをクリアしてよろしいですか？");
  EXPECT_EQ(session.Rows().size(), 3u);
  SelectOld("/other/", {"z.txt"});
  EXPECT_EQ(Column(PairField::kOldFile), Names{"z.txt"});
  EXPECT_EQ(session.Settings().oldPath, "/other/");

  host.files.push_back({"/n/new.txt"});
  session.SelectFiles(PairSide::kNew);
  EXPECT_EQ(host.questions.size(), 2u);  // new folder field was empty: nothing asked
  EXPECT_EQ(Column(PairField::kOldFile), (Names{"z.txt", U}));
  EXPECT_EQ(host.countLine, "ペア 0　未ペア・未定 2");
}

TEST_F(BatchSessionTest, ClearAndDeleteRowKeepTheCountLineTrue) {
  session.ClearContent();
  EXPECT_EQ(host.messages.back(), "クリアする必要なし: 現在、ファイルリストは空です。");
  session.DeleteRow();
  EXPECT_EQ(host.messages.back(), "削除対象がない: 削除したいファイルペアを選択してください。");

  MakeThreePairs();
  session.UpdateCountInfo();
  EXPECT_EQ(host.countLine, "ペア 3　未ペア・未定 0");
  session.SetCurrentRow(2);
  session.DeleteRow();
  EXPECT_EQ(
      host.questions.back(),
      "ファイルペアの削除の確認: ファイルペア：\n   c.txt - n2 - r2\nを削除してよろしいですか？");
  EXPECT_EQ(session.CurrentRow(), kNoRow);  // after the bottom row there is none
  EXPECT_FALSE(host.buttons.eachEnabled);
  EXPECT_EQ(host.countLine, "ペア 2　未ペア・未定 0");
  EXPECT_TRUE(host.compactChecked);

  host.yesNo = {false};
  session.ClearContent();
  EXPECT_EQ(session.Rows().size(), 2u);
  session.ClearContent();
  EXPECT_TRUE(session.Rows().empty());
  EXPECT_EQ(host.countLine, "ペア 0　未ペア・未定 0");
}

TEST_F(BatchSessionTest, AutomaticAndIndividualPairing) {
  const std::string newDir = dir.File("new") + "/";
  std::filesystem::create_directory(newDir);
  for (const char* name : {"report_b.txt", "memo_b.txt", "other.txt"})
    WriteFile(newDir + name, "x");
  SelectOld("/o/", {"report_a.txt", "memo_a.txt", "odd.txt"});

  session.AutoPair(PairSide::kNew);
  EXPECT_EQ(host.messages.back(),
            "「自動」機能を実行できません: 新旧ファイルの対応づけの方法を選択してください。");
  session.ChoosePairingMethod(3);
  session.Settings().pairingFname = "*_a";
  session.Settings().pairingExt = "t?t";
  session.AutoPair(PairSide::kNew);
  EXPECT_EQ(host.messages.back(),
            "「自動」機能を実行できません: パターンの指定に無効な文字（\\,?）が含まれています。");
  session.Settings().pairingExt = "txt";
  session.Settings().pairingFname2 = "*_b";
  session.Settings().pairingExt2 = "txt";
  host.folder = {newDir + "《比較対象の｢新ﾌｧｲﾙ｣のあるﾊﾟｽを選ぶ》"};
  session.AutoPair(PairSide::kNew);
  EXPECT_EQ(
      host.dialogs.back(),
      "「旧ファイル」と対応づける新ファイルのパスを選択 《比較対象の｢新ﾌｧｲﾙ｣のあるﾊﾟｽを選ぶ》");
  EXPECT_EQ(session.Settings().newPath, newDir);
  EXPECT_EQ(Column(PairField::kNewFile), (Names{"memo_b.txt", U, "report_b.txt"}));

  // Individual pairing: an unpaired row takes the file at once, a paired one asks first.
  session.SetCurrentRow(1);
  host.file = {newDir + "other.txt"};
  session.PairIndividually(PairSide::kNew);
  EXPECT_EQ(host.dialogs.back(), "odd.txt と対応づける「新ファイル」を選択");
  EXPECT_EQ(session.Rows()[1].newFile, "other.txt");
  const size_t asked = host.questions.size();
  host.file = {newDir + "other.txt"};
  host.okCancel = {false};
  session.PairIndividually(PairSide::kNew);
  EXPECT_EQ(host.questions.back(),
            "新ファイルの個別対応づけ: 旧ファイル odd.txt には、すでに新ファイルとして other.txt "
            "が対応づけられています。\n新ファイルを other.txt に変更してよろしいですか？");
  EXPECT_EQ(host.questions.size(), asked + 1);

  // Another folder: every new file goes back to unpaired after OK.
  host.file = {"/elsewhere/x.txt"};
  session.PairIndividually(PairSide::kNew);
  EXPECT_EQ(host.questions.back(),
            "新ファイルの個別対応づけ: 現在のリストとは別のパスが選択されました。\n"
            "現在対応づけられている他の新ファイルを《未ペア》に戻してよろしいですか？");
  EXPECT_EQ(Column(PairField::kNewFile), (Names{U, "x.txt", U}));
  EXPECT_EQ(session.Settings().newPath, "/elsewhere/");
}

TEST_F(BatchSessionTest, GeneratingNamesWritesEveryRowInGridOrder) {
  session.GenerateResultNames();
  EXPECT_EQ(host.messages.back(), "結果ファイル名を生成できない: ファイルリストの内容が空です。");
  SelectOld("/o/", {"c.txt", "a.txt", "b.txt"});
  session.ChooseResultMethod(5);
  session.GenerateResultNames();
  EXPECT_EQ(Column(PairField::kResultFile), (Names{"Result01.vk", "Result02.vk", "Result03.vk"}));
  session.Settings().resultFname = "A##B#";
  session.GenerateResultNames();
  EXPECT_EQ(host.messages.back(),
            "ファイル名の指定エラー: 連番（\"#\"）を指定できるのは１個所だけです。");
  EXPECT_EQ(session.Rows()[0].resultFile, "Result01.vk");
  session.ChooseResultMethod(3);
  session.GenerateResultNames();
  EXPECT_EQ(Column(PairField::kResultFile), (Names{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(session.CurrentRow(), 0);
}

TEST_F(BatchSessionTest, RunChecksTheListBeforeAnything) {
  session.Execute();
  EXPECT_EQ(host.messages.back(), "バッチ処理を実行できません: ファイルリストの内容が空です。");
  SelectOld("/o/", {"a.txt"});
  session.Settings().oldPath.clear();
  struct {
    std::string oldPath, newPath, resultPath, message;
  } folders[] = {
      {"", "/n/", "/r/", "パスが未指定: 旧ファイルの存在するパスが設定されていません。"},
      {"/o/", "", "/r/", "パスが未指定: 新ファイルの存在するパスが設定されていません。"},
      {"/o/", "/n/", "", "パスが未指定: 比較結果ファイルの格納先のパスが設定されていません。"},
  };
  for (const auto& f : folders) {
    session.Settings().oldPath = f.oldPath;
    session.Settings().newPath = f.newPath;
    session.Settings().resultPath = f.resultPath;
    EXPECT_FALSE(session.Execute().started);
    EXPECT_EQ(host.messages.back(), f.message);
  }
  EXPECT_TRUE(host.questions.empty());
  EXPECT_TRUE(host.runDisplays.empty());

  runner.interactive = true;
  session.Settings().resultPath = "/r/";
  EXPECT_FALSE(session.Execute().started);
  EXPECT_EQ(host.messages.back(),
            "バッチ処理を実行できません: 比較処理の実行中はバッチ処理を開始できません。");
  EXPECT_TRUE(runner.calls.empty());
}

TEST_F(BatchSessionTest, IncompleteListRunsOnlyItsCompletePairsAfterYes) {
  SelectOld("/o/", {"a.txt", "b.txt"});
  session.Settings().newPath = "/n/";
  session.Settings().resultPath = "/r/";
  host.yesNo = {false};
  EXPECT_FALSE(session.Execute().started);
  EXPECT_EQ(
      host.questions.back(),
      "バッチ処理 - 指定が不完全: ファイル名の設定に《未ペア》または《未定》が残っています。\n"
      "バッチ処理を強行しますか？");
  BatchRunSummary summary = session.Execute();
  EXPECT_TRUE(summary.completed);
  EXPECT_EQ(summary.skipped, 2);
  EXPECT_TRUE(runner.calls.empty());
  EXPECT_EQ(host.messages.back(),
            "バッチ処理完了: バッチ処理が完了しました。\n処理したファイルペア数： 0");
  EXPECT_EQ(host.runDisplays, (std::vector<bool>{true, false}));
}

TEST_F(BatchSessionTest, ConsistencyPassStopsOnTheOffendingRow) {
  MakeThreePairs();
  session.Settings().resultPath = "/o/";
  session.SetPairName(1, PairField::kResultFile, "b.txt");
  session.SetPairName(2, PairField::kResultFile, "c.txt");
  EXPECT_FALSE(session.Execute().started);
  EXPECT_EQ(session.CurrentRow(), 1);
  EXPECT_EQ(
      host.messages.back(),
      "バッチリストの内容に不備があります: 旧ファイルと結果ファイルが同一です。修正してください。\n"
      "　　旧ファイル： /o/b.txt\n　　結果ファイル： /o/b.txt");
  session.Settings().resultPath = "/r/";
  session.Settings().newPath = "/o/";
  session.SetPairName(0, PairField::kNewFile, "A.txt");  // case differs: not the same
  session.SetPairName(2, PairField::kNewFile, "c.txt");
  EXPECT_FALSE(session.Execute().started);
  EXPECT_EQ(session.CurrentRow(), 2);
  EXPECT_EQ(host.messages.back().rfind(
                "バッチリストの内容に不備があります: 旧ファイルと新ファイルが同一です。", 0),
            0u);
  EXPECT_TRUE(runner.calls.empty());
}

TEST_F(BatchSessionTest, CompletePairsRunInGridOrderAndTheCountEndsTheRun) {
  MakeThreePairs();
  host.yesNo = {true};
  BatchRunSummary summary = session.Execute();
  EXPECT_EQ(
      host.questions.back(),
      "バッチ処理の確認: 現在のバッチリストに基づいて連続比較処理を実行します。よろしいですか？");
  EXPECT_EQ(runner.calls,
            (Names{"/o/a.txt|/n/n0|/r/r0", "/o/b.txt|/n/n1|/r/r1", "/o/c.txt|/n/n2|/r/r2"}));
  EXPECT_EQ(summary.processed, 3);
  EXPECT_EQ(host.messages.back(),
            "バッチ処理完了: バッチ処理が完了しました。\n処理したファイルペア数： 3");
  EXPECT_EQ(host.icons.back(), MessageIcon::kInformation);
  EXPECT_EQ(host.yields, 3);
  EXPECT_EQ(session.CurrentRow(), 0);
  EXPECT_FALSE(session.BatchRunning());
}

TEST_F(BatchSessionTest, CancelBetweenPairsLetsTheRunningPairFinish) {
  MakeThreePairs();
  SelectOld("/o/", {"d.txt", "e.txt"});
  for (int i = 3; i < 5; ++i) {
    session.SetPairName(i, PairField::kNewFile, "n" + std::to_string(i));
    session.SetPairName(i, PairField::kResultFile, "r" + std::to_string(i));
  }
  host.onYield = [&] {
    EXPECT_TRUE(session.BatchRunning());
    host.yesNo.push_front(host.yields == 3);
    EXPECT_FALSE(session.QueryClose(true));  // the close box asks the cancel question
  };
  BatchRunSummary summary = session.Execute();
  EXPECT_EQ(runner.calls.size(), 3u);
  EXPECT_FALSE(summary.completed);
  EXPECT_EQ(host.questions.back(),
            "キャンセルの確認: バッチ処理を中止してよろしいですか？\n\n"
            "ただし、現在処理中の比較は最後まで実行されます。");
  EXPECT_EQ(host.messages.size(), 0u);  // no completion message
  EXPECT_EQ(session.CurrentRow(), 3);
  EXPECT_FALSE(session.BatchRunning());
  EXPECT_TRUE(session.QueryClose(true));
}

TEST_F(BatchSessionTest, AFailedOrCancelledPairLetsTheUserGoOn) {
  MakeThreePairs();
  runner.statuses = {kStatusFailed, kStatusCancelled, kStatusDone};
  host.yesNo = {true, true, true};
  BatchRunSummary summary = session.Execute();
  EXPECT_EQ(runner.calls.size(), 3u);
  EXPECT_EQ(summary.processed, 1);
  EXPECT_EQ(summary.failed, 1);
  EXPECT_EQ(summary.cancelled, 1);
  EXPECT_EQ(
      host.questions[1],
      "比較処理でエラー: ファイルペア：\n　　旧： /o/a.txt\n　　新： /n/n0\n　　結果： /r/r0\n"
      "の比較を実行しようとしてエラーが起きました。\n\n失敗の理由\n\n"
      "バッチリストの残りの処理を続行しますか？");
  EXPECT_EQ(host.questions[2],
            "比較処理がキャンセルされた: ファイルペア：\n　　旧： /o/b.txt\n　　新： /n/n1\n"
            "　　結果： /r/r1\nの比較の実行中にキャンセルされました。\n\n"
            "バッチリストの残りの処理を続行しますか？");
  EXPECT_EQ(host.messages.back(),
            "バッチ処理完了: バッチ処理が完了しました。\n処理したファイルペア数： 1");

  runner.calls.clear();
  runner.statuses = {kStatusFailed};
  host.yesNo = {true, false};
  summary = session.Execute();
  EXPECT_EQ(runner.calls.size(), 1u);
  EXPECT_FALSE(summary.completed);
  EXPECT_EQ(session.CurrentRow(), 0);
  EXPECT_EQ(host.runDisplays.back(), false);
}

TEST_F(BatchSessionTest, CloseStoresTheSettingsAndCompactsWhenAsked) {
  session.Settings().oldPath = "/stored/";
  session.SetCompactOnClose(true);
  WriteFile(dir.File("Temp.mdb"), "leftover");
  session.Close();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.File("Temp.mdb")));
  ASSERT_TRUE(session.Open(path, 1));
  EXPECT_EQ(session.Settings().oldPath, "/stored/");
  EXPECT_FALSE(session.CompactOnClose());  // starts unchecked each time

  session.SetCompactOnClose(true);
  std::filesystem::create_directory(dir.File("Temp.mdb"));
  WriteFile(dir.File("Temp.mdb") + "/inside", "x");
  session.Close();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find("元のファイルはそのまま残っています。"), std::string::npos);
  ASSERT_TRUE(session.Open(path, 1));
  EXPECT_EQ(session.Settings().oldPath, "/stored/");
}

}  // namespace
}  // namespace verko
