// The colour of each kind of report line, one definition for the report viewer (a tint
// mixed into the window's background) and for the terminal (an ANSI colour of the same
// hue): deleted red, added green, moved at the old place magenta, moved at the new place
// cyan. Common lines, gaps and plain text have none.
#pragma once

#include <cstdint>

#include "report/report_reader.h"

namespace verko {

struct LineColor {
  bool colored = false;
  uint32_t rgb = 0;  // 0xRRGGBB, the pure hue
  int ansi = 0;      // SGR foreground code (31 red ... 36 cyan)
};

LineColor ColorOfKind(LineKind kind);

}  // namespace verko
