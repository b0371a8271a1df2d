// verko-cli --batch NAME: runs the stored batch list called NAME with the command line's
// comparison options, several pairs at once. Rows with a placeholder are skipped and
// counted, each pair's error is printed in list order and the run goes on, and a summary
// line ends it.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>

#include "cli/console_host.h"
#include "compare/compare_run.h"

namespace verko {

struct BatchCommand {
  std::string listName;
  std::string dbPath;  // empty: the database the batch window uses
  CompareOptions options;
  bool quiet = false;
  bool showProgress = false;  // stderr is a terminal
  int jobs = 1;
};

// Exit status: 0 when every complete pair was compared, 2 otherwise (list not found, a check
// refused the run, a pair failed), 130 when interrupted.
int RunBatchCommand(const BatchCommand& command, ConsoleHost& host,
                    const std::atomic<bool>& interrupted, std::FILE* out, std::FILE* err);

}  // namespace verko
