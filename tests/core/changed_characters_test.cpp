#include "report/changed_characters.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "common/text_encoding.h"
#include "report/word_units.h"

namespace verko {
namespace {

std::string Encode(std::string_view utf8, TextEncoding encoding) {
  std::string out;
  EXPECT_TRUE(EncodeFromUtf8(utf8, encoding, &out)) << utf8;
  return out;
}

// The text (in UTF-8) with each range in brackets.
std::string Marked(std::string_view text, const std::vector<ByteRange>& ranges,
                   TextEncoding encoding) {
  std::string out;
  uint32_t pos = 0;
  for (const ByteRange& range : ranges) {
    out.append(text.substr(pos, range.begin - pos)).append("[");
    out.append(text.substr(range.begin, range.end - range.begin)).append("]");
    pos = range.end;
  }
  out.append(text.substr(pos));
  return DecodeToUtf8(out, encoding);
}

TEST(ChangedCharacters, MarksTheChangedWordsInEveryEncoding) {
  struct Case {
    const char* oldText;
    const char* newText;
    const char* oldMarked;
    const char* newMarked;
  } cases[] = {
      {"作成者 山田太郎", "作成者 鈴木太郎", "作成者 [山田]太郎", "作成者 [鈴木]太郎"},
      {"更新日 2026/11/30", "更新日 2026/12/07", "更新日 2026/[11/30]", "更新日 2026/[12/07]"},
      {"value = oldName;", "value = newName;", "value = [oldName];", "value = [newName];"},
      {"第3条 甲は乙に", "第3条 甲は丙に", "第3条 甲は[乙]に", "第3条 甲は[丙]に"},
      {"ｶﾀｶﾅとかな", "ｶﾀｶﾅとカナ", "ｶﾀｶﾅと[かな]", "ｶﾀｶﾅと[カナ]"},
      {"same text", "same text", "same text", "same text"},
      {"abc def", "abc xyz def", "abc def", "abc [xyz ]def"},
      {"", "新しい行", "", "[新しい行]"},
      // A lone common character between two changes joins them.
      {"あいうえお", "かいくえこ", "[あいうえお]", "[かいくえこ]"},
  };
  for (const TextEncoding encoding :
       {TextEncoding::kCp932, TextEncoding::kUtf8, TextEncoding::kEucJp}) {
    for (const Case& c : cases) {
      const std::string oldText = Encode(c.oldText, encoding);
      const std::string newText = Encode(c.newText, encoding);
      const ChangedRanges ranges =
          FindChangedCharacters(oldText, newText, encoding, ChangeUnits::kCharacters);
      EXPECT_EQ(Marked(oldText, ranges.oldRanges, encoding), c.oldMarked)
          << EncodingCaption(encoding);
      EXPECT_EQ(Marked(newText, ranges.newRanges, encoding), c.newMarked)
          << EncodingCaption(encoding);
    }
  }
}

// Whatever the bytes: the ranges are ordered, apart and inside the text, and what is left
// unmarked on both sides is the same text.
TEST(ChangedCharacters, UnmarkedPartsOfRandomLinesAreEqual) {
  std::mt19937 random(24);
  const std::string alphabet[] = {"a",
                                  "b",
                                  "_",
                                  " ",
                                  "/",
                                  "\x82\xA0",
                                  "\x88\x9F",
                                  "\xB1",
                                  "\x82",
                                  "\xFF",
                                  "1",
                                  ",",
                                  ".",
                                  "\xE3\x81\x82",
                                  "\xE3\x82\x99",
                                  "\xEF\xBC\x91",
                                  "\xA4\xA2",
                                  "\xE4\xB8\x80",
                                  "\xE2\x80\x8D",
                                  "\x8E\xB1",
                                  "\xF0\x9F\x87\xAF",
                                  "\xE8\xA6\xB3\xE6\xB8\xAC"};
  auto randomLine = [&] {
    std::string line;
    const int length = static_cast<int>(random() % 40);
    for (int k = 0; k < length; ++k) line += alphabet[random() % std::size(alphabet)];
    return line;
  };
  auto unmarked = [](std::string_view text, const std::vector<ByteRange>& ranges) {
    std::string out;
    uint32_t pos = 0;
    for (const ByteRange& range : ranges) {
      EXPECT_LE(pos, range.begin);
      EXPECT_LT(range.begin, range.end);
      EXPECT_TRUE(pos == 0 || pos < range.begin) << "ranges touch";
      out.append(text.substr(pos, range.begin - pos));
      pos = range.end;
    }
    EXPECT_LE(pos, text.size());
    return out.append(text.substr(std::min<std::size_t>(pos, text.size())));
  };
  for (int round = 0; round < 3000; ++round) {
    const auto encoding = static_cast<TextEncoding>(round % 3);
    const std::string oldText = randomLine();
    std::string newText = oldText;
    if (round % 4 != 0) newText = randomLine() + oldText.substr(oldText.size() / 2);
    const ChangeUnits units = round % 2 ? ChangeUnits::kWords : ChangeUnits::kCharacters;
    const ChangedRanges ranges = FindChangedCharacters(oldText, newText, encoding, units);
    ASSERT_EQ(unmarked(oldText, ranges.oldRanges), unmarked(newText, ranges.newRanges))
        << oldText << " / " << newText;
    if (oldText == newText) {
      EXPECT_TRUE(ranges.oldRanges.empty() && ranges.newRanges.empty());
    }
  }
}

// Words: a dictionary's words, whole numbers, whole graphemes; characters on request.
TEST(ChangedCharacters, MarksWholeWordsNumbersAndGraphemes) {
  ASSERT_TRUE(WordUnitsAvailable(nullptr));
  struct Case {
    ChangeUnits units;
    const char* oldText;
    const char* newText;
    const char* oldMarked;
    const char* newMarked;
  } cases[] = {
      {ChangeUnits::kWords, "宇宙線の観測", "宇宙線観測", "宇宙線[の]観測", "宇宙線観測"},
      {ChangeUnits::kWords, "社員の義務", "職員の義務", "[社員]の義務", "[職員]の義務"},
      {ChangeUnits::kWords, "１，０００円", "１，５００円", "[１，０００]円", "[１，５００]円"},
      {ChangeUnits::kWords, "金3.5億円", "金3.6億円", "金[3.5]億円", "金[3.6]億円"},
      {ChangeUnits::kWords, "No. 0001", "No. 0002", "No. [0001]", "No. [0002]"},
      {ChangeUnits::kWords, "第十二条", "第十三条", "第[十二]条", "第[十三]条"},
      {ChangeUnits::kWords, "か\u3099な", "かな", "[か\u3099]な", "[か]な"},
      {ChangeUnits::kWords, "葛\U000E0100飾", "葛飾", "[葛\U000E0100]飾", "[葛]飾"},
      {ChangeUnits::kWords, "E-mail address", "email address", "[E-mail] address",
       "[email] address"},
      {ChangeUnits::kCharacters, "社員の義務", "職員の義務", "[社]員の義務", "[職]員の義務"},
      {ChangeUnits::kCharacters, "か\u3099な", "かな", "[か\u3099]な", "[か]な"},
      {ChangeUnits::kCharacters, "旗\U0001F1EF\U0001F1F5", "旗\U0001F1EF\U0001F1F8",
       "旗[\U0001F1EF\U0001F1F5]", "旗[\U0001F1EF\U0001F1F8]"},
  };
  for (const TextEncoding encoding :
       {TextEncoding::kUtf8, TextEncoding::kCp932, TextEncoding::kEucJp}) {
    for (const Case& c : cases) {
      std::string oldText, newText;
      // CP932 and EUC-JP hold no combining marks or emoji: those cases are UTF-8 only.
      if (!EncodeFromUtf8(c.oldText, encoding, &oldText) ||
          !EncodeFromUtf8(c.newText, encoding, &newText)) {
        continue;
      }
      const ChangedRanges ranges = FindChangedCharacters(oldText, newText, encoding, c.units);
      EXPECT_EQ(Marked(oldText, ranges.oldRanges, encoding), c.oldMarked)
          << EncodingCaption(encoding);
      EXPECT_EQ(Marked(newText, ranges.newRanges, encoding), c.newMarked)
          << EncodingCaption(encoding);
    }
  }
}

TEST(ChangedCharacters, AVeryLongChangedMiddleIsMarkedWhole) {
  const std::string oldText = "<" + std::string(400, 'a') + std::string(400, ' ') + ">";
  const std::string newText = "<" + std::string(400, ' ') + std::string(400, 'b') + ">";
  const ChangedRanges ranges = FindChangedCharacters(oldText, newText, TextEncoding::kUtf8);
  EXPECT_EQ(ranges.oldRanges, (std::vector<ByteRange>{{1, 801}}));
  EXPECT_EQ(ranges.newRanges, (std::vector<ByteRange>{{1, 801}}));
}

TEST(ChangedCharacters, PairsAlikeLinesInOrderAndLeavesOthersAlone) {
  const std::vector<std::string_view> oldLines = {"第1条 目的", "全く別の内容の行です",
                                                  "第2条 定義", "第3条 適用範囲"};
  const std::vector<std::string_view> newLines = {"第1条 目的と範囲", "第2条 用語の定義",
                                                  "追加された行", "第3条 適用の範囲"};
  const auto pairs = PairChangedLines(oldLines, newLines, TextEncoding::kUtf8);
  std::vector<std::pair<int, int>> indexes;
  for (const ChangedLinePair& pair : pairs) indexes.emplace_back(pair.oldIndex, pair.newIndex);
  EXPECT_EQ(indexes, (std::vector<std::pair<int, int>>{{0, 0}, {2, 1}, {3, 3}}));
  EXPECT_EQ(Marked(newLines[0], pairs[0].ranges.newRanges, TextEncoding::kUtf8),
            "第1条 目的[と範囲]");
  EXPECT_TRUE(PairChangedLines(oldLines, {}, TextEncoding::kUtf8).empty());

  // Lines alike only by their units in common: the first kMaxUnitLooks pair, the rest not.
  std::vector<std::string> olds, news;
  for (int k = 0; k < kMaxUnitLooks + 8; ++k) {
    olds.push_back("x" + std::to_string(k) + " = y" + std::to_string(k) + " + z;");
    news.push_back("z + y" + std::to_string(k) + " = x" + std::to_string(k) + ";");
  }
  const auto reordered =
      PairChangedLines({olds.begin(), olds.end()}, {news.begin(), news.end()}, TextEncoding::kUtf8);
  ASSERT_EQ(reordered.size(), static_cast<std::size_t>(kMaxUnitLooks));
  EXPECT_EQ(reordered.back().oldIndex, kMaxUnitLooks - 1);
  EXPECT_EQ(reordered.back().newIndex, kMaxUnitLooks - 1);

  // A report body: blocks end at common lines; moved lines are left alone; a deleted and an
  // added line that no block paired are paired across blocks when they are edits of each
  // other (a line moved and changed), and short lines are not.
  using K = LineKind;
  std::vector<K> kinds = {K::kAdded,   K::kMovedOld, K::kDeleted, K::kCommon,
                          K::kDeleted, K::kCommon,   K::kAdded,   K::kDeleted};
  std::vector<std::string_view> texts = {
      "x = 2;", "x = 1;", "x = 1;", "c", "yy", "c", "yz", "甲は乙に対し、宇宙線の観測を委託する。"};
  for (int k = 0; k < 40; ++k) kinds.push_back(K::kCommon), texts.push_back("c");
  kinds.push_back(K::kAdded), texts.push_back("甲は丙に対し、宇宙線の観測を委託する。");
  std::vector<std::tuple<int, std::string, int>> marked;
  for (const ChangedLineMarks& marks : MarkChangedLines(kinds, texts, TextEncoding::kUtf8)) {
    marked.emplace_back(marks.line, Marked(texts[marks.line], marks.ranges, TextEncoding::kUtf8),
                        marks.partner);
  }
  EXPECT_EQ(marked, (std::vector<std::tuple<int, std::string, int>>{
                        {0, "x = [2];", 2},
                        {2, "x = [1];", 0},
                        {7, "甲は[乙]に対し、宇宙線の観測を委託する。", 48},
                        {48, "甲は[丙]に対し、宇宙線の観測を委託する。", 7}}));
}

}  // namespace
}  // namespace verko
