// The main window without comparisons: defaults of a fresh store, the settings round trip,
// histories, numeric validation, file drops, browsing and the option rules.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <optional>
#include <vector>

#include "tests/ui/window_fixture.h"
#include "ui/main_window_settings.h"
#include "ui/platform_defaults.h"
#include "ui/shared/field_values.h"
#include "ui/shared/window_helpers.h"

namespace verko::testing {
namespace {

TEST_F(WindowTest, FreshStoreGivesTheDefaults) {
  VerkoMain& main = Open();
  const double dpi = main.logicalDpiY();
  EXPECT_EQ(main.pos(), QPoint(TwipsToPixels(500, dpi), TwipsToPixels(300, dpi)));
  for (const char* field : {"ComboOld", "ComboNew", "ComboResult"}) {
    EXPECT_EQ(Combo(field)->count(), 0) << field;
    EXPECT_EQ(Combo(field)->currentText(), QString()) << field;
  }
  EXPECT_TRUE(Check("OptTrimTail")->isChecked());
  for (const char* option : {"OptTrimTop", "OptCompress", "OptSplit", "OptDiffOnly",
                             "OptDispWithEditor", "OptAlwaysTop", "OptFewestMoves"}) {
    EXPECT_FALSE(Check(option)->isChecked()) << option;
  }
  EXPECT_EQ(Edit("TextSplitWidth")->text(), "80");
  EXPECT_EQ(Edit("TextMatchLen")->text(), "3");
  EXPECT_FALSE(Edit("TextSplitWidth")->isEnabled());
  EXPECT_FALSE(Edit("TextMatchLen")->isEnabled());
  EXPECT_FALSE(Button("CmdSetEditor")->isEnabled());
  EXPECT_FALSE(Button("CmdCancel")->isEnabled());
  EXPECT_TRUE(Button("CmdBatch")->isEnabled());
  EXPECT_TRUE(Button("CmdStart")->isEnabled());
  EXPECT_TRUE(main.WorkPath().endsWith('/'));
  EXPECT_EQ(main.WorkPath(), DefaultWorkPath());
  EXPECT_EQ(main.SplitChar(),
            QStringLiteral("[ 　\\t]+|[ぁ-んー。、．，」)；：]+|[ァ-ンぁ-んー。、．，」)；：]+"));
  EXPECT_EQ(main.EditorSetting(), VERKO_UI_APP_DIR "verko --view %1");
  EXPECT_EQ(Find<QLabel>("VersionDisp")->text(), "Ver 1.10.042");
  EXPECT_EQ(Find<QLabel>("Label4")->text(), "Verko");
  EXPECT_FALSE(Find<QWidget>("RateFrame")->isVisible());
  EXPECT_TRUE(services_.messages.empty());
}

TEST_F(WindowTest, ControlsCarryTheirCaptionsAndTooltips) {
  Open();
  struct {
    const char* name;
    const char* caption;
    const char* toolTip;
  } const kButtons[] = {
      {"CmdBatch", "ﾊﾞｯﾁ処理(&Q)", ""},
      {"CmdRefOld", "参照(&J)", ""},
      {"CmdRefNew", "参照(&K)", ""},
      {"CmdRefResult", "参照(&L)", ""},
      {"CmdHelp", "ヘルプ(&H)", "ヘルプを表示します"},
      {"CmdStart", "比較開始(&G)", "比較処理を開始します"},
      {"CmdCancel", "ｷｬﾝｾﾙ(Esc)", "比較処理を中断します"},
      {"CmdClose", "閉じる(&X)", "ツールを終了します"},
      {"CmdSplitChars", "分割文字(&Y)", ""},
      {"CmdSetEditor", "エディタの指定(&O)", ""},
      {"CmdworkPath", "作業ドライブ(&W)", ""},
  };
  for (const auto& b : kButtons) {
    EXPECT_EQ(Button(b.name)->text(), QString::fromUtf8(b.caption)) << b.name;
    EXPECT_EQ(Button(b.name)->toolTip(), QString::fromUtf8(b.toolTip)) << b.name;
  }
  struct {
    const char* name;
    const char* caption;
  } const kChecks[] = {
      {"OptTrimTop", "行頭のブランク/タブを削除してから比較(&T)"},
      {"OptTrimTail", "行末のブランク/タブを削除してから比較(&M)"},
      {"OptCompress", "すべてのブランク/タブを圧縮してから比較(&C)"},
      {"OptSplit", "長い行は分割してから比較(&S)："},
      {"OptDiffOnly", "相違部分のみ出力(&D)。前後に出力する一致行の数[1-9]："},
      {"OptDispWithEditor", "結果をすぐにエディタで表示(&E)"},
      {"OptAlwaysTop", "いつも最前面に表示(&F)"},
      {"OptFewestMoves", "移動行を最少にする(&P)"},
  };
  for (const auto& c : kChecks) {
    EXPECT_EQ(Check(c.name)->text(), QString::fromUtf8(c.caption)) << c.name;
  }
  EXPECT_EQ(Find<QLabel>("Label1")->text(), "旧ファイル(&A)");
  EXPECT_EQ(Find<QLabel>("Label1")->buddy(), Combo("ComboOld"));
  EXPECT_EQ(Find<QLabel>("Label2")->text(), "新ファイル(&B)");
  EXPECT_EQ(Find<QLabel>("Label3")->text(), "比較結果(&R)");
  EXPECT_EQ(Find<QLabel>("Label5")->text(), "バイト以内");
  EXPECT_EQ(Edit("TextProcDesc")->toolTip(), "実行中の処理の内容です");
  EXPECT_EQ(Find<QTimer>("Timer1")->interval(), 700);
}

TEST_F(WindowTest, SettingsRoundTripKeepsTheWrittenForms) {
  Open();
  main_->RecordHistory("/data/a.txt", "/data/b.txt", "/data/r.txt");
  Check("OptTrimTop")->setChecked(true);
  Check("OptSplit")->setChecked(true);
  Check("OptDiffOnly")->setChecked(true);
  Edit("TextSplitWidth")->setText("120");
  Edit("TextMatchLen")->setText("5x");
  services_.answers = {MessageAnswer::kNo};  // keep trailing blanks this session
  Check("OptTrimTail")->setChecked(false);
  ASSERT_FALSE(Check("OptTrimTail")->isChecked());
  main_->move(40, 60);
  const double dpi = main_->logicalDpiY();
  CloseAndReload();

  QSettings raw(StorePath(), QSettings::IniFormat);
  raw.beginGroup("Settings");
  EXPECT_EQ(raw.value("OptTrimTop").toString(), " 1");
  EXPECT_EQ(raw.value("OptTrimTail").toString(), "1");
  EXPECT_EQ(raw.value("OptCompress").toString(), " 0");
  EXPECT_EQ(raw.value("OptSplit").toString(), " 1");
  EXPECT_EQ(raw.value("TextSplitWidth").toString(), "120");
  EXPECT_EQ(raw.value("TextMatchLen").toString(), "5x");
  EXPECT_EQ(raw.value("PanelLeft").toString(), FormatSettingNumber(PixelsToTwips(40, dpi)));
  EXPECT_EQ(raw.value("PanelTop").toString(), FormatSettingNumber(PixelsToTwips(60, dpi)));
  EXPECT_EQ(raw.value("ComboOld0").toString(), "/data/a.txt");
  EXPECT_EQ(raw.value("ComboResult0").toString(), "/data/r.txt");
  EXPECT_FALSE(raw.contains("ComboOld1"));
  raw.endGroup();

  Open();
  EXPECT_TRUE(Check("OptTrimTail")->isChecked());
  EXPECT_TRUE(Check("OptTrimTop")->isChecked());
  EXPECT_TRUE(Check("OptSplit")->isChecked());
  EXPECT_TRUE(Edit("TextSplitWidth")->isEnabled());
  EXPECT_TRUE(Edit("TextMatchLen")->isEnabled());
  EXPECT_EQ(Edit("TextMatchLen")->text(), "5x");  // not validated at load
  EXPECT_EQ(main_->pos(), QPoint(40, 60));
  EXPECT_EQ(Items("ComboOld"), QStringList{"/data/a.txt"});
  EXPECT_EQ(Combo("ComboOld")->currentText(), "");
}

TEST_F(WindowTest, StoredValuesLoadWithoutGapsAndWithoutBlanks) {
  store_->Write("ComboOld0", "/a.txt");
  store_->Write("ComboOld1", "");
  store_->Write("ComboOld2", "/c.txt");
  store_->Write("ComboNew4", "/n.txt");
  store_->Write("OptCompress", "1");
  store_->Write("OptDispWithEditor", " 1");
  store_->Write("OptTrimTail", "0");
  services_.answers = {MessageAnswer::kNo};
  Open();
  EXPECT_EQ(Items("ComboOld"), (QStringList{"/a.txt", "/c.txt"}));
  EXPECT_EQ(Items("ComboNew"), QStringList{"/n.txt"});
  EXPECT_TRUE(Check("OptCompress")->isChecked());
  EXPECT_TRUE(Button("CmdSetEditor")->isEnabled());
  // A stored OptTrimTail of 0 shows the warning at load.
  EXPECT_EQ(services_.Titles(), QStringList{"「行末のブランク/タブを削除」オプションの確認"});
  EXPECT_FALSE(Check("OptTrimTail")->isChecked());
}

// Names differing only in letter case are two files on this platform: the history keeps
// them apart, and only a name spelt exactly alike is not added again.
TEST_F(WindowTest, HistoryKeepsCaseApartAndDropsTheOldestInsertion) {
  Open();
  for (const char* name : {"/d/1.txt", "/d/2.txt", "/d/3.txt", "/d/4.txt", "/d/5.txt"}) {
    main_->RecordHistory(name, name, name);
  }
  const QStringList five{"/d/5.txt", "/d/4.txt", "/d/3.txt", "/d/2.txt", "/d/1.txt"};
  ASSERT_EQ(Items("ComboOld"), five);
  Combo("ComboOld")->setEditText("/D/3.TXT");
  main_->RecordHistory("/D/3.TXT", "/d/3.txt", "/d/3.txt");
  EXPECT_EQ(Items("ComboOld"),
            (QStringList{"/D/3.TXT", "/d/5.txt", "/d/4.txt", "/d/3.txt", "/d/2.txt"}));
  EXPECT_EQ(Items("ComboResult"), five);
  EXPECT_EQ(Combo("ComboOld")->currentText(), "/D/3.TXT");

  Combo("ComboNew")->setEditText("/d/6.txt");
  main_->RecordHistory("/d/6.txt", "/d/6.txt", "/d/6.txt");
  EXPECT_EQ(Items("ComboNew"),
            (QStringList{"/d/6.txt", "/d/5.txt", "/d/4.txt", "/d/3.txt", "/d/2.txt"}));
  EXPECT_EQ(Combo("ComboNew")->currentText(), "/d/6.txt");
}

void LeaveField(QLineEdit* field) {
  QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(field, &focusOut);
}

TEST_F(WindowTest, NumericFieldsAreCheckedWhenLeft) {
  Open();
  struct {
    const char* field;
    const char* text;
    bool valid;
  } const kCases[] = {
      {"TextMatchLen", "0", false},     {"TextMatchLen", "10", false},
      {"TextMatchLen", "abc", false},   {"TextMatchLen", "", false},
      {"TextMatchLen", "9.4", true},    {"TextMatchLen", "1", true},
      {"TextMatchLen", "9.5", false},   {"TextMatchLen", "3 lines", true},
      {"TextSplitWidth", "19", false},  {"TextSplitWidth", "251", false},
      {"TextSplitWidth", "20", true},   {"TextSplitWidth", "250", true},
      {"TextSplitWidth", "19.5", true},  // rounds to 20
  };
  for (const auto& c : kCases) {
    services_.messages.clear();
    QLineEdit* field = Edit(c.field);
    field->setText(QString::fromUtf8(c.text));
    LeaveField(field);
    EXPECT_EQ(services_.messages.empty(), c.valid) << c.field << " '" << c.text << "'";
    EXPECT_EQ(field->text(), QString::fromUtf8(c.text));
  }
  services_.messages.clear();
  Edit("TextMatchLen")->setText("0");
  LeaveField(Edit("TextMatchLen"));
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].text, "有効な入力値は 1～9 です。");
  EXPECT_EQ(services_.messages[0].title, "一致行の行数が無効");
  EXPECT_EQ(services_.messages[0].icon, MessageIcon::kExclamation);
  services_.messages.clear();
  Edit("TextSplitWidth")->setText("251");
  LeaveField(Edit("TextSplitWidth"));
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].text, "有効な入力値は 20～250 です。");
  EXPECT_EQ(services_.messages[0].title, "分割するバイト数が無効");
}

