// verko-screenshot DIR: a tool of the build, not part of the desktop program. It shows the
// main window idle (also with a name too long for its field, and its history list) and during a
// run, each settings dialog, the help window, the main message boxes and the batch window with its
// list chooser, and writes a PNG of each into DIR, so that the layout can be checked as a user sees
// it (scripts/screenshot.sh runs it under a virtual X server). It lies beside the desktop program,
// whose help document and batch-list database the windows open.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include "batch/batch_db_location.h"
#include "batch/batch_list_store.h"
#include "batch/window/verko_batch.h"
#include "batch/window/verko_select_batch.h"
#include "common/encoding.h"
#include "compare/compare_run.h"
#include "ui/platform_defaults.h"
#include "ui/qt_translation.h"
#include "ui/shared/help_window.h"
#include "ui/shared/settings_store.h"
#include "ui/shared/ui_services.h"
#include "ui/verko_main.h"
#include "ui/verko_set_editor.h"
#include "ui/verko_split_chars.h"
#include "ui/verko_work_drive.h"
#include "ui/viewer/report_viewer.h"

namespace verko {
namespace {

// The real dialogs, except that while `answering` is set every question is answered Yes (or
// OK) without being shown: a batch run goes through to its end unattended.
class AnsweringServices : public QtUiServices {
 public:
  MessageAnswer ShowMessage(QWidget* parent, const QString& text, const QString& title,
                            MessageIcon icon, MessageButtons buttons) override {
    if (!answering) return QtUiServices::ShowMessage(parent, text, title, icon, buttons);
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
  }
  bool answering = false;
};

// `size`, or less where the screen is smaller (a screen of 1024 x 768 at 125 %).
void ResizeWithinScreen(QWidget* window, QSize size) {
  if (const QScreen* screen = window->screen()) {
    size = size.boundedTo(screen->availableGeometry().size() - QSize(20, 40));
  }
  window->resize(size);
}

// Lets the window system lay out and paint before a picture is taken.
void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  // Rows wrapped to new widths are measured once the widths have settled (a few ms later).
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 150) QApplication::processEvents(QEventLoop::AllEvents, 20);
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

// A message box as the windows show it.
bool SaveMessageBox(QWidget* parent, const QString& folder, const QString& name, MessageIcon icon,
                    const QString& title, const QString& text, bool yesNo) {
  std::unique_ptr<QMessageBox> box = NewMessageBox(
      parent, text, title, icon, yesNo ? MessageButtons::kYesNo : MessageButtons::kOk);
  return Save(box.get(), folder, name);
}

// The dialog that `button` opens modally, pictured and closed.
bool SaveModalDialog(QPushButton* button, const QString& folder, const QString& name) {
  bool saved = false;
  QTimer poll;
  poll.setInterval(50);
  int waited = 0, shown = 0;
  QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    // Shown, and a little later, once a file dialog has listed its folder.
    if ((!dialog || !dialog->isVisible() || ++shown < 10) && ++waited < 100) return;
    poll.stop();
    if (!dialog) return;
    saved = Save(dialog, folder, name);
    dialog->close();
  });
  poll.start();
  button->click();
  return saved;
}

// A copy of the delivered batch-list database holding a list of six pairs in several states,
// shown when the batch window opens. Returns the list's BatchID, 0 on failure.
int32_t PrepareBatchList(const QString& delivered, const QString& path) {
  if (!QFile::copy(delivered, path)) return 0;
  Status status = Status::Ok();
  std::unique_ptr<BatchListStore> store = BatchListStore::Open(path.toStdString(), &status);
  if (!store) return 0;
  int32_t batchId = 0;
  if (!store->AddList("月次報告書", &batchId).ok()) return 0;
  BatchListSettings settings;
  settings.oldPath = "/home/user/文書/2023年度/";
  settings.newPath = "/home/user/文書/2024年度/";
  settings.resultPath = "/home/user/文書/比較結果/";
  settings.pairingMethod = 3;
  settings.pairingFname = "*_2023";
  settings.pairingExt = "txt";
  settings.pairingFname2 = "*_2024";
  settings.pairingExt2 = "txt";
  settings.resultMethod = 5;
  settings.resultFname = "Result##";
  settings.resultExt = "vk";
  settings.initNo = "1";
  const std::string u(UnpairedMark), d(UndecidedMark);
  std::vector<PairRow> rows = {
      {0, "売上報告_2023.txt", "売上報告_2024.txt", "Result01.vk"},
      {0, "仕様書_2023.txt", "仕様書_2024.txt", "Result02.vk"},
      {0, "議事録_2023.txt", "議事録_2024.txt", "Result03.vk"},
      {0, "設計メモ_2023.txt", u, d},
      {0, u, "新規機能一覧_2024.txt", d},
      {0, "readme_2023.txt", "readme_2024.txt", "Result04.vk"},
  };
  if (!store->SaveSettings(batchId, settings).ok() || !store->AddPairs(batchId, rows).ok()) {
    return 0;
  }
  return batchId;
}

