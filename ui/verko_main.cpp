#include "ui/verko_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "batch/pair_outcome.h"
#include "batch/window/verko_batch.h"
#include "common/path_parts.h"
#include "common/split_width.h"
#include "common/text_encoding.h"
#include "ui/main_window_settings.h"
#include "ui/progress_bar_frame.h"
#include "ui/shared/field_values.h"
#include "ui/shared/help_window.h"
#include "ui/shared/ui_services.h"
#include "ui/shared/widget_parts.h"
#include "ui/shared/window_helpers.h"
#include "ui/verko_set_editor.h"
#include "ui/verko_split_chars.h"
#include "ui/verko_work_drive.h"
#include "ui/view_pair.h"
#include "ui/viewer/report_viewer.h"
#include "ui/viewer_launch.h"

namespace verko {
namespace {

// How long the progress display stays after an interactive run, in milliseconds.
constexpr int kProgressLingerMs = 700;

// The edit text of a combo box survives changes of its list.
class EditTextKeeper {
 public:
  explicit EditTextKeeper(QComboBox* field) : field_(field), text_(field->currentText()) {}
  ~EditTextKeeper() { field_->setEditText(text_); }

 private:
  QComboBox* field_;
  QString text_;
};

}  // namespace

VerkoMain::VerkoMain(SettingsStore& store, UiServices& services, const QString& appDir,
                     QWidget* parent)
    : QWidget(parent),
      store_(store),
      services_(services),
      appDir_(appDir.endsWith('/') ? appDir : appDir + '/'),
      ui_(this) {
  progressHideTimer_ = Named(new QTimer(this), "Timer1");
  progressHideTimer_->setInterval(kProgressLingerMs);
  ConnectHandlers();
  LoadSettings();
  PlaceFrameAt(this, placedAt_);
}

VerkoMain::~VerkoMain() = default;

void VerkoMain::ConnectHandlers() {
  connect(ui_.cmdStart, &QPushButton::clicked, this, &VerkoMain::ClickStart);
  connect(ui_.cmdCompareView, &QPushButton::clicked, this, &VerkoMain::ClickCompareView);
  connect(ui_.cmdBatch, &QPushButton::clicked, this, &VerkoMain::OpenBatchWindow);
  connect(ui_.cmdCancel, &QPushButton::clicked, this, &VerkoMain::ClickCancel);
  connect(ui_.cmdClose, &QPushButton::clicked, this, &VerkoMain::CloseByProgram);
  connect(ui_.cmdView, &QPushButton::clicked, this, &VerkoMain::OpenLastReport);
  connect(ui_.cmdHelp, &QPushButton::clicked, this, [this] { ShowHelp(kHelpMainWindow); });
  connect(ui_.cmdRefOld, &QPushButton::clicked, this, [this] {
    BrowseFile(ui_.comboOld, QStringLiteral("比較対象の「旧ファイル」を選択"), false);
  });
  connect(ui_.cmdRefNew, &QPushButton::clicked, this, [this] {
    BrowseFile(ui_.comboNew, QStringLiteral("比較対象の「新ファイル」を選択"), false);
  });
  connect(ui_.cmdRefResult, &QPushButton::clicked, this, [this] {
    BrowseFile(ui_.comboResult, QStringLiteral("比較結果を格納するファイルを指定"), true);
  });
  connect(ui_.optSplit, &QCheckBox::toggled, ui_.textSplitWidth, &QWidget::setEnabled);
  connect(ui_.optDiffOnly, &QCheckBox::toggled, ui_.textMatchLen, &QWidget::setEnabled);
  connect(ui_.optDispWithEditor, &QCheckBox::toggled, ui_.cmdSetEditor, &QWidget::setEnabled);
  connect(ui_.optTrimTail, &QCheckBox::toggled, this, &VerkoMain::ClickTrimTail);
  connect(ui_.optAlwaysTop, &QCheckBox::toggled, this, &VerkoMain::ClickAlwaysTop);
  connect(ui_.cmdSplitChars, &QPushButton::clicked, this, &VerkoMain::OpenSplitChars);
  connect(ui_.cmdWorkPath, &QPushButton::clicked, this, &VerkoMain::OpenWorkDrive);
  connect(ui_.cmdSetEditor, &QPushButton::clicked, this, &VerkoMain::OpenSetEditor);
  connect(progressHideTimer_, &QTimer::timeout, this, &VerkoMain::HideProgressDisplay);
  ui_.textMatchLen->installEventFilter(this);
  ui_.textSplitWidth->installEventFilter(this);
  // CmdCancel is the window's cancel button; F1 is help and Ctrl+Q closes, as the buttons do
  // (a button disabled during a run ignores its key too).
  const std::pair<QKeySequence, QPushButton*> keys[] = {
      {QKeySequence(Qt::Key_Escape), ui_.cmdCancel},
      {QKeySequence(Qt::Key_F1), ui_.cmdHelp},
      {QKeySequence(Qt::CTRL | Qt::Key_Q), ui_.cmdClose},
  };
  for (const auto& [key, button] : keys) {
    connect(new QShortcut(key, this), &QShortcut::activated, button, &QPushButton::click);
  }
}

// --- Settings -------------------------------------------------------------------------

void VerkoMain::LoadSettings() {
  const MainWindowSettings settings = LoadMainWindowSettings(store_, appDir_);
  // The position is the window's frame, as it is saved, so that a window closed without
  // moving opens again at the same place.
  const double dpi = logicalDpiY();
  loadedTop_ = settings.panelTop;
  loadedLeft_ = settings.panelLeft;
  placedAt_ = QPoint(TwipsToPixels(loadedLeft_, dpi), TwipsToPixels(loadedTop_, dpi));
  move(placedAt_);

  // Applying a state that differs from the box's initial one runs its click handling.
  ui_.ShowSettings(settings);
  workPath_ = settings.workPath;
  splitChar_ = settings.splitChar;
  editorSetting_ = settings.editorSetting;
  converters_ = settings.converters;
}

void VerkoMain::SaveSettings() {
  MainWindowSettings settings;
  // The frame's top-left corner, the same point the window was placed by. A window that was
  // not moved keeps its stored values exactly (a position between two pixels included).
  const double dpi = logicalDpiY();
  const QPoint frame = pos();
  settings.panelTop = frame.y() == placedAt_.y() ? loadedTop_ : PixelsToTwips(frame.y(), dpi);
  settings.panelLeft = frame.x() == placedAt_.x() ? loadedLeft_ : PixelsToTwips(frame.x(), dpi);

  ui_.ReadSettings(&settings);
  settings.workPath = workPath_;
  settings.splitChar = splitChar_;
  settings.editorSetting = editorSetting_;
  SaveMainWindowSettings(settings, store_);
}

// Names that differ only in letter case are different files here, so the history keeps
// them apart.
void VerkoMain::RegistCombo(QComboBox* field, const QString& text) {
  for (int i = 0; i < field->count(); ++i) {
    if (field->itemText(i) == text) return;
  }
  EditTextKeeper keeper(field);
  if (field->count() >= kFileHistorySize) field->removeItem(kFileHistorySize - 1);
  field->insertItem(0, text);
}

void VerkoMain::SetFileNames(const QStringList& names) {
  QComboBox* fields[] = {ui_.comboOld, ui_.comboNew, ui_.comboResult};
  for (int i = 0; i < 3 && i < names.size(); ++i) fields[i]->setEditText(names[i]);
}

// --- The compare run ------------------------------------------------------------------

OptionFields VerkoMain::ReadOptionFields() const {
  OptionFields fields;
  fields.trimTop = ui_.optTrimTop->isChecked();
  fields.trimTail = ui_.optTrimTail->isChecked();
  fields.compress = ui_.optCompress->isChecked();
  fields.split = ui_.optSplit->isChecked();
  fields.splitWidthText = ui_.textSplitWidth->text().toStdString();
  fields.diffOnly = ui_.optDiffOnly->isChecked();
  fields.matchLenText = ui_.textMatchLen->text().toStdString();
  fields.fewestMoves = ui_.optFewestMoves->isChecked();
  fields.displayWithEditor = ui_.optDispWithEditor->isChecked();
  fields.splitChar = splitChar_.toStdString();
  fields.workPath = workPath_.toStdString();
  fields.editorSetting = editorSetting_.toStdString();
  fields.converters = converters_.toStdString();
  fields.oldEncodingName = ui_.comboEncoding->currentData().toString().toStdString();
  fields.newEncodingName = ui_.comboEncodingNew->currentData().toString().toStdString();
  fields.reportEncodingName = ui_.comboEncodingReport->currentData().toString().toStdString();
  fields.formatName = ui_.comboFormat->currentData().toString().toStdString();
  fields.caseSensitive = ui_.optCaseSensitive->isChecked();
  fields.ignoreWidth = ui_.optIgnoreWidth->isChecked();
  fields.oldLeft = ui_.optOldLeft->isChecked();
  fields.taishoSimple = ui_.comboTaishoStyle->currentIndex() == 1;
  fields.charUnits = ui_.optCharUnits->isChecked();
  return fields;
}

CompareRequest VerkoMain::BuildRequest() const {
  CompareRequest request;
  request.oldName = ui_.comboOld->currentText().toStdString();
  request.newName = ui_.comboNew->currentText().toStdString();
  request.resultName = ui_.comboResult->currentText().toStdString();
  request.options = ReadCompareOptions(ReadOptionFields());
  return request;
}

void VerkoMain::ClickStart() {
  if (!session_.CanStart() || !ValidateEnabledFields()) return;
  const CompareRequest request = BuildRequest();
  CompareResult result = session_.RunInteractive(request);
  NoteFinishedReport(request, result);
  ShowRunEnd(result);
  if (closeAfterRun_) CloseByProgram();
}

void VerkoMain::ClickCompareView() {
  if (!session_.CanStart() || !ValidateEnabledFields()) return;
  // As `verko --view OLD NEW`: a report of the pair's own in the work folder, replaced
  // without a question, the histories left alone (a batch-mode run).
  const ViewPair pair = MakeViewPair(ReadCompareOptions(ReadOptionFields()),
                                     ui_.comboOld->currentText(), ui_.comboNew->currentText());
  QDir().mkpath(QFileInfo(pair.reportPath).absolutePath());
  const CompareRequest request{pair.oldPath.toStdString(),
                               pair.newPath.toStdString(),
                               pair.reportPath.toStdString(),
                               pair.options,
                               {}};
  CompareResult result = session_.RunBatch(request);
  NoteFinishedReport(request, result);
  ShowRunEnd(result);
  if (closeAfterRun_) {
    CloseByProgram();
    return;
  }
  if (result.status == kStatusDone)
    ShowInViewer(pair.reportPath, [pair] { return CompareViewPair(pair); });
}

void VerkoMain::ShowRunEnd(const CompareResult& result) {
  if (result.status == kStatusFailed) {
    services_.ShowMessage(this, ToQString(result.message.text), ToQString(result.message.title),
                          result.message.icon, MessageButtons::kOk);
  } else if (const std::string warning = InvalidTextWarning(result); !warning.empty()) {
    services_.ShowMessage(this, ToQString("比較が終わりました。\n\n" + warning),
                          QStringLiteral("文字コードの警告"), MessageIcon::kExclamation,
                          MessageButtons::kOk);
  }
}

CompareResult VerkoMain::RunBatchCompare(const std::string& oldName, const std::string& newName,
                                         const std::string& resultName) {
  const CompareRequest request{
      oldName, newName, resultName, ReadCompareOptions(ReadOptionFields()), {}};
  if (session_.RunActive()) return session_.RunBatch(request);  // refused
  SetFileNames({ToQString(oldName), ToQString(newName), ToQString(resultName)});
  CompareResult result = session_.RunBatch(request);
  NoteFinishedReport(request, result);
  batchResultFormats_.insert(ToQString(resultName), request.options.format);
  if (closeAfterRun_) CloseByProgram();
  return result;
}

void VerkoMain::NoteFinishedReport(const CompareRequest& request, const CompareResult& result) {
  // The status of the finished run: what it found, the documents its texts were taken from,
  // the encodings it recognised, lines matched through a wave-dash twin. A declined
  // overwrite compared nothing.
  std::string documents = DocumentNotice(result);
  for (std::size_t at; (at = documents.find('\n')) != std::string::npos;) {
    documents.replace(at, 1, "　");
  }
  std::string status;
  for (const std::string& part :
       {result.status == kStatusOverwriteDeclined ? std::string() : OutcomeSummary(result),
        documents, result.formatNotice, EncodingsReadNote(request.options, result),
        TwinNotice(result)}) {
    if (!part.empty()) status += (status.empty() ? "" : "　") + part;
  }
  ui_.labelRunStatus->setText(ToQString(status));
  ui_.labelRunStatus->setToolTip(ToQString(status));
  // Only a completed run leaves a report the viewer can show as the last one.
  if (result.status != kStatusDone) return;
  lastReportPath_ = ToQString(request.resultName);
  lastResultFormat_ = request.options.format;
  ui_.cmdView->setEnabled(true);
}

void VerkoMain::ClickCancel() {
  if (services_.Ask(this, QStringLiteral("比較処理を中止してよろしいですか？"),
                    QStringLiteral("キャンセルの確認"))) {
    flags_.CancelRequested = true;
  }
}

void VerkoMain::LockControls() {
  // A tick left over from the previous run must not hide this run's display.
  progressHideTimer_->stop();
  ui_.frameFiles->setEnabled(false);
  ui_.frameOptions->setEnabled(false);
  ui_.cmdCancel->setEnabled(true);
  ui_.cmdClose->setEnabled(false);
  ui_.cmdHelp->setEnabled(false);
  ui_.cmdStart->setEnabled(false);
  ui_.cmdCompareView->setEnabled(false);
}

void VerkoMain::UnlockControls() {
  ui_.frameFiles->setEnabled(true);
  ui_.frameOptions->setEnabled(true);
  ui_.cmdClose->setEnabled(true);
  ui_.cmdHelp->setEnabled(true);
  // A batch run compares pair after pair: no interactive start between its pairs.
  ui_.cmdStart->setEnabled(!session_.BatchRunning());
  ui_.cmdCompareView->setEnabled(ui_.cmdStart->isEnabled());
  ui_.cmdCancel->setEnabled(false);
  // The run took the focus away from the disabled controls; the next comparison is one key
  // away (Space or Enter).
  if (ui_.cmdStart->isEnabled()) ui_.cmdStart->setFocus();
}

void VerkoMain::SetBatchRunning(bool running) {
  session_.SetBatchRunning(running);
  ui_.cmdStart->setEnabled(!running && !session_.RunActive());
  ui_.cmdCompareView->setEnabled(ui_.cmdStart->isEnabled());
  if (!running) {
    SetFileNames({QString(), QString(), QString()});
    if (ui_.cmdStart->isEnabled()) ui_.cmdStart->setFocus();
  }
}

bool VerkoMain::CheckOptions() {
  return ValidateEnabledFields();
}

void VerkoMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (firstShown_) return;
  firstShown_ = true;