TEST_F(WindowTest, InvalidFieldFocusReturns) {
  Open();
  main_->show();
  QApplication::setActiveWindow(main_.get());
  Check("OptDiffOnly")->setChecked(true);
  Edit("TextMatchLen")->setText("0");
  Edit("TextMatchLen")->setFocus();
  WaitFor([&] { return Edit("TextMatchLen")->hasFocus(); }, 1000);
  Combo("ComboOld")->setFocus(Qt::TabFocusReason);
  WaitFor([&] { return Edit("TextMatchLen")->hasFocus(); }, 1000);
  EXPECT_TRUE(Edit("TextMatchLen")->hasFocus());
  EXPECT_EQ(services_.messages.size(), 1u);
}

TEST_F(WindowTest, DroppedFileListPutsTheFirstFileIntoTheField) {
  Open();
  QComboBox* field = Combo("ComboNew");
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile("/data/first.txt"), QUrl::fromLocalFile("/data/second.txt"),
                 QUrl::fromLocalFile("/data/third.txt")});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(field, &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                  Qt::NoModifier);
  QApplication::sendEvent(field, &drop);
  EXPECT_EQ(field->currentText(), "/data/first.txt");
  EXPECT_EQ(Combo("ComboOld")->currentText(), "");

  QMimeData text;
  text.setText("/data/typed.txt");
  QDragEnterEvent textEnter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &textEnter);
  EXPECT_FALSE(textEnter.isAccepted());
  QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &textDrop);
  EXPECT_EQ(field->currentText(), "/data/first.txt");
}

