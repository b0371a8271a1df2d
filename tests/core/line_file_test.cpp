// A file edited line by line and written back in its own form: the lines nobody touched
// byte for byte, the encoding, line end and byte order mark kept, the former content in
// NAME.orig, and a line the encoding cannot hold refused with its characters named.
#include "common/line_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/encoding.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

TEST(LineFile, CopiedLineIsWrittenInTheFilesOwnForm) {
  struct {
    const char* name;
    std::string before;  // the file as it was
    TextEncoding encoding;
    std::string after;  // line 2 replaced by "変更後の行"
  } const kCases[] = {
      {"CP932 with CR LF, an invalid byte kept", ToCp932("第一条\r\n旧の行\r\nbad \x81\r\n"),
       TextEncoding::kCp932, ToCp932("第一条\r\n変更後の行\r\nbad \x81\r\n")},
      {"UTF-8 with a BOM, LF, no last line end", "\xEF\xBB\xBF第一条\n旧の行\n末尾",
       TextEncoding::kUtf8, "\xEF\xBB\xBF第一条\n変更後の行\n末尾"},
      {"EUC-JP with CR", "\xC2\xE8\xB0\xEC\r\xB5\xEC\r", TextEncoding::kEucJp,
       "\xC2\xE8\xB0\xEC\r\xCA\xD1\xB9\xB9\xB8\xE5\xA4\xCE\xB9\xD4\r"},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    const std::string path = dir.File("text.txt");
    WriteFile(path, c.before);
    ::chmod(path.c_str(), 0640);
    LineFile file;
    ASSERT_TRUE(ReadLineFile(path, c.encoding, &file).ok()) << c.name;
    EXPECT_EQ(file.Bytes(), c.before) << c.name;
    std::string missing;
    ASSERT_TRUE(EncodeLine("変更後の行", c.encoding, &file.lines[1], &missing)) << c.name;
    ASSERT_TRUE(WriteLineFile(path, file).ok()) << c.name;
    EXPECT_EQ(ReadFile(path), c.after) << c.name;
    EXPECT_EQ(ReadFile(path + ".orig"), c.before) << c.name;
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << c.name;
    // A second save keeps the first backup.
    file.lines[0] = file.lines[1];
    ASSERT_TRUE(WriteLineFile(path, file).ok()) << c.name;
    EXPECT_EQ(ReadFile(path + ".orig"), c.before) << c.name;
  }
}

TEST(LineFile, CharactersTheEncodingCannotHoldAreNamed) {
  std::string bytes, missing;
  EXPECT_FALSE(EncodeLine("寿司🍣と𠮷野家の🍣", TextEncoding::kCp932, &bytes, &missing));
  EXPECT_EQ(missing, "🍣𠮷");
  EXPECT_TRUE(EncodeLine("寿司🍣", TextEncoding::kUtf8, &bytes, &missing));
  EXPECT_TRUE(missing.empty());
  LineFile file;
  TempDir dir;
  WriteFile(dir.File("u16.txt"), "\xFF\xFE" "a\0");
  EXPECT_FALSE(ReadLineFile(dir.File("u16.txt"), TextEncoding::kUtf16Le, &file).ok());
}

}  // namespace
}  // namespace verko
