// Comparisons started from the main window: the report, histories, the overwrite and
// cancel questions, the close box during a run, the progress display and the editor.
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QSettings>

#include "common/encoding.h"
#include "tests/ui/window_fixture.h"
#include "ui/viewer/report_viewer.h"

namespace verko::testing {
namespace {

class CompareFromWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WriteInputs(3000);
    OpenForRuns();
    SetNames(Path("old.txt"), Path("new.txt"), Path("result.txt"));
  }

  void ExpectUnlocked() {
    EXPECT_TRUE(Find<QGroupBox>("FrameFiles")->isEnabled());
    EXPECT_TRUE(Find<QGroupBox>("FrameOptions")->isEnabled());
    EXPECT_TRUE(Button("CmdStart")->isEnabled());
    EXPECT_TRUE(Button("CmdClose")->isEnabled());
    EXPECT_TRUE(Button("CmdHelp")->isEnabled());
    EXPECT_FALSE(Button("CmdCancel")->isEnabled());
    EXPECT_FALSE(main_->CompareRunning());
  }

  std::string Result() { return ReadFile(dir_.File("result.txt")); }
};

TEST_F(CompareFromWindowTest, StartWritesTheReportAndRecordsTheNames) {
  bool lockedDuringRun = false;
  DuringRun([&] {
    lockedDuringRun = !Button("CmdStart")->isEnabled() && Button("CmdCancel")->isEnabled() &&
                      !Find<QGroupBox>("FrameOptions")->isEnabled() &&
                      Find<QWidget>("RateFrame")->isVisibleTo(main_.get());
  });
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().status, kStatusDone);
  EXPECT_TRUE(lockedDuringRun);
  ExpectUnlocked();
  EXPECT_NE(Result().find("changed 10"), std::string::npos);
  EXPECT_EQ(Items("ComboOld"), QStringList{Path("old.txt")});
  EXPECT_EQ(Items("ComboNew"), QStringList{Path("new.txt")});
  EXPECT_EQ(Items("ComboResult"), QStringList{Path("result.txt")});
  EXPECT_EQ(Edit("TextProcDesc")->text(), "処理完了");
  EXPECT_TRUE(services_.messages.empty());
  // Timer1 hides the progress display shortly after the run.
  EXPECT_TRUE(Find<QWidget>("RateBar")->isVisibleTo(main_.get()));
  WaitFor([&] { return !Find<QWidget>("RateBar")->isVisibleTo(main_.get()); }, 3000);
  EXPECT_FALSE(Find<QWidget>("RateFrame")->isVisibleTo(main_.get()));
  EXPECT_FALSE(Find<QWidget>("TextProcDesc")->isVisibleTo(main_.get()));
}

// 比較して表示 needs no result name: the report goes to the work folder, named after the
// pair, without a question or a history entry, and opens in the viewer; the status line says
// what the run found, as after every run.
TEST_F(CompareFromWindowTest, CompareAndShowNeedsNoResultNameAndOpensTheViewer) {
  SetNames(Path("old.txt"), Path("new.txt"), QString());
  Button("CmdCompareView")->click();
  ASSERT_EQ(main_->LastResult().status, kStatusDone);
  ASSERT_EQ(main_->Viewers().size(), 1);
  const QString report = main_->Viewers()[0]->CurrentPage()->Path();
  EXPECT_TRUE(report.startsWith(QString::fromStdString(dir_.Path()))) << report.toStdString();
  EXPECT_NE(ReadFile(report.toStdString()).find("changed 10"), std::string::npos);
  EXPECT_TRUE(services_.messages.empty());
  EXPECT_EQ(Combo("ComboOld")->count(), 0);
  EXPECT_TRUE(Find<QLabel>("LabelRunStatus")
                  ->text()
                  .startsWith(QStringLiteral("相違あり（一致 2700　削除 300　追加 300　移動 0）")));
  // The same pair again replaces its report without asking; the start keeps its refusal.
  WriteFile(dir_.File("new.txt"), ReadFile(dir_.File("old.txt")));
  Button("CmdCompareView")->click();
  EXPECT_TRUE(services_.messages.empty());
  EXPECT_TRUE(Find<QLabel>("LabelRunStatus")->text().startsWith(QStringLiteral("相違なし")));
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().status, kStatusFailed);
}

