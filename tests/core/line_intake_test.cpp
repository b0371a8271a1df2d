#include "compare/line_intake.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/encoding.h"
#include "common/option_value.h"
#include "compare/editor_command.h"
#include "platform/regexp.h"
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
    TextSource source(content);
    EXPECT_EQ(ReadFileLines(source, options, FileRole::kOld, host, meter, table).flow,
              Flow::kContinue);
    return table;
  }

  std::vector<std::string> Texts(const LineTable& table) {
    std::vector<std::string> texts;
    for (const auto& r : table.Records()) texts.emplace_back(r.Text);
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
  TextSource nothing("");
  ReadFileLines(nothing, options, FileRole::kNew, host, meter, empty);
  EXPECT_EQ(meter.Value(), 15);
}

// A source that hands over a few bytes per read (line ends and double-byte characters fall
// across the pieces), or an endless run of one byte that counts what was taken from it.
class PieceSource : public ByteSource {
 public:
  PieceSource(std::string text, std::size_t pieceSize)
      : text_(std::move(text)), piece_(pieceSize) {}
  Status Read(char* buffer, std::size_t size, std::size_t* got) override {
    *got = std::min({size, piece_, text_.size() - pos_});
    std::memcpy(buffer, text_.data() + pos_, *got);
    pos_ += *got;
    piece_ = piece_ % 7 + 1;  // 1 to 7 bytes, varying
    return Status::Ok();
  }
  std::uint64_t Length() const override { return text_.size(); }

 private:
  std::string text_;
  std::size_t piece_;
  std::size_t pos_ = 0;
};

class EndlessSource : public ByteSource {
 public:
  explicit EndlessSource(char byte) : byte_(byte) {}
  Status Read(char* buffer, std::size_t size, std::size_t* got) override {
    std::memset(buffer, byte_, size);
    *got = size;
    taken += size;
    return Status::Ok();
  }
  std::uint64_t Length() const override { return 0; }  // a device: no length
  std::uint64_t taken = 0;

 private:
  char byte_;
};

TEST_F(LineIntakeTest, ReadingPieceByPieceGivesTheSameRecords) {
  options.normalize = {true, true, true};
  options.splitWidth = 20;
  const std::string contents[] = {
      "a\r\nb\rc\nd\n\re\r\n\r\nlast",
      ToCp932("　 漢字とかなの長い行です、ここで切れる。次の部分もあります \r\n短い\r\n"),
      "  word word word word word word word word word   \t \r\n" + std::string(300, 'z'),
      std::string("\x81\r\n\x82\xA0\x82\r\x81", 9),
  };
  LineTable reused;  // cleared between files, as each thread's runs reuse theirs
  for (const std::string& content : contents) {
    LineTable whole = Read(content);
    reused.Clear();
    PieceSource again(content, 2);
    ReadFileLines(again, options, FileRole::kOld, host, meter, reused);
    EXPECT_EQ(Texts(reused), Texts(whole)) << content;
    // A table that holds the text keeps its lines where they are, also once moved.
    LineTable holding;
    TextSource held(holding.Hold(content));
    ReadFileLines(held, options, FileRole::kOld, host, meter, holding);
    const LineTable moved = std::move(holding);
    EXPECT_EQ(Texts(moved), Texts(whole)) << content;
    for (std::size_t first : {1, 2, 3}) {
      PieceSource source(content, first);
      LineTable pieces;
      IntakeResult result = ReadFileLines(source, options, FileRole::kOld, host, meter, pieces);
      EXPECT_EQ(result.flow, Flow::kContinue);
      EXPECT_EQ(Texts(pieces), Texts(whole)) << content;
      // Lines read into the table stay where they are when it moves, as held ones do.
      pieces = LineTable(std::move(pieces));
      EXPECT_EQ(Texts(pieces), Texts(whole)) << content;
      ASSERT_EQ(pieces.Count(), whole.Count());
      for (int id = 1; id <= whole.Count(); ++id) {
        EXPECT_EQ(pieces.Line(id).LineNo, whole.Line(id).LineNo) << content;
        EXPECT_EQ(pieces.Line(id).PartNo, whole.Line(id).PartNo) << content;
      }
    }
  }
}