  // The first file field still to be filled, or the start once all three names are there
  // (given on the command line).
  for (QComboBox* field : {ui_.comboOld, ui_.comboNew, ui_.comboResult}) {
    if (field->currentText().isEmpty()) {
      field->setFocus();
      return;
    }
  }
  ui_.cmdStart->setFocus();
}

bool VerkoMain::AlwaysOnTop() const {
  return ui_.optAlwaysTop->isChecked();
}

VerkoBatch* VerkoMain::BatchWindow() const {
  return batch_;
}

void VerkoMain::OpenBatchWindow() {
  if (!batch_) {
    QString dbPath = batchDbPath_;
    if (dbPath.isEmpty()) dbPath = BatchListDbPath(appDir_);
    batch_ = new VerkoBatch(*this, store_, services_, dbPath, this);
  }
  if (!batch_->isVisible()) BringOnScreen(batch_);
  batch_->show();
  batch_->raise();
  batch_->activateWindow();
}

void VerkoMain::ShowProgress(int percent) {
  ui_.progressBar->SetPercent(percent);
  QCoreApplication::processEvents();
}

void VerkoMain::SetPhaseText(const std::string& text) {
  ui_.textProcDesc->setText(ToQString(text));
  ui_.textProcDesc->repaint();
}

void VerkoMain::ShowProgressDisplay() {
  ui_.progressBar->show();
  ui_.textProcDesc->show();
}

