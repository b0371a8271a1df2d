// The main window's logic without the window: the options a start reads from the option
// controls, and which comparison may start while another runs.
#include "compare/compare_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::ScriptedHost;
using test_support::TempDir;
using test_support::WriteFile;

TEST(CompareSessionOptions, NumericFieldsCountOnlyWhenOnAndValid) {
  struct {
    bool split;
    const char* splitWidthText;
    bool diffOnly;
    const char* matchLenText;
    int splitWidth, contextLines;
  } const kCases[] = {
      {false, "100", false, "5", 250, 3},      // options off: the defaults stay
      {true, "100", true, "5", 100, 5},        //
      {true, " 120.5x", true, "2.5", 120, 2},  // leading number, halves to even
      {true, "9.4", true, "9.6", 250, 3},      // out of range after rounding
      {true, "abc", true, "", 250, 3},         // no number reads as 0: invalid
      {true, "250", true, "1", 250, 1},        // the limits themselves
  };
  for (const auto& c : kCases) {
    OptionFields fields;
    fields.split = c.split;
    fields.splitWidthText = c.splitWidthText;
    fields.diffOnly = c.diffOnly;
    fields.matchLenText = c.matchLenText;
    fields.fewestMoves = c.split;  // taken as it is
    fields.trimTop = true;
    fields.workPath = "/w/";
    const CompareOptions options = ReadCompareOptions(fields);
    EXPECT_EQ(options.splitWidth, c.splitWidth) << c.splitWidthText;
    EXPECT_EQ(options.contextLines, c.contextLines) << c.matchLenText;
    EXPECT_EQ(options.split, c.split);
    EXPECT_EQ(options.diffOnly, c.diffOnly);
    EXPECT_EQ(options.fewestMoves, c.split);
    EXPECT_TRUE(options.trimTop);
    EXPECT_TRUE(options.trimTail);
    EXPECT_EQ(options.workPath, "/w/");
  }
}

TEST(CompareSessionRuns, BatchPairIsRefusedWhileAStartedComparisonRuns) {
  TempDir dir;
  RunFlags flags;
  ScriptedHost host(flags);
  CompareSession session(host, flags);
  CompareRequest request;
  request.oldName = dir.File("old.txt");
  request.newName = dir.File("new.txt");
  request.resultName = dir.File("result.txt");
  request.options.workPath = dir.Path();
  WriteFile(request.oldName, "alpha\r\nbravo\r\n");
  WriteFile(request.newName, "alpha\r\ncharlie\r\n");

  CompareRequest pair = request;
  pair.resultName = dir.File("pair.txt");
  std::vector<CompareResult> nested;
  bool seenActive = false, startAllowed = true;
  host.onProgress = [&](ScriptedHost&) {
    if (!nested.empty()) return;
    seenActive = session.InteractiveRunActive() && session.RunActive();
    startAllowed = session.CanStart();
    nested.push_back(session.RunBatch(pair));
  };
  const CompareResult result = session.RunInteractive(request);
  EXPECT_EQ(result.status, kStatusDone) << result.message.text;
  ASSERT_EQ(nested.size(), 1u);
  EXPECT_EQ(nested[0].status, kStatusFailed);
  EXPECT_EQ(nested[0].message.text, "ほかの比較処理が実行中です。");
  EXPECT_EQ(nested[0].message.title, "比較処理の実行中");
  EXPECT_FALSE(std::filesystem::exists(pair.resultName));
  EXPECT_TRUE(seenActive);
  EXPECT_FALSE(startAllowed);
  EXPECT_FALSE(session.RunActive());
  EXPECT_FALSE(session.InteractiveRunActive());
  EXPECT_EQ(session.LastResult().status, kStatusDone);

  // A batch pair runs in batch mode (no question) once nothing else runs; while a batch
  // run is going the start button may not start.
  session.SetBatchRunning(true);
  EXPECT_FALSE(session.CanStart());
  host.onProgress = nullptr;
  host.answerOverwrite = false;
  const CompareResult batch = session.RunBatch(request);
  EXPECT_EQ(batch.status, kStatusDone) << batch.message.text;
  EXPECT_TRUE(host.questions.empty());
  session.SetBatchRunning(false);
  EXPECT_TRUE(session.CanStart());
}

}  // namespace
}  // namespace verko
