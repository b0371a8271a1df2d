// The batch window opened from the main window over a batch-list database of the test: the
// list commands, the grid, the count line and the buttons it enables, the closing rules, and
// a list built from two folders that runs end to end.
#include <QAbstractItemDelegate>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QStringList>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "batch/batch_list_store.h"
#include "batch/window/verko_batch.h"
#include "tests/core/batch_test_support.h"
#include "tests/ui/window_fixture.h"
#include "ui/shared/field_values.h"
#include "ui/viewer/report_viewer.h"

namespace verko::testing {
namespace {

class BatchWindowTest : public WindowTest {
 protected:
  BatchWindowTest() : dbPath_(dir_.File("VerkoBatchList.mdb")) {
    test_support::MakeBatchListDb(dbPath_);
  }

  VerkoBatch& OpenBatch() {
    OpenForRuns();
    main_->SetBatchListDbPath(QString::fromStdString(dbPath_));
    Button("CmdBatch")->click();
    batch_ = main_->BatchWindow();
    EXPECT_NE(batch_, nullptr);
    return *batch_;
  }

  template <typename Widget>
  Widget* B(const char* name) {
    Widget* widget = batch_->findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QPushButton* BButton(const char* name) { return B<QPushButton>(name); }
  QLineEdit* BEdit(const char* name) { return B<QLineEdit>(name); }
  QString CountLine() { return B<QLabel>("LabelInfo")->text(); }
  QTableView* Grid() { return B<QTableView>("DBGrid1"); }
  QString Cell(int row, int column) {
    return Grid()->model()->index(row, column).data().toString();
  }
  // The pairs stored for a list, as "old|new|result".
  QStringList StoredPairs(int32_t batchId) {
    std::unique_ptr<BatchListStore> store;
    Status opened = Status::Ok();
    store = BatchListStore::Open(dbPath_, &opened);
    EXPECT_TRUE(opened.ok()) << opened.reason();
    std::vector<PairRow> rows;
    EXPECT_TRUE(store->ReadPairs(batchId, &rows).ok());
    QStringList pairs;
    for (const PairRow& row : rows) {
      pairs.append(QString::fromStdString(row.oldFile + "|" + row.newFile + "|" + row.resultFile));
    }
    return pairs;
  }

  // Chooses files of `folder` with the select command of one side.
  void Select(const char* command, const std::string& folder, const QStringList& names) {
    QStringList paths;
    for (const QString& name : names) paths.append(QString::fromStdString(folder) + name);
    services_.chosenFileLists.push_back(paths);
    BButton(command)->click();
  }

  void ChooseMethod(const char* combo, int index) {
    QComboBox* box = B<QComboBox>(combo);
    box->setCurrentIndex(index);
    emit box->activated(index);
  }

  // Runs `action` on the list chooser once it is shown modally.
  void WhenChooserShown(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(batch_);
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog || dialog->objectName() != "VerkoSelectBatch") return;
      timer->stop();
      timer->deleteLater();
      action(dialog);
    });
    timer->start();
  }

  // Opens the batch window on a list of two pairs of `lines`-line files of the test's folder
  // (old.txt against new.txt into r0.txt and r1.txt).
  void OpenWithTwoPairs(int lines) {
    WriteInputs(lines);
    OpenBatch();
    Select("CmdOldSelect", dir_.Path(), {"old.txt", "old.txt"});
    for (int row = 0; row < 2; ++row) {
      batch_->Session().SetPairName(row, PairField::kNewFile, "new.txt");
      batch_->Session().SetPairName(row, PairField::kResultFile,
                                    "r" + std::to_string(row) + ".txt");
    }
    BEdit("TxtNewPath")->setText(QString::fromStdString(dir_.Path()));
    BEdit("TxtResultPath")->setText(QString::fromStdString(dir_.Path()));
  }

  std::string dbPath_;
  VerkoBatch* batch_ = nullptr;
};

