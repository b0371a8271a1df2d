// The command line of verko-cli: comparison options with the main window's fresh defaults,
// checked before anything is written.
#pragma once

#include <string>
#include <vector>

#include "compare/compare_run.h"

namespace verko {

struct CliOptions {
  CompareRequest request;
  bool quiet = false;
  bool help = false;
  // --batch NAME [--batch-db PATH]: run a stored batch list instead of one comparison.
  bool batch = false;
  std::string batchName;
  std::string batchDb;
  // OLD NEW RESULT are three folders: every same-named pair of files is compared.
  bool folders = false;
  bool recursive = false;                 // -r: subfolders too, mirrored in the result folder
  std::vector<std::string> filePatterns;  // --files: only names that fit one of these
  int jobs = 0;                           // --jobs: pairs at a time; 0 = one per core
};

// Parses argv (without the program name). Returns false with a message (UTF-8) when an
// option or its value is not acceptable.
bool ParseCommandLine(const std::vector<std::string>& args, CliOptions* options,
                      std::string* error);

std::string UsageText();

// The user's own work folder (see DefaultWorkFolder) with a trailing "/".
std::string DefaultWorkPath();

}  // namespace verko
