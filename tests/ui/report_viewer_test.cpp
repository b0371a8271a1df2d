// The report viewer as a user meets it: reports of every shape and encoding opened from a
// file, the rows of both views, the side-by-side alignment, moves between differences and
// between a moved line's places, search, copying, and files that are not reports.
#include "ui/viewer/report_viewer.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "common/encoding.h"
#include "report/report_reader.h"
#include "tests/support/golden.h"
#include "tests/support/scoped_env.h"
#include "tests/ui/window_fixture.h"
#include "ui/platform_defaults.h"
#include "ui/view_pair.h"
#include "ui/viewer/difference_overview.h"
#include "ui/viewer/folded_rows.h"
#include "ui/viewer/report_line_model.h"
#include "ui/viewer/side_by_side_model.h"
#include "ui/viewer_handoff.h"
#include "ui/viewer_launch.h"

namespace verko::testing {
namespace {

using test_support::ReadGolden;

QLabel* Label(ReportViewer* viewer, const char* name) {
  return viewer->findChild<QLabel*>(QLatin1String(name));
}
QAction* Action(ReportViewer* viewer, const char* name) {
  return viewer->findChild<QAction*>(QLatin1String(name));
}
QString CurrentText(ReportViewer* viewer) {
  const int line = viewer->CurrentLine();
  if (line < 0) return QStringLiteral("<none>");
  return QString::fromStdString(std::string(viewer->Document().TextOf(line)));
}

class ReportViewerTest : public ::testing::Test {
 protected:
  ~ReportViewerTest() override {
    for (ReportViewer* viewer : opened_) delete viewer;
  }

  // Writes `bytes` to a file of the test's folder and opens it in a viewer.
  ReportViewer* OpenBytes(const std::string& bytes, const char* name = "report.txt") {
    WriteFile(dir_.File(name), bytes);
    return OpenPath(QString::fromStdString(dir_.File(name)));
  }
  ReportViewer* OpenPath(const QString& path) {
    ReportViewer* viewer = ReportViewer::Open(path, services_);
    if (viewer) {
      viewer->setAttribute(Qt::WA_DeleteOnClose, false);
      opened_.push_back(viewer);
    }
    return viewer;
  }

