// The main window: the three file fields with their histories, the comparison options, the
// commands that start, cancel and close, the settings dialogs, help, and the progress
// display of a running comparison. It hosts the core's compare run with its widgets and
// keeps its state in the settings store between starts.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "batch/window/batch_main_link.h"
#include "compare/compare_host.h"
#include "compare/compare_run.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace verko {

class HelpWindow;
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
  const CompareResult& LastResult() const { return lastResult_; }

  QString WorkPath() const { return workPath_; }
  QString SplitChar() const { return splitChar_; }
  QString EditorSetting() const { return editorSetting_; }

  // The batch-list database the batch window opens; by default VerkoBatchList.mdb beside the
  // program (or the user's copy when the program's folder cannot be written).
  void SetBatchListDbPath(const QString& path) { batchDbPath_ = path; }
  // Opens the batch window (CmdBatch), or brings the open one to the front.
  void OpenBatchWindow();
  // The open batch window, or null.
  VerkoBatch* BatchWindow() const;

  // BatchMainLink
  // Writes the three names into the file fields and runs one comparison in batch mode with
  // the window's options: no overwrite question, histories left alone, refusals returned in
  // the result instead of shown. Refused while another comparison runs.
  CompareResult RunBatchCompare(const std::string& oldName, const std::string& newName,
                                const std::string& resultName) override;
  // True while a comparison started from the start button is running.
  bool InteractiveRunActive() const override { return interactiveRun_; }
  void SetBatchRunning(bool running) override;
  // Refuses a batch run with an invalid split width or context count, with the field's
  // message, as the start button does.
  bool CheckOptions() override;
  // Opens the help window at the topic of `contextId`.
  void ShowHelp(int contextId) override;
  bool AlwaysOnTop() const override;
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
  void RecordHistory(const std::string& oldName, const std::string& newName,
                     const std::string& resultName) override;
  void StartEditor(const std::string& program, const std::vector<std::string>& args) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The first time the window is shown it gives the focus to where the user starts.
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void LayOutControls();
  void SetTabOrder();
  void ConnectHandlers();
  void LoadSettings();
  void SaveSettings();

  // Closes the window as the program's own command (the close goes ahead during a run).
  void CloseByProgram();
  void ClickStart();
  void ClickCancel();
  void BrowseFile(QComboBox* field, const QString& title, bool result);
  void ClickTrimTail(bool on);
  void ClickAlwaysTop(bool on);
  void OpenSplitChars();
  void OpenWorkDrive();
  void OpenSetEditor();
  void HideProgressDisplay();
  void SizeRateBar();

  // Validates a numeric field; shows its message and keeps the focus there when invalid.
  bool ValidateMatchLen();
  bool ValidateSplitWidth();
  // The enabled numeric fields checked before a start.
  bool ValidateEnabledFields();

  // Records `text` in the history list of `field`.
  static void RegistCombo(QComboBox* field, const QString& text);
  CompareResult RunCompare(RunMode mode);

  SettingsStore& store_;
  UiServices& services_;
  QString appDir_;
  QString workPath_, splitChar_, editorSetting_;
  RunFlags flags_;
  CompareResult lastResult_;
  bool interactiveRun_ = false;
  bool runActive_ = false;
  bool closeAfterRun_ = false;
  bool programClose_ = false;
  bool unloaded_ = false;
  bool batchRunning_ = false;
  bool firstShown_ = false;
  // The stored position (twips) and the frame position it gave (pixels).
  int loadedTop_ = 0, loadedLeft_ = 0;
  QPoint placedAt_;
  QString batchDbPath_;
  QPointer<VerkoBatch> batch_;
  int progressPercent_ = 0;
  HelpWindow* help_ = nullptr;

  QPushButton *cmdBatch_, *cmdHelp_, *cmdStart_, *cmdCancel_, *cmdClose_;
  QGroupBox *frameFiles_, *frameOptions_;
  QLabel *label1_, *label2_, *label3_;
  QComboBox *comboOld_, *comboNew_, *comboResult_;
  QPushButton *cmdRefOld_, *cmdRefNew_, *cmdRefResult_;
  QFrame *line1_, *line2_;
  QCheckBox *optTrimTop_, *optTrimTail_, *optCompress_, *optSplit_, *optDiffOnly_,
      *optDispWithEditor_, *optAlwaysTop_;
  QLineEdit *textSplitWidth_, *textMatchLen_;
  QLabel *label5_, *labelEncoding_;
  QComboBox* comboEncoding_;
  QPushButton *cmdSplitChars_, *cmdSetEditor_, *cmdWorkPath_;
  QLineEdit* textProcDesc_;
  QFrame *rateFrame_, *rateFrame2_, *rateFrame3_, *rateBar_;
  QTimer* timer1_;
  QLabel *versionDisp_, *label4_, *image1_;
};

}  // namespace verko
