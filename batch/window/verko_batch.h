// The batch window: batch lists are created, chosen, renamed and deleted here, the shown
// list's pairs are filled, paired, named and counted in a grid, and the batch run is started
// and cancelled. The window is thin: its controls forward to a BatchSession and it shows what
// the session tells it (it is the session's BatchHost).
#pragma once

#include <QString>
#include <QWidget>

#include "batch/batch_host.h"
#include "batch/batch_session.h"
#include "batch/window/batch_window_controls.h"

class QLineEdit;

namespace verko {

class BatchMainLink;
class PairTableModel;
class SettingsStore;
class UiServices;

// The user's batch-list database, the one verko-cli uses too, seeded on first use from the
// empty database delivered with the program in `appDir` (ending in "/"); a failure to seed
// shows up as the batch window's open message.
QString BatchListDbPath(const QString& appDir);

class VerkoBatch : public QWidget, public BatchHost {
 public:
  // Opens the batch-list database at `dbPath` and shows the list remembered in `store` under
  // BatchID (the default list 1 when there is none). `link`, `store` and `services` must
  // outlive the window. When the database cannot be opened the message is shown and the
  // window holds no list.
  VerkoBatch(BatchMainLink& link, SettingsStore& store, UiServices& services, const QString& dbPath,
             QWidget* parent = nullptr);
  ~VerkoBatch() override;

  // Closes the window as the program does (the main window closing): not held up by a run,
  // which is asked to stop after its current pair; the window unloads when the run has
  // returned.
  void CloseByProgram();

  BatchSession& Session() { return session_; }

  // BatchHost
  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  bool AskOkCancel(const std::string& text, const std::string& title, MessageIcon icon) override;
  std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                     const std::string& defaultText) override;
  std::vector<std::string> ChooseFiles(const std::string& title,
                                       const std::string& folder) override;
  std::optional<std::string> ChooseFile(const std::string& title,
                                        const std::string& folder) override;
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string& folder,
                                          const std::string& placeholderName) override;
  void ShowSettings(const BatchListSettings& settings, bool defaultList) override;
  void ShowRows(const std::vector<PairRow>& rows, int currentRow) override;
  void ShowRowChanged(int row) override;
  void ShowCurrentRow(int row) override;
  void ShowCounts(const std::string& text, const CountButtons& buttons) override;
  void ShowCompactOnClose(bool checked) override;
  void SetRunDisplay(bool running) override;
  void ShowRunRow(int row) override;
  void ShowPairOutcome(int row, const CompareResult& result) override;
  void YieldAfterPair() override;
  // Once the program has closed the window during a run, the run ends without asking.
  bool AskContinueAfterError(const std::string& text, const std::string& title) override;
  bool AskContinueAfterCancel(const std::string& text, const std::string& title) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectHandlers();
  // Keeps the list's settings in the session as the user edits the fields.
  void ConnectField(QLineEdit* field, std::string BatchListSettings::*member);
  void ApplyMethodDisplays(const BatchListSettings& settings);
  // New, select, rename and delete; rename and delete never for the default list.
  void EnableListCommands(bool enabled);
  // Stores the name being typed into a cell of the grid, if any, and ends the editing.
  void CommitGridEdit();
  void SelectRow(int row);
  // A double click on the grid: the result of a row the last run compared opens, any other
  // cell is edited.
  void OpenOrEditCell(const QModelIndex& index);
  void ClickExecute();
  void SelectBatch();
  // Stores BatchID and the list's settings, closes the database (and compacts it when asked).
  void Unload();

  BatchMainLink& link_;
  SettingsStore& store_;
  UiServices& services_;
  BatchSession session_;
  PairTableModel* model_;
  const BatchWindowControls ui_;
  // Set while the window shows what the session holds, so that the fields' change signals
  // do not write the same values back.
  bool showing_ = false;
  bool defaultList_ = false;
  bool programClose_ = false;
  bool unloadAfterRun_ = false;
  bool unloaded_ = false;
};

}  // namespace verko