  // Each row of a view as "old|new" texts (side by side) or "mark old new text" (list).
  static QStringList Rows(QTableView* view) {
    QStringList rows;
    const QAbstractItemModel* model = view->model();
    for (int r = 0; r < model->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < model->columnCount(); ++c) {
        cells.append(model->index(r, c).data().toString());
      }
      rows.append(cells.join(QLatin1Char('|')));
    }
    return rows;
  }
  TempDir dir_;
  ScriptedUiServices services_;
  std::vector<ReportViewer*> opened_;
};

TEST_F(ReportViewerTest, ListShowsEveryLineWithItsMarkNumbersAndColour) {
  ReportViewer* viewer = OpenBytes(ReadGolden("report_worked_diff.txt"));
  ASSERT_NE(viewer, nullptr);
  EXPECT_FALSE(viewer->SideBySideShown());
  EXPECT_EQ(Rows(viewer->CurrentView()), (QStringList{
                                             "|1|1|a",
                                             "<-|2|(7)|b",
                                             "|3|2|c",
                                             "|||⋯ 一致 3 行を省略 ⋯",
                                             "|7|6|g",
                                             ">+|(2)|7|b",
                                             "|8|8|h",
                                         }));
  const QAbstractItemModel* model = viewer->CurrentView()->model();
  auto background = [&](int row) { return model->index(row, 3).data(Qt::BackgroundRole); };
  EXPECT_FALSE(background(0).isValid());  // common lines keep the view's own background
  ASSERT_TRUE(background(1).isValid());
  ASSERT_TRUE(background(5).isValid());
  EXPECT_NE(background(1).value<QColor>(), background(5).value<QColor>());
  EXPECT_TRUE(background(3).isValid());  // the gap stands out
  EXPECT_FALSE(model->index(3, 3).data(Qt::ToolTipRole).toString().isEmpty());

  EXPECT_TRUE(Label(viewer, "HeaderLabel")->text().contains("old.txt"));
  EXPECT_TRUE(Label(viewer, "HeaderLabel")->text().contains("Shift_JIS"));
  EXPECT_TRUE(Label(viewer, "StatisticsLabel")->text().contains("移動行"));
  EXPECT_EQ(Label(viewer, "CountsLabel")->text(),
            "一致 7 行　　削除 0 行　　追加 0 行　　移動 1 行");
  EXPECT_FALSE(Label(viewer, "MessageLabel")->isVisibleTo(viewer));
  EXPECT_TRUE(services_.messages.empty());
}

TEST_F(ReportViewerTest, SideBySideAlignsCommonDeletedAddedAndMovedLines) {
  struct Case {
    const char* golden;
    QStringList rows;  // "old no|old text|new no|new text"
  } cases[] = {
      {"report_sample_full.txt",
       {"1|alpha|1|alpha", "2|bravo|2|bravo 2", "3|charlie|3|charlie", "4|delta|4|delta",
        "||5|echo"}},
      {"report_worked_diff.txt",
       {"1|a|1|a", "2|b||", "3|c|2|c", "|⋯ 一致 3 行を省略 ⋯||⋯ 一致 3 行を省略 ⋯", "7|g|6|g",
        "||7|b", "8|h|8|h"}},
      {"report_identical_diff.txt",
       {"|相違点は見つかりませんでした||相違点は見つかりませんでした"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    ReportViewer* viewer = OpenBytes(ReadGolden(c.golden));
    ASSERT_NE(viewer, nullptr);
    viewer->ShowSideBySide(true);
    EXPECT_TRUE(Action(viewer, "ActSideBySide")->isChecked());
    EXPECT_EQ(viewer->CurrentView()->objectName(), "SideBySideView");
    EXPECT_EQ(Rows(viewer->CurrentView()), c.rows);
  }
}

TEST_F(ReportViewerTest, MovedLineJumpsBetweenItsTwoPlacesInBothViews) {
  ReportViewer* viewer = OpenBytes(ReadGolden("report_worked_full.txt"));
  ASSERT_NE(viewer, nullptr);
  // =a <b =c =d =e =f =g >b =h
  viewer->SetCurrentLine(1);
  EXPECT_TRUE(viewer->JumpToOtherPlace());
  EXPECT_EQ(viewer->CurrentLine(), 7);
  EXPECT_TRUE(viewer->JumpToOtherPlace());
  EXPECT_EQ(viewer->CurrentLine(), 1);
  viewer->SetCurrentLine(2);
  EXPECT_FALSE(viewer->JumpToOtherPlace());
  EXPECT_EQ(viewer->CurrentLine(), 2);

  // Side by side the current line stays, and the jump crosses to the other side.
  viewer->SetCurrentLine(1);
  viewer->ShowSideBySide(true);
  EXPECT_EQ(viewer->CurrentLine(), 1);
  EXPECT_EQ(viewer->CurrentView()->currentIndex().column(), SideBySideModel::kOldText);
  EXPECT_TRUE(viewer->JumpToOtherPlace());
  EXPECT_EQ(viewer->CurrentLine(), 7);
  EXPECT_EQ(viewer->CurrentView()->currentIndex().column(), SideBySideModel::kNewText);
  // A double click on a moved line jumps as well.
  emit viewer->CurrentView()->doubleClicked(viewer->CurrentView()->currentIndex());
  EXPECT_EQ(viewer->CurrentLine(), 1);
  EXPECT_EQ(Action(viewer, "ActJump")->shortcuts(),
            (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_J)}));
}

TEST_F(ReportViewerTest, NextAndPreviousDifferenceVisitEachBlockOnce) {
  ReportViewer* viewer = OpenBytes(ReadGolden("report_sample_full.txt"));
  ASSERT_NE(viewer, nullptr);
  // =alpha +bravo 2 -bravo =charlie =delta +echo
  QStringList visited;
  while (viewer->NextDifference()) visited.append(CurrentText(viewer));
  EXPECT_EQ(visited, (QStringList{"bravo 2", "echo"}));
  visited.clear();
  while (viewer->PreviousDifference()) visited.append(CurrentText(viewer));
  EXPECT_EQ(visited, (QStringList{"bravo 2"}));

  viewer->ShowSideBySide(true);
  viewer->SetCurrentLine(0);
  visited.clear();
  while (viewer->NextDifference()) visited.append(CurrentText(viewer));
  EXPECT_EQ(visited, (QStringList{"bravo", "echo"}));

  EXPECT_EQ(Action(viewer, "ActNext")->shortcuts(),
            (QList<QKeySequence>{QKeySequence(Qt::Key_F7), QKeySequence(Qt::ALT | Qt::Key_Down)}));
  EXPECT_EQ(Action(viewer, "ActPrevious")->shortcuts(),
            (QList<QKeySequence>{QKeySequence(Qt::SHIFT | Qt::Key_F7),
                                 QKeySequence(Qt::ALT | Qt::Key_Up)}));
}

// The keys as typed in the list: the shortcuts reach the window's commands, not the view's
// own bindings (Ctrl+C copies whole report lines, not one cell).
TEST_F(ReportViewerTest, KeysMoveJumpCopyAndSearch) {
  ReportViewer* viewer = OpenBytes(ReadGolden("report_worked_diff.txt"));
  ASSERT_NE(viewer, nullptr);
  viewer->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
  QTableView* view = viewer->CurrentView();
  view->setFocus();
  // =a <b =c | =g >b =h
  struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int line;
  } steps[] = {
      {Qt::Key_F7, Qt::NoModifier, 1},     {Qt::Key_Down, Qt::AltModifier, 5},
      {Qt::Key_F7, Qt::NoModifier, 5},     {Qt::Key_F7, Qt::ShiftModifier, 1},
      {Qt::Key_J, Qt::ControlModifier, 5}, {Qt::Key_Up, Qt::AltModifier, 1},
      {Qt::Key_J, Qt::ControlModifier, 5},
  };
  for (const Step& step : steps) {
    QTest::keyClick(view, step.key, step.modifiers);
    EXPECT_EQ(viewer->CurrentLine(), step.line)
        << QKeySequence(step.key | step.modifiers).toString().toStdString();
  }
  // Moving by keys selects the row moved to, Shift or not.
  QTest::keyClick(view, Qt::Key_F7, Qt::ShiftModifier);
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "<-     2   (    7   )| b\n");
  viewer->SetCurrentLine(0);
  QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);  // the view's own extending
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(),
            "       1        1    | a\n<-     2   (    7   )| b\n");
  QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
  auto* field = viewer->findChild<QLineEdit*>("SearchField");
  ASSERT_TRUE(field->hasFocus());
  QTest::keyClicks(field, "G");
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(CurrentText(viewer), "g");
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_FALSE(viewer->findChild<QWidget*>("SearchBar")->isVisible());
}