QString WriteCp932Lines(const QString& folder, const char* name, const QStringList& lines);

// Old and new files for the list above in `folder`/2023年度 and 2024年度: two pairs that
// differ, one that does not, and a new file that is missing (an error). Returns the
// settings pointing at them.
BatchListSettings WriteBatchFiles(const QString& folder) {
  BatchListSettings settings;
  settings.oldPath = QDir(folder).filePath(QStringLiteral("2023年度")).toStdString() + "/";
  settings.newPath = QDir(folder).filePath(QStringLiteral("2024年度")).toStdString() + "/";
  settings.resultPath = QDir(folder).filePath(QStringLiteral("比較結果")).toStdString() + "/";
  for (const std::string& path : {settings.oldPath, settings.newPath, settings.resultPath}) {
    QDir().mkpath(QString::fromStdString(path));
  }
  const char* const names[] = {"売上報告", "仕様書", "議事録"};
  for (int i = 0; i < 3; ++i) {
    const QStringList lines = {QStringLiteral("%1 第1版").arg(QString::fromUtf8(names[i])),
                               QStringLiteral("本文の一行目です。"),
                               QStringLiteral("本文の二行目です。")};
    QStringList changed = lines;
    if (i != 1) changed[2] = QStringLiteral("書き直した二行目です。");
    if (i == 2) changed.append(QStringLiteral("追加した行です。"));
    const std::string stem = names[i];
    WriteCp932Lines(QString::fromStdString(settings.oldPath), (stem + "_2023.txt").c_str(), lines);
    WriteCp932Lines(QString::fromStdString(settings.newPath), (stem + "_2024.txt").c_str(),
                    changed);
  }
  WriteCp932Lines(QString::fromStdString(settings.oldPath), "readme_2023.txt",
                  {QStringLiteral("readme")});
  return settings;
}

// Writes `lines` in CP932 with CR LF into the file `name` of `folder`; returns its path.
QString WriteCp932Lines(const QString& folder, const char* name, const QStringList& lines) {
  const QString path = QDir(folder).filePath(QString::fromUtf8(name));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) {
    file.write(
        QByteArray::fromStdString(ToCp932(lines.join(QStringLiteral("\r\n")).toStdString())));
  }
  return path;
}

// Writes a difference-only report with every kind of line (common, deleted, added, moved at
// both places, gaps) into `folder`, through a run hosted by `main`. Returns its path.
QString WriteSampleReport(VerkoMain& main, const QString& folder) {
  const QStringList oldLines = {"第1章 概要",
                                "本書は比較ツールの仕様をまとめたものです。",
                                "対象となるファイルはテキスト形式です。",
                                "古い説明の行です。",
                                "第2章 操作",
                                "1. 旧ファイルを選びます。",
                                "2. 新ファイルを選びます。",
                                "3. 比較開始を押します。",
                                "注意: 大きなファイルは時間がかかります。",
                                "第3章 結果",
                                "結果は色分けして表示されます。",
                                "一致行は白、削除行は赤です。",
                                "付録"};
  const QStringList newLines = {"第1章 概要",
                                "本書は比較ツールの仕様をまとめたものです。",
                                "対象となるファイルはテキスト形式です。",
                                "新しく書き直した説明の行です。",
                                "第2章 操作",
                                "1. 旧ファイルを選びます。",
                                "2. 新ファイルを選びます。",
                                "3. 比較開始を押します。",
                                "第3章 結果",
                                "結果は色分けして表示されます。",
                                "一致行は白、削除行は赤です。",
                                "追加行は緑、移動行は紫と水色です。",
                                "付録",
                                "注意: 大きなファイルは時間がかかります。"};
  CompareRequest request;
  request.oldName = WriteCp932Lines(folder, "仕様書_旧版.txt", oldLines).toStdString();
  request.newName = WriteCp932Lines(folder, "仕様書_新版.txt", newLines).toStdString();
  request.resultName = QDir(folder).filePath(QStringLiteral("Result.txt")).toStdString();
  request.options.diffOnly = true;
  request.options.contextLines = 1;
  request.options.workPath = folder.toStdString() + "/";
  RunFlags flags;
  ExecuteCompare(request, RunMode::kBatch, main, flags);
  return QString::fromStdString(request.resultName);
}