TEST_F(WindowTest, BrowseButtonsSetUpTheirDialogs) {
  Open();
  services_.chosenFile = "";
  Button("CmdRefResult")->click();
  ASSERT_EQ(services_.fileRequests.size(), 1u);
  const FileDialogRequest& result = services_.fileRequests[0];
  EXPECT_EQ(result.title, "比較結果を格納するファイルを指定");
  EXPECT_EQ(result.proposedName, "Result.txt");
  EXPECT_EQ(result.initialFolder, "");
  EXPECT_EQ(result.mode, FileDialogMode::kOpenAny);
  EXPECT_TRUE(result.filter.startsWith("ﾃｷｽﾄﾌｧｲﾙ(*.txt)"));
  EXPECT_EQ(Combo("ComboResult")->currentText(), "");  // cancelled: unchanged

  Combo("ComboOld")->setEditText("/data/old/a.txt");
  services_.chosenFile = "/other/b.txt";
  Button("CmdRefOld")->click();
  const FileDialogRequest& old = services_.fileRequests[1];
  EXPECT_EQ(old.title, "比較対象の「旧ファイル」を選択");
  EXPECT_EQ(old.initialFolder, "/data/old/");
  EXPECT_EQ(old.mode, FileDialogMode::kOpenExisting);
  EXPECT_EQ(old.proposedName, "");
  EXPECT_EQ(Combo("ComboOld")->currentText(), "/other/b.txt");

  Button("CmdRefNew")->click();
  EXPECT_EQ(services_.fileRequests[2].title, "比較対象の「新ファイル」を選択");
}

