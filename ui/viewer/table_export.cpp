#include "ui/viewer/table_export.h"

#include <QAction>
#include <QFileInfo>
#include <QTabWidget>
#include <QToolBar>

#include "common/replacing_file.h"
#include "report/report_reader.h"
#include "report/taisho_html.h"
#include "report/taisho_rows.h"
#include "report/taisho_xlsx.h"
#include "ui/shared/ui_services.h"
#include "ui/shared/widget_parts.h"
#include "ui/viewer/report_page.h"
#include "ui/viewer/report_viewer.h"

namespace verko {

namespace {

const QString kTitle = QStringLiteral("エクスポート");

// The table's bytes in the form the name asks for: a workbook for ".xlsx", else HTML.
Status TableBytes(const ReportDocument& document, const QString& path, std::string* bytes) {
  TaishoTable table;
  table.oldName = document.Header().oldName;
  table.newName = document.Header().newName;
  table.dateTime = document.Header().dateTime;
  table.rows = TaishoRowsOf(document);
  if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) {
    return MakeTaishoWorkbook(table, bytes);
  }
  AppendTaishoHtml(table, bytes);
  return Status::Ok();
}

}  // namespace

QString ExportTaishoTable(QWidget* parent, UiServices& services, const ReportDocument& document,
                          const QString& reportPath) {
  const QFileInfo report(reportPath);
  FileDialogRequest request;
  request.mode = FileDialogMode::kSave;
  request.title = QStringLiteral("新旧対照表のエクスポート");
  request.filter =
      QStringLiteral("新旧対照表 HTML (*.html) (*.html);;新旧対照表 Excel (*.xlsx) (*.xlsx)");
  request.initialFolder = report.absolutePath();
  request.proposedName = report.completeBaseName() + QStringLiteral(".html");
  request.defaultSuffix = QStringLiteral("html");
  const QString path = services.ChooseFile(parent, request);
  if (path.isEmpty()) return QString();
  std::string bytes;
  Status status = TableBytes(document, path, &bytes);
  // Written beside and put in place when whole, as a comparison's table is.
  if (status.ok()) status = ReplaceFileWith(path.toStdString(), bytes);
  if (!status.ok()) {
    services.ShowMessage(
        parent,
        QStringLiteral("新旧対照表\n   %1\nを書き出すことができません。\n\n理由： %2")
            .arg(path, ToQString(status.reason())),
        kTitle, MessageIcon::kExclamation, MessageButtons::kOk);
    return QString();
  }
  return path;
}

void AddExportAction(ReportViewer* viewer, UiServices& services) {
  auto* action = new QAction(kTitle, viewer);
  action->setObjectName(QStringLiteral("ActExport"));
  action->setToolTip(QStringLiteral("新旧対照表（HTML・Excel）として書き出す (Ctrl+Shift+E)"));
  action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
  action->setShortcutContext(Qt::WindowShortcut);
  const auto follow = [viewer, action] {
    action->setEnabled(viewer->CurrentPage() && viewer->Document().IsReport());
  };
  follow();
  viewer->addAction(action);
  if (auto* toolBar = viewer->findChild<QToolBar*>(QStringLiteral("ViewerToolBar"))) {
    toolBar->addSeparator();
    toolBar->addAction(action);
  }
  if (auto* tabs = viewer->findChild<QTabWidget*>(QStringLiteral("ReportTabs"))) {
    QObject::connect(tabs, &QTabWidget::currentChanged, action, follow);
  }
  QObject::connect(action, &QAction::triggered, viewer, [viewer, &services] {
    if (ReportPage* page = viewer->CurrentPage()) {
      ExportTaishoTable(viewer, services, page->Document(), page->Path());
    }
  });
}

}  // namespace verko
