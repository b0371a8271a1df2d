// Small pieces shared by the program's windows: the program icon, the placement of a
// settings dialog beside the main window, and the always-on-top state of a window.
#pragma once

#include <QPixmap>

class QWidget;

namespace verko {

// The program icon (an old and a new sheet of text side by side), drawn at `size` pixels
// from its scalable picture.
QPixmap ProgramIcon(int size);

// Places `dialog` 200 twips below and 400 twips right of `main`'s top-left corner.
void PlaceBesideMain(QWidget* dialog, const QWidget* main);

// Keeps `window` above all others (or not); a visible window is shown again, since
// changing the flag hides it.
void SetAlwaysOnTop(QWidget* window, bool on);

}  // namespace verko