void VerkoMain::HideProgressDisplay() {
  ui_.progressBar->hide();
  ui_.textProcDesc->hide();
  progressHideTimer_->stop();
}

void VerkoMain::FinishProgressDisplay(RunMode mode) {
  if (mode == RunMode::kBatch) {
    HideProgressDisplay();
  } else {
    progressHideTimer_->start();
  }
}

bool VerkoMain::AskOverwrite(const std::string& text, const std::string& title) {
  return services_.Ask(this, ToQString(text), ToQString(title));
}

void VerkoMain::ShowLineLimitMessage(const std::string& text, const std::string& title) {
  services_.ShowMessage(this, ToQString(text), ToQString(title), MessageIcon::kExclamation,
                        MessageButtons::kOk);
}

void VerkoMain::ShowRunWarning(const std::string& text, const std::string& title) {
  services_.ShowMessage(this, ToQString(text), ToQString(title), MessageIcon::kExclamation,
                        MessageButtons::kOk);
}

void VerkoMain::RecordHistory(const std::string& oldName, const std::string& newName,
                              const std::string& resultName) {
  RegistCombo(ui_.comboOld, ToQString(oldName));
  RegistCombo(ui_.comboNew, ToQString(newName));
  RegistCombo(ui_.comboResult, ToQString(resultName));
}

