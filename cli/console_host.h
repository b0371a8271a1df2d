// The terminal as the host of a compare run: progress (phase text and percent, updated in
// place) on stderr when it is a terminal, messages on stderr, no questions (batch mode).
#pragma once

#include <atomic>
#include <cstdio>
#include <string>

#include "compare/compare_host.h"

namespace verko {

class ConsoleHost : public CompareHost {
 public:
  // Progress is drawn only when `showProgress` is set (stderr is a terminal, not --quiet).
  // A Ctrl-C seen by `interrupted` before the run reads its files would be cleared when
  // reading starts; it is set on the run's flags again at every progress step.
  ConsoleHost(std::FILE* err, bool showProgress, RunFlags& flags,
              const std::atomic<bool>& interrupted)
      : err_(err), showProgress_(showProgress), flags_(flags), interrupted_(interrupted) {}

  void ShowProgress(int percent) override;
  void SetPhaseText(const std::string& text) override;
  void FinishProgressDisplay(RunMode mode) override;
  bool AskOverwrite(const std::string& text, const std::string& title) override;
  void ShowLineLimitMessage(const std::string& text, const std::string& title) override;
  void ShowRunWarning(const std::string& text, const std::string& title) override;

  // Prints a message with its title.
  void ShowMessage(const std::string& text, const std::string& title);
  // One line of information after the program's name.
  void ShowNote(const std::string& text);
  // Takes the progress line away, so that what is written next starts a line; the next
  // step of progress draws it again.
  void ClearProgress();

 private:
  void Redraw();

  std::FILE* err_;
  bool showProgress_;
  RunFlags& flags_;
  const std::atomic<bool>& interrupted_;
  bool drawn_ = false;
  int percent_ = 0;
  std::string phase_;
};

}  // namespace verko
