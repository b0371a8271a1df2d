#include "compare/lines/line_functions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/encoding.h"
#include "common/text_encoding.h"
#include "platform/regexp.h"

namespace verko {
namespace {

std::string Sj(const char* utf8) {
  return ToCp932(utf8);
}

// The substitutions NormalizeLine stands for, through the regular-expression library.
std::string NormalizeByPatterns(std::string line, const NormalizeOptions& options) {
  if (options.trimTop && options.trimTail) {
    GSubR(line, Sj("^[ 　\\t]+|[ 　\\t]+$"), "");
  } else if (options.trimTop) {
    GSubR(line, Sj("^[ 　\\t]+"), "");
  } else if (options.trimTail) {
    GSubR(line, Sj("[ 　\\t]+$"), "");
  }
  if (options.compress) GSubR(line, Sj("[ 　\\t]+"), " ");
  return line;
}

// Word count through the library: separator runs replaced, plus one.
int32_t WordCountByPattern(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  std::string t(text.substr(first, text.find_last_not_of(' ') - first + 1));
  int replaced =
      GSubR(t, Sj("[ 　\\t\\n\\r]+|[ぁ-んー。、．，」)；：]+|[ァ-ンぁ-んー。、．，」)；：]+"), " ");
  return replaced + 1;
}

// SplitLine step by step: whole pieces of SplitByMatch while they fit, else pieces of one
// character ("."), then trailing ASCII spaces off the head.
void SplitLineByPieces(std::string& line, std::string& rest, int width, std::string_view pattern) {
  const std::string copy = line;
  auto buildHead = [&](std::string_view p, int maxPieces) {
    std::vector<std::string> pieces;
    int n = SplitByMatch(copy, p, pieces, maxPieces);
    std::string head;
    for (int i = 0; i < n; ++i) {
      if (static_cast<int>(head.size() + pieces[i].size()) > width) break;
      head += pieces[i];
    }
    return head;
  };
  std::string head = buildHead(pattern, width / 2);
  if (head.empty()) head = buildHead(".", width + 1);
  rest = copy.substr(head.size());
  std::size_t kept = head.size();
  while (kept > 0 && head[kept - 1] == ' ') --kept;  // 0x20 is never a trail byte
  line = head.substr(0, kept);
}

// Random CP932 lines: ASCII words, blanks of all kinds, kana, kanji, punctuation; on request
// now and then a bare lead byte that pairs with whatever follows (or stands alone at the
// end), and line-break characters.
class LineGenerator {
 public:
  explicit LineGenerator(unsigned seed) : rng_(seed) {}

  std::string Next(bool bareLeadBytes, bool lineBreaks = false) {
    static const std::vector<std::string> tokens = {
        "a",      "Zq",     "word",   " ",      "  ",     "\t",     Sj("　"), Sj("　　"),
        Sj("ぁ"), Sj("ん"), Sj("か"), Sj("ァ"), Sj("ン"), Sj("ヴ"), Sj("ヶ"), Sj("ー"),
        Sj("。"), Sj("、"), Sj("．"), Sj("，"), Sj("」"), Sj("「"), ")",      "(",
        Sj("；"), Sj("："), Sj("漢"), Sj("字"), Sj("院"), Sj("表"), "\x81",   "\xB1",
        "@",      "\x80",   "\xFD",   Sj("ア"), "A",      Sj("＝"), Sj("ヲ")};
    std::string line;
    int length = std::uniform_int_distribution<int>(0, 30)(rng_);
    for (int i = 0; i < length; ++i) {
      const std::string& token = tokens[Pick(tokens.size())];
      if (token == "\x81" && !bareLeadBytes) continue;
      line += token;
      if (lineBreaks && Pick(20) == 0) line += Pick(2) == 0 ? "\n" : "\r";
    }
    if (bareLeadBytes && Pick(4) == 0) line += "\x88";
    return line;
  }

