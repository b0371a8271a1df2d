#include "ui/viewer_launch.h"

#include "ui/shared/ui_services.h"
#include "ui/shared/widget_parts.h"
#include "ui/shared/window_helpers.h"
#include "ui/view_pair.h"
#include "ui/viewer/report_viewer.h"

namespace verko {
namespace {

// Compares the pair; false after telling the user why not.
bool ComparePair(const ViewPair& pair, UiServices& services, QWidget* parent) {
  QStringList warnings;
  const Status status = CompareViewPair(pair, &warnings);
  if (!status.ok()) {
    services.ShowMessage(parent, ToQString(status.reason()), QStringLiteral("比較できません"),
                         MessageIcon::kExclamation, MessageButtons::kOk);
    return false;
  }
  if (!warnings.isEmpty()) {
    services.ShowMessage(parent, warnings.join(QStringLiteral("\n\n")),
                         QStringLiteral("比較の警告"), MessageIcon::kExclamation,
                         MessageButtons::kOk);
  }
  return true;
}

}  // namespace

ReportViewer* OpenViewer(const ViewRequest& request, SettingsStore& store, UiServices& services,
                         const QString& appDir) {
  QString reportPath = request.report;
  ViewPair pair;
  const bool comparing = !request.newFile.isEmpty();
  if (comparing) {
    pair = PrepareViewPair(store, appDir, request.report, request.newFile);
    if (!ComparePair(pair, services, nullptr)) return nullptr;
    reportPath = pair.reportPath;
  }
  CompareAgainFunction compareAgain;
  if (comparing) compareAgain = [pair] { return CompareViewPair(pair); };
  ReportViewer* viewer = ReportViewer::Open(reportPath, services, &store, nullptr, compareAgain);
  if (!viewer) return nullptr;
  if (request.aboveOthers) SetAlwaysOnTop(viewer, true);
  return viewer;
}

}  // namespace verko