TEST_F(WindowTest, OptionsEnableTheirFieldsAndTrimTailWarns) {
  Open();
  Check("OptSplit")->click();
  EXPECT_TRUE(Edit("TextSplitWidth")->isEnabled());
  Check("OptDiffOnly")->click();
  EXPECT_TRUE(Edit("TextMatchLen")->isEnabled());
  Check("OptDispWithEditor")->click();
  EXPECT_TRUE(Button("CmdSetEditor")->isEnabled());
  Check("OptDispWithEditor")->click();
  EXPECT_FALSE(Button("CmdSetEditor")->isEnabled());

  services_.answers = {MessageAnswer::kYes};
  Check("OptTrimTail")->click();
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].buttons, MessageButtons::kYesNo);
  EXPECT_TRUE(services_.messages[0].text.endsWith("「オン」に戻してよろしいですか？"));
  EXPECT_TRUE(Check("OptTrimTail")->isChecked());
  Check("OptTrimTail")->click();  // No: stays off
  EXPECT_FALSE(Check("OptTrimTail")->isChecked());
  Check("OptTrimTail")->click();  // on again: no question
  EXPECT_EQ(services_.messages.size(), 2u);

  Check("OptAlwaysTop")->click();
  EXPECT_TRUE(main_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  Check("OptAlwaysTop")->click();
  EXPECT_FALSE(main_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(WindowTest, CommandLineNamesFillTheFields) {
  Open();
  main_->SetFileNames({"/a/old.txt", "/a/new.txt"});
  EXPECT_EQ(Combo("ComboOld")->currentText(), "/a/old.txt");
  EXPECT_EQ(Combo("ComboNew")->currentText(), "/a/new.txt");
  EXPECT_EQ(Combo("ComboResult")->currentText(), "");
}

// The windows show the program's scalable icon (the one installed for the desktop's menus),
// drawn at every size asked for: a picture with both sheets, not an empty square.
TEST_F(WindowTest, WindowsShowTheProgramIcon) {
  for (int size : {16, 40, 64}) {
    const QImage image = ProgramIcon(size).toImage();
    ASSERT_EQ(image.size(), QSize(size, size));
    int opaque = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) opaque += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    // The two sheets cover well over half of the square, but not all of it.
    EXPECT_GT(opaque, size * size / 2) << size;
    EXPECT_LT(opaque, size * size) << size;
  }
  Open();
  EXPECT_FALSE(main_->windowIcon().isNull());
  EXPECT_FALSE(main_->findChild<QLabel*>("Image1")->pixmap().isNull());
}

// The settings come back from the store as they were saved, all but OptTrimTail, which is
// always saved as on; values missing or edited by hand load as the window would take them.
TEST(MainWindowSettingsTest, StoreGivesBackWhatWasSavedOrTheDefaults) {
  const QString appDir = QStringLiteral("/opt/verko/");
  MainWindowSettings defaults;
  defaults.workPath = DefaultWorkPath();
  defaults.splitChar = DefaultSplitChar();
  defaults.editorSetting = DefaultEditorSetting(appDir + "verko");
  MainWindowSettings edited = defaults;
  edited.panelTop = -45;
  edited.panelLeft = 1500;
  edited.oldHistory = {"/d/旧 1.txt", "/d/a.txt"};
  edited.resultHistory = {"/d/r.txt"};
  edited.trimTop = edited.compress = edited.split = edited.diffOnly = true;
  edited.displayWithEditor = edited.alwaysTop = true;
  edited.fewestMoves = true;
  edited.trimTail = false;
  edited.encoding = EncodingChoice::kEucJp;
  edited.newEncoding = EncodingChoice::kCp932;
  edited.reportEncoding = EncodingChoice::kUtf8;
  edited.splitWidth = "120";
  edited.matchLen = "5x";
  edited.workPath = "/work/";
  edited.splitChar = "[。]";
  edited.editorSetting = "gedit %1";
  MainWindowSettings editedBack = edited;
  editedBack.trimTail = true;
  MainWindowSettings moved = defaults;
  moved.editorSetting = "/old/place/verko --view %1";  // follows the program
  MainWindowSettings handEdited = defaults;
  // One stored encoding, as before the three selectors, serves all three.
  handEdited.encoding = handEdited.newEncoding = handEdited.reportEncoding = EncodingChoice::kUtf8;
  handEdited.newHistory = {"/n.txt"};
  handEdited.compress = true;
  handEdited.panelTop = 120;

  struct {
    const char* name;
    std::optional<MainWindowSettings> saved;
    std::vector<std::pair<const char*, const char*>> written;
    MainWindowSettings loaded;
  } const kCases[] = {
      {"fresh store", std::nullopt, {}, defaults},
      {"edited", edited, {}, editedBack},
      {"viewer of a moved program", moved, {}, defaults},
      {"edited by hand",
       std::nullopt,
       {{"Encoding", "UTF-8"},
        {"ComboNew0", ""},
        {"ComboNew3", "/n.txt"},
        {"OptCompress", "7"},
        {"PanelTop", "120.4"},
        {"OptTrimTop", "x"}},
       handEdited},
      {"unknown encoding", std::nullopt, {{"Encoding", "utf8"}}, defaults},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    const QString path = QString::fromStdString(dir.File("Verko.ini"));
    {
      SettingsStore store(path);
      for (const auto& [name, value] : c.written) store.Write(name, QString::fromUtf8(value));
      if (c.saved) SaveMainWindowSettings(*c.saved, store);
      store.Sync();
    }
    EXPECT_TRUE(LoadMainWindowSettings(SettingsStore(path), appDir) == c.loaded) << c.name;
  }
}

}  // namespace
}  // namespace verko::testing