TEST_F(BatchWindowTest, OpensOnTheDefaultListWithItsControls) {
  OpenBatch();
  EXPECT_TRUE(batch_->isVisible());
  EXPECT_EQ(batch_->windowTitle(), "Verko ドルパキネッセル");
  EXPECT_EQ(BEdit("TxtBatchName")->text(), "既定のリスト");
  EXPECT_TRUE(BEdit("TxtBatchName")->isReadOnly());
  EXPECT_FALSE(BButton("CmdBatchRename")->isEnabled());
  EXPECT_FALSE(BButton("CmdBatchDelete")->isEnabled());
  EXPECT_EQ(CountLine(), "ペア 0　未ペア・未定 0");
  for (const char* name : {"CmdOldAuto", "CmdNewAuto", "CmdOldEach", "CmdNewEach", "CmdCancel"}) {
    EXPECT_FALSE(BButton(name)->isEnabled()) << name;
  }
  EXPECT_FALSE(B<QCheckBox>("OptCompactDB")->isChecked());

  struct {
    const char* name;
    const char* caption;
    const char* toolTip;
  } const kButtons[] = {
      {"CmdOldSelect", "選択(&J)", "旧ファイルを選択（複数可）"},
      {"CmdOldAuto", "自動(&K)", "対応する「旧ファイル」を自動的に選択"},
      {"CmdOldEach", "個別(&L)", "対応する「旧ファイル」を個別に指定"},
      {"CmdNewSelect", "選択(&T)", "新ファイルを選択（複数可）"},
      {"CmdNewAuto", "自動(&Y)", "対応する「新ファイル」を自動的に選択"},
      {"CmdNewEach", "個別(&U)", "対応する「新ファイル」を個別に指定"},
      {"CmdResultPath", "フォルダ選択(&F)", "結果ファイルを格納するフォルダを選択"},
      {"Command1", "ｶｳﾝﾄ更新", "ｶｳﾝﾄ情報やﾎﾞﾀﾝの有効/無効が不適切な時にｸﾘｯｸ"},
      {"CmdDeleteRow", "行削除", "現在選択されているファイルペア行を削除"},
      {"CmdClearContent", "クリア", "現在のバッチリストの内容をクリア"},
      {"CmdBatchNew", "新規(&N)", "新しいバッチリストを作成"},
      {"CmdBatchDelete", "削除(&D)", "現在のバッチリストを削除"},
      {"CmdBatchRename", "改名(&M)", "現在のバッチリストの名前を変更"},
      {"CmdBatchSelect", "選択(&C)", "バッチリストを選択"},
      {"CmdGenResultName", "適用(&P)", "結果ファイル名を生成"},
      {"CmdBatchExecute", "バッチ実行開始(&G)", "現在のバッチリストに基づいて連続比較処理を開始"},
      {"CmdCancel", "ｷｬﾝｾﾙ(Esc)", "バッチリストの実行を中断"},
      {"CmdHelp", "ヘルプ(&H)", "ヘルプを表示"},
      {"CmdClose", "閉じる(&X)", "ドルパキネッセルを閉じる"},
  };
  for (const auto& b : kButtons) {
    EXPECT_EQ(BButton(b.name)->text(), b.caption) << b.name;
    EXPECT_EQ(BButton(b.name)->toolTip(), b.toolTip) << b.name;
  }
  EXPECT_EQ(B<QGroupBox>("FrameFolders")->title(), "処理対象のフォルダ");
  EXPECT_EQ(B<QGroupBox>("FrameBatchList")->title(), "バッチ処理するファイルのリスト");
  EXPECT_EQ(B<QGroupBox>("FramePairing")->title(), "新旧ファイルの対応づけ");
  EXPECT_EQ(B<QGroupBox>("FrameResultName")->title(), "結果ファイル名の設定");
  EXPECT_EQ(B<QCheckBox>("OptCompactDB")->text(), "終了時にDBを圧縮");
  EXPECT_EQ(B<QLabel>("LabelInfo")->toolTip(), "カウント情報 - 更新するにはクリック");

  const int width = TwipsToPixels(2200, batch_->logicalDpiX());
  QStringList captions;
  for (int column = 0; column < 3; ++column) {
    captions.append(Grid()->model()->headerData(column, Qt::Horizontal).toString());
    EXPECT_EQ(Grid()->columnWidth(column), width);
  }
  EXPECT_EQ(captions, (QStringList{"旧ファイル", "新ファイル", "結果ファイル"}));
}