// A long full report of Japanese and ASCII changes scattered among common paragraphs, with a
// line wider than the window: the marked changed characters, the overview strip and folding.
QString WriteInlineReport(VerkoMain& main, const QString& folder) {
  QStringList oldLines, newLines;
  auto both = [&](const QString& line) {
    oldLines.append(line);
    newLines.append(line);
  };
  auto changed = [&](const QString& before, const QString& after) {
    oldLines.append(before);
    newLines.append(after);
  };
  both(QStringLiteral("契約書 第1版"));
  changed(QStringLiteral("作成者 山田太郎"), QStringLiteral("作成者 鈴木太郎"));
  changed(QStringLiteral("更新日 2026/11/30"), QStringLiteral("更新日 2026/12/07"));
  for (int i = 1; i <= 60; ++i) both(QStringLiteral("第%1条 本契約の条項%1の本文です。").arg(i));
  changed(QStringLiteral("const int kMaxLines = 16000;  // 行数の上限"),
          QStringLiteral("const int kMaxLines = 32000;  // 行数の上限"));
  changed(QStringLiteral("status = ReadRecord(file, &record);"),
          QStringLiteral("status = ReadNextRecord(file, &record);"));
  for (int i = 61; i <= 140; ++i) both(QStringLiteral("第%1条 本契約の条項%1の本文です。").arg(i));
  const QString longStart = QStringLiteral(
      "長い行: 甲および乙は、本契約の履行にあたり知り得た相手方の技術上または営業上の情報を、"
      "相手方の書面による承諾なく第三者に開示または漏洩してはならない。ただし、");
  changed(
      longStart + QStringLiteral("開示の時点で既に公知であった情報はこの限りではない。"),
      longStart + QStringLiteral("開示の後に乙の責によらず公知となった情報はこの限りではない。"));
  for (int i = 141; i <= 200; ++i) both(QStringLiteral("第%1条 本契約の条項%1の本文です。").arg(i));
  changed(QStringLiteral("附則 この契約は2026年4月1日から施行する。"),
          QStringLiteral("附則 この契約は2027年4月1日から施行する。"));
  CompareRequest request;
  request.oldName = WriteCp932Lines(folder, "契約書_旧版.txt", oldLines).toStdString();
  request.newName = WriteCp932Lines(folder, "契約書_新版.txt", newLines).toStdString();
  request.resultName = QDir(folder).filePath(QStringLiteral("Inline.txt")).toStdString();
  request.options.workPath = folder.toStdString() + "/";
  RunFlags flags;
  ExecuteCompare(request, RunMode::kBatch, main, flags);
  return QString::fromStdString(request.resultName);
}

}  // namespace

