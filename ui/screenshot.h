// The hidden screenshot mode of the program (verko --screenshot DIR): shows the main window
// idle and during a run, each settings dialog, the help window, the main message boxes and
// the batch window with its list chooser,
// and writes a PNG of each into DIR, so that the layout can be checked as a user sees it.
#pragma once

#include <QString>

namespace verko {

// Writes the PNGs; returns the program's exit status (0 when every picture was written).
int TakeScreenshots(const QString& folder, const QString& appDir);

}  // namespace verko
