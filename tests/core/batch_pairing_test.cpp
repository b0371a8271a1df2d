// Filling a list: the file dialog's answer, the method-3 patterns, the wildcard look-up of a
// partner in a folder and the automatic pairing of rows.
#include <gtest/gtest.h>

#include "batch/file_pairing.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using Names = std::vector<std::string>;

TEST(SplitSelectedFiles, OneFileOrAFolderWithNames) {
  SelectedFiles one = SplitSelectedFiles(std::string_view("/data/old/a.txt"));
  EXPECT_EQ(one.folder, "/data/old/");
  EXPECT_EQ(one.names, Names{"a.txt"});

  SelectedFiles many = SplitSelectedFiles(std::string_view("/data/old\0b.txt\0a.txt", 21));
  EXPECT_EQ(many.folder, "/data/old/");
  EXPECT_EQ(many.names, (Names{"b.txt", "a.txt"}));

  SelectedFiles paths = SplitSelectedFiles(Names{"/d/x.txt", "/d/x.txt", "/d/y.txt"});
  EXPECT_EQ(paths.folder, "/d/");
  EXPECT_EQ(paths.names, (Names{"x.txt", "x.txt", "y.txt"}));
}

TEST(SplitPattern, PartsAndStars) {
  struct {
    const char* pattern;
    Names parts;
    int stars;
    const char* regex;
  } cases[] = {
      {"ab*cd.*", {"ab", "*", "cd", ".", "*"}, 2, "ab〓.+〓cd〓\\.〓.+"},
      {"*.txt", {"*", ".", "txt"}, 1, ".+〓\\.〓txt"},
      {"*_a.txt", {"*", "_a", ".", "txt"}, 1, ".+〓_a〓\\.〓txt"},
      {"報告*.", {"報告", "*", "."}, 1, "報告〓.+〓\\."},
      {"", {}, 0, ""},
  };
  for (const auto& c : cases) {
    PatternParts parts = SplitPattern(c.pattern);
    EXPECT_EQ(parts.parts, c.parts) << c.pattern;
    EXPECT_EQ(parts.stars, c.stars) << c.pattern;
    EXPECT_EQ(PatternToRegex(parts.parts), c.regex) << c.pattern;
    EXPECT_EQ(JoinParts(parts.parts), c.pattern);
  }
}

BatchListSettings Patterns(const char* fname, const char* ext, const char* fname2,
                           const char* ext2) {
  BatchListSettings s;
  s.pairingMethod = 3;
  s.pairingFname = fname;
  s.pairingExt = ext;
  s.pairingFname2 = fname2;
  s.pairingExt2 = ext2;
  return s;
}

TEST(PatternNames, WorkedExampleBothWays) {
  BatchListSettings s = Patterns("*_a", "txt", "*_b", "txt");
  EXPECT_EQ(PatternNewName("report_a.txt", s), "report_b.txt");
  EXPECT_EQ(PatternOldName("report_b.txt", s), "report_a.txt");
  EXPECT_EQ(PatternNewName("REPORT_A.TXT", s), "REPORT_b.txt");  // letter case ignored
  EXPECT_EQ(PatternNewName("報告書_a.txt", s), "報告書_b.txt");
  EXPECT_EQ(PatternNewName("report.txt", s), "");  // does not fit the pattern

  BatchListSettings swap = Patterns("*-*", "*", "*_*", "*");
  EXPECT_EQ(PatternNewName("a-b.csv", swap), "a_b.csv");
}

TEST(PatternNames, StarCountsMustAgreeAndBeAtLeastOne) {
  std::string mismatch = PatternNewName("a.txt", Patterns("*", "txt", "*", "*"));
  EXPECT_EQ(mismatch,
            std::string(kPatternErrorPrefix) +
                "一致部分(\"*\")の数は旧ファイル名と新ファイル名とで同じでなければなりません。");
  std::string none = PatternOldName("a.txt", Patterns("a", "txt", "b", "txt"));
  EXPECT_EQ(none, std::string(kPatternErrorPrefix) +
                      "一致部分(\"*\")を少なくとも１箇所に指定してください。");
  BatchListSettings bad = Patterns("*", "txt", "*", "t?t");
  EXPECT_TRUE(HasInvalidPatternChar(bad));
  bad.pairingExt2 = "t\\t";
  EXPECT_TRUE(HasInvalidPatternChar(bad));
  EXPECT_FALSE(HasInvalidPatternChar(Patterns("*", "txt", "*", "*")));
}

