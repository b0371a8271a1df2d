// The flags a running comparison shares with the event handlers (or the signal handler) of
// whoever started it: the cancel request and whether a comparison is running.
#pragma once

#include <atomic>

namespace verko {

struct RunFlags {
  std::atomic<bool> CancelRequested{false};
  std::atomic<bool> CompareRunning{false};
};

}  // namespace verko
