// The flags a running comparison shares with the event handlers (or the signal handler) of
// whoever started it: the cancel request and whether a comparison is running.
#pragma once

#include <atomic>

namespace verko {

struct RunFlags {
  std::atomic<bool> CancelRequested{false};
  std::atomic<bool> CompareRunning{false};
  // A stop of the whole command when several runs go side by side: a run waiting for a
  // pipe sees it too, since the signal that sets it reaches only one thread.
  const std::atomic<bool>* CommandStop = nullptr;

  // Whether the run is asked to stop: its own cancel, or the whole command's.
  bool StopRequested() const { return CancelRequested || (CommandStop && *CommandStop); }
};

}  // namespace verko