void VerkoMain::StartEditor(const std::string& program, const std::vector<std::string>& args) {
  QStringList arguments;
  for (const std::string& arg : args) arguments.append(ToQString(arg));
  // Verko's own viewer opens above this window when this one stays above all others.
  const QByteArray above = AlwaysOnTop() ? "1" : "0";
  qputenv("VERKO_VIEWER_ABOVE", above);
  const bool started = services_.StartDetached(ToQString(program), arguments);
  qunsetenv("VERKO_VIEWER_ABOVE");
  if (!started) {
    services_.ShowMessage(this,
                          QStringLiteral("エディタを起動できません。\n   %1\n\n"
                                         "「エディタの指定」でエディタを指定してください。")
                              .arg(ToQString(program)),
                          QStringLiteral("エディタの起動"), MessageIcon::kExclamation,
                          MessageButtons::kOk);
  }
}

// --- Window events --------------------------------------------------------------------

void VerkoMain::CloseByProgram() {
  programClose_ = true;
  close();
  programClose_ = false;
}

void VerkoMain::closeEvent(QCloseEvent* event) {
  if (flags_.CompareRunning) {
    // A close that the program did not ask for comes from the close box or window menu.
    if (!programClose_) {
      ClickCancel();
      if (!flags_.CancelRequested) {
        event->ignore();
        return;
      }
    }
    // The run has to pass its end of run (files and work database closed) before the
    // settings are saved: the window closes once the run has returned.
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  if (!unloaded_) {
    unloaded_ = true;
    // The batch window unloads first: it stores its list and may compact its database.
    if (batch_) batch_->CloseByProgram();
    if (help_) help_->close();
    SaveSettings();
  }
  event->accept();
}

bool VerkoMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut &&
      (watched == ui_.textMatchLen || watched == ui_.textSplitWidth)) {
    // Leaving the window or opening a menu is not leaving the field.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (watched == ui_.textMatchLen) {
        ValidateMatchLen();
      } else {
        ValidateSplitWidth();
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool VerkoMain::ValidateNumberField(QLineEdit* field, int low, int high, const QString& title) {
  int value = 0;
  if (ReadFieldNumber(field->text(), low, high, &value)) return true;
  services_.ShowMessage(this, QStringLiteral("有効な入力値は %1～%2 です。").arg(low).arg(high),
                        title, MessageIcon::kExclamation, MessageButtons::kOk);
  QTimer::singleShot(0, field, [field] { field->setFocus(); });
  return false;
}

bool VerkoMain::ValidateMatchLen() {
  return ValidateNumberField(ui_.textMatchLen, 1, 9, QStringLiteral("一致行の行数が無効"));
}

bool VerkoMain::ValidateSplitWidth() {
  return ValidateNumberField(ui_.textSplitWidth, kMinSplitWidth, kMaxSplitWidth,
                             QStringLiteral("分割するバイト数が無効"));
}

bool VerkoMain::ValidateEnabledFields() {
  if (ui_.optSplit->isChecked() && !ValidateSplitWidth()) return false;
  if (ui_.optDiffOnly->isChecked() && !ValidateMatchLen()) return false;
  return true;
}

// --- Buttons and options --------------------------------------------------------------

void VerkoMain::BrowseFile(QComboBox* field, const QString& title, bool result) {
  FileDialogRequest request;
  request.mode = result ? FileDialogMode::kOpenAny : FileDialogMode::kOpenExisting;
  request.title = title;
  request.filter = result ? QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt) (*.txt);;すべて(*.*) (*)")
                          : QStringLiteral("すべて(*.*) (*)");
  const QString current = field->currentText();
  if (!current.isEmpty())
    request.initialFolder = QString::fromStdString(DirPart(current.toStdString()));
  if (result) {
    request.proposedName = QStringLiteral("Result.txt");
    request.defaultSuffix = QStringLiteral("txt");
  }
  const QString path = services_.ChooseFile(this, request);
  if (!path.isEmpty()) field->setEditText(path);
}

