// What `verko --view` opens: a report, or two files compared first into a report of their
// own (see view_pair.h), in a report viewer window that keeps its size and view in the
// settings store. A viewer of two files can compare them again (F5). When a viewer of the
// same user is already open, the report goes to it as a tab of its own (viewer_handoff.h).
#pragma once

#include <QString>

namespace verko {

class ReportViewer;
class SettingsStore;
class UiServices;
class ViewerHandoff;

struct ViewRequest {
  QString report;            // a report to show; or, with newFile, the old file
  QString newFile;           // empty: `report` is a report
  bool aboveOthers = false;  // opened from a main window that stays above all others
};

// Opens the viewer for `request`; null (after a message through `services`) when the pair
// cannot be compared or the report cannot be read. `store` must outlive the window.
ReportViewer* OpenViewer(const ViewRequest& request, SettingsStore& store, UiServices& services,
                         const QString& appDir);

// `verko --view`: compares a pair first, then hands the report to the user's viewer already
// open at `socketPath` (ViewerHandoff::SocketPath(); empty: none) or opens a window that
// takes the later launches' reports, and runs until the windows close. Returns the
// program's exit status (2 when nothing could be shown).
int RunViewerProgram(ViewRequest request, SettingsStore& store, UiServices& services,
                     const QString& appDir, const QString& socketPath);

// Listens at `socketPath` through `handoff` for the requests of later launches, each shown
// by ShowInOpenViewer once the launch has its answer: a report that cannot be shown is said
// in the open viewer, and no launch ever waits on a message box or a slow file. False when
// it cannot listen.
bool TakeViewRequests(ViewerHandoff& handoff, const QString& socketPath, SettingsStore& store,
                      UiServices& services, const QString& appDir);

// Lets two files dropped on `viewer` be compared with the options in `store` and shown as a
// tab of it (a failure told through `services`). `store` and `services` must outlive it.
void OfferPairDrop(ReportViewer* viewer, SettingsStore& store, UiServices& services,
                   const QString& appDir);

// Shows `request` (a pair already compared) as a tab of the viewer window most recently
// opened, or in a new one when none is open; false when its report cannot be read.
bool ShowInOpenViewer(const ViewRequest& request, SettingsStore& store, UiServices& services,
                      const QString& appDir);

}  // namespace verko
