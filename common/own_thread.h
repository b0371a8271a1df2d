// Work that a run hands to a thread of its own (writing the work database, encoding the
// report, decoding the new file beside the old one) only goes faster there: when the system
// gives no further thread (a process or thread limit, too little memory), the run does that
// work itself, on its own thread, and ends as it would have.
#pragma once

#include <system_error>
#include <utility>

namespace verko {

// Starts `work` on a new thread held in `thread` (a std::thread or std::jthread). False,
// with `thread` left as it was, when the system cannot start one: the caller then does the
// work itself.
template <typename Thread, typename Work>
bool StartOwnThread(Thread& thread, Work&& work) {
  try {
    thread = Thread(std::forward<Work>(work));
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace verko
