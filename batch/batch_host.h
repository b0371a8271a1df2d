// How the batch logic talks to the batch window (or a test): every message, question, input
// box and file chooser of the list, pairing and naming commands, and the notices that tell
// the window what to show again. The questions of a batch run default to the plain dialogs,
// so a window implements only these. Texts are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/batch_run_host.h"
#include "batch/batch_types.h"
#include "common/message_icon.h"

namespace verko {

// Which row commands the count line enables.
struct CountButtons {
  bool eachEnabled = false;     // CmdOldEach, CmdNewEach: a row is current
  bool oldAutoEnabled = false;  // CmdOldAuto: an old file is unpaired
  bool newAutoEnabled = false;  // CmdNewAuto: a new file is unpaired
};

class BatchHost : public BatchRunHost {
 public:
  // A message box with OK.
  virtual void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // Question icon, Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
  // OK and Cancel with the given icon; true for OK.
  virtual bool AskOkCancel(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // An input box; nullopt when cancelled.
  virtual std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                             const std::string& defaultText) = 0;
  // Open dialog with several files allowed ("すべて(*.*)|*.*", existing files, starting in
  // `folder` when not empty): the full paths chosen, empty when cancelled.
  virtual std::vector<std::string> ChooseFiles(const std::string& title,
                                               const std::string& folder) = 0;
  // Open dialog for one existing file: its full path, nullopt when cancelled.
  virtual std::optional<std::string> ChooseFile(const std::string& title,
                                                const std::string& folder) = 0;
  // A folder chooser: `placeholderName` is the name a file dialog proposes. Returns a path
  // whose folder part is the chosen folder (a folder with its trailing "/" will do); nullopt
  // when cancelled.
  virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                  const std::string& folder,
                                                  const std::string& placeholderName) = 0;

  // Show the list's settings in the fields (method indexes before their texts, without
  // running the method presets); rename and delete are disabled for the default list.
  virtual void ShowSettings(const BatchListSettings& settings, bool defaultList) {
    (void)settings, (void)defaultList;
  }
  // The grid's rows were read again; `currentRow` is -1 when no row is current.
  virtual void ShowRows(const std::vector<PairRow>& rows, int currentRow) {
    (void)rows, (void)currentRow;
  }
  // One row's fields changed in place.
  virtual void ShowRowChanged(int row) { (void)row; }
  virtual void ShowCurrentRow(int row) { (void)row; }
  // The count line and the buttons it enables.
  virtual void ShowCounts(const std::string& text, const CountButtons& buttons) {
    (void)text, (void)buttons;
  }
  // The state of the check box "終了時にDBを圧縮".
  virtual void ShowCompactOnClose(bool checked) { (void)checked; }

  // The batch run's questions as plain dialogs.
  void ShowRunRefusal(const std::string& text, const std::string& title) override {
    ShowMessage(text, title, MessageIcon::kExclamation);
  }
  bool ConfirmIncompleteRun(const std::string& text, const std::string& title) override {
    return AskYesNo(text, title);
  }
  void ShowListDefect(const std::string& text, const std::string& title, int row) override {
    ShowCurrentRow(row);
    ShowMessage(text, title, MessageIcon::kExclamation);
  }
  bool ConfirmRunStart(const std::string& text, const std::string& title) override {
    return AskYesNo(text, title);
  }
  bool AskContinueAfterError(const std::string& text, const std::string& title) override {
    return AskYesNo(text, title);
  }
  bool AskContinueAfterCancel(const std::string& text, const std::string& title) override {
    return AskYesNo(text, title);
  }
  void ShowCompletion(const std::string& text, const std::string& title) override {
    ShowMessage(text, title, MessageIcon::kInformation);
  }
};

}  // namespace verko
