// The command line of verko-cli: comparison options with the main window's fresh defaults,
// checked before anything is written.
#pragma once

#include <string>
#include <vector>

#include "cli/report_output.h"
#include "compare/compare_run.h"

namespace verko {

struct CliOptions {
  CompareRequest request;
  bool quiet = false;
  bool help = false;
  bool version = false;
  // --batch NAME [--batch-db PATH]: run a stored batch list instead of one comparison.
  bool batch = false;
  std::string batchName;
  std::string batchDb;
  // --color[=WHEN]: colours of the report written to standard output ("-" as the result).
  ColorWhen color = ColorWhen::kAuto;
  // OLD NEW RESULT are three folders: every same-named pair of files is compared.
  bool folders = false;
  bool recursive = false;                 // -r: subfolders too, mirrored in the result folder
  std::vector<std::string> filePatterns;  // --files: only names that fit one of these
  int jobs = 0;                           // --jobs: pairs at a time; 0 = one per core
  bool allReports = false;                // --all-reports: a result file for every pair
  bool text = false;                      // --text: binary files compared by lines too
  // --apply-aratame: the names are AMENDMENT OLD RESULT; the amendment applied is written.
  bool applyAratame = false;
};

// The result name that writes the report to standard output.
inline constexpr const char* kStandardOutputName = "-";
// The old or new name that reads standard input.
inline constexpr const char* kStandardInputName = "-";

// Parses argv (without the program name). Returns false with a message (UTF-8) when an
// option or its value is not acceptable.
bool ParseCommandLine(const std::vector<std::string>& args, CliOptions* options,
                      std::string* error);

std::string UsageText();

// "verko-cli Ver 1.10.042".
std::string VersionLine();

// The user's own work folder (see DefaultWorkFolder) with a trailing "/".
std::string DefaultWorkPath();

}  // namespace verko