TEST_F(CompareFromWindowTest, OverwriteDeclinedLeavesTheOldResult) {
  WriteFile(dir_.File("result.txt"), "earlier result\r\n");
  services_.answers = {MessageAnswer::kNo};
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().status, kStatusOverwriteDeclined);
  EXPECT_EQ(Result(), "earlier result\r\n");
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].title, "結果ファイルの上書きの確認");
  EXPECT_EQ(services_.messages[0].text,
            "比較結果を\n  " + Path("result.txt") + "\nに上書きしてよろしいですか？");
  EXPECT_EQ(Combo("ComboOld")->count(), 0);
  ExpectUnlocked();
}

TEST_F(CompareFromWindowTest, RefusalIsShownInAMessageBox) {
  // Another spelling of the old file (names differing in letter case are two files here).
  SetNames(Path("old.txt"), Path("./old.txt"), Path("result.txt"));
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().status, kStatusFailed);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].text, "旧ファイルと新ファイルが同じです。");
  EXPECT_EQ(services_.messages[0].title, "ファイル指定ミス");
  EXPECT_EQ(services_.messages[0].icon, MessageIcon::kExclamation);
  ExpectUnlocked();
}

TEST_F(CompareFromWindowTest, CancelConfirmedEndsTheRunCancelled) {
  services_.answers = {MessageAnswer::kYes};
  DuringRun([&] { Button("CmdCancel")->click(); });
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().status, kStatusCancelled);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].text, "比較処理を中止してよろしいですか？");
  EXPECT_EQ(services_.messages[0].title, "キャンセルの確認");
  ExpectUnlocked();
  EXPECT_TRUE(Result().empty());
}

TEST_F(CompareFromWindowTest, CancelDeclinedLetsTheRunComplete) {
  services_.answers = {MessageAnswer::kNo};
  DuringRun([&] { Button("CmdCancel")->click(); });
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().status, kStatusDone);
  EXPECT_EQ(services_.messages.size(), 1u);
  EXPECT_FALSE(Result().empty());
}

TEST_F(CompareFromWindowTest, CloseBoxDuringRunAsksAndClosesAfterTheRun) {
  main_->show();
  services_.answers = {MessageAnswer::kYes};
  bool visibleRightAfterClose = false;
  DuringRun([&] {
    main_->close();  // as the close box does
    visibleRightAfterClose = main_->isVisible();
  });
  Button("CmdStart")->click();
  EXPECT_TRUE(visibleRightAfterClose);  // the run ends before the window goes
  EXPECT_EQ(main_->LastResult().status, kStatusCancelled);
  EXPECT_EQ(services_.Titles(), QStringList{"キャンセルの確認"});
  EXPECT_FALSE(main_->isVisible());
  SettingsStore reread(StorePath());
  EXPECT_EQ(reread.Read("ComboOld0", ""), Path("old.txt"));  // saved at unload
}

TEST_F(CompareFromWindowTest, CloseBoxDuringRunAnsweredNoKeepsWindowAndRun) {
  main_->show();
  services_.answers = {MessageAnswer::kNo};
  DuringRun([&] { main_->close(); });
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().status, kStatusDone);
  EXPECT_TRUE(main_->isVisible());
  EXPECT_EQ(services_.Titles(), QStringList{"キャンセルの確認"});
}

TEST_F(CompareFromWindowTest, EditorGetsTheResultPathAsOneArgument) {
  WriteInputs(20);
  const QString result = Path("my result.txt");
  SetNames(Path("old.txt"), Path("new.txt"), result);
  Check("OptDispWithEditor")->setChecked(true);
  store_->Write("EditorSetting", "");  // the window keeps its own copy
  Button("CmdStart")->click();
  ASSERT_EQ(main_->LastResult().status, kStatusDone);
  ASSERT_EQ(services_.launches.size(), 1u);
  EXPECT_EQ(services_.launches[0], (QStringList{VERKO_UI_APP_DIR "verko", "--view", result}));
}

