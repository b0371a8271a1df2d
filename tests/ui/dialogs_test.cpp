// The three settings dialogs and the help window.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>

#include "tests/support/scoped_env.h"
#include "tests/ui/window_fixture.h"
#include "ui/platform_defaults.h"
#include "ui/shared/help_window.h"
#include "ui/shared/ui_services.h"
#include "ui/verko_set_editor.h"
#include "ui/verko_split_chars.h"
#include "ui/verko_work_drive.h"

namespace verko::testing {
namespace {

template <typename Widget>
Widget* Child(QWidget* parent, const char* name) {
  Widget* widget = parent->findChild<Widget*>(QLatin1String(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

TEST_F(WindowTest, MessageBoxIsWideEnoughForItsTitleAndTheFramesButtons) {
  const QString title = QStringLiteral("結果ファイルの上書きの確認");
  auto box = NewMessageBox(nullptr, "？", title, MessageIcon::kQuestion, MessageButtons::kOk);
  box->show();
  QFont bold = QApplication::font("QMdiSubWindowTitleBar");
  bold.setBold(true);  // with room for the frame's three buttons
  EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(title) +
                              3 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight));
}

TEST(SplitCharsDialog, RefusesAPatternTheLibraryRejects) {
  ScriptedUiServices services;
  VerkoSplitChars dialog("[ ]+", services, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "行の分割位置の指定（上級機能）");
  Child<QLineEdit>(&dialog, "TextSplitChars")->setText("[abc");
  Child<QPushButton>(&dialog, "CmdApply")->click();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "正規表現が間違っています。");
  EXPECT_EQ(services.messages[0].title, "行の分割文字の指定");
  EXPECT_EQ(services.messages[0].icon, MessageIcon::kCritical);
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.SplitChar(), "[ ]+");

  // A pattern without a match in the sample text is still a pattern.
  Child<QLineEdit>(&dialog, "TextSplitChars")->setText("[0-9]+");
  Child<QPushButton>(&dialog, "CmdApply")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.SplitChar(), "[0-9]+");
}

TEST(SplitCharsDialog, DefaultThenCancelChangesNothing) {
  ScriptedUiServices services;
  VerkoSplitChars dialog("x+", services, nullptr);
  Child<QPushButton>(&dialog, "CmdDefault")->click();
  EXPECT_EQ(Child<QLineEdit>(&dialog, "TextSplitChars")->text(), DefaultSplitChar());
  Child<QPushButton>(&dialog, "CmdCancel")->click();
  EXPECT_EQ(dialog.SplitChar(), "x+");
  EXPECT_FALSE(Child<QPushButton>(&dialog, "CmdApply")->isDefault());
}

TEST(WorkDriveDialog, TakesOnlyAFolderThatCanBeWritten) {
  TempDir dir;
  WriteFile(dir.File("plain.txt"), "x");
  ScriptedUiServices services;
  const QString original = QString::fromStdString(dir.Path());
  VerkoWorkDrive dialog(original, services, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "作業ドライブの設定");
  auto* text = Child<QLineEdit>(&dialog, "TextDrive");
  EXPECT_EQ(text->text(), original);
  EXPECT_GT(Child<QComboBox>(&dialog, "Drive1")->count(), 0);

  for (const std::string& bad :
       {dir.File("missing") + "/", dir.File("plain.txt") + "/", std::string()}) {
    services.messages.clear();
    text->setText(QString::fromStdString(bad));
    Child<QPushButton>(&dialog, "Command2")->click();
    ASSERT_EQ(services.messages.size(), 1u) << bad;
    EXPECT_EQ(services.messages[0].text,
              "そのドライブには書き込めません。別のドライブを選んでください。");
    EXPECT_EQ(services.messages[0].title, "ドライブが不適切");
    EXPECT_EQ(dialog.WorkPath(), original);
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.File("missing"))));

  std::filesystem::create_directory(dir.File("work"));
  text->setText(QString::fromStdString(dir.File("work")));  // no trailing "/"
  Child<QPushButton>(&dialog, "Command2")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.WorkPath(), QString::fromStdString(dir.File("work")) + "/");
  EXPECT_TRUE(QDir(QString::fromStdString(dir.File("work"))).isEmpty());
}

TEST(WorkDriveDialog, ChoosingAVolumePutsItsFolderIntoTheField) {
  ScriptedUiServices services;
  VerkoWorkDrive dialog("/", services, nullptr);
  auto* drives = Child<QComboBox>(&dialog, "Drive1");
  ASSERT_GT(drives->count(), 0);
  EXPECT_EQ(drives->currentData().toString(), "/");
  emit drives->activated(0);
  EXPECT_EQ(Child<QLineEdit>(&dialog, "TextDrive")->text(), drives->itemData(0).toString());
  EXPECT_TRUE(Child<QLineEdit>(&dialog, "TextDrive")->text().endsWith('/'));
}

