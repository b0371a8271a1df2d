// The report on standard output ("-" as the result): as written to a file, or, on a
// terminal, converted to the terminal's encoding (the locale's) so that it reads as it is;
// the lines of each kind marked with ANSI colours when asked.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "common/status.h"
#include "common/text_encoding.h"
#include "report/changed_characters.h"

namespace verko {

// --color=WHEN.
enum class ColorWhen { kAuto, kAlways, kNever };

// "auto", "always" or "never"; false for anything else.
bool ParseColorWhen(std::string_view text, ColorWhen* when);

// Whether to colour: always, never, or (auto) on a terminal unless NO_COLOR is set to a
// non-empty text or TERM is "dumb" (`noColor` and `term` are their values, null when unset).
bool UseColor(ColorWhen when, bool terminal, const char* noColor, const char* term);

// The report with every body line wrapped in the colour of its kind (and a reset before
// its line end). Works on the bytes of any report encoding; other lines stay as they are.
// With the report's `encoding` known, the changed characters of each deleted line and the
// added line it became are marked besides, in reverse video of the line's colour.
std::string ColorReport(std::string_view report,
                        std::optional<TextEncoding> encoding = std::nullopt,
                        ChangeUnits units = ChangeUnits::kWords);

// The encoding of a terminal's codeset (the locale's), when it is one a report is written
// in; none for any other.
std::optional<TextEncoding> EncodingOfCodeset(const std::string& codeset);

// The report converted from its own encoding (recognised from its bytes) to `codeset`, the
// locale's; a character the codeset cannot hold becomes "?".
std::string ConvertForTerminal(std::string_view report, const std::string& codeset);

// The encoding of a report on a terminal: the locale's `codeset` when it holds Japanese
// text, else UTF-8, which terminals speak (a C or POSIX locale names only ASCII).
std::string TerminalCodeset(const std::string& codeset);

struct ReportOutput {
  bool terminal = false;
  bool color = false;
  std::string codeset = "UTF-8";
  ChangeUnits units = ChangeUnits::kWords;  // what the colour marks of changed lines cover
};

// Writes the report to `out` as `output` says; a write error is returned.
Status WriteReport(std::string_view report, const ReportOutput& output, std::FILE* out);

}  // namespace verko
