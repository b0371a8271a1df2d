#include "platform/regexp.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "common/encoding.h"

namespace verko {
namespace {

std::string Sj(const char* utf8) {
  return ToCp932(utf8);
}

TEST(MatchR, ReportsCharacterPositionsAndPatternErrors) {
  struct Case {
    const char* text;
    const char* pattern;
    int result;
    int position;
    int length;
  } cases[] = {
      {"abc", "b", 1, 2, 1},
      {"abc", "x", 0, 0, 0},
      {"abc", "[", -1, 0, 0},
      {"abc", "(", -1, 0, 0},
      {"漢字abc", "b", 1, 4, 1},
      {"漢字 かなカナ.", "[ぁ-ん]+", 1, 4, 2},
      {"漢字 かなカナ.", "[ァ-ン]+", 1, 6, 2},
      {"あいう ABC.", "[ 　\\t]+|[ぁ-んー。、．，」)；：]+", 1, 1, 3},
      {"a　b", "[ 　\\t]+", 1, 2, 1},
      {"x\ty", "[\\t]", 1, 2, 1},
      {"file.txt", "\\.", 1, 5, 1},
      {"c:\\dir", "\\\\", 1, 3, 1},
      {"ab", "^b", 0, 0, 0},
      {"ab", "a$", 0, 0, 0},
      {"ab", "b$", 1, 2, 1},
      {"漢字", ".", 1, 1, 1},
      {"x漢字y", "漢.", 1, 2, 2},
      {"abc", "", 1, 1, 0},
      {"report#.txt", "#+", 1, 7, 1},
      {"a*.txt", "[*.]", 1, 2, 1},
  };
  for (const auto& c : cases) {
    int position = -9;
    int length = -9;
    EXPECT_EQ(MatchR(Sj(c.text), Sj(c.pattern), position, length), c.result)
        << c.text << " / " << c.pattern;
    EXPECT_EQ(position, c.position) << c.text << " / " << c.pattern;
    EXPECT_EQ(length, c.length) << c.text << " / " << c.pattern;
  }
}

TEST(MatchR, NeverMatchesInsideDoubleByteCharacter) {
  // "ア" is 83 41 and "ャ" 83 6C: their trail bytes are "A" and "l".
  int position = 0;
  int length = 0;
  EXPECT_EQ(MatchR(Sj("アA"), "A", position, length), 1);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(MatchR(Sj("ア"), "A", position, length), 0);
  std::string text = Sj("アャ");
  EXPECT_EQ(GSubRigc(text, "[al]", "-"), 0);
  EXPECT_EQ(text, Sj("アャ"));
}

TEST(MatchR, LoneLeadByteAtEndIsOneCharacter) {
  std::string text = "ab\x81";
  int position = 0;
  int length = 0;
  EXPECT_EQ(MatchR(text, "[^a]+", position, length), 1);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(length, 2);
  EXPECT_EQ(MatchR(text, ".$", position, length), 1);
  EXPECT_EQ(position, 3);
  std::string copy = text;
  EXPECT_EQ(GSubR(copy, "b", "B"), 1);
  EXPECT_EQ(copy, "aB\x81");
  EXPECT_EQ(GSubR(copy, ".", "."), 3);
  EXPECT_EQ(copy, "...");
}

TEST(GSubR, CountsReplacementsAndLeavesTextOnError) {
  struct Case {
    const char* text;
    const char* pattern;
    const char* replacement;
    int count;
    const char* result;
  } cases[] = {
      {"a  b\t c", "[ 　\\t]+", " ", 2, "a b c"},
      {"  ab  ", "^[ 　\\t]+|[ 　\\t]+$", "", 2, "ab"},
      {"　a　　b　", "[ 　\\t]+", " ", 3, " a b "},
      {"abc", "x", "y", 0, "abc"},
      {"abc", "[", "y", -1, "abc"},
      {"abc", "x*", "-", 4, "-a-b-c-"},   // empty matches advance one character
      {"漢字", "x*", "-", 3, "-漢-字-"},  // ... a whole double-byte character
      {"aaa", "a", "", 3, ""},
      {"ab", "", "|", 3, "|a|b|"},
  };
  for (const auto& c : cases) {
    std::string text = Sj(c.text);
    EXPECT_EQ(GSubR(text, Sj(c.pattern), Sj(c.replacement)), c.count)
        << c.text << " / " << c.pattern;
    EXPECT_EQ(text, Sj(c.result)) << c.text << " / " << c.pattern;
  }
}

TEST(GSubRigc, IgnoresLetterCase) {
  std::string editor = "C:\\WINDOWS\\Notepad.exe %1";
  EXPECT_EQ(GSubRigc(editor, "c:\\\\windows\\\\", ""), 1);
  EXPECT_EQ(editor, "Notepad.exe %1");
  std::string other = "D:\\Windows\\x c:\\windows\\y";
  EXPECT_EQ(GSubRigc(other, "c:\\\\windows\\\\", ""), 1);
  EXPECT_EQ(other, "D:\\Windows\\x y");
  std::string plain = "ABC abc";
  EXPECT_EQ(GSubR(plain, "abc", "x"), 1);  // the plain call keeps case
  EXPECT_EQ(plain, "ABC x");
  EXPECT_EQ(GSubRigc(plain, "abc", "x"), 1);
  EXPECT_EQ(plain, "x x");
}

TEST(TaggedGSubRigc, RebuildsNameFromTags) {
  const std::string pattern = Sj(".+〓_a〓\\.〓txt");
  struct Case {
    const char* name;
    int count;
    const char* result;
  } cases[] = {
      {"report_a.txt", 1, "report_b.txt"}, {"REPORT_A.TXT", 1, "REPORT_b.txt"},
      {"報告書_a.txt", 1, "報告書_b.txt"}, {"report_c.txt", 0, "report_c.txt"},
      {"report_a.doc", 0, "report_a.doc"},
  };
  for (const auto& c : cases) {
    std::string text = Sj(c.name);
    EXPECT_EQ(TaggedGSubRigc(text, pattern, "&0_b.txt"), c.count) << c.name;
    EXPECT_EQ(text, Sj(c.result)) << c.name;
  }
}

TEST(TaggedGSubRigc, ReplacementReferencesAnyTag) {
  std::string text = "old_12.csv";
  EXPECT_EQ(TaggedGSubRigc(text, Sj("old〓_〓[0-9]+〓\\.csv"), "new&1&2&3&9 & &x"), 1);
  EXPECT_EQ(text, "new_12.csv & &x");
  // Groups inside a sub-pattern do not shift the tag numbers.
  text = "ab-cd";
  EXPECT_EQ(TaggedGSubRigc(text, Sj("(a)(b)〓-〓(c|x)d"), "&2&1&0"), 1);
  EXPECT_EQ(text, "cd-ab");
}

TEST(TaggedGSubRigc, BrokenPatternLeavesText) {
  for (const char* pattern : {"[〓a", "(〓)", "a〓(", "a)〓b"}) {
    std::string text = "a)b";
    EXPECT_LE(TaggedGSubRigc(text, Sj(pattern), "&0"), 0) << pattern;
    EXPECT_EQ(text, "a)b") << pattern;
  }
}

TEST(TaggedGSubRigc, SplitsOnSeparatorCharactersOnly) {
  // "院" (89 40) then "〓": the separator splits there.
  std::string text = Sj("院x");
  EXPECT_EQ(TaggedGSubRigc(text, Sj("院〓x"), "&1&0"), 1);
  EXPECT_EQ(text, Sj("x院"));
  // 8F 81 AC: the lead byte 8F takes 81, so the AC that follows is "ｬ", not part of a "〓".
  std::string pattern = "\x8F\x81\xAC";
  text = "\x8F\x81\xAC";
  EXPECT_EQ(TaggedGSubRigc(text, pattern, "&0&1"), 1);
  EXPECT_EQ(text, "\x8F\x81\xAC");
}

TEST(SplitByMatch, CutsAfterMatchesUpToMaximum) {
  struct Case {
    const char* text;
    const char* pattern;
    int max;
    int count;
    std::vector<const char*> pieces;
  } cases[] = {
      {"ab cd ef", " ", 10, 3, {"ab ", "cd ", "ef"}},
      {"ab cd ef", " ", 2, 2, {"ab ", "cd ef"}},
      {"ab cd ", " ", 10, 3, {"ab ", "cd ", ""}},
      {"abc", " ", 5, 1, {"abc"}},
      {"漢字です。次", "[ぁ-ん。]+", 5, 2, {"漢字です。", "次"}},
      {"abc", "[", 5, -1, {}},
      {"", " ", 3, 1, {""}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> pieces{"stale"};
    int n = SplitByMatch(Sj(c.text), Sj(c.pattern), pieces, c.max);
    EXPECT_EQ(n, c.count) << c.text;
    ASSERT_EQ(static_cast<int>(pieces.size()), c.max) << c.text;
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      EXPECT_EQ(pieces[i], Sj(c.pieces[i])) << c.text << " piece " << i;
    }
    for (int i = std::max(n, 0); i < c.max; ++i) EXPECT_EQ(pieces[i], "") << c.text;
  }
}

TEST(RegexpCache, ManyPatternsAndThreadsStayCorrect) {
  auto work = [] {
    for (int round = 0; round < 3; ++round) {
      for (int i = 0; i < 40; ++i) {
        std::string pattern = "x" + std::to_string(i);
        std::string text = "ax" + std::to_string(i) + "b";
        int position = 0;
        int length = 0;
        ASSERT_EQ(MatchR(text, pattern, position, length), 1);
        ASSERT_EQ(position, 2);
      }
    }
  };
  std::thread other(work);
  work();
  other.join();
}

}  // namespace
}  // namespace verko
