// What `verko --view` opens: a report, or two files compared first into a report of their
// own (see view_pair.h), in a report viewer window that keeps its size and view in the
// settings store. A viewer of two files can compare them again (F5).
#pragma once

#include <QString>

namespace verko {

class ReportViewer;
class SettingsStore;
class UiServices;

struct ViewRequest {
  QString report;            // a report to show; or, with newFile, the old file
  QString newFile;           // empty: `report` is a report
  bool aboveOthers = false;  // opened from a main window that stays above all others
};

// Opens the viewer for `request`; null (after a message through `services`) when the pair
// cannot be compared or the report cannot be read. `store` must outlive the window.
ReportViewer* OpenViewer(const ViewRequest& request, SettingsStore& store, UiServices& services,
                         const QString& appDir);

}  // namespace verko