// A fresh user's work folder is their own: offered first in the dialog, chosen there even
// before any comparison made it, and then made for the user only.
TEST(WorkDriveDialog, OffersTheUsersOwnFolderAsTheDefault) {
  TempDir dir;
  test_support::ScopedEnv env;
  env.Set("XDG_RUNTIME_DIR", dir.File("run"));
  const QString folder = QString::fromStdString(dir.File("run") + "/verko/");
  EXPECT_EQ(DefaultWorkPath(), folder);
  ScriptedUiServices services;
  VerkoWorkDrive dialog(folder, services, nullptr);
  auto* drives = Child<QComboBox>(&dialog, "Drive1");
  EXPECT_EQ(drives->currentIndex(), 0);
  EXPECT_EQ(drives->itemData(0).toString(), folder);
  EXPECT_TRUE(drives->itemText(0).contains(folder));

  Child<QPushButton>(&dialog, "Command2")->click();
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.WorkPath(), folder);
  EXPECT_EQ(QFile::permissions(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

TEST(SetEditorDialog, BrowsedProgramGetsThePlaceholder) {
  struct {
    const char* chosen;
    const char* shown;
    const char* stored;
  } const kCases[] = {
      {"/usr/bin/gedit", "/usr/bin/gedit %1", "gedit %1"},
      {"/USR/BIN/Kate", "/USR/BIN/Kate %1", "Kate %1"},
      {"/opt/tools/ed", "/opt/tools/ed %1", "/opt/tools/ed %1"},
      {"/opt/my tools/ed", "\"/opt/my tools/ed\" %1", "\"/opt/my tools/ed\" %1"},
  };
  for (const auto& c : kCases) {
    ScriptedUiServices services;
    services.chosenFile = QString::fromUtf8(c.chosen);
    VerkoSetEditor dialog("xdg-open %1", services, nullptr);
    Child<QPushButton>(&dialog, "Command3")->click();
    ASSERT_EQ(services.fileRequests.size(), 1u);
    EXPECT_EQ(services.fileRequests[0].initialFolder, "/usr/bin/");
    EXPECT_EQ(Child<QLineEdit>(&dialog, "TextEditorSetting")->text(), QString::fromUtf8(c.shown));
    Child<QPushButton>(&dialog, "Command2")->click();
    EXPECT_EQ(dialog.EditorSetting(), QString::fromUtf8(c.stored)) << c.chosen;
  }
}

TEST(SetEditorDialog, CancelledBrowseAndCancelKeepTheSetting) {
  ScriptedUiServices services;
  VerkoSetEditor dialog("kate %1", services, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "結果を表示するエディタの指定");
  Child<QPushButton>(&dialog, "Command3")->click();
  EXPECT_EQ(Child<QLineEdit>(&dialog, "TextEditorSetting")->text(), "kate %1");
  Child<QLineEdit>(&dialog, "TextEditorSetting")->setText("other");
  Child<QPushButton>(&dialog, "Command1")->click();
  EXPECT_EQ(dialog.EditorSetting(), "kate %1");
}

TEST_F(WindowTest, WorkDriveButtonOpensTheDialogModallyBesideTheWindow) {
  Open();
  main_->move(100, 100);
  const QString folder = QString::fromStdString(dir_.Path());
  QPoint dialogPos;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "VerkoWorkDrive");
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    dialogPos = dialog->pos();
    Child<QLineEdit>(dialog, "TextDrive")->setText(folder);
    Child<QPushButton>(dialog, "Command2")->click();
  });
  Button("CmdworkPath")->click();
  EXPECT_EQ(main_->WorkPath(), folder);
  const double dpi = main_->logicalDpiY();
  EXPECT_EQ(dialogPos, QPoint(100 + qRound(400 * dpi / 1440), 100 + qRound(200 * dpi / 1440)));
}

TEST_F(WindowTest, HelpOpensTheMainTopicAndTheBatchTopicByNumber) {
  Open();
  Button("CmdHelp")->click();
  auto* help = main_->findChild<HelpWindow*>("VerkoHelp");
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->CurrentAnchor(), "main-window");
  main_->ShowHelp(kHelpBatchWindow);
  EXPECT_EQ(help->CurrentAnchor(), "batch-window");
  const QString html = Child<QTextBrowser>(help, "HelpText")->toHtml();
  EXPECT_TRUE(html.contains("バッチ処理"));
  EXPECT_TRUE(services_.messages.empty());
  // Every topic a context number names exists in the document.
  QFile file(QStringLiteral(VERKO_UI_APP_DIR) + "VerkoHelp.html");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString source = QString::fromUtf8(file.readAll());
  for (int context : {kHelpMainWindow, kHelpOptions, kHelpReport, kHelpSplitChars, kHelpWorkDrive,
                      kHelpEditor, kHelpBatchWindow}) {
    EXPECT_TRUE(source.contains("id=\"" + HelpAnchor(context) + "\"")) << context;
  }
  help->close();
}

}  // namespace
}  // namespace verko::testing
