// Files taken by their text: what a converter gives or why it failed, and which files are
// refused for promising a document they do not hold. The documents themselves are read by
// the module, tested through verko-cli (tests/cli/documents_test.py).
#include "documents/document_text.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::TempDir;
using test_support::WriteFile;

TEST(TextConverter, GivesOutputOrTheReasonItFailed) {
  TempDir dir;
  const std::string file = dir.File("it's a file.doc");
  WriteFile(file, "本文\n");
  struct Case {
    const char* command;
    bool ok;
    const char* want;  // the text, or a piece of the message
  } cases[] = {
      {"cat %f", true, "本文\n"},
      {"echo x; cat", true, "x\n本文\n"},  // the file appended when %f is missing
      {"echo broken >&2; exit 3", false, "終了コード 3: broken"},
      {"kill -9 $$", false, "シグナル 9"},
      {"sleep 30; cat %f", false, "秒以内に終わらない"},
  };
  for (const Case& c : cases) {
    std::string text;
    const auto start = std::chrono::steady_clock::now();
    const Status status =
        RunConverter({"doc", c.command}, file, &text, std::chrono::milliseconds(300));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.command;
    EXPECT_EQ(status.ok(), c.ok) << c.command << ": " << status.reason();
    EXPECT_NE((c.ok ? text : status.reason()).find(c.want), std::string::npos) << c.command;
  }
}

TEST(TextConverter, ParsesExtensionAndCommand) {
  std::string message;
  const std::optional<Converter> converter = ParseConverter(".DOC=libreoffice --cat %f", &message);
  ASSERT_TRUE(converter);
  EXPECT_EQ(converter->extension, "doc");
  EXPECT_EQ(converter->command, "libreoffice --cat %f");
  const std::vector<Converter> converters{*converter};
  EXPECT_EQ(ConverterFor(converters, "/a/b.Doc"), &converters[0]);
  EXPECT_EQ(ConverterFor(converters, "/a.doc/b"), nullptr);
  for (const char* bad : {"doc", "=cmd", "doc=", "a/b=cmd"}) {
    EXPECT_FALSE(ParseConverter(bad, &message)) << bad;
    EXPECT_NE(message.find("正しくありません"), std::string::npos);
  }
}

TEST(DocumentText, NameThatPromisesADocumentItDoesNotHoldIsRefused) {
  TempDir dir;
  const std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  std::string encrypted = compound + std::string(504, '\0');
  for (char c : std::string("EncryptedPackage")) encrypted += {c, '\0'};
  struct Case {
    const char* name;
    std::string bytes;
    DocumentText::Outcome outcome;
    const char* message;
  } cases[] = {
      {"plain.txt", "第一条\n", DocumentText::Outcome::kAsItIs, ""},
      {"notes.pdf.txt", "a PDF starts with %PDF-\n", DocumentText::Outcome::kAsItIs, ""},
      {"plain.docx", "第一条\n", DocumentText::Outcome::kRefused, "Word 文書 ですが"},
      {"locked.xlsx", encrypted, DocumentText::Outcome::kRefused, "パスワード"},
      {"old.DOCX", compound + std::string(600, '\0'), DocumentText::Outcome::kRefused, "古い形式"},
  };
  for (const Case& c : cases) {
    WriteFile(dir.File(c.name), c.bytes);
    const DocumentText taken = TakeDocumentText(dir.File(c.name), {});
    EXPECT_EQ(taken.outcome, c.outcome) << c.name;
    EXPECT_NE(taken.message.find(c.message), std::string::npos) << c.name << ": " << taken.message;
    EXPECT_EQ(ComparedByText(dir.File(c.name), {}), c.outcome != DocumentText::Outcome::kAsItIs);
    // Without conversion every file is compared by its bytes.
    EXPECT_EQ(TakeDocumentText(dir.File(c.name), {false, {}}).outcome,
              DocumentText::Outcome::kAsItIs);
  }
}

}  // namespace
}  // namespace verko
