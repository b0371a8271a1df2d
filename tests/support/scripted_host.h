// A compare host for tests: answers questions as scripted, records what a window would show
// and start, and can request a cancel at a chosen progress call.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "compare/compare_host.h"

namespace verko::test_support {

class ScriptedHost : public CompareHost {
 public:
  explicit ScriptedHost(RunFlags& flags) : flags_(flags) {}

  void LockControls() override { locked = true; }
  void UnlockControls() override { locked = false; }
  void ShowProgress(int percent) override {
    progress.push_back(percent);
    if (cancelAtShow != 0 && static_cast<int>(progress.size()) == cancelAtShow) RequestCancel();
    if (onProgress) onProgress(*this);
  }
  void SetPhaseText(const std::string& text) override { phases.push_back(text); }
  void ShowProgressDisplay() override { displayShown = true; }
  void FinishProgressDisplay(RunMode) override { displayFinished = true; }
  bool AskOverwrite(const std::string& text, const std::string&) override {
    questions.push_back(text);
    return answerOverwrite;
  }
  void ShowLineLimitMessage(const std::string& text, const std::string& title) override {
    limitMessages.push_back(title + ": " + text);
  }
  void ShowRunWarning(const std::string& text, const std::string& title) override {
    warnings.push_back(title + ": " + text);
  }
  void RecordHistory(const std::string& o, const std::string& n, const std::string& r) override {
    histories.push_back(o + "|" + n + "|" + r);
  }
  void StartEditor(const std::string& program, const std::vector<std::string>& args) override {
    editorProgram = program;
    editorArgs = args;
  }

  // Requests a cancel, as a confirmed cancel click during a yield would.
  void RequestCancel() { flags_.CancelRequested = true; }
  std::string LastPhase() const { return phases.empty() ? std::string() : phases.back(); }

  bool answerOverwrite = true;
  int cancelAtShow = 0;  // the ShowProgress call (1-based) at which the user cancels
  std::function<void(ScriptedHost&)> onProgress;

  bool locked = false;
  bool displayShown = false;
  bool displayFinished = false;
  std::vector<int> progress;
  std::vector<std::string> phases, questions, limitMessages, warnings, histories;
  std::string editorProgram;
  std::vector<std::string> editorArgs;

 private:
  RunFlags& flags_;
};

}  // namespace verko::test_support