void VerkoMain::ClickTrimTail(bool on) {
  if (on) return;
  const QString text = QStringLiteral(
                           "このオプションをオフにすると、使用しているデータベースエンジンのテキ"
                           "スト並べ替え仕様の制限のため、状況によっては、末尾にブランクのあるテキ"
                           "スト行のマッチングが正しく行なわれないことがあります。") +
                       QStringLiteral("\n") +
                       QStringLiteral(
                           "このオプションは「オン」にすることをお勧めします。"
                           "「オン」に戻してよろしいですか？");
  const MessageAnswer answer = services_.ShowMessage(
      this, text, QStringLiteral("「行末のブランク/タブを削除」オプションの確認"),
      MessageIcon::kExclamation, MessageButtons::kYesNo);
  if (answer == MessageAnswer::kYes) ui_.optTrimTail->setChecked(true);
}

void VerkoMain::ClickAlwaysTop(bool on) {
  SetAlwaysOnTop(this, on);
  // The windows opened from this one stay above it.
  if (help_) SetAlwaysOnTop(help_, on);
  if (batch_) SetAlwaysOnTop(batch_, on);
  for (ReportViewer* viewer : Viewers()) SetAlwaysOnTop(viewer, on);
}

void VerkoMain::OpenSplitChars() {
  VerkoSplitChars dialog(splitChar_, services_, this);
  dialog.exec();
  splitChar_ = dialog.SplitChar();
}