int TakeScreenshots(const QString& folder, const QString& appDir) {
  QDir().mkpath(folder);
  QTemporaryDir storeDir;
  SettingsStore store(storeDir.filePath(QStringLiteral("Verko.ini")));
  AnsweringServices services;
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

  // A name far longer than its field, and the history list that shows it whole.
  const QString longName =
      QStringLiteral("/home/user/文書/") + QString(60, u'長') + QStringLiteral("/仕様書_旧版.txt");
  main.RecordHistory(longName.toStdString(), "/home/user/文書/仕様書_新版.txt", "/tmp/Result.txt");
  main.SetFileNames({longName});
  ok &= Save(&main, folder, QStringLiteral("main-long-name"));
  auto* old = main.findChild<QComboBox*>(QStringLiteral("ComboOld"));
  old->showPopup();
  ok &= Save(old->view()->window(), folder, QStringLiteral("main-history-list"));
  old->hidePopup();

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
    HelpWindow help(HelpDocumentPath(appDir));
    ok &= help.ShowTopic(kHelpContents) && Save(&help, folder, QStringLiteral("help"));
    ok &= help.ShowTopic(kHelpBatchWindow) && Save(&help, folder, QStringLiteral("help-batch"));
  }
  ok &= SaveMessageBox(&main, folder, QStringLiteral("message-cancel"), MessageIcon::kQuestion,
                       QStringLiteral("キャンセルの確認"),
                       QStringLiteral("比較処理を中止してよろしいですか？"), true);
  ok &= SaveMessageBox(&main, folder, QStringLiteral("message-overwrite"), MessageIcon::kQuestion,
                       QStringLiteral("結果ファイルの上書きの確認"),
                       QStringLiteral("比較結果を\n  /home/user/文書/Result.txt\n"
                                      "に上書きしてよろしいですか？"),
                       true);
  ok &= SaveMessageBox(
      &main, folder, QStringLiteral("message-trim-tail"), MessageIcon::kExclamation,
      QStringLiteral("「行末のブランク/タブを削除」オプションの確認"),
      QStringLiteral("このオプションをオフにすると、使用しているデータベースエンジンのテキスト"
                     "並べ替え仕様の制限のため、状況によっては、末尾にブランクのあるテキスト行"
                     "のマッチングが正しく行なわれないことがあります。\n"
                     "このオプションは「オン」にすることをお勧めします。「オン」に戻してよろし"
                     "いですか？"),
      true);
  ok &= SaveMessageBox(&main, folder, QStringLiteral("message-encoding"), MessageIcon::kExclamation,
                       QStringLiteral("文字コードの警告"),
                       QStringLiteral("比較が終わりました。\n\n旧ファイルの 12 行は UTF-8 として"
                                      "正しくないバイトを含みます（そのままのバイトとして比較しま"
                                      "した）。\n新ファイルの 3 行は EUC-JP として正しくないバイト"
                                      "を含みます（そのままのバイトとして比較しました）。\n"),
                       false);
  ok &= SaveMessageBox(&main, folder, QStringLiteral("message-match-len"),
                       MessageIcon::kExclamation, QStringLiteral("一致行の行数が無効"),
                       QStringLiteral("有効な入力値は 1～9 です。"), false);

  // Qt's own file dialog as the result field's browse button opens it (Japanese labels).
  // In a folder of reports of several sizes.
  for (const auto& [name, size] : {std::pair{"Result.txt", 8}, {"仕様書の比較結果.txt", 123456}}) {
    QFile report(storeDir.filePath(QString::fromUtf8(name)));
    if (report.open(QIODevice::WriteOnly)) report.write(QByteArray(size, 'a'));
  }
  main.findChild<QComboBox*>(QStringLiteral("ComboResult"))
      ->setEditText(storeDir.filePath(QStringLiteral("Result.txt")));
  ok &= SaveModalDialog(main.findChild<QPushButton*>(QStringLiteral("CmdRefResult")), folder,
                        QStringLiteral("file-dialog-result"));

  const QString batchDb = storeDir.filePath(QStringLiteral("VerkoBatchList.mdb"));
  const int32_t batchId =
      PrepareBatchList(QString::fromStdString(DeliveredBatchListDb(appDir.toStdString())), batchDb);
  store.Write(QStringLiteral("BatchID"), QString::number(batchId));
  main.SetBatchListDbPath(batchDb);
  // Without its database the window would stop at a message box.
  if (batchId != 0) main.OpenBatchWindow();
  if (auto* batch = main.BatchWindow()) {
    batch->Session().UpdateCountInfo();
    ok &= Save(batch, folder, QStringLiteral("batch"));
    {
      VerkoSelectBatch dialog(batch->Session(), batch);
      ok &= Save(&dialog, folder, QStringLiteral("select-batch"));
    }
    batch->SetRunDisplay(true);
    ok &= Save(batch, folder, QStringLiteral("batch-running"));
    batch->SetRunDisplay(false);
    // After a run over real files: each row says how its pair ended.
    BatchListSettings& settings = batch->Session().Settings();
    const BatchListSettings written = WriteBatchFiles(storeDir.path());
    settings.oldPath = written.oldPath;
    settings.newPath = written.newPath;
    settings.resultPath = written.resultPath;
    batch->ShowSettings(settings, false);
    services.answering = true;
    batch->Session().Execute();
    services.answering = false;
    ok &= Save(batch, folder, QStringLiteral("batch-after-run"));
    batch->CloseByProgram();
  } else {
    ok = false;
  }
  // The report viewer in both views, nothing selected, so every colour shows.
  if (ReportViewer* viewer =
          ReportViewer::Open(WriteSampleReport(main, storeDir.path()), services)) {
    ResizeWithinScreen(viewer, QSize(1100, 560));
    ok &= Save(viewer, folder, QStringLiteral("viewer-list"));
    viewer->ShowSideBySide(true);
    ok &= Save(viewer, folder, QStringLiteral("viewer-side"));
    // The same on a dark theme: the line colours are tints of the palette's background.
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x30));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x26));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      dark.setColor(role, QColor(0xe6, 0xe6, 0xe6));
    }
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3d));
    QApplication::setPalette(dark);
    ok &= Save(viewer, folder, QStringLiteral("viewer-side-dark"));
    QApplication::setPalette(light);
    viewer->close();
  } else {
    ok = false;
  }
  // The changed characters marked, as one list and side by side; the overview strip of a
  // long report; its common runs folded.
  if (ReportViewer* viewer =
          ReportViewer::Open(WriteInlineReport(main, storeDir.path()), services)) {
    ResizeWithinScreen(viewer, QSize(1000, 600));
    Settle();
    viewer->SetCurrentLine(0);
    viewer->NextDifference();
    ok &= Save(viewer, folder, QStringLiteral("viewer-inline-list"));
    viewer->ShowSideBySide(true);
    ok &= Save(viewer, folder, QStringLiteral("viewer-inline-side"));
    viewer->ShowSideBySide(false);
    viewer->NextDifference();
    viewer->NextDifference();
    ok &= Save(viewer, folder, QStringLiteral("viewer-overview"));
    viewer->FoldCommonRuns(true);
    viewer->SetCurrentLine(0);
    ok &= Save(viewer, folder, QStringLiteral("viewer-folded"));
    viewer->close();
  } else {
    ok = false;
  }
  // 比較して表示 on two files: the status line under the options, then the viewer on the
  // pair with long lines wrapped, its print preview.
  main.SetFileNames({QDir(storeDir.path()).filePath(QStringLiteral("契約書_旧版.txt")),
                     QDir(storeDir.path()).filePath(QStringLiteral("契約書_新版.txt")), QString()});
  main.findChild<QPushButton*>(QStringLiteral("CmdCompareView"))->click();
  ok &= Save(&main, folder, QStringLiteral("main-after-run"));
  if (!main.Viewers().isEmpty()) {
    ReportViewer* viewer = main.Viewers().back();
    ResizeWithinScreen(viewer, QSize(1000, 700));
    viewer->WrapLines(true);
    Settle();
    viewer->SetCurrentLine(0);
    for (int i = 0; i < 3; ++i) viewer->NextDifference();  // the long line
    ok &= Save(viewer, folder, QStringLiteral("viewer-wrapped"));
    viewer->ShowSideBySide(true);
    ok &= Save(viewer, folder, QStringLiteral("viewer-wrapped-side"));
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, viewer);
    preview.setWindowTitle(QStringLiteral("印刷プレビュー"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, viewer,
                     [viewer](QPrinter* pages) { viewer->PrintTo(pages); });
    ResizeWithinScreen(&preview, QSize(900, 900));
    ok &= Save(&preview, folder, QStringLiteral("print-preview"));
    viewer->WrapLines(false);
    viewer->close();
  } else {
    ok = false;
  }
  main.hide();
  return ok ? 0 : 1;
}

}  // namespace verko

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Verko"));
  QApplication::setApplicationName(QStringLiteral("Verko"));
  verko::InstallQtTranslation();  // the program's own dialogs speak Japanese, as in verko
  const QStringList args = QApplication::arguments().mid(1);
  if (args.size() != 1) {
    QTextStream(stderr) << "usage: verko-screenshot DIR\n";
    return 2;
  }
  return verko::TakeScreenshots(args[0], QApplication::applicationDirPath() + QLatin1Char('/'));
}