TEST_F(ReportViewerTest, SearchFindsTextIgnoringCaseAndWrapsAround) {
  ReportViewer* viewer = OpenBytes(ReadGolden("report_sample_full.txt"));
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->Find("BRAVO"));
  EXPECT_EQ(CurrentText(viewer), "bravo 2");
  EXPECT_TRUE(viewer->Find("bravo"));
  EXPECT_EQ(CurrentText(viewer), "bravo");
  EXPECT_TRUE(viewer->Find("bravo"));  // around the end
  EXPECT_EQ(CurrentText(viewer), "bravo 2");
  EXPECT_TRUE(viewer->Find("bravo", true));
  EXPECT_EQ(CurrentText(viewer), "bravo");
  EXPECT_FALSE(viewer->Find("zulu"));
  EXPECT_EQ(CurrentText(viewer), "bravo");
  // The separator of a gap and line numbers are not text.
  EXPECT_FALSE(viewer->Find("==="));

  viewer->ShowSideBySide(true);
  EXPECT_TRUE(viewer->Find("echo"));
  EXPECT_EQ(viewer->CurrentView()->currentIndex().column(), SideBySideModel::kNewText);
  Action(viewer, "ActFind")->trigger();
  EXPECT_TRUE(viewer->findChild<QWidget*>("SearchBar")->isVisibleTo(viewer));
}

TEST_F(ReportViewerTest, CopyGivesTheSelectedLinesAsTheReportHasThem) {
  ReportViewer* viewer = OpenBytes(ReadGolden("report_sample_full.txt"));
  ASSERT_NE(viewer, nullptr);
  QTableView* view = viewer->CurrentView();
  view->selectRow(1);
  view->selectionModel()->select(view->model()->index(2, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_EQ(viewer->SelectedLinesText(),
            "+               2    | bravo 2\n-      2             | bravo\n");
  viewer->ShowSideBySide(true);
  viewer->CurrentView()->selectRow(1);  // bravo facing bravo 2
  EXPECT_EQ(viewer->SelectedLinesText(),
            "-      2             | bravo\n+               2    | bravo 2\n");
}

TEST_F(ReportViewerTest, EveryEncodingOpensAsTheSameReport) {
  const std::string utf8 = FromCp932(ReadGolden("report_worked_diff.txt"));
  struct Case {
    const char* name;
    std::string bytes;
    const char* encoding;
  } cases[] = {
      {"cp932", ReadGolden("report_worked_diff.txt"), "Shift_JIS"},
      {"utf8", utf8, "UTF-8"},
      {"utf8bom", "\xEF\xBB\xBF" + utf8, "UTF-8"},
      {"eucjp", FromUtf8To("EUC-JP", utf8), "EUC-JP"},
  };
  QStringList expected;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReportViewer* viewer = OpenBytes(c.bytes, c.name);
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(viewer->Document().IsReport());
    EXPECT_TRUE(Label(viewer, "HeaderLabel")->text().contains(c.encoding));
    if (expected.isEmpty()) expected = Rows(viewer->CurrentView());
    EXPECT_EQ(Rows(viewer->CurrentView()), expected);
  }
}

TEST_F(ReportViewerTest, TextThatIsNotAReportOpensAsPlainTextWithAMessage) {
  struct Case {
    const char* name;
    std::string bytes;
    int rows;
  } cases[] = {
      {"empty", "", 0},
      {"notes", ToCp932("メモ\r\n二行目\r\n"), 2},
      {"edited",
       [] {
         std::string report = ReadGolden("report_sample_full.txt");
         return report.replace(report.find("+ "), 2, "* ");
       }(),
       26},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = c.bytes;
    ReportViewer* viewer = OpenBytes(c.bytes, c.name);
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->Document().IsReport());
    EXPECT_TRUE(Label(viewer, "MessageLabel")->isVisibleTo(viewer));
    EXPECT_TRUE(Label(viewer, "MessageLabel")->text().contains("比較結果ではありません"));
    EXPECT_EQ(viewer->CurrentView()->model()->rowCount(), c.rows);
    EXPECT_FALSE(Action(viewer, "ActSideBySide")->isEnabled());
    viewer->ShowSideBySide(true);
    EXPECT_FALSE(viewer->SideBySideShown());
    EXPECT_EQ(ReadFile(dir_.File(c.name)), before);  // nothing is written to the file
  }
  ReportViewer* notes = opened_[1];
  EXPECT_EQ(Rows(notes->CurrentView()).value(1), "|2||二行目");
}

TEST_F(ReportViewerTest, ReportsWithoutBodyOrStatisticsOpen) {
  const std::string sample = ReadGolden("report_sample_full.txt");
  // Two empty files: the header and zero statistics.
  std::string empty = sample.substr(0, sample.find("       1 "));
  empty += sample.substr(sample.find("======================\r\n\r\n"));
  ReportViewer* viewer = OpenBytes(empty, "empty-files.txt");
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->Document().IsReport());
  EXPECT_EQ(viewer->CurrentView()->model()->rowCount(), 0);
  EXPECT_FALSE(viewer->NextDifference());
  EXPECT_FALSE(viewer->PreviousDifference());
  EXPECT_FALSE(viewer->Find("alpha"));
  EXPECT_FALSE(viewer->JumpToOtherPlace());

  // A run cancelled while writing: no statistics, and the viewer says so.
  ReportViewer* cut = OpenBytes(sample.substr(0, sample.find("-      2")), "cut.txt");
  ASSERT_NE(cut, nullptr);
  EXPECT_TRUE(cut->Document().IsReport());
  EXPECT_EQ(cut->CurrentView()->model()->rowCount(), 2);
  EXPECT_TRUE(Label(cut, "MessageLabel")->isVisibleTo(cut));
  EXPECT_TRUE(Label(cut, "MessageLabel")->text().contains("途中で終わって"));
  EXPECT_EQ(Label(cut, "CountsLabel")->text(), "統計情報なし");
}