TEST_F(BatchWindowTest, MethodChoicesShowAndPresetTheirFields) {
  OpenBatch();
  ChooseMethod("ComboPairing", 2);
  EXPECT_TRUE(BEdit("TxtPairingFname")->isVisibleTo(batch_));
  EXPECT_TRUE(BEdit("TxtPairingFname")->isReadOnly());
  EXPECT_EQ(BEdit("TxtPairingFname")->text(), "(同じﾌｧｲﾙ名)");
  EXPECT_EQ(BEdit("TxtPairingExt")->text(), "*");
  EXPECT_FALSE(BEdit("TxtPairingFname2")->isVisibleTo(batch_));
  EXPECT_TRUE(B<QLabel>("LabelPairing1")->isVisibleTo(batch_));
  ChooseMethod("ComboPairing", 3);
  EXPECT_FALSE(BEdit("TxtPairingFname")->isReadOnly());
  EXPECT_EQ(BEdit("TxtPairingFname")->text(), "");
  EXPECT_TRUE(BEdit("TxtPairingExt2")->isVisibleTo(batch_));
  EXPECT_TRUE(B<QLabel>("LabelPairing2")->isVisibleTo(batch_));
  BEdit("TxtPairingFname")->setText("*_a");
  EXPECT_EQ(batch_->Session().Settings().pairingFname, "*_a");

  ChooseMethod("ComboResultName", 5);
  EXPECT_EQ(BEdit("TxtResultFname")->text(), "Result##");
  EXPECT_EQ(BEdit("TxtResultExt")->text(), "vk");
  EXPECT_TRUE(BEdit("TxtInitNo")->isVisibleTo(batch_));
  ChooseMethod("ComboResultName", 0);
  EXPECT_FALSE(BEdit("TxtResultFname")->isVisibleTo(batch_));
  EXPECT_EQ(BEdit("TxtResultFname")->text(), "");
}

TEST_F(BatchWindowTest, NewRenameSelectAndDeleteLists) {
  OpenBatch();
  BEdit("TxtOldPath")->setText("/kept/");
  // New: 新規1 is proposed; the name of an existing list is refused and asked again.
  services_.texts = {QString("新規1")};
  BButton("CmdBatchNew")->click();
  services_.texts = {QString("既定のリスト"), QString("報告書")};
  BButton("CmdBatchNew")->click();
  services_.texts = {std::nullopt};
  BButton("CmdBatchNew")->click();
  ASSERT_EQ(services_.askedTexts.size(), 1u + 2u + 1u);
  EXPECT_EQ(services_.askedTexts[0].defaultText, "新規1");
  EXPECT_EQ(services_.askedTexts[0].title, "新規バッチリスト");
  EXPECT_EQ(services_.askedTexts[0].prompt, "新しいバッチリストの名前を入力してください。");
  EXPECT_EQ(services_.askedTexts[1].defaultText, "新規2");
  EXPECT_EQ(services_.askedTexts[2].defaultText, "既定のリスト");
  EXPECT_EQ(services_.Titles(), QStringList{"名前が重複"});
  EXPECT_EQ(services_.messages[0].text,
            "「既定のリスト」という名前は既に使われています。別の名前を指定してください。");
  EXPECT_EQ(services_.askedTexts[3].defaultText, "新規2");  // the cancelled proposal
  EXPECT_EQ(BEdit("TxtBatchName")->text(), "報告書");
  EXPECT_EQ(BEdit("TxtOldPath")->text(), "");  // a new list starts empty
  EXPECT_TRUE(BButton("CmdBatchRename")->isEnabled());

  // Rename: the current name is refused as a duplicate.
  services_.texts = {QString("報告書"), QString("月報")};
  BButton("CmdBatchRename")->click();
  EXPECT_EQ(services_.askedTexts.back().title, "バッチリストの改名");
  EXPECT_EQ(BEdit("TxtBatchName")->text(), "月報");

  // Select: no choice is refused; choosing the default list shows it and its stored folder.
  const int32_t reportId = batch_->Session().CurrentBatchID();
  WhenChooserShown([&](QWidget* dialog) {
    auto* list = dialog->findChild<QListWidget*>("ListBatchName");
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names.append(list->item(i)->text());
    EXPECT_EQ(names, (QStringList{"既定のリスト", "新規1", "月報"}));
    dialog->findChild<QPushButton*>("Command1")->click();
    list->setCurrentRow(0);
    dialog->findChild<QPushButton*>("Command1")->click();
  });
  BButton("CmdBatchSelect")->click();
  EXPECT_EQ(services_.Titles().back(), "バッチリストが選択されていません");
  EXPECT_EQ(BEdit("TxtBatchName")->text(), "既定のリスト");
  EXPECT_EQ(BEdit("TxtOldPath")->text(), "/kept/");  // stored when the first list was made

  // Delete: a list with pairs goes with them, list 1 is shown and compaction is checked.
  WhenChooserShown([](QWidget* dialog) {
    dialog->findChild<QListWidget*>("ListBatchName")->setCurrentRow(2);
    dialog->findChild<QPushButton*>("Command1")->click();
  });
  BButton("CmdBatchSelect")->click();
  Select("CmdOldSelect", "/o/", {"a.txt"});
  ASSERT_EQ(StoredPairs(reportId).size(), 1);
  services_.answers = {MessageAnswer::kOk};
  BButton("CmdBatchDelete")->click();
  EXPECT_EQ(services_.messages.back().text, "現在のバッチリスト「月報」を削除してよろしいですか？");
  EXPECT_EQ(services_.messages.back().buttons, MessageButtons::kOkCancel);
  EXPECT_EQ(BEdit("TxtBatchName")->text(), "既定のリスト");
  EXPECT_TRUE(B<QCheckBox>("OptCompactDB")->isChecked());
  EXPECT_TRUE(StoredPairs(reportId).isEmpty());
}