TEST_F(CompareFromWindowTest, BatchRunAsksNothingAndKeepsTheHistories) {
  WriteFile(dir_.File("result.txt"), "earlier result\r\n");
  CompareResult result =
      main_->RunBatchCompare(dir_.File("old.txt"), dir_.File("new.txt"), dir_.File("result.txt"));
  EXPECT_EQ(result.status, kStatusDone);
  EXPECT_TRUE(services_.messages.empty());
  EXPECT_EQ(Combo("ComboOld")->count(), 0);
  EXPECT_EQ(Combo("ComboResult")->currentText(), Path("result.txt"));
  EXPECT_NE(Result(), "earlier result\r\n");
  EXPECT_FALSE(Find<QWidget>("RateBar")->isVisibleTo(main_.get()));  // hidden at once
  EXPECT_FALSE(main_->InteractiveRunActive());

  CompareResult refused = main_->RunBatchCompare(dir_.File("old.txt"), "", dir_.File("result.txt"));
  EXPECT_EQ(refused.status, kStatusFailed);
  EXPECT_EQ(refused.message.text, "新ファイルが指定されていません。");
  EXPECT_TRUE(services_.messages.empty());
}

// The report of a comparison started from the window equals verko-cli's with the same
// options, apart from the date line.
TEST_F(CompareFromWindowTest, WindowWritesTheSameReportAsTheCommandLine) {
  Check("OptTrimTop")->setChecked(true);
  Check("OptDiffOnly")->setChecked(true);
  Edit("TextMatchLen")->setText("2");
  Check("OptSplit")->setChecked(true);
  Edit("TextSplitWidth")->setText("40");
  Button("CmdStart")->click();
  ASSERT_EQ(main_->LastResult().status, kStatusDone);

  QProcess cli;
  cli.start(
      QStringLiteral(VERKO_CLI_PATH),
      {"--trim-top", "--diff-only", "2", "--split", "40", "--quiet", "--work-dir",
       QString::fromStdString(dir_.Path()), Path("old.txt"), Path("new.txt"), Path("cli.txt")});
  ASSERT_TRUE(cli.waitForFinished(30000));
  EXPECT_EQ(cli.exitCode(), 1);
  auto withoutDate = [](const std::string& report) {
    const std::string dateLabel = ToCp932("比較日時");
    std::string out;
    std::size_t start = 0;
    while (start < report.size()) {
      std::size_t end = report.find('\n', start);
      if (end == std::string::npos) end = report.size() - 1;
      std::string line = report.substr(start, end - start + 1);
      if (line.compare(0, dateLabel.size(), dateLabel) != 0) out += line;
      start = end + 1;
    }
    return out;
  };
  const std::string window = withoutDate(Result());
  EXPECT_FALSE(window.empty());
  EXPECT_EQ(window, withoutDate(ReadFile(dir_.File("cli.txt"))));
}

// The encoding selector: stored beside the other options, CP932 by default, and used by the
// run; lines not valid in their encoding end the run with a warning.
TEST_F(CompareFromWindowTest, EncodingSelectorReadsUtf8FilesAndIsStored) {
  QComboBox* encoding = Combo("ComboEncoding");
  EXPECT_EQ(encoding->currentData().toString(), "auto");
  EXPECT_EQ(Items("ComboEncoding"),
            (QStringList{"CP932 (Shift_JIS)", "UTF-8", "EUC-JP", QStringLiteral("自動判別")}));
  WriteFile(dir_.File("old.txt"), "比較 🍣\r\nbad \xFF\r\n");
  WriteFile(dir_.File("new.txt"), "比較 🍣\r\nbad \xFF\r\nnew\r\n");
  for (const char* name : {"ComboEncoding", "ComboEncodingNew", "ComboEncodingReport"}) {
    Combo(name)->setCurrentIndex(encoding->findData("utf-8"));
  }
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().status, kStatusDone);
  EXPECT_NE(Result().find("       1        1    | 比較 🍣"), std::string::npos) << Result();
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].title, "文字コードの警告");
  EXPECT_TRUE(services_.messages[0].text.contains(QStringLiteral("旧ファイルの 1 行は UTF-8")))
      << services_.messages[0].text.toStdString();

  CloseAndReload();
  QSettings raw(StorePath(), QSettings::IniFormat);
  EXPECT_EQ(raw.value("Settings/Encoding").toString(), "utf-8");
  Open();
  EXPECT_EQ(Combo("ComboEncoding")->currentData().toString(), "utf-8");
  CloseAndReload();
  for (const char* key : {"Encoding", "NewEncoding", "ReportEncoding"}) {
    store_->Write(QLatin1String(key), QStringLiteral("klingon"));
  }
  Open();
  EXPECT_EQ(Combo("ComboEncoding")->currentData().toString(), "auto");

  // A run that recognised the encodings says so; the fold boxes count and are stored.
  WriteFile(dir_.File("old.txt"), "abc\r\nend\r\n");
  WriteFile(dir_.File("new.txt"), "ABC\r\nend\r\n");
  Check("OptCaseSensitive")->setChecked(true);
  SetNames(Path("old.txt"), Path("new.txt"), Path("folded.txt"));
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().counts.Differences(), 2);
  EXPECT_EQ(Find<QLabel>("LabelRunStatus")->text(),
            QStringLiteral("相違あり（一致 1　削除 1　追加 1　移動 0）　"
                           "文字コード: 旧ファイル CP932、新ファイル CP932"));
  CloseAndReload();
  EXPECT_EQ(QSettings(StorePath(), QSettings::IniFormat).value("Settings/OptCaseSensitive"), 1);
}

