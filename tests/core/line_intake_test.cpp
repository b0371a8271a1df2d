#include "compare/line_intake.h"

#include <gtest/gtest.h>

#include "common/encoding.h"
#include "common/option_value.h"
#include "compare/editor_command.h"
#include "tests/support/scripted_host.h"

namespace verko {
namespace {

using test_support::ScriptedHost;

class LineIntakeTest : public ::testing::Test {
 protected:
  LineIntakeTest() : host(flags), meter(host, flags) {
    options.splitChar = ToCp932(kDefaultSplitChar);
  }

  LineTable Read(const std::string& content) {
    LineTable table;
    EXPECT_EQ(ReadLines(content, options, FileRole::kOld, host, meter, table), Flow::kContinue);
    return table;
  }

  std::vector<std::string> Texts(const LineTable& table) {
    std::vector<std::string> texts;
    for (const auto& r : table.Records()) texts.push_back(r.Text);
    return texts;
  }

  RunFlags flags;
  ScriptedHost host;
  ProgressMeter meter;
  IntakeOptions options;
};

TEST_F(LineIntakeTest, EveryKindOfLineEndEndsALine) {
  struct Case {
    std::string content;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
      {"\r\n\r\n", {"", ""}},
      {"last without end", {"last without end"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Texts(Read(c.content)), c.lines) << c.content;
  }
}

TEST_F(LineIntakeTest, NormalisesBeforeCuttingAndNumbersParts) {
  options.normalize = {true, true, true};
  options.splitWidth = 20;
  LineTable table = Read(ToCp932("　  abcd efgh ijkl mnop qrst uvwx \t\r\nnext\r\n"));
  ASSERT_EQ(table.Count(), 3);
  EXPECT_EQ(table.Line(1).Text, "abcd efgh ijkl mnop");
  EXPECT_EQ(table.Line(2).Text, "qrst uvwx");
  EXPECT_EQ(table.Line(3).Text, "next");
  EXPECT_EQ(table.Line(1).LineNo, 1);
  EXPECT_EQ(table.Line(2).LineNo, 1);
  EXPECT_EQ(table.Line(1).PartNo, 1);
  EXPECT_EQ(table.Line(2).PartNo, 2);
  EXPECT_EQ(table.Line(3).LineNo, 2);
  EXPECT_EQ(table.Line(3).PartNo, 0);
}

TEST_F(LineIntakeTest, HugeLineWithoutTerminatorIsCutIntoParts) {
  std::string line(10 * 1024 * 1024, 'x');
  LineTable table = Read(line);
  // 10 MiB at 250 bytes a part is more than the limit allows.
  EXPECT_EQ(table.Count(), kMaxLines);
  EXPECT_EQ(table.Line(1).Text, std::string(250, 'x'));
  EXPECT_EQ(table.Line(kMaxLines).PartNo, kMaxLines);
  EXPECT_EQ(host.limitMessages.size(), 1u);
}

TEST_F(LineIntakeTest, BinaryBytesAreKeptAsTheyAre) {
  std::string content("a\0b\x81\r\n\xFF\xFE\x82", 9);
  LineTable table = Read(content);
  ASSERT_EQ(table.Count(), 2);
  EXPECT_EQ(table.Line(1).Text, std::string("a\0b\x81", 4));
  EXPECT_EQ(table.Line(2).Text, "\xFF\xFE\x82");
}

TEST_F(LineIntakeTest, ProgressAddsAtMostFifteenPerFile) {
  std::string content;
  for (int i = 0; i < 5000; ++i) content += "line\r\n";
  Read(content);
  EXPECT_EQ(meter.Value(), 15);
  EXPECT_LE(host.progress.size(), 15u);
  LineTable empty;
  ReadLines("", options, FileRole::kNew, host, meter, empty);
  EXPECT_EQ(meter.Value(), 15);
}

TEST(OptionNumber, AcceptsRoundedValuesInRange) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  } cases[] = {{"1", true, 1},    {"9.4", true, 9},  {" 3 ", true, 3}, {"0", false, 0},
               {"10", false, 0},  {"abc", false, 0}, {"", false, 0},   {"9.6", false, 0},
               {"0.5", false, 0}, {"1.5", true, 2},  {"2.5", true, 2}, {"1e1", false, 0}};
  for (const auto& c : cases) {
    int value = -1;
    EXPECT_EQ(ParseOptionNumber(c.text, 1, 9, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
  int width = 0;
  EXPECT_FALSE(ParseOptionNumber("19", 20, 250, &width));
  EXPECT_FALSE(ParseOptionNumber("251", 20, 250, &width));
  EXPECT_TRUE(ParseOptionNumber("250", 20, 250, &width));
}

TEST(EditorCommand, PassesTheResultPathAsOneArgument) {
  struct Case {
    const char* setting;
    std::string program;
    std::vector<std::string> args;
  } cases[] = {
      {"xdg-open %1", "xdg-open", {"/tmp/a b.txt"}},
      {"gedit --new-window %1 ignored", "gedit", {"--new-window", "/tmp/a b.txt"}},
      {"\"/opt/my editor/ed\" %1", "/opt/my editor/ed", {"/tmp/a b.txt"}},
      {"kate", "kate", {"/tmp/a b.txt"}},
      {"%1", "", {}},
  };
  for (const auto& c : cases) {
    EditorCommand command = BuildEditorCommand(c.setting, "/tmp/a b.txt");
    EXPECT_EQ(command.program, c.program) << c.setting;
    if (!c.program.empty()) {
      EXPECT_EQ(command.args, c.args) << c.setting;
    }
  }
}

}  // namespace
}  // namespace verko
