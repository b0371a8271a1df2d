// What the window manager of a real X server made of our windows, read from the server
// itself rather than from Qt's own bookkeeping: where a window's frame stands, which windows
// lie above which, and the states the manager gave a window.
#pragma once

#include <QPoint>
#include <QString>
#include <vector>

class QWidget;

namespace verko::testing {

// True once a window manager has announced itself on the root window (waits up to
// `milliseconds`).
bool WaitForWindowManager(int milliseconds);

// Waits until the manager has framed `window` (its frame extents are set and it is among the
// managed windows).
bool WaitUntilManaged(const QWidget* window, int milliseconds);

// True when the manager has framed `window` now (no waiting).
bool IsManaged(const QWidget* window);

// The top-left corner of the frame the manager drew around `window`, in screen pixels.
QPoint FrameTopLeft(const QWidget* window);

// The managed windows from bottom to top, as X window ids.
std::vector<unsigned> StackingOrder();
// True when `upper` lies above `lower` in the manager's stacking order.
bool IsStackedAbove(const QWidget* upper, const QWidget* lower);

// True when the manager keeps `window` above others (_NET_WM_STATE_ABOVE).
bool ManagerKeepsAbove(const QWidget* window);

// True when the manager offers `action` (such as "_NET_WM_ACTION_MAXIMIZE_HORZ") for
// `window`: the buttons and menu entries of its frame.
bool ManagerOffers(const QWidget* window, const char* action);

// The manager's window ids in a message, for failures.
QString Describe(const QWidget* window);

}  // namespace verko::testing