TEST_F(BatchWindowTest, CountLineAndPairingButtonsFollowTheRows) {
  OpenBatch();
  Select("CmdOldSelect", "/o/", {"b.txt", "a.txt"});
  EXPECT_EQ(BEdit("TxtOldPath")->text(), "/o/");
  EXPECT_EQ(Cell(0, 0), "a.txt");  // sorted by the old file
  EXPECT_EQ(Cell(0, 1), "《未ペア》");
  EXPECT_EQ(Cell(0, 2), "《未定》");
  EXPECT_EQ(CountLine(), "ペア 0　未ペア・未定 2");
  EXPECT_TRUE(BButton("CmdNewAuto")->isEnabled());
  EXPECT_FALSE(BButton("CmdOldAuto")->isEnabled());
  EXPECT_TRUE(BButton("CmdOldEach")->isEnabled());
  EXPECT_TRUE(BButton("CmdNewEach")->isEnabled());

  Select("CmdNewSelect", "/n/", {"c.txt"});
  EXPECT_EQ(CountLine(), "ペア 0　未ペア・未定 3");
  EXPECT_TRUE(BButton("CmdOldAuto")->isEnabled());

  // Individual pairing and a typed name change the row at once, the count only when asked.
  Grid()->setCurrentIndex(Grid()->model()->index(1, 0));  // b.txt
  services_.chosenFiles = {"/n/b2.txt"};
  BButton("CmdNewEach")->click();
  EXPECT_EQ(Cell(1, 1), "b2.txt");
  EXPECT_TRUE(Grid()->model()->setData(Grid()->model()->index(1, 2), "b.vk"));
  EXPECT_EQ(CountLine(), "ペア 0　未ペア・未定 3");
  QMouseEvent click(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                    Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(B<QLabel>("LabelInfo"), &click);
  EXPECT_EQ(CountLine(), "ペア 1　未ペア・未定 2");

  // Deleting the bottom row leaves no row current: the individual commands are disabled.
  const int last = Grid()->model()->rowCount() - 1;
  Grid()->setCurrentIndex(Grid()->model()->index(last, 0));
  services_.answers = {MessageAnswer::kOk};
  BButton("CmdDeleteRow")->click();
  EXPECT_EQ(services_.messages.back().text,
            "ファイルペア：\n   《未ペア》 - c.txt - 《未定》\nを削除してよろしいですか？");
  EXPECT_EQ(Grid()->model()->rowCount(), 2);
  EXPECT_EQ(CountLine(), "ペア 1　未ペア・未定 1");
  EXPECT_FALSE(BButton("CmdOldEach")->isEnabled());
  EXPECT_TRUE(B<QCheckBox>("OptCompactDB")->isChecked());

  // Clear: No keeps the rows, Yes removes them.
  BButton("CmdClearContent")->click();
  EXPECT_EQ(Grid()->model()->rowCount(), 2);
  services_.answers = {MessageAnswer::kYes};
  BButton("CmdClearContent")->click();
  EXPECT_EQ(Grid()->model()->rowCount(), 0);
  EXPECT_EQ(CountLine(), "ペア 0　未ペア・未定 0");
  EXPECT_FALSE(BButton("CmdNewAuto")->isEnabled());
  BButton("CmdClearContent")->click();
  EXPECT_EQ(services_.Titles().back(), "クリアする必要なし");
}

// Watches the grid's model as a view relies on it: the row count changes only between the
// begin and end of a reset, an insertion or a removal, and every row a change signal names
// exists. Each breach is recorded with what happened.
class ModelProtocolWatcher {
 public:
  explicit ModelProtocolWatcher(QAbstractItemModel& model)
      : model_(model), known_(model.rowCount()) {
    auto begin = [this](const char* what) {
      if (model_.rowCount() != known_)
        faults_ << QStringLiteral("rows changed before %1").arg(what);
      inChange_ = true;
    };
    auto end = [this] {
      inChange_ = false;
      known_ = model_.rowCount();
    };
    QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, [=] { begin("a reset"); });
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeInserted,
                     [=] { begin("an insertion"); });
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved,
                     [=] { begin("a removal"); });
    QObject::connect(&model, &QAbstractItemModel::modelReset, end);
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, end);
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, end);
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [this](const QModelIndex& from, const QModelIndex& to) {
                       Check();
                       if (from.row() < 0 || to.row() >= model_.rowCount()) {
                         faults_ << QStringLiteral("change signal for a missing row");
                       }
                     });
  }
  // Records a row count that changed without any signal.
  void Check() {
    if (!inChange_ && model_.rowCount() != known_) {
      faults_ << QStringLiteral("rows changed without a signal");
      known_ = model_.rowCount();
    }
  }
  const QStringList& Faults() {
    Check();
    return faults_;
  }

 private:
  QAbstractItemModel& model_;
  int known_;
  bool inChange_ = false;
  QStringList faults_;
};

