#include "compare/run_memory.h"

#include <unistd.h>

namespace verko {
namespace {

// The main thread's memory is never given back: the system takes it back whole at the
// process's end, sooner than freeing it block by block (held here, it is never a leak).
RunMemory* mainThreadMemory = nullptr;

RunMemory& ThisThreadsMemory() {
  if (::gettid() == ::getpid()) {
    if (mainThreadMemory == nullptr) mainThreadMemory = new RunMemory;
    return *mainThreadMemory;
  }
  thread_local RunMemory memory;  // given back when the thread ends
  return memory;
}

}  // namespace

RunMemoryLease::RunMemoryLease() : memory_(&ThisThreadsMemory()) {
  if (memory_->inUse) {
    own_ = std::make_unique<RunMemory>();
    memory_ = own_.get();
  }
  memory_->inUse = true;
}

RunMemoryLease::~RunMemoryLease() {
  memory_->oldText.Clear();
  memory_->newText.Clear();
  memory_->report.clear();
  memory_->inUse = false;
}

}  // namespace verko
