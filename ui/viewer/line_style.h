// How the report viewer paints a line of each kind: the kind's hue (report/line_colors.h)
// mixed into the palette's base colour, lightly on a light theme and more strongly on a
// dark one, so that text in the palette's own colour stays readable on both.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

#include "report/report_reader.h"

namespace verko {

// The background of a line of `kind`; invalid (the view's own) for common and plain lines.
QColor LineBackground(LineKind kind, const QPalette& palette);
// The background of the changed characters within a changed line of `kind`: the same hue,
// stronger than the line's own.
QColor ChangedTextBackground(LineKind kind, const QPalette& palette);
// The background of a gap and of the empty side of a side-by-side row.
QColor GapBackground(const QPalette& palette);
QColor EmptyCellBackground(const QPalette& palette);
// The muted colour of line numbers and of the gap's text.
QColor MutedText(const QPalette& palette);

// A line's numbers as the viewer shows them: "12", "12~2" for a part; empty for none.
QString LineNumberText(int number, int part);

}  // namespace verko
