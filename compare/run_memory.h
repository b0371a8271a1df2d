// The memory of a comparison run (line tables, match state, report), kept by each thread
// for its next run and lent to one run at a time.
#pragma once

#include <memory>
#include <string>

#include "compare/lines/line_table.h"
#include "matching/match_state.h"

namespace verko {

// The memory of a run's line tables, match state and report, kept by each thread for its
// next run: a folder run compares many pairs on each thread, and memory given back after
// every pair would be taken fresh from the system, page by page, by the next.
struct RunMemory {
  LineTable oldText, newText;
  MatchState state;
  std::string report;
  bool inUse = false;
};

// The run memory of this thread for one run, emptied again when the run ends; a run
// started while another runs on the same thread takes memory of its own.
class RunMemoryLease {
 public:
  RunMemoryLease();
  ~RunMemoryLease();
  RunMemoryLease(const RunMemoryLease&) = delete;
  RunMemoryLease& operator=(const RunMemoryLease&) = delete;

  RunMemory& memory() { return *memory_; }

 private:
  RunMemory* memory_;
  std::unique_ptr<RunMemory> own_;
};

}  // namespace verko