TEST_F(BatchWindowTest, GridRowsChangeOnlyBetweenTheModelsSignals) {
  OpenBatch();
  ModelProtocolWatcher watcher(*Grid()->model());
  Select("CmdOldSelect", "/o/", {"b.txt", "a.txt"});
  watcher.Check();
  Select("CmdNewSelect", "/n/", {"a.txt", "c.txt"});
  watcher.Check();
  EXPECT_EQ(Grid()->model()->rowCount(), 4);
  Grid()->setCurrentIndex(Grid()->model()->index(0, 0));
  services_.answers = {MessageAnswer::kOk};
  BButton("CmdDeleteRow")->click();
  watcher.Check();
  EXPECT_EQ(Grid()->model()->rowCount(), 3);
  services_.answers = {MessageAnswer::kYes};
  BButton("CmdClearContent")->click();
  EXPECT_EQ(Grid()->model()->rowCount(), 0);
  EXPECT_EQ(watcher.Faults(), QStringList());
}

TEST_F(BatchWindowTest, ResultNameTypedIntoTheGridReachesTheDatabase) {
  OpenBatch();
  Select("CmdOldSelect", "/o/", {"a.txt", "b.txt"});
  const QModelIndex cell = Grid()->model()->index(1, 2);
  for (int column = 0; column < 3; ++column) {  // every cell may be typed into
    EXPECT_TRUE(Grid()->model()->flags(Grid()->model()->index(1, column)) & Qt::ItemIsEditable);
  }
  Grid()->setCurrentIndex(cell);
  Grid()->edit(cell);
  auto* editor = Grid()->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("手入力.vk");
  emit Grid()->itemDelegate()->commitData(editor);
  EXPECT_EQ(Cell(1, 2), "手入力.vk");
  EXPECT_EQ(StoredPairs(1),
            (QStringList{"a.txt|《未ペア》|《未定》", "b.txt|《未ペア》|手入力.vk"}));
  // An emptied cell is not stored.
  EXPECT_FALSE(Grid()->model()->setData(cell, QString()));
  EXPECT_EQ(StoredPairs(1)[1], "b.txt|《未ペア》|手入力.vk");
}

TEST_F(BatchWindowTest, EveryCellTakesATypedNameButNotAnEmptyOne) {
  OpenBatch();
  Select("CmdOldSelect", "/o/", {"a.txt", "b.txt"});
  batch_->show();
  QApplication::setActiveWindow(batch_);
  struct {
    int column;
    const char* typed;  // "" empties the cell
    const char* stored;
    Qt::Key leave;  // Tab and Shift+Tab leave the grid
  } const kCases[] = {
      {0, "a0.txt", "a0.txt|《未ペア》|《未定》", Qt::Key_Return},
      {1, "new.txt", "a0.txt|new.txt|《未定》", Qt::Key_Tab},
      {2, "r.vk", "a0.txt|new.txt|r.vk", Qt::Key_Backtab},
      {1, "", "a0.txt|new.txt|r.vk", Qt::Key_Return},
  };
  for (const auto& c : kCases) {
    const QModelIndex cell = Grid()->model()->index(0, c.column);
    Grid()->setFocus();
    Grid()->setCurrentIndex(cell);
    QTest::keyClick(Grid(), Qt::Key_F2);  // edit the cell
    auto* editor = Grid()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << c.column;
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClicks(editor, c.typed);
    QTest::keyClick(editor, c.leave);  // the grid takes the name from the editor
    QApplication::processEvents();
    EXPECT_EQ(Grid()->hasFocus(), c.leave == Qt::Key_Return) << c.column;
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the closed editor
    EXPECT_EQ(StoredPairs(1)[0], QString::fromUtf8(c.stored)) << c.column << " " << c.typed;
    EXPECT_EQ(Cell(0, 0) + "|" + Cell(0, 1) + "|" + Cell(0, 2), QString::fromUtf8(c.stored));
  }
}