TEST_F(ReportViewerTest, MissingOrUnreadableFileGetsTheUsualMessageAndNoWindow) {
  const QString missing = QString::fromStdString(dir_.File("missing.txt"));
  EXPECT_EQ(OpenPath(missing), nullptr);
  EXPECT_EQ(OpenPath(QString::fromStdString(dir_.Path())), nullptr);  // a folder
  ASSERT_EQ(services_.messages.size(), 2u);
  EXPECT_EQ(services_.messages[0].title, "ファイルを開けない");
  EXPECT_TRUE(services_.messages[0].text.startsWith("結果ファイル\n   " + missing +
                                                    "\nを開くことができません。"));
  EXPECT_EQ(services_.messages[0].icon, MessageIcon::kExclamation);
}

// The growth of the process's peak memory (kB) while `action` runs.
long PeakGrowthKb(const std::function<void()>& action) {
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  action();
  getrusage(RUSAGE_SELF, &after);
  return after.ru_maxrss - before.ru_maxrss;
}

TEST_F(ReportViewerTest, DevicesPipesAndHugeFilesAreRefusedAtOnce) {
  const std::string fifo = dir_.File("pipe"), huge = dir_.File("huge.txt");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  WriteFile(huge, "");
  ASSERT_EQ(truncate(huge.c_str(), off_t{1} << 30), 0);  // sparse: takes no room
  const std::pair<std::string, const char*> cases[] = {
      {"/dev/zero", "通常のファイルではありません"},
      {fifo, "通常のファイルではありません"},
      {huge, "ファイルが大きすぎます"}};
  for (const auto& [path, reason] : cases) {
    SCOPED_TRACE(path);
    services_.messages.clear();
    QElapsedTimer timer;
    timer.start();
    EXPECT_LT(PeakGrowthKb([&] { EXPECT_EQ(OpenPath(QString::fromStdString(path)), nullptr); }),
              200 * 1024);
    EXPECT_LT(timer.elapsed(), 1000);
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_TRUE(services_.messages[0].text.contains(QString::fromStdString(path)));
    EXPECT_TRUE(services_.messages[0].text.contains(reason));
  }
}

class ViewerFromMainWindowTest : public WindowTest {};

