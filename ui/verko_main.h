// The main window's behaviour: the three file fields with their histories, the comparison
// options, the commands that start, cancel and close, the settings dialogs, help, and the
// progress display of a running comparison. It hosts the core's compare run with its widgets
// (built by MainWindowControls) and keeps its settings (MainWindowSettings) between starts.
#pragma once

#include <QHash>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "batch/window/batch_main_link.h"
#include "compare/compare_host.h"
#include "compare/compare_run.h"
#include "compare/compare_session.h"
#include "ui/main_window_controls.h"
#include "ui/viewer/report_page.h"

class QComboBox;
class QLineEdit;
class QTimer;

namespace verko {

class HelpWindow;
class ReportViewer;
class SettingsStore;
class UiServices;
class VerkoBatch;

class VerkoMain : public QWidget, public CompareHost, public BatchMainLink {
 public:
  // Loads the settings from `store` (written back when the window closes). `appDir` is the
  // program's folder, ending in "/", where the help document lives. Both services and store
  // must outlive the window.
  VerkoMain(SettingsStore& store, UiServices& services, const QString& appDir,
            QWidget* parent = nullptr);
  ~VerkoMain() override;

  // Puts up to three names (old, new, result) into the file fields.
  void SetFileNames(const QStringList& names);

  // The request that a start would run: file names, options and the three variables.
  CompareRequest BuildRequest() const;
  // The result of the last run started from this window.
  const CompareResult& LastResult() const { return session_.LastResult(); }

  QString WorkPath() const { return workPath_; }
  QString SplitChar() const { return splitChar_; }
  QString EditorSetting() const { return editorSetting_; }

  // Opens the report of the last completed run in the report viewer (CmdView).
  void OpenLastReport();
  // The viewer windows opened from this window that are still open.
  QList<ReportViewer*> Viewers() const;

  // The batch-list database the batch window opens; by default the user's own,
  // VerkoBatchList.mdb in the user's data folder ($XDG_DATA_HOME/Verko/), which verko-cli
  // uses too.
  void SetBatchListDbPath(const QString& path) { batchDbPath_ = path; }
  // Opens the batch window (CmdBatch), or brings the open one to the front.
  void OpenBatchWindow();
  // The open batch window, or null.
  VerkoBatch* BatchWindow() const;

  // BatchMainLink
  // Runs one comparison in batch mode of the pair's names with the window's options (no
  // overwrite question, histories left alone, refusals returned in the result instead of
  // shown); the file fields show the names meanwhile. Refused while another comparison runs.
  CompareResult RunBatchCompare(const std::string& oldName, const std::string& newName,
                                const std::string& resultName) override;
  // True while a comparison started from the start button is running.
  bool InteractiveRunActive() const override { return session_.InteractiveRunActive(); }
  void SetBatchRunning(bool running) override;
  // Refuses a batch run with an invalid split width or context count, with the field's
  // message, as the start button does.
  bool CheckOptions() override;
  // Opens the help window at the topic of `contextId`.
  void ShowHelp(int contextId) override;
  bool AlwaysOnTop() const override;
  // A report in a viewer window, any other format through the desktop (xdg-open).
  void OpenResult(const std::string& path) override;
  // True from the moment a run has opened its files until its end.
  bool CompareRunning() const { return flags_.CompareRunning.load(); }

  // CompareHost
  void LockControls() override;
  void UnlockControls() override;
  void ShowProgress(int percent) override;
  void SetPhaseText(const std::string& text) override;
  void ShowProgressDisplay() override;
  void FinishProgressDisplay(RunMode mode) override;
  bool AskOverwrite(const std::string& text, const std::string& title) override;
  void ShowLineLimitMessage(const std::string& text, const std::string& title) override;
  void ShowRunWarning(const std::string& text, const std::string& title) override;
  void RecordHistory(const std::string& oldName, const std::string& newName,
                     const std::string& resultName) override;
  void StartEditor(const std::string& program, const std::vector<std::string>& args) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The first time the window is shown it gives the focus to where the user starts.
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectHandlers();
  // Puts the stored settings into the controls (an option that differs from its initial
  // state runs its click handling) and places the window.
  void LoadSettings();
  void SaveSettings();

  // Closes the window as the program's own command (the close goes ahead during a run).
  void CloseByProgram();
  void ClickStart();
  // 比較して表示: compares the pair into the work folder and opens the viewer on it.
  void ClickCompareView();
  // Opens `path` in a report viewer kept above this window when it stays on top.
  void ShowInViewer(const QString& path, CompareAgainFunction compareAgain);
  // Starts the desktop's default application on a result that is not a report; says so when
  // none could be started.
  void OpenWithDefaultApplication(const QString& path);
  // After a run: its refusal or failure, or the warning about text invalid in its encoding.
  void ShowRunEnd(const CompareResult& result);
  // Remembers the report of a completed run for 結果の表示.
  void NoteFinishedReport(const CompareRequest& request, const CompareResult& result);
  void ClickCancel();
  void BrowseFile(QComboBox* field, const QString& title, bool result);
  void ClickTrimTail(bool on);
  void ClickAlwaysTop(bool on);
  void OpenSplitChars();
  void OpenWorkDrive();
  void OpenSetEditor();
  void HideProgressDisplay();

  // Validates a numeric field: a number from `low` to `high`; otherwise shows the valid range
  // under `title` and keeps the focus in the field.
  bool ValidateNumberField(QLineEdit* field, int low, int high, const QString& title);
  bool ValidateMatchLen();
  bool ValidateSplitWidth();
  // The enabled numeric fields checked before a start.
  bool ValidateEnabledFields();

  // Records `text` in the history list of `field`.
  static void RegistCombo(QComboBox* field, const QString& text);
  // The option controls as they stand.
  OptionFields ReadOptionFields() const;

  SettingsStore& store_;
  UiServices& services_;
  QString appDir_;
  const MainWindowControls ui_;
  // Hides the progress display a little after an interactive run has ended.
  QTimer* progressHideTimer_;
  QString workPath_, splitChar_, editorSetting_, converters_;
  RunFlags flags_;
  CompareSession session_{*this, flags_};
  bool closeAfterRun_ = false;
  bool programClose_ = false;
  bool unloaded_ = false;
  bool firstShown_ = false;
  // The stored position (twips) and the frame position it gave (pixels).
  int loadedTop_ = 0, loadedLeft_ = 0;
  QPoint placedAt_;
  QString batchDbPath_;
  QPointer<VerkoBatch> batch_;
  HelpWindow* help_ = nullptr;
  QString lastReportPath_;
  ResultFormat lastResultFormat_ = ResultFormat::kReport;  // the format of lastReportPath_
  // The format each result of a batch run was written in, for opening it from the list.
  QHash<QString, ResultFormat> batchResultFormats_;
  QList<QPointer<ReportViewer>> viewers_;
};

}  // namespace verko
