// The viewer's エクスポート: the comparison a report shows, written as a 新旧対照表 (an HTML
// page or an Excel workbook, as the chosen file name's extension says).
#pragma once

#include <QString>

class QWidget;

namespace verko {

class ReportDocument;
class ReportViewer;
class UiServices;

// Asks for the file through `services` (proposed: the report's name with ".html", in its
// folder), writes the table of `document` there, replacing a file of that name only once
// the new one is complete, and shows why when it cannot. Returns the path written, or an
// empty text when cancelled or failed.
QString ExportTaishoTable(QWidget* parent, UiServices& services, const ReportDocument& document,
                          const QString& reportPath);

// Gives the viewer its エクスポート action (in its tool bar, Ctrl+Shift+E), acting on the
// report of the current tab and enabled while that is a report. `services` must outlive the
// viewer.
void AddExportAction(ReportViewer* viewer, UiServices& services);

}  // namespace verko
