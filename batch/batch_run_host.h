// How a batch run talks to whoever started it: the batch window, the terminal program or a
// test. Each question and message of the run has its own method, so that a host without
// dialogs (the terminal) can answer each for what it is; texts are UTF-8 and complete.
#pragma once

#include <string>

namespace verko {

struct CompareResult;

class BatchRunHost {
 public:
  virtual ~BatchRunHost() = default;

  // A check refused the run (exclamation icon, OK).
  virtual void ShowRunRefusal(const std::string& text, const std::string& title) = 0;
  // Unpaired or undecided rows remain: run anyway? (question icon, Yes/No)
  virtual bool ConfirmIncompleteRun(const std::string& text, const std::string& title) = 0;
  // A row fails the consistency pass (exclamation icon, OK); the grid should show `row`.
  virtual void ShowListDefect(const std::string& text, const std::string& title, int row) = 0;
  // The last question before the run starts (question icon, Yes/No).
  virtual bool ConfirmRunStart(const std::string& text, const std::string& title) = 0;
  // The run begins (true) or has ended (false): hide or show the editing parts, disable or
  // enable execute, help and close, enable or disable cancel.
  virtual void SetRunDisplay(bool running) = 0;
  // The row about to be compared, or -1 after the run.
  virtual void ShowRunRow(int row) { (void)row; }
  // How the comparison of `row` ended, as soon as it has.
  virtual void ShowPairOutcome(int row, const CompareResult& result) { (void)row, (void)result; }
  // A comparison failed or was cancelled: go on with the rest? (question icon, Yes/No)
  virtual bool AskContinueAfterError(const std::string& text, const std::string& title) = 0;
  virtual bool AskContinueAfterCancel(const std::string& text, const std::string& title) = 0;
  // Serve pending events once, after each pair: the moment a cancel click is handled.
  virtual void YieldAfterPair() = 0;
  // The end of the list was reached (information icon, OK).
  virtual void ShowCompletion(const std::string& text, const std::string& title) = 0;
};

}  // namespace verko
