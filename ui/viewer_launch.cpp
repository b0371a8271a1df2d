#include "ui/viewer_launch.h"

#include <QApplication>
#include <QFileInfo>
#include <QLockFile>
#include <QTimer>
#include <memory>

#include "ui/shared/ui_services.h"
#include "ui/shared/widget_parts.h"
#include "ui/shared/window_helpers.h"
#include "ui/view_pair.h"
#include "ui/viewer/report_viewer.h"
#include "ui/viewer_handoff.h"

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

// The texts a request is handed over as, with absolute paths (the viewer that takes them
// runs in a folder of its own), and back.
QStringList TextsOf(const ViewRequest& request) {
  auto absolute = [](const QString& path) {
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
  };
  return {absolute(request.report), absolute(request.newFile),
          request.aboveOthers ? QStringLiteral("1") : QStringLiteral("0")};
}

bool RequestOf(const QStringList& texts, ViewRequest* request) {
  if (texts.size() != 3 || texts[0].isEmpty()) return false;
  *request = {texts[0], texts[1], texts[2] == QLatin1String("1")};
  return true;
}

// The viewer window opened last that is still open.
ReportViewer* LastOpenViewer() {
  ReportViewer* last = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* viewer = dynamic_cast<ReportViewer*>(window); viewer && viewer->isVisible()) {
      last = viewer;
    }
  }
  return last;
}

}  // namespace

void OfferPairDrop(ReportViewer* viewer, SettingsStore& store, UiServices& services,
                   const QString& appDir) {
  viewer->SetPairDrop(
      [viewer, &store, &services, appDir](const QString& oldPath, const QString& newPath) {
        const ViewPair pair = PrepareViewPair(store, appDir, oldPath, newPath);
        if (ComparePair(pair, services, viewer)) {
          viewer->AddReport(pair.reportPath, [pair] { return CompareViewPair(pair); });
        }
      });
}

bool ShowInOpenViewer(const ViewRequest& request, SettingsStore& store, UiServices& services,
                      const QString& appDir) {
  QString path = request.report;
  CompareAgainFunction compareAgain;
  if (!request.newFile.isEmpty()) {
    // The pair was compared by the launch that asked; F5 compares it here.
    const ViewPair pair = PrepareViewPair(store, appDir, request.report, request.newFile);
    path = pair.reportPath;
    compareAgain = [pair] { return CompareViewPair(pair); };
  }
  ReportViewer* viewer = LastOpenViewer();
  if (viewer) {
    if (!viewer->AddReport(path, std::move(compareAgain))) return false;
    viewer->raise();
    viewer->activateWindow();
  } else {
    viewer = ReportViewer::Open(path, services, &store, nullptr, std::move(compareAgain));
    if (!viewer) return false;
    OfferPairDrop(viewer, store, services, appDir);
  }
  if (request.aboveOthers) SetAlwaysOnTop(viewer, true);
  return true;
}

bool TakeViewRequests(ViewerHandoff& handoff, const QString& socketPath, SettingsStore& store,
                      UiServices& services, const QString& appDir) {
  return handoff.Listen(socketPath,
                        [&handoff, &store, &services, appDir](const QStringList& texts) {
                          ViewRequest received;
                          if (!RequestOf(texts, &received)) return false;
                          QTimer::singleShot(0, &handoff, [received, &store, &services, appDir] {
                            ShowInOpenViewer(received, store, services, appDir);
                          });
                          return true;
                        });
}

int RunViewerProgram(ViewRequest request, SettingsStore& store, UiServices& services,
                     const QString& appDir, const QString& socketPath) {
  if (!request.newFile.isEmpty()) {
    const ViewPair pair = PrepareViewPair(store, appDir, request.report, request.newFile);
    if (!ComparePair(pair, services, nullptr)) return 2;
  }
  // One launch at a time decides whether to hand over or to listen, so that launches
  // started together (a batch run's) all find the same window.
  std::unique_ptr<QLockFile> lock;
  auto* handoff = new ViewerHandoff(qApp);
  if (!socketPath.isEmpty()) {
    lock = std::make_unique<QLockFile>(socketPath + QStringLiteral(".lock"));
    lock->tryLock(10000);
    if (ViewerHandoff::HandOver(socketPath, TextsOf(request))) return 0;
    TakeViewRequests(*handoff, socketPath, store, services, appDir);
  }
  const bool shown = ShowInOpenViewer(request, store, services, appDir);
  lock.reset();
  if (!shown) return 2;
  return QApplication::exec();
}

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
  OfferPairDrop(viewer, store, services, appDir);
  if (request.aboveOthers) SetAlwaysOnTop(viewer, true);
  return viewer;
}

}  // namespace verko