TEST_F(BatchWindowTest, TabLeavesTheGridAndTheCloseShortcutKeepsTheTypedName) {
  OpenBatch();
  Select("CmdOldSelect", "/o/", {"a.txt"});
  batch_->show();
  QApplication::setActiveWindow(batch_);
  Grid()->setFocus();
  QTest::keyClick(Grid(), Qt::Key_Tab);
  EXPECT_FALSE(Grid()->hasFocus());
  Grid()->setFocus();
  QTest::keyClick(Grid(), Qt::Key_F2);
  qobject_cast<QLineEdit*>(QApplication::focusWidget())->setText("n.txt");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::AltModifier);  // 閉じる(&X)
  WaitFor([&] { return main_->BatchWindow() == nullptr; }, 2000);
  EXPECT_EQ(StoredPairs(1), QStringList{"n.txt|《未ペア》|《未定》"});
}

TEST_F(BatchWindowTest, InvalidNumberInTheMainWindowRefusesTheRunBeforeTheFirstPair) {
  WriteInputs(20);
  OpenBatch();
  Select("CmdOldSelect", dir_.Path(), {"old.txt"});
  batch_->Session().SetPairName(0, PairField::kNewFile, "new.txt");
  batch_->Session().SetPairName(0, PairField::kResultFile, "r.txt");
  BEdit("TxtNewPath")->setText(QString::fromStdString(dir_.Path()));
  BEdit("TxtResultPath")->setText(QString::fromStdString(dir_.Path()));
  struct {
    const char* option;
    const char* field;
    const char* text;
    const char* title;
  } const kCases[] = {
      {"OptSplit", "TextSplitWidth", "19", "分割するバイト数が無効"},
      {"OptDiffOnly", "TextMatchLen", "abc", "一致行の行数が無効"},
  };
  for (const auto& c : kCases) {
    services_.messages.clear();
    Check("OptSplit")->setChecked(false);
    Check("OptDiffOnly")->setChecked(false);
    Check(c.option)->setChecked(true);
    Edit(c.field)->setText(c.text);
    services_.answers = {MessageAnswer::kYes};
    BButton("CmdBatchExecute")->click();
    // The field's own message, and nothing asked or compared after it.
    EXPECT_EQ(services_.Titles(), QStringList{c.title}) << c.field;
    EXPECT_FALSE(std::filesystem::exists(dir_.File("r.txt"))) << c.field;
    EXPECT_TRUE(BButton("CmdBatchExecute")->isEnabled());
  }
  // A valid number runs the list.
  Edit("TextMatchLen")->setText("2");
  services_.messages.clear();
  services_.answers = {MessageAnswer::kYes};
  BButton("CmdBatchExecute")->click();
  EXPECT_EQ(services_.Titles(), (QStringList{"バッチ処理の確認", "バッチ処理完了"}));
  EXPECT_FALSE(ReadFile(dir_.File("r.txt")).empty());
}