TEST_F(ViewerFromMainWindowTest, LastReportOpensInTheViewerAfterARun) {
  WriteFile(dir_.File("old.txt"), "alpha\r\nbravo\r\n");
  WriteFile(dir_.File("new.txt"), "alpha\r\ncharlie\r\n");
  OpenForRuns();
  EXPECT_FALSE(Button("CmdView")->isEnabled());
  main_->SetFileNames({Path("old.txt"), Path("new.txt"), Path("result.txt")});
  Button("CmdStart")->click();
  ASSERT_EQ(main_->LastResult().status, kStatusDone);
  ASSERT_TRUE(Button("CmdView")->isEnabled());
  Button("CmdView")->click();
  ASSERT_EQ(main_->Viewers().size(), 1);
  ReportViewer* viewer = main_->Viewers()[0];
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_TRUE(viewer->Document().IsReport());
  EXPECT_EQ(viewer->Document().Statistics().added, 1);
  EXPECT_FALSE(viewer->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // Above a main window that stays above all others.
  Check("OptAlwaysTop")->setChecked(true);
  EXPECT_TRUE(viewer->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  Button("CmdView")->click();
  ASSERT_EQ(main_->Viewers().size(), 2);
  EXPECT_TRUE(main_->Viewers()[1]->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  for (ReportViewer* open : main_->Viewers()) open->close();
}

// A table, a patch or data opens in the desktop's application for it; the viewer refuses it,
// naming its format, and never shows a workbook's bytes as lines.
TEST_F(ViewerFromMainWindowTest, OtherFormatsOpenWithTheirApplicationNotTheViewer) {
  WriteFile(dir_.File("old.txt"), "第一条　甲\r\n第二条　乙\r\n");
  WriteFile(dir_.File("new.txt"), "第一条　甲\r\n第二条　丙\r\n");
  OpenForRuns();
  EXPECT_FALSE(Check("OptOldLeft")->isEnabled());  // the report has no columns to swap
  const std::pair<const char*, const char*> formats[] = {
      {"xlsx", "新旧対照表（Excel）"}, {"docx", "新旧対照表（Word）"}, {"json", "JSON"}};
  for (const auto& [format, caption] : formats) {
    const QString result = Path((std::string("result.") + format).c_str());
    Combo("ComboFormat")->setCurrentIndex(Combo("ComboFormat")->findData(format));
    EXPECT_EQ(Check("OptOldLeft")->isEnabled(), format != std::string("json"));
    main_->SetFileNames({Path("old.txt"), Path("new.txt"), result});
    Button("CmdStart")->click();
    ASSERT_EQ(main_->LastResult().status, kStatusDone) << format;
    Button("CmdView")->click();
    EXPECT_EQ(services_.openedFiles.value(services_.openedFiles.size() - 1), result);
    EXPECT_TRUE(main_->Viewers().isEmpty());
    services_.messages.clear();
    EXPECT_EQ(ReportViewer::Open(result, services_), nullptr);
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_TRUE(services_.messages[0].text.contains(caption))
        << services_.messages[0].text.toStdString();
  }
  EXPECT_EQ(services_.openedFiles.size(), 3);
}

TEST_F(ViewerFromMainWindowTest, ViewerIsTheDefaultEditorAndFollowsTheProgram) {
  const QString viewer = QStringLiteral(VERKO_UI_APP_DIR "verko --view %1");
  struct Case {
    const char* stored;  // null: a fresh store
    QString expected;
  } cases[] = {
      {nullptr, viewer},
      {"/opt/old place/verko --view %1", viewer},
      {"\"/opt/old place/verko\" --view %1", viewer},
      {"gedit %1", "gedit %1"},
      {"/usr/bin/verkoedit --view %1", "/usr/bin/verkoedit --view %1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "fresh");
    if (c.stored) store_->Write(QStringLiteral("EditorSetting"), QString::fromUtf8(c.stored));
    EXPECT_EQ(Open().EditorSetting(), c.expected);
    main_.reset();
  }
  EXPECT_EQ(DefaultEditorSetting("/opt/my tools/verko"), "\"/opt/my tools/verko\" --view %1");
}

// `verko --view OLD NEW`: the pair compared with the stored options into a report of the
// work folder, shown, compared again after a change, and read again when the report changes.
class ViewerOfPairTest : public WindowTest {
 protected:
  ViewerOfPairTest() {
    store_->Write(QStringLiteral("WorkPath"), QString::fromStdString(dir_.Path()));
  }
  ReportViewer* OpenPair(const QString& oldPath, const QString& newPath) {
    viewer_ = OpenViewer({oldPath, newPath}, *store_, services_, VERKO_UI_APP_DIR);
    return viewer_;
  }
  // Old and new texts of `lines` lines: line 200 changed (a long line, yet not cut into
  // parts), a tab in line 5.
  void WriteLongPair(const std::string& folder, int lines) {
    std::string oldText, newText;
    for (int i = 0; i < lines; ++i) {
      const std::string line = i == 5 ? "a\tb" : "line " + std::to_string(i);
      oldText += line + "\r\n";
      newText += (i == 200 ? "changed " + std::string(230, 'x') : line) + "\r\n";
    }
    WriteFile(folder + "/old.txt", oldText);
    WriteFile(folder + "/new.txt", newText);
  }
  QPointer<ReportViewer> viewer_;

  ~ViewerOfPairTest() override { delete viewer_.data(); }
};

TEST_F(ViewerOfPairTest, TwoFilesOpenComparedAndAreComparedAgainAfterAChange) {
  WriteFile(dir_.File("old.txt"), ToCp932("作成者 山田太郎\r\nname = alpha\r\n"));
  WriteFile(dir_.File("new.txt"), ToCp932("作成者 鈴木太郎\r\nname = alpha\r\n"));
  ASSERT_NE(OpenPair(Path("old.txt"), Path("new.txt")), nullptr);
  EXPECT_TRUE(viewer_->isVisible());
  ASSERT_TRUE(viewer_->Document().IsReport());
  EXPECT_EQ(viewer_->Document().Statistics().deleted, 1);
  EXPECT_EQ(viewer_->Document().Statistics().added, 1);
  const QString report = viewer_->CurrentPage()->Path();
  EXPECT_TRUE(report.startsWith(QString::fromStdString(dir_.Path())));
  EXPECT_TRUE(viewer_->findChild<QAction*>("ActCompareAgain")->isEnabled());
  // The changed characters are marked: 山田 and 鈴木, in the list and on both sides.
  const QVariantList marked{QPoint(4, 2)};
  auto ranges = [&](int row, int column) {
    return viewer_->CurrentView()->model()->index(row, column).data(kChangedRangesRole).toList();
  };
  for (int row : {0, 1}) EXPECT_EQ(ranges(row, ReportLineModel::kText), marked) << row;
  EXPECT_TRUE(ranges(2, ReportLineModel::kText).isEmpty());
  viewer_->ShowSideBySide(true);
  EXPECT_EQ(ranges(0, SideBySideModel::kOldText), marked);
  EXPECT_EQ(ranges(0, SideBySideModel::kNewText), marked);

  WriteFile(dir_.File("new.txt"), ToCp932("作成者 山田太郎\r\nname = alpha\r\n"));
  EXPECT_TRUE(viewer_->CompareAgain());
  EXPECT_EQ(viewer_->Document().Statistics().common, 2);
  // A report written anew by someone else is read again.
  WriteFile(report.toStdString(), ReadGolden("report_sample_full.txt"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewer_->Document().Statistics().added == 2; }, 5000));

  // A file that cannot be compared gets the run's message and no window.
  EXPECT_EQ(
      OpenViewer({Path("missing.txt"), Path("new.txt")}, *store_, services_, VERKO_UI_APP_DIR),
      nullptr);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(services_.messages[0].text.contains("missing.txt"));
}

// A fresh user without a runtime folder: the pair's report lands in a cache folder of the
// user's own that nobody else can enter or read; an open one is refused.
TEST_F(WindowTest, ViewedPairsReportIsPrivateToTheUser) {
  const std::string home = dir_.File("home");
  test_support::ScopedEnv env;
  env.Set("HOME", home).Set("XDG_CACHE_HOME", nullptr).Set("XDG_RUNTIME_DIR", nullptr);
  WriteFile(dir_.File("a.txt"), "alpha\r\n");
  WriteFile(dir_.File("b.txt"), "bravo\r\n");
  const ViewPair pair = PrepareViewPair(*store_, VERKO_UI_APP_DIR, Path("a.txt"), Path("b.txt"));
  ASSERT_TRUE(CompareViewPair(pair).ok());
  auto mode = [](const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  };
  EXPECT_EQ(mode(home + "/.cache"), 0700u);
  EXPECT_EQ(mode(home + "/.cache/Verko"), 0700u);
  EXPECT_TRUE(pair.reportPath.startsWith(QString::fromStdString(home + "/.cache/Verko/")));
  EXPECT_EQ(mode(pair.reportPath.toStdString()), 0600u);
  chmod((home + "/.cache/Verko").c_str(), 0777);
  const Status refused = CompareViewPair(pair);
  EXPECT_NE(refused.reason().find("他のユーザーも開けます"), std::string::npos) << refused.reason();
}

TEST_F(ViewerOfPairTest, ALineMovedAndChangedJumpsToItsChangedVersion) {
  // A paragraph moved 40 lines down with one word changed: marked, and paired for the jump.
  std::string oldText = "見出し\r\n甲は乙に対し、宇宙線の観測を委託する。\r\n",
              newText = "見出し\r\n";
  for (int k = 0; k < 40; ++k) {
    oldText += "第" + std::to_string(k) + "行\r\n";
    newText += "第" + std::to_string(k) + "行\r\n";
  }
  newText += "甲は丙に対し、宇宙線の観測を委託する。\r\n";
  WriteFile(dir_.File("old.txt"), ToCp932(oldText));
  WriteFile(dir_.File("new.txt"), ToCp932(newText));
  ASSERT_NE(OpenPair(Path("old.txt"), Path("new.txt")), nullptr);
  int deleted = -1, added = -1;
  for (int i = 0; i < viewer_->Document().Count(); ++i) {
    if (viewer_->Document().Line(i).kind == LineKind::kDeleted) deleted = i;
    if (viewer_->Document().Line(i).kind == LineKind::kAdded) added = i;
  }
  ASSERT_GE(deleted, 0);
  ASSERT_GT(added, deleted + 39);
  const QVariantList marked{QPoint(2, 1)};
  auto ranges = [&](int row) {
    return viewer_->CurrentView()
        ->model()
        ->index(row, ReportLineModel::kText)
        .data(kChangedRangesRole)
        .toList();
  };
  EXPECT_EQ(ranges(deleted), marked);
  EXPECT_EQ(ranges(added), marked);
  viewer_->SetCurrentLine(deleted);
  EXPECT_TRUE(viewer_->JumpToOtherPlace());
  EXPECT_EQ(viewer_->CurrentLine(), added);
  viewer_->ShowSideBySide(true);
  EXPECT_TRUE(viewer_->JumpToOtherPlace());
  EXPECT_EQ(viewer_->CurrentLine(), deleted);
}

TEST_F(ViewerOfPairTest, ViewerKeepsItsPlaceAndRemembersItsView) {
  // A folder name longer than any screen is wide.
  const std::string folder = dir_.File(std::string(200, 'd').c_str());
  QDir().mkpath(QString::fromStdString(folder));
  WriteLongPair(folder, 400);
  const QString oldPath = QString::fromStdString(folder + "/old.txt");
  const QString newPath = QString::fromStdString(folder + "/new.txt");
  ASSERT_NE(OpenPair(oldPath, newPath), nullptr);
  EXPECT_LT(viewer_->minimumSizeHint().width(), 900);
  EXPECT_TRUE(Label(viewer_, "HeaderLabel")->toolTip().contains(oldPath));
  viewer_->resize(700, 500);
  QTest::qWait(50);
  QTableView* view = viewer_->CurrentView();
  EXPECT_EQ(view->model()->index(5, ReportLineModel::kText).data().toString(), "a   b");

  // A jump scrolls down only: the start of the lines stays in sight.
  view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
  ASSERT_TRUE(viewer_->NextDifference());
  EXPECT_TRUE(CurrentText(viewer_).startsWith("line 200") ||
              CurrentText(viewer_).startsWith("changed"));
  EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
  EXPECT_TRUE(view->viewport()->rect().intersects(view->visualRect(view->currentIndex())));
  // Messages are not hidden by the counts.
  EXPECT_FALSE(viewer_->Find("zzz"));
  EXPECT_EQ(viewer_->statusBar()->currentMessage(), "「zzz」は見つかりません");
  EXPECT_LT(Label(viewer_, "CountsLabel")->sizeHint().width(), viewer_->width() / 2);

  // The overview's click goes to the difference there.
  viewer_->SetCurrentLine(0);
  auto* overview =
      static_cast<DifferenceOverview*>(viewer_->findChild<QWidget*>("DifferenceOverview"));
  const int y = 200 * overview->height() / viewer_->CurrentView()->model()->rowCount();
  QTest::mouseClick(overview, Qt::LeftButton, {}, QPoint(4, y));
  EXPECT_TRUE(IsDifference(viewer_->Document().Line(viewer_->CurrentLine()).kind));

  // Folded: the common runs shrink to three lines at each end; the moves still work.
  viewer_->FoldCommonRuns(true);
  const int rows = view->model()->rowCount();
  EXPECT_EQ(rows, 3 + 1 + 3 + 2 + 3 + 1 + 3);
  EXPECT_EQ(view->model()->index(3, ReportLineModel::kText).data().toString(), FoldText(194));
  viewer_->SetCurrentLine(0);
  ASSERT_TRUE(viewer_->NextDifference());
  EXPECT_TRUE(IsDifference(viewer_->Document().Line(viewer_->CurrentLine()).kind));
  emit view->doubleClicked(view->model()->index(3, ReportLineModel::kText));
  EXPECT_EQ(view->model()->rowCount(), rows + 193);
  viewer_->SetCurrentLine(390);  // in the last folded run
  EXPECT_EQ(CurrentText(viewer_), "line 389");

  // Side by side, long lines scroll sideways under a scroll bar of their own.
  viewer_->ShowSideBySide(true);
  EXPECT_TRUE(viewer_->findChild<QScrollBar*>("SideTextScroll")->isVisibleTo(viewer_));
  QHeaderView* header = viewer_->CurrentView()->horizontalHeader();
  EXPECT_LE(header->sectionViewportPosition(SideBySideModel::kNewText) +
                header->sectionSize(SideBySideModel::kNewText),
            viewer_->CurrentView()->viewport()->width());

  // Esc closes; the next viewer comes back with the same size and view, and the tab width
  // set in the store.
  const QSize size = viewer_->size();
  Action(viewer_, "ActClose")->trigger();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(viewer_.isNull());
  store_->Write(QStringLiteral("ViewerTabWidth"), QStringLiteral(" 8"));
  ASSERT_NE(OpenPair(oldPath, newPath), nullptr);
  EXPECT_EQ(viewer_->size(), size);
  EXPECT_TRUE(viewer_->SideBySideShown());
  EXPECT_TRUE(Action(viewer_, "ActFold")->isChecked());
  viewer_->FoldCommonRuns(false);
  EXPECT_EQ(viewer_->CurrentView()->model()->index(5, SideBySideModel::kNewText).data().toString(),
            "a       b");
  EXPECT_EQ(Action(viewer_, "ActClose")->shortcuts(),
            (QList<QKeySequence>{QKeySequence(Qt::Key_Escape)}));
  EXPECT_EQ(Action(viewer_, "ActCloseTab")->shortcuts(),
            (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_W)}));
}

// 折り返し: a long line runs on in rows as tall as its wrapped text, in both views, with no
// sideways scrolling; the choice is remembered.
TEST_F(ViewerOfPairTest, LongLinesWrapInBothViewsAndTheChoiceIsKept) {
  WriteLongPair(dir_.Path(), 300);
  ASSERT_NE(OpenPair(Path("old.txt"), Path("new.txt")), nullptr);
  viewer_->resize(700, 500);
  QTest::qWait(50);
  // A low window folds the header into one line that unfolds on demand.
  auto* toggle = viewer_->CurrentPage()->findChild<QToolButton*>("HeaderToggle");
  EXPECT_TRUE(toggle->isVisibleTo(viewer_));
  EXPECT_FALSE(Label(viewer_, "HeaderLabel")->text().contains('\n'));
  EXPECT_FALSE(Label(viewer_, "StatisticsLabel")->isVisibleTo(viewer_));
  toggle->click();
  EXPECT_TRUE(Label(viewer_, "StatisticsLabel")->isVisibleTo(viewer_));
  toggle->click();
  Action(viewer_, "ActWrap")->trigger();
  for (bool side : {false, true}) {
    viewer_->ShowSideBySide(side);
    QTest::qWait(100);
    QTableView* view = viewer_->CurrentView();
    int longRow = -1;
    for (int row = 0; row < view->model()->rowCount() && longRow < 0; ++row) {
      for (int column = 0; column < view->model()->columnCount(); ++column) {
        if (view->model()->index(row, column).data().toString().startsWith("changed")) {
          longRow = row;
        }
      }
    }
    ASSERT_GE(longRow, 0) << side;
    EXPECT_GE(view->rowHeight(longRow), 3 * view->rowHeight(0)) << side;
    EXPECT_EQ(view->rowHeight(longRow + 2), view->rowHeight(0)) << side;
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0) << side;
    EXPECT_FALSE(viewer_->findChild<QScrollBar*>("SideTextScroll")->isVisibleTo(viewer_));
    // A jump to the long line keeps it in sight.
    viewer_->SetCurrentLine(0);
    ASSERT_TRUE(viewer_->NextDifference());
    EXPECT_TRUE(view->viewport()->rect().intersects(view->visualRect(view->currentIndex())));
  }
  // Files dropped on the viewer: two are compared, one opens as a report; each a new tab.
  viewer_->OpenDroppedFiles({Path("new.txt"), Path("old.txt")});
  ASSERT_EQ(viewer_->PageCount(), 2);
  EXPECT_EQ(viewer_->Document().Header().oldName, Path("new.txt").toStdString());
  viewer_->OpenDroppedFiles({viewer_->Page(0)->Path()});
  EXPECT_EQ(viewer_->PageCount(), 3);
  Action(viewer_, "ActClose")->trigger();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_NE(OpenPair(Path("old.txt"), Path("new.txt")), nullptr);
  EXPECT_TRUE(Action(viewer_, "ActWrap")->isChecked());
  Action(viewer_, "ActWrap")->trigger();
  QTableView* view = viewer_->CurrentView();
  for (int row = 195; row < 205; ++row) EXPECT_EQ(view->rowHeight(row), view->rowHeight(0)) << row;
}