TEST(Wildcard, MatchesAsAFolderListingDoes) {
  struct {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"data.*", "data.csv", true},
      {"data.*", "data.", true},
      {"data.*", "data", false},
      {"a?c", "abc", true},
      {"a?c", "aあc", true},
      {"a?c", "ac", false},
      {"*", "x", true},
      {"*b*b", "abxbb", true},
      {"*.txt", "a.TXT", false},
      {"a[1].txt", "a[1].txt", true},
      {"報告*", "報告書.txt", true},
      {"", "", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
  }
}

TEST(Wildcard, FirstEntryInNameOrderSpeltAsTheFolderSpellsIt) {
  test_support::TempDir dir;
  for (const char* name : {"data.log", "data.csv", "other.txt", "Data.txt"}) {
    test_support::WriteFile(dir.File(name), "x");
  }
  std::filesystem::create_directory(dir.File("data.dir"));
  Names entries = ListFolderFiles(dir.Path());
  EXPECT_EQ(entries, (Names{"Data.txt", "data.csv", "data.log", "other.txt"}));
  EXPECT_EQ(FindWildcardEntry(entries, "data.*"), "data.csv");
  EXPECT_EQ(FindWildcardEntry(entries, "Data.*"), "Data.txt");
  EXPECT_EQ(FindWildcardEntry(entries, "none.*"), "");
  EXPECT_TRUE(ListFolderFiles(dir.File("missing")).empty());
}

TEST(AutoPairFiles, EachMethodFindsItsPartner) {
  const Names entries = {"data.csv", "data.log", "plan_b.txt", "report_b.txt", "x.txt"};
  const std::string U(UnpairedMark), D(UndecidedMark);
  std::vector<PairRow> rows = {{1, "report_a.txt", U, D}, {2, "x.txt", U, D},
                               {3, "data.txt", U, D},     {4, "memo_a.txt", U, D},
                               {5, "y.txt", "taken", D},  {6, U, "plan_b.txt", D}};
  BatchListSettings s = Patterns("*_a", "txt", "*_b", "txt");
  struct {
    int method;
    std::vector<std::pair<std::size_t, std::string>> found;
  } cases[] = {
      {1, {{1, "x.txt"}}},
      {2, {{1, "x.txt"}, {2, "data.csv"}}},  // extension pattern "*"
      {3, {{0, "report_b.txt"}}},            // memo_b.txt is missing, x.txt does not fit
  };
  for (const auto& c : cases) {
    s.pairingMethod = c.method;
    s.pairingExt = c.method == 2 ? "*" : "txt";
    if (c.method == 2) s.pairingFname = "(同じﾌｧｲﾙ名)";
    AutoPairOutcome outcome = AutoPairFiles(rows, PairSide::kNew, s, entries);
    if (c.method == 2) s.pairingFname = "*_a";
    EXPECT_EQ(outcome.found, c.found) << c.method;
    EXPECT_EQ(outcome.patternError, "");
  }
  s.pairingMethod = 3;
  AutoPairOutcome old = AutoPairFiles(rows, PairSide::kOld, s, {"plan_a.txt"});
  EXPECT_EQ(old.found, (std::vector<std::pair<std::size_t, std::string>>{{5, "plan_a.txt"}}));

  s.pairingFname2 = "b";  // no star on the new side: the pairing stops at the first row
  AutoPairOutcome error = AutoPairFiles(rows, PairSide::kNew, s, entries);
  EXPECT_TRUE(error.found.empty());
  EXPECT_NE(error.patternError.find("同じでなければなりません"), std::string::npos);
}

}  // namespace
}  // namespace verko