TEST_F(BatchWindowTest, ListBuiltFromTwoFoldersRunsEndToEnd) {
  namespace fs = std::filesystem;
  const std::string oldDir = dir_.File("旧版") + "/", newDir = dir_.File("新版") + "/",
                    resultDir = dir_.File("結果") + "/";
  for (const std::string& folder : {oldDir, newDir, resultDir}) fs::create_directory(folder);
  const QStringList names = {"仕様書.txt", "議事録.txt", "readme.txt"};
  for (const QString& name : names) {
    WriteFile(oldDir + name.toStdString(), "一行目\r\n二行目\r\n");
    WriteFile(newDir + name.toStdString(),
              name == "readme.txt" ? "一行目\r\n二行目\r\n" : "一行目\r\n変更した行\r\n");
  }
  OpenBatch();
  Select("CmdOldSelect", oldDir, names);
  ChooseMethod("ComboPairing", 1);
  services_.chosenFolders = {QString::fromStdString(newDir)};
  BButton("CmdNewAuto")->click();
  services_.chosenFolders = {QString::fromStdString(resultDir)};
  BButton("CmdResultPath")->click();
  EXPECT_EQ(BEdit("TxtResultPath")->text(), QString::fromStdString(resultDir));
  ChooseMethod("ComboResultName", 5);
  BButton("CmdGenResultName")->click();
  EXPECT_EQ(CountLine(), "ペア 3　未ペア・未定 0");
  EXPECT_EQ(Cell(0, 2), "Result01.vk");

  bool startEnabledDuringRun = true, framesShownDuringRun = true;
  DuringRun([&] {
    startEnabledDuringRun = Button("CmdStart")->isEnabled();
    framesShownDuringRun = B<QGroupBox>("FrameBatchList")->isVisible();
  });
  services_.answers = {MessageAnswer::kYes};
  BButton("CmdBatchExecute")->click();
  EXPECT_EQ(services_.Titles().back(), "バッチ処理完了");
  EXPECT_EQ(services_.messages.back().text,
            "バッチ処理が完了しました。\n処理したファイルペア数： 3");
  for (const char* result : {"Result01.vk", "Result02.vk", "Result03.vk"}) {
    EXPECT_FALSE(ReadFile(resultDir + result).empty()) << result;
  }
  EXPECT_FALSE(startEnabledDuringRun);
  EXPECT_FALSE(framesShownDuringRun);
  EXPECT_TRUE(Button("CmdStart")->isEnabled());
  EXPECT_TRUE(B<QGroupBox>("FrameBatchList")->isVisible());
  EXPECT_EQ(Combo("ComboOld")->currentText(), "");
  EXPECT_EQ(Combo("ComboOld")->count(), 0);  // histories untouched
  // Each row tells how its pair ended; a double click opens its report in the viewer.
  EXPECT_EQ(Cell(0, 3), "相違なし");
  EXPECT_EQ(Cell(1, 3), "相違あり（一致 1　削除 1　追加 1　移動 0）");
  const QModelIndex finished = Grid()->model()->index(1, 0);
  emit Grid()->doubleClicked(finished);
  ASSERT_EQ(main_->Viewers().size(), 1);
  EXPECT_EQ(main_->Viewers()[0]->CurrentPage()->Path(),
            QString::fromStdString(resultDir + "Result02.vk"));

  // The list and its settings are stored when the main window closes the batch window.
  const int32_t shown = batch_->Session().CurrentBatchID();
  CloseAndReload();
  EXPECT_EQ(store_->Read("BatchID", ""), QString::number(shown));
  std::unique_ptr<BatchListStore> store;
  Status opened = Status::Ok();
  store = BatchListStore::Open(dbPath_, &opened);
  ASSERT_TRUE(opened.ok()) << opened.reason();
  std::optional<BatchListSettings> settings;
  ASSERT_TRUE(store->LoadSettings(shown, &settings).ok());
  EXPECT_EQ(settings->resultPath, resultDir);
  EXPECT_EQ(settings->resultMethod, 5);
}

TEST_F(BatchWindowTest, AutoPairingTakesUpRowsOfFilesChosenOnBothSides) {
  namespace fs = std::filesystem;
  const std::string oldDir = dir_.File("old") + "/", newDir = dir_.File("new") + "/";
  for (const std::string& folder : {oldDir, newDir}) {
    fs::create_directory(folder);
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteFile(folder + name, "x\r\n");
  }
  OpenBatch();
  Select("CmdOldSelect", oldDir, {"a.txt", "b.txt"});
  Select("CmdNewSelect", newDir, {"b.txt", "c.txt"});
  ChooseMethod("ComboPairing", 1);
  services_.chosenFolders = {QString::fromStdString(newDir)};
  BButton("CmdNewAuto")->click();
  EXPECT_EQ(StoredPairs(1), (QStringList{"a.txt|a.txt|《未定》", "b.txt|b.txt|《未定》",
                                         "《未ペア》|c.txt|《未定》"}));
  EXPECT_EQ(Grid()->model()->rowCount(), 3);
  EXPECT_EQ(CountLine(), "ペア 0　未ペア・未定 3");
}

