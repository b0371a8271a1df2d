#include "cli/console_host.h"

#include <algorithm>

namespace verko {

void ConsoleHost::ShowProgress(int percent) {
  if (interrupted_) flags_.CancelRequested = true;
  percent = std::clamp(percent, 0, 100);
  if (percent == percent_ && drawn_) return;
  percent_ = percent;
  Redraw();
}

void ConsoleHost::SetPhaseText(const std::string& text) {
  phase_ = text;
  Redraw();
}

void ConsoleHost::FinishProgressDisplay(RunMode) {
  ClearProgress();
}

bool ConsoleHost::AskOverwrite(const std::string&, const std::string&) {
  return true;
}

void ConsoleHost::ShowLineLimitMessage(const std::string& text, const std::string& title) {
  ShowMessage(text, title);
}

void ConsoleHost::ShowRunWarning(const std::string& text, const std::string& title) {
  ShowMessage(text, title);
}

void ConsoleHost::ShowMessage(const std::string& text, const std::string& title) {
  ClearProgress();
  std::fprintf(err_, "verko-cli: %s\n%s\n", title.c_str(), text.c_str());
  std::fflush(err_);
}

void ConsoleHost::ShowNote(const std::string& text) {
  ClearProgress();
  std::fprintf(err_, "verko-cli: %s\n", text.c_str());
  std::fflush(err_);
}

void ConsoleHost::Redraw() {
  if (!showProgress_ || phase_.empty()) return;
  // "\r" and clear-to-end-of-line keep the display on one line.
  std::fprintf(err_, "\r\x1b[K%s %3d%%", phase_.c_str(), percent_);
  std::fflush(err_);
  drawn_ = true;
}

void ConsoleHost::ClearProgress() {
  if (!drawn_) return;
  std::fprintf(err_, "\r\x1b[K");
  std::fflush(err_);
  drawn_ = false;
}

}  // namespace verko