// 印刷 writes the shown view on pages headed by both names and the page count; a long line
// runs on in lines rather than being cut. Read back from the PDF that the print dialog's
// file output writes.
TEST_F(ViewerOfPairTest, PrintPutsEveryRowOnPagesHeadedByBothNames) {
  WriteLongPair(dir_.Path(), 300);
  ASSERT_NE(OpenPair(Path("old.txt"), Path("new.txt")), nullptr);
  for (bool side : {false, true}) {
    viewer_->ShowSideBySide(side);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("out.pdf"));
    const int pages = viewer_->PrintTo(&printer);
    EXPECT_GT(pages, 3);
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {Path("out.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(reader.waitForFinished(30000));
    const QString text = QString::fromUtf8(reader.readAllStandardOutput());
    EXPECT_EQ(text.count(QStringLiteral("旧：") + Path("old.txt")), pages) << side;
    EXPECT_TRUE(text.contains(QStringLiteral("新：") + Path("new.txt"))) << side;
    for (int page = 1; page <= pages; ++page) {
      EXPECT_TRUE(text.contains(QStringLiteral("%1 / %2").arg(page).arg(pages))) << page;
    }
    EXPECT_TRUE(text.contains(QStringLiteral("line 299")));
    EXPECT_GE(text.count(QLatin1Char('x')), 230) << side;
  }
}

// Later viewer launches of the same user hand their reports to the viewer already open,
// which shows each as a tab of its own (a batch of 6 pairs: one window, 6 tabs).
class ViewerHandoffTest : public ViewerOfPairTest {
 protected:
  // Opens a viewer on `report` that takes later launches' reports, at a socket in a runtime
  // folder of the test's own.
  void OpenListening(const char* report) {
    ASSERT_TRUE(QDir().mkpath(runtime_));
    QFile::setPermissions(runtime_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    viewer_ = OpenViewer({Path(report), QString()}, *store_, services_, VERKO_UI_APP_DIR);
    ASSERT_NE(viewer_, nullptr);
    ASSERT_TRUE(TakeViewRequests(handoff_, socket_, *store_, services_, VERKO_UI_APP_DIR));
  }
  // Starts `verko --view PATH` for each path at once, each a program of its own, as a batch
  // run starts them; true when all have ended, each with status 0, within `ms`.
  bool LaunchAll(const QStringList& paths, int ms) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime_);
    env.insert("XDG_CONFIG_HOME", Path("config"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    std::vector<std::unique_ptr<QProcess>> launches;
    for (const QString& path : paths) {
      auto& launch = launches.emplace_back(std::make_unique<QProcess>());
      launch->setProcessEnvironment(env);
      launch->setWorkingDirectory(QString::fromStdString(dir_.Path()));
      launch->start(VERKO_UI_APP_DIR "verko", {"--view", path});
    }
    const bool ended = QTest::qWaitFor(
        [&] {
          return std::all_of(launches.begin(), launches.end(),
                             [](auto& p) { return p->state() == QProcess::NotRunning; });
        },
        ms);
    for (auto& launch : launches) EXPECT_EQ(launch->exitCode(), 0);
    return ended;
  }
  const QString runtime_ = Path("run");
  const QString socket_ = runtime_ + "/verko-viewer";
  ViewerHandoff handoff_;
};

TEST_F(ViewerHandoffTest, LaterLaunchesBecomeTabsOfTheOpenViewer) {
  for (int i = 0; i < 6; ++i) {
    WriteFile(dir_.File(("report" + std::to_string(i) + ".txt").c_str()),
              ReadGolden("report_sample_full.txt"));
  }
  OpenListening("report0.txt");
  EXPECT_FALSE(QFileInfo(socket_).permissions() &
               (QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ReadGroup |
                QFileDevice::WriteGroup));
  EXPECT_TRUE(LaunchAll({"report1.txt", "report2.txt", "report3.txt", "report4.txt", "report5.txt"},
                        30000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewer_->PageCount() == 6; }, 5000));
  QStringList names;
  for (int i = 0; i < viewer_->PageCount(); ++i) {
    names.append(QFileInfo(viewer_->Page(i)->Path()).fileName());
  }
  names.sort();
  EXPECT_EQ(names.join(' '),
            "report0.txt report1.txt report2.txt report3.txt report4.txt "
            "report5.txt");
  // Ctrl+W closes one tab at a time.
  Action(viewer_, "ActCloseTab")->trigger();
  EXPECT_EQ(viewer_->PageCount(), 5);
}

// A device or a pipe handed over is refused in the open viewer, which goes on taking reports;
// the launch that handed it over is answered at once.
TEST_F(ViewerHandoffTest, DeviceOrPipeHandedOverLeavesTheOpenViewerResponsive) {
  WriteFile(dir_.File("report.txt"), ReadGolden("report_sample_full.txt"));
  WriteFile(dir_.File("later.txt"), ReadGolden("report_sample_full.txt"));
  const std::string fifo = dir_.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  OpenListening("report.txt");
  EXPECT_TRUE(LaunchAll({"/dev/zero", QString::fromStdString(fifo)}, 10000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return services_.messages.size() == 2; }, 1000));
  for (const auto& message : services_.messages) {
    EXPECT_TRUE(message.text.contains("通常のファイルではありません"))
        << message.text.toStdString();
  }
  EXPECT_TRUE(LaunchAll({"later.txt"}, 10000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewer_->PageCount() == 2; }, 1000));
}

}  // namespace
}  // namespace verko::testing