// Each file has its own encoding, stored, used by the start and by batch runs alike: a CP932
// old file against the same text in UTF-8 has no difference, and the report is UTF-8.
TEST_F(CompareFromWindowTest, EachFileIsReadInItsOwnEncoding) {
  WriteFile(dir_.File("old.txt"), ToCp932("条文の改正\r\n第二条\r\n"));
  WriteFile(dir_.File("new.txt"), "条文の改正\r\n第二条\r\n");
  const std::pair<const char*, const char*> choices[] = {
      {"ComboEncoding", "cp932"}, {"ComboEncodingNew", "utf-8"}, {"ComboEncodingReport", "utf-8"}};
  for (const auto& [name, value] : choices) {
    Combo(name)->setCurrentIndex(Combo(name)->findData(value));
  }
  Button("CmdStart")->click();
  EXPECT_EQ(main_->LastResult().counts.Differences(), 0);
  EXPECT_NE(Result().find("条文の改正"), std::string::npos);
  EXPECT_EQ(main_->RunBatchCompare(dir_.File("old.txt"), dir_.File("new.txt"), dir_.File("b.txt"))
                .counts.Differences(),
            0);
  CloseAndReload();
  Open();
  for (const auto& [name, value] : choices) {
    EXPECT_EQ(Combo(name)->currentData().toString(), value) << name;
  }
}

// The format selector: stored beside the other options and used by the run; the JSON
// result parses and holds the report's statistics and every line of the full listing.
TEST_F(CompareFromWindowTest, FormatSelectorWritesJsonWithTheReportsStatistics) {
  QComboBox* format = Combo("ComboFormat");
  EXPECT_EQ(format->currentData().toString(), "report");
  Button("CmdStart")->click();
  ASSERT_EQ(main_->LastResult().status, kStatusDone);
  const ReportCounts report = main_->LastResult().counts;

  format->setCurrentIndex(format->findData("json"));
  SetNames(Path("old.txt"), Path("new.txt"), Path("result.json"));
  Button("CmdStart")->click();
  ASSERT_EQ(main_->LastResult().status, kStatusDone);
  QJsonParseError error;
  const QJsonDocument json = QJsonDocument::fromJson(
      QByteArray::fromStdString(ReadFile(dir_.File("result.json"))), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  const QJsonObject stats = json["statistics"].toObject();
  const std::pair<const char*, int> counts[] = {{"common", report.CountCommon},
                                                {"deleted", report.CountDeleted},
                                                {"added", report.CountAdded},
                                                {"moved", report.CountMoved}};
  for (const auto& [kind, lines] : counts) {
    EXPECT_EQ(stats[kind]["lines"].toInt(), lines) << kind;
  }
  EXPECT_EQ(stats["common"]["words"].toInt(), report.WordsCommon);
  EXPECT_EQ(json["lines"].toArray().size(), report.Lines() + report.CountMoved);

  CloseAndReload();
  QSettings raw(StorePath(), QSettings::IniFormat);
  EXPECT_EQ(raw.value("Settings/ResultFormat").toString(), "json");
  Open();
  EXPECT_EQ(Combo("ComboFormat")->currentData().toString(), "json");
}

}  // namespace
}  // namespace verko::testing
