// The viewer's エクスポート: the report's comparison written as a 新旧対照表 where the user
// chooses, in the form the name asks for; a cancel writes nothing, a failure says why.
#include "ui/viewer/table_export.h"

#include <gtest/gtest.h>

#include <QAction>
#include <memory>

#include "report/report_decoding.h"
#include "report/report_reader.h"
#include "tests/support/golden.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/scripted_ui_services.h"
#include "ui/viewer/report_viewer.h"

namespace verko::testing {
namespace {

TEST(TableExport, WritesTheChosenFormWhereChosen) {
  test_support::TempDir dir;
  const ReportDocument document = ReportDocument::Parse(
      DecodeReportBytes(test_support::ReadGolden("report_sample_full.txt")).utf8);
  const QString report = QString::fromStdString(dir.File("result.txt"));
  struct Case {
    std::string name;     // chosen; empty: cancelled
    std::string written;  // what the file holds, empty for no file
  } cases[] = {
      {"table.html", "<td class=\"text\">bravo<u> 2</u></td>"},
      {"table.xlsx", "PK"},
      {"", ""},
      {"no such folder/table.html", ""},
  };
  for (const Case& c : cases) {
    ScriptedUiServices services;
    const std::string path = c.name.empty() ? "" : dir.File(c.name);
    services.chosenFile = QString::fromStdString(path);
    const QString written = ExportTaishoTable(nullptr, services, document, report);
    EXPECT_EQ(services.fileRequests.at(0).proposedName, QStringLiteral("result.html"));
    EXPECT_EQ(written.toStdString(), c.written.empty() ? "" : path) << c.name;
    EXPECT_EQ(services.messages.size(), c.name.empty() || !c.written.empty() ? 0u : 1u) << c.name;
    if (!c.written.empty()) {
      EXPECT_NE(test_support::ReadFile(path).find(c.written), std::string::npos) << c.name;
    }
  }
}

TEST(TableExport, ViewerExportsTheReportItShows) {
  test_support::TempDir dir;
  test_support::WriteFile(dir.File("result.txt"),
                          test_support::ReadGolden("report_sample_full.txt"));
  ScriptedUiServices services;
  services.chosenFile = QString::fromStdString(dir.File("table.html"));
  std::unique_ptr<ReportViewer> viewer(
      ReportViewer::Open(QString::fromStdString(dir.File("result.txt")), services));
  viewer->setAttribute(Qt::WA_DeleteOnClose, false);
  viewer->findChild<QAction*>(QStringLiteral("ActExport"))->trigger();
  EXPECT_NE(test_support::ReadFile(dir.File("table.html")).find("（新設）"), std::string::npos);
}

}  // namespace
}  // namespace verko::testing