TEST_F(LineIntakeTest, TheCutSaysFromWhichLineNothingWasCompared) {
  struct Case {
    std::string content;
    int line;
    bool withinLine;
  } cases[] = {
      {std::string(kMaxLines, '\n'), 0, false},  // exactly the limit: not cut
      {std::string(kMaxLines + 5, '\n'), kMaxLines + 1, false},
      // 31999 short lines, then a line of three parts: the first part still fits.
      {std::string(kMaxLines - 1, '\n') + std::string(600, 'x'), kMaxLines, true},
  };
  for (const auto& c : cases) {
    TextSource source(c.content);
    LineTable table;
    IntakeResult result = ReadFileLines(source, options, FileRole::kNew, host, meter, table);
    EXPECT_EQ(result.cut.line, c.line);
    EXPECT_EQ(result.cut.withinLine, c.withinLine);
    EXPECT_EQ(table.Count(), std::min<int>(kMaxLines, static_cast<int>(c.content.size()) + 1));
  }
}

// An endless input (a device, a pipe that never ends) is read only as far as the line limit
// needs, whether its one line fills the records or normalising shrinks it to nothing.
TEST_F(LineIntakeTest, EndlessInputIsReadOnlyAsFarAsTheLimitNeeds) {
  options.normalize = {true, true, true};
  for (char byte : {'\0', 'x', ' '}) {
    EndlessSource source(byte);
    LineTable table;
    IntakeResult result = ReadFileLines(source, options, FileRole::kOld, host, meter, table);
    EXPECT_EQ(result.cut.line, 1) << int(byte);
    EXPECT_TRUE(result.cut.withinLine);
    EXPECT_LE(source.taken, 20u << 20) << int(byte);
    EXPECT_EQ(table.Count(), byte == ' ' ? 1 : kMaxLines);  // blanks only: one empty line
  }
}

// What a cut of a long line must be: the pieces of the whole remaining text, found with the
// library's full search, taken while they fit, else single characters.
std::vector<std::string> ReferenceParts(std::string text, int width, const std::string& pattern) {
  std::vector<std::string> parts;
  while (!text.empty()) {
    std::vector<std::string> pieces;
    std::string head;
    if (SplitByMatch(text, pattern, pieces, width / 2) > 0) {
      for (const std::string& piece : pieces) {
        if (static_cast<int>((head + piece).size()) > width) break;
        head += piece;
      }
    }
    if (head.empty()) head = text.substr(0, static_cast<std::size_t>(width));
    std::string rest = text.substr(head.size());
    while (!head.empty() && head.back() == ' ') head.pop_back();
    parts.push_back(head);
    text = rest;
  }
  return parts;
}

TEST_F(LineIntakeTest, PatternCutsAreThoseOfTheFullSearch) {
  options.splitWidth = 20;
  const std::string bs40(40, 'b');
  struct Case {
    std::string pattern, line;
  } cases[] = {
      {"ab{30}|b", "xa" + bs40},    // the leftmost match reaches past the width
      {"a(?=b{20})", "xa" + bs40},  // the match looks ahead past the width
      {"a(?=b{20})|b", "xxxxxa" + bs40 + "a" + bs40},
      {"c(?=.*z)|b", std::string(30, 'c') + bs40 + "z"},
      {" ", "one two three four five six seven eight nine ten"},
      {"x*", "abcdefghijklmnopqrstuvwxyz0123456789"},
  };
  for (const auto& c : cases) {
    options.splitChar = c.pattern;
    EXPECT_EQ(Texts(Read(c.line)), ReferenceParts(c.line, 20, c.pattern)) << c.pattern;
  }
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
