#include <gtest/gtest.h>

#include "common/encoding.h"
#include "common/text_collation.h"
#include "compare/lines/line_functions.h"

namespace verko {
namespace {

TEST(TextCollation, FoldsLatinGreekCyrillicCapitalsOnly) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {
      {"abc", "ABC", true},    {"ａｂｃ", "ＡＢＣ", true}, {"αβω", "ΑΒΩ", true},
      {"аёя", "АЁЯ", true},    {"abc", "ＡＢＣ", false},   {"abc ", "abc", false},
      {"かな", "カナ", false}, {"Ⅰ", "ⅰ", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareFolded(ToCp932(c.a), ToCp932(c.b)) == 0, c.equal) << c.a << " / " << c.b;
  }
}

TEST(TextCollation, TrailByteThatLooksLikeCapitalIsNotFolded) {
  // "ア" is 83 41: its trail byte is "A" but must stay as it is.
  std::string a = ToCp932("ア");
  ASSERT_EQ(a, "\x83\x41");
  EXPECT_EQ(FoldCase(a), a);
  EXPECT_NE(CompareFolded(a, "\x83\x61"), 0);
}

TEST(TextCollation, HasFoldableCapitalExactlyWhenFoldingChangesTheText) {
  for (const char* text :
       {"abc", "aBc", "ひらがな", "カタカナ", "ａＢｃ", "Ω", "Я", "ア", "", "123"}) {
    std::string cp932 = ToCp932(text);
    EXPECT_EQ(HasFoldableCapital(cp932), FoldCase(cp932) != cp932) << text;
  }
}

TEST(TextCollation, OrdersByFoldedBytesShorterFirst) {
  EXPECT_LT(CompareFolded("ab", "abc"), 0);
  EXPECT_LT(CompareFolded("ABC", "abd"), 0);
  EXPECT_GT(CompareFolded(ToCp932("あ"), "z"), 0);
}

TEST(WordCount, CountsStretchesBetweenSeparatorRuns) {
  struct Case {
    const char* text;
    int words;
  } cases[] = {
      {"", 0},        {"   ", 0},      {"alpha", 1},
      {"bravo 2", 2}, {"  a  b  ", 2}, {"漢字です。漢字", 2},
      {"あア", 3},                   // a hiragana run, then a katakana run: two separators
      {"アあ", 2},                   // katakana then hiragana: one run
      {"a\tb　c", 3}, {"(x) y", 3},  // ")" is a separator, "(" is not
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WordCountTC(ToCp932(c.text)), c.words) << c.text;
  }
}

}  // namespace
}  // namespace verko
