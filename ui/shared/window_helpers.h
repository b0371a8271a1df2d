// Small pieces shared by the program's windows: the program icon, the placement of a
// settings dialog beside the main window, and the always-on-top state of a window and of the
// windows it opens.
#pragma once

#include <QPixmap>
#include <QPoint>

class QWidget;

namespace verko {

// The program icon (an old and a new sheet of text side by side), drawn at `size` pixels
// from its scalable picture.
QPixmap ProgramIcon(int size);

// Keeps `window` wholly on a screen that exists: a window larger than its screen's available
// area is made smaller (as far as its minimum size allows), and a window whose frame would
// stand partly or wholly off every screen is moved onto the nearest screen's available area.
// A window not yet shown counts with the frame it will get (as far as it can be told
// beforehand) at its position (the frame's corner, as PlaceFrameAt sets it).
void BringOnScreen(QWidget* window);

// Places `window` (not yet shown) so that the top-left corner of its frame, not of its
// client area, stands at `framePos` when it is shown (moved onto a screen, see
// BringOnScreen): the position a window reports and saves is its frame's. Its window flags
// are to be changed through SetAlwaysOnTop only.
void PlaceFrameAt(QWidget* window, const QPoint& framePos);

// Places `dialog` (not yet shown) so that its frame stands 200 twips below and 400 twips
// right of the top-left corner of `main`'s frame.
void PlaceBesideMain(QWidget* dialog, const QWidget* main);

// Keeps `window` above all others (or not). A window already on the screen is told so in
// place, without being hidden and shown again.
void SetAlwaysOnTop(QWidget* window, bool on);

// A window about to be opened by `opener` (a message box, a file dialog, the help) stays
// above it: it is kept on top when the opener's window is.
void KeepAboveOpener(QWidget* window, const QWidget* opener);

}  // namespace verko