// Every text the window shows (captions, tool tips, list items, headers, the titles and
// filters of its file dialogs) is ASCII or Japanese: a UTF-8 literal read as Latin-1 shows
// as "ã" followed by control characters.
TEST_F(BatchWindowTest, VisibleTextsAreNeverMojibake) {
  OpenBatch();
  Select("CmdOldSelect", "/o/", {"a.txt"});
  QStringList texts = {batch_->windowTitle()};
  for (QWidget* widget : batch_->findChildren<QWidget*>()) {
    texts << widget->toolTip();
    if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget)) texts << box->title();
    if (auto* field = qobject_cast<QLineEdit*>(widget)) texts << field->placeholderText();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    }
  }
  for (int column = 0; column < Grid()->model()->columnCount(); ++column) {
    texts << Grid()->model()->headerData(column, Qt::Horizontal).toString();
  }
  for (const FileDialogRequest& request : services_.fileRequests) {
    texts << request.title << request.filter;
  }
  for (const QString& text : texts) {
    for (const QChar c : text) {
      const char16_t code = c.unicode();
      const bool ascii = (code >= 0x20 && code < 0x7F) || code == '\n';
      const bool japanese = (code >= 0x2010 && code <= 0x27BF) ||  // punctuation, arrows
                            (code >= 0x3000 && code <= 0x30FF) ||  // kana, CJK punctuation
                            (code >= 0x4E00 && code <= 0x9FFF) ||  // kanji
                            (code >= 0xFF01 && code <= 0xFF9F);    // full and half width
      EXPECT_TRUE(ascii || japanese) << text.toStdString() << " U+" << std::hex << int(code);
    }
  }
}

TEST_F(BatchWindowTest, CloseBoxDuringRunAsksToCancelAndKeepsTheWindow) {
  OpenWithTwoPairs(200);
  DuringRun([&] { batch_->close(); });
  services_.answers = {MessageAnswer::kYes, MessageAnswer::kYes};  // run, then cancel
  BButton("CmdBatchExecute")->click();
  EXPECT_EQ(services_.Titles(), (QStringList{"バッチ処理の確認", "キャンセルの確認"}));
  EXPECT_TRUE(batch_->isVisible());
  EXPECT_FALSE(ReadFile(dir_.File("r0.txt")).empty());
  EXPECT_FALSE(std::filesystem::exists(dir_.File("r1.txt")));
  EXPECT_FALSE(BButton("CmdCancel")->isEnabled());
  EXPECT_TRUE(BButton("CmdClose")->isEnabled());
}

TEST_F(BatchWindowTest, MainWindowClosingBetweenPairsStopsTheRunAndUnloadsTheBatchWindow) {
  OpenWithTwoPairs(50);
  QPointer<VerkoBatch> batch(batch_);
  auto* timer = new QTimer(main_.get());
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, timer, [&, timer] {
    if (!batch || !batch->Session().BatchRunning() || main_->CompareRunning()) return;
    timer->stop();
    main_->close();
  });
  timer->start();
  services_.answers = {MessageAnswer::kYes};
  BButton("CmdBatchExecute")->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(batch.isNull());
  EXPECT_FALSE(main_->isVisible());
  EXPECT_FALSE(ReadFile(dir_.File("r0.txt")).empty());
  EXPECT_FALSE(std::filesystem::exists(dir_.File("r1.txt")));
  EXPECT_EQ(store_->Read("BatchID", ""), "1");
}

TEST_F(BatchWindowTest, MainWindowClosedDuringAPairEndsTheRunWithoutAnotherQuestion) {
  OpenWithTwoPairs(300);
  QPointer<VerkoBatch> batch(batch_);
  DuringRun([&] { main_->close(); });                              // the close box
  services_.answers = {MessageAnswer::kYes, MessageAnswer::kYes};  // run; cancel the pair
  BButton("CmdBatchExecute")->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(services_.Titles(), (QStringList{"バッチ処理の確認", "キャンセルの確認"}));
  EXPECT_TRUE(batch.isNull());
  EXPECT_FALSE(main_->isVisible());
  EXPECT_FALSE(std::filesystem::exists(dir_.File("r1.txt")));
}

TEST_F(BatchWindowTest, BatchButtonBringsBackTheOpenWindowAndCloseUnloadsIt) {
  OpenBatch();
  Button("CmdBatch")->click();
  EXPECT_EQ(main_->BatchWindow(), batch_);
  services_.texts = {QString("二番目")};
  BButton("CmdBatchNew")->click();
  BButton("CmdClose")->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(main_->BatchWindow(), nullptr);
  EXPECT_EQ(store_->Read("BatchID", ""), "2");
  Button("CmdBatch")->click();
  batch_ = main_->BatchWindow();
  EXPECT_EQ(BEdit("TxtBatchName")->text(), "二番目");
}

}  // namespace
}  // namespace verko::testing
