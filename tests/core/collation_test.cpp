#include <gtest/gtest.h>

#include <random>
#include <string>

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

// Folds a text character by character, the plain way.
std::string FoldByCharacters(std::string text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const auto b = static_cast<unsigned char>(text[pos]);
    const bool lead = (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
    if (!lead || pos + 1 == text.size()) {
      if (b >= 'A' && b <= 'Z') text[pos] = static_cast<char>(b + 0x20);
      pos += 1;
      continue;
    }
    const auto t = static_cast<unsigned char>(text[pos + 1]);
    int folded = t;
    if (b == 0x82 && t >= 0x60 && t <= 0x79) folded = t + 0x21;
    if (b == 0x83 && t >= 0x9f && t <= 0xb6) folded = t + 0x20;
    if (b == 0x84 && t >= 0x40 && t <= 0x60) folded = t < 0x4f ? t + 0x30 : t + 0x31;
    text[pos + 1] = static_cast<char>(folded);
    pos += 2;
  }
  return text;
}

TEST(TextCollation, FoldsLikeACharacterWalkOnRandomTexts) {
  // Runs of possible lead bytes of both parities, capitals and bytes that only look like
  // them, across the 64-byte blocks the fold works in.
  const std::string alphabet("AZa\x40\x60\x79\x81\x82\x83\x84\x9f\xb6\xe0\xfc\xa0 ", 16);
  std::mt19937 random(815);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    const std::size_t length = random() % 200;
    for (std::size_t k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
    const std::string folded = FoldByCharacters(text);
    ASSERT_EQ(FoldCase(text), folded) << testing::PrintToString(text);
    ASSERT_EQ(HasFoldableCapital(text), folded != text) << testing::PrintToString(text);
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

TEST(TextCollationOrder, InPlaceOrderAgreesWithFoldedBytesOnRandomTexts) {
  // Bytes chosen to hit lead bytes, foldable trail bytes, capitals and a lead byte at the
  // end of a text; the shared prefix makes the prefix-skipping path do real work.
  const std::string alphabet =
      std::string("Aaz \x82\x60\x81\x83\x9f\xbf\x84\x40\x71\xb1", 15) + std::string(1, '\0');
  std::mt19937 random(4711);
  auto randomText = [&](std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    return text;
  };
  auto sign = [](int order) { return (order > 0) - (order < 0); };
  for (int i = 0; i < 50000; ++i) {
    std::string prefix = randomText(random() % 12);
    std::string a = prefix + randomText(random() % 5);
    std::string b = prefix + randomText(random() % 5);
    ASSERT_EQ(sign(CompareFolded(a, b)), sign(FoldCase(a).compare(FoldCase(b))))
        << "a=" << testing::PrintToString(a) << " b=" << testing::PrintToString(b);
  }
}

}  // namespace
}  // namespace verko