void VerkoMain::OpenWorkDrive() {
  VerkoWorkDrive dialog(workPath_, services_, this);
  dialog.exec();
  workPath_ = dialog.WorkPath();
}

void VerkoMain::OpenSetEditor() {
  VerkoSetEditor dialog(editorSetting_, services_, this);
  dialog.exec();
  editorSetting_ = dialog.EditorSetting();
}

void VerkoMain::OpenLastReport() {
  if (lastReportPath_.isEmpty()) return;
  // A table, a patch or data is opened where it belongs, never as a report's lines.
  if (lastResultFormat_ != ResultFormat::kReport) {
    OpenWithDefaultApplication(lastReportPath_);
    return;
  }
  ShowInViewer(lastReportPath_, {});
}

void VerkoMain::OpenResult(const std::string& path) {
  const QString name = ToQString(path);
  if (batchResultFormats_.value(name, ResultFormat::kReport) == ResultFormat::kReport) {
    ShowInViewer(name, {});
    return;
  }
  OpenWithDefaultApplication(name);
}

void VerkoMain::OpenWithDefaultApplication(const QString& path) {
  if (!services_.OpenWithDefaultApplication(path)) {
    services_.ShowMessage(
        this,
        QStringLiteral("結果ファイル\n   %1\nを開くアプリケーションを起動できませんでした。")
            .arg(path),
        QStringLiteral("ファイルを開けない"), MessageIcon::kExclamation, MessageButtons::kOk);
  }
}

void VerkoMain::ShowInViewer(const QString& path, CompareAgainFunction compareAgain) {
  ReportViewer* viewer =
      ReportViewer::Open(path, services_, &store_, nullptr, std::move(compareAgain));
  if (!viewer) return;
  OfferPairDrop(viewer, store_, services_, appDir_);
  // Above this window when this one stays above all others.
  KeepAboveOpener(viewer, this);
  viewers_.append(viewer);
}

QList<ReportViewer*> VerkoMain::Viewers() const {
  QList<ReportViewer*> open;
  for (const QPointer<ReportViewer>& viewer : viewers_) {
    if (viewer) open.append(viewer);
  }
  return open;
}

void VerkoMain::ShowHelp(int contextId) {
  const QString helpFile = HelpDocumentPath(appDir_);
  if (!help_) help_ = new HelpWindow(helpFile, this);
  if (!help_->ShowTopic(contextId)) {
    services_.ShowMessage(this,
                          QStringLiteral("ヘルプファイルが見つかりません。\n   %1").arg(helpFile),
                          QStringLiteral("ヘルプ"), MessageIcon::kExclamation, MessageButtons::kOk);
  }
}

}  // namespace verko
