#include "ui/screenshot.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include "ui/help_window.h"
#include "ui/platform_defaults.h"
#include "ui/settings_store.h"
#include "ui/ui_services.h"
#include "ui/verko_main.h"
#include "ui/verko_set_editor.h"
#include "ui/verko_split_chars.h"
#include "ui/verko_work_drive.h"

namespace verko {
namespace {

// Lets the window system lay out and paint before a picture is taken.
void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool Save(QWidget* widget, const QString& folder, const QString& name) {
  widget->show();
  widget->raise();
  Settle();
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  const bool saved = widget->grab().save(path);
  QTextStream(stderr) << (saved ? "wrote " : "could not write ") << path << '\n';
  return saved;
}

// A message box as the windows show it (the real services' buttons).
bool SaveMessageBox(QWidget* parent, const QString& folder, const QString& name,
                    QMessageBox::Icon icon, const QString& title, const QString& text, bool yesNo) {
  QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
  if (yesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  return Save(&box, folder, name);
}

}  // namespace

int TakeScreenshots(const QString& folder, const QString& appDir) {
  QDir().mkpath(folder);
  QTemporaryDir storeDir;
  SettingsStore store(storeDir.filePath(QStringLiteral("Verko.ini")));
  QtUiServices services;
  bool ok = true;

  VerkoMain main(store, services, appDir);
  main.SetFileNames({QStringLiteral("/home/user/文書/仕様書_旧版.txt"),
                     QStringLiteral("/home/user/文書/仕様書_新版.txt"),
                     QStringLiteral("/home/user/文書/Result.txt")});
  ok &= Save(&main, folder, QStringLiteral("main-idle"));

  main.LockControls();
  main.ShowProgressDisplay();
  main.SetPhaseText("比較処理中");
  main.ShowProgress(50);
  ok &= Save(&main, folder, QStringLiteral("main-running"));
  main.UnlockControls();
  main.FinishProgressDisplay(RunMode::kBatch);

  {
    VerkoSplitChars dialog(main.SplitChar(), services, &main);
    ok &= Save(&dialog, folder, QStringLiteral("split-chars"));
  }
  {
    VerkoWorkDrive dialog(main.WorkPath(), services, &main);
    ok &= Save(&dialog, folder, QStringLiteral("work-drive"));
  }
  {
    VerkoSetEditor dialog(main.EditorSetting(), services, &main);
    ok &= Save(&dialog, folder, QStringLiteral("set-editor"));
  }
  {
    HelpWindow help(appDir + QStringLiteral("VerkoHelp.html"));
    ok &= help.ShowTopic(kHelpContents) && Save(&help, folder, QStringLiteral("help"));
    ok &= help.ShowTopic(kHelpBatchWindow) && Save(&help, folder, QStringLiteral("help-batch"));
  }
  ok &= SaveMessageBox(&main, folder, QStringLiteral("message-cancel"), QMessageBox::Question,
                       QStringLiteral("キャンセルの確認"),
                       QStringLiteral("比較処理を中止してよろしいですか？"), true);
  ok &= SaveMessageBox(&main, folder, QStringLiteral("message-overwrite"), QMessageBox::Question,
                       QStringLiteral("結果ファイルの上書きの確認"),
                       QStringLiteral("比較結果を\n  /home/user/文書/Result.txt\n"
                                      "に上書きしてよろしいですか？"),
                       true);
  ok &= SaveMessageBox(
      &main, folder, QStringLiteral("message-trim-tail"), QMessageBox::Warning,
      QStringLiteral("「行末のブランク/タブを削除」オプションの確認"),
      QStringLiteral("このオプションをオフにすると、使用しているデータベースエンジンのテキスト"
                     "並べ替え仕様の制限のため、状況によっては、末尾にブランクのあるテキスト行"
                     "のマッチングが正しく行なわれないことがあります。\n"
                     "このオプションは「オン」にすることをお勧めします。「オン」に戻してよろし"
                     "いですか？"),
      true);
  ok &= SaveMessageBox(&main, folder, QStringLiteral("message-match-len"), QMessageBox::Warning,
                       QStringLiteral("一致行の行数が無効"),
                       QStringLiteral("有効な入力値は 1～9 です。"), false);
  main.hide();
  return ok ? 0 : 1;
}

}  // namespace verko