 private:
  std::size_t Pick(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }
  std::mt19937 rng_;
};

TEST(NormalizeLine, AgreesWithSubstitutionPatterns) {
  LineGenerator lines(1234);
  for (int i = 0; i < 4000; ++i) {
    std::string line = lines.Next(true);
    for (int flags = 0; flags < 8; ++flags) {
      NormalizeOptions options{(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0};
      ASSERT_EQ(NormalizeLine(line, options), NormalizeByPatterns(line, options))
          << "line " << FromCp932(line) << " flags " << flags;
    }
  }
}

TEST(NormalizeLine, TrimsAndCompressesBlankRuns) {
  struct Case {
    const char* line;
    bool trimTop, trimTail, compress;
    const char* result;
  } cases[] = {
      {" \t　 \t", false, true, false, ""},
      {" \t　 \t", true, false, false, ""},
      {"　a　　b　", false, false, true, " a b "},
      {"　a　　b　", true, true, true, "a b"},
      {" a \t b ", true, false, false, "a \t b "},
      {" a \t b ", false, true, false, " a \t b"},
      {"", true, true, true, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizeLine(Sj(c.line), {c.trimTop, c.trimTail, c.compress}), Sj(c.result))
        << c.line;
  }
}

TEST(NormalizeLine, BlankBytesInsideDoubleByteCharacterStay) {
  // 82 81 40: "@" is the trail byte of the lead byte 81, no blank.
  EXPECT_EQ(NormalizeLine("\x82\x81\x40", {true, true, true}), "\x82\x81\x40");
}

// A lead byte before a byte that cannot be its trail byte (each class of ASCII below 0x40,
// DEL, 0xFD-0xFF) stands alone, a character like any kanji, and that byte is read as itself:
// in word counts, blanks and the decoded text the viewer shows. A byte-cut edit of a real
// document leaves such lead bytes.
TEST(LoneLeadByte, TheByteAfterItIsReadAsItself) {
  const std::string kanji = Sj("漢");
  const char followers[] = {' ', '\t', '\n', '\r',   '\x01', '0',   '!',
                            ')', '/',  '?',  '\x7F', '\xFD', '\xFF'};
  for (const unsigned char lead : {0x81, 0x82, 0x9F, 0xE0, 0xFC}) {
    for (const char byte : followers) {
      auto with = [&](const std::string& first) { return "x" + first + byte + "y  "; };
      const std::string text = with(std::string(1, static_cast<char>(lead)));
      EXPECT_EQ(WordCountTC(text), WordCountTC(with(kanji))) << int{lead} << " " << int{byte};
      std::string expected = NormalizeLine(with(kanji), {false, true, true});
      expected.replace(1, kanji.size(), 1, static_cast<char>(lead));
      EXPECT_EQ(NormalizeLine(text, {false, true, true}), expected)
          << int{lead} << " " << int{byte};
      const std::string shown = DecodeToUtf8(text, TextEncoding::kCp932);
      const std::string after =
          static_cast<unsigned char>(byte) < 0x80 ? std::string(1, byte) : "\xEF\xBF\xBD";
      EXPECT_EQ(shown, "x\xEF\xBF\xBD" + after + "y  ") << int{lead} << " " << int{byte};
    }
  }
  // x + the lead byte and a space: two words, as read before the rule became one.
  EXPECT_EQ(WordCountTC("x\x82 y"), 2);
  // A lead byte and a second byte from 0x80 that make no character are one invalid
  // sequence: the second byte leads nothing.
  EXPECT_EQ(DecodeToUtf8("\x85\x9F\x82\xA0", TextEncoding::kCp932),
            "\xEF\xBF\xBD" + std::string("あ"));
}

TEST(WordCountTC, AgreesWithSeparatorPattern) {
  LineGenerator lines(99);
  for (int i = 0; i < 4000; ++i) {
    // Joined lines as well, which run over the 64 bytes the count works in at a time.
    std::string line = lines.Next(true, true);
    for (int more = i % 4; more > 0; --more) line += lines.Next(true, true);
    ASSERT_EQ(WordCountTC(line), WordCountByPattern(line)) << "line " << FromCp932(line);
  }
}

TEST(SplitLine, AgreesWithPiecesOfSplitByMatch) {
  const std::vector<std::string> patterns = {
      Sj(kDefaultSplitChar), " ", Sj("[字　]"), "(", "x*", "^."};
  LineGenerator lines(7);
  std::mt19937 rng(8);
  for (int i = 0; i < 4000; ++i) {
    std::string line = lines.Next(true, true) + lines.Next(true, true) + lines.Next(true, true);
    if (line.empty()) continue;
    int width = std::uniform_int_distribution<int>(20, 40)(rng);
    // The default pattern (searched natively) every other line.
    const std::string& pattern = i % 2 == 0 ? patterns[0] : patterns[i / 2 % patterns.size()];
    std::string head = line;
    std::string rest;
    std::string expectedHead = line;
    std::string expectedRest;
    SplitLine(head, rest, width, pattern);
    SplitLineByPieces(expectedHead, expectedRest, width, pattern);
    ASSERT_EQ(head, expectedHead) << FromCp932(line) << " width " << width << " " << pattern;
    ASSERT_EQ(rest, expectedRest) << FromCp932(line) << " width " << width << " " << pattern;
  }
}

// Cuts the whole line into parts as intake does, every part through SplitLine.
std::vector<std::string> SplitIntoParts(std::string line, int width, std::string_view pattern) {
  std::vector<std::string> parts;
  while (true) {
    std::string rest;
    SplitLine(line, rest, width, pattern);
    parts.push_back(line);
    if (rest.empty()) return parts;
    line = rest;
  }
}

TEST(SplitLine, CutsLinesIntoParts) {
  const std::string kanji30 =
      Sj("一二三四五六七八九十"
         "一二三四五六七八九十"
         "一二三四五六七八九十");
  const std::string kanji10 = Sj("一二三四五六七八九十");
  const std::string pattern = Sj(kDefaultSplitChar);
  struct Case {
    std::string line;
    int width;
    std::string pattern;
    std::vector<std::string> parts;
  } cases[] = {
      {"abcd efgh ijkl mnop qrst uvwx", 20, pattern, {"abcd efgh ijkl mnop", "qrst uvwx"}},
      {kanji30, 20, pattern, {kanji10, kanji10, kanji10}},
      {kanji30, 21, pattern, {kanji10, kanji10, kanji10}},
      // A width too small for one character still advances, one character per part.
      {Sj("一二"), 1, pattern, {Sj("一"), Sj("二")}},
      // A refused pattern: cut by characters.
      {"abcdefghij klmnopqrstuvwxyz", 20, "[", {"abcdefghij klmnopqrs", "tuvwxyz"}},
      // The first piece is too wide: cut after the last whole character that fits; "字" at
      // bytes 20-21 does not fit.
      {"abcdefghijklmnopqrs" + Sj("字字 ab"), 20, pattern, {"abcdefghijklmnopqrs", Sj("字字 ab")}},
      {Sj("これはテストの文です。次の文も長いものです。"),
       20,
       pattern,
       {Sj("これはテストの"), Sj("文です。次の文も"), Sj("長いものです。")}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitIntoParts(c.line, c.width, c.pattern), c.parts) << FromCp932(c.line);
  }
}

TEST(SplitLine, ManyShortPiecesLimitTheHead) {
  // Width 20 allows 10 pieces: nine "a " and the rest, which is too wide.
  std::string line = "a a a a a a a a a a a a a a a a";
  std::string rest;
  SplitLine(line, rest, 20, " ");
  EXPECT_EQ(line, "a a a a a a a a a");
  EXPECT_EQ(rest, "a a a a a a a");
}

TEST(SplitLine, LongLineIsCutQuickly) {
  // A very long line without split characters is cut part by part.
  std::string line(200000, 'x');
  std::string rest;
  for (int part = 0; part < 2000; ++part) {
    SplitLine(line, rest, 100, Sj(kDefaultSplitChar));
    ASSERT_EQ(line.size(), 100u);
    line.swap(rest);
  }
}

}  // namespace
}  // namespace verko
