// WordCountTC counts the separator runs of "[ 　\t\n\r]+|[ぁ-んー。、．，」)；：]+|
// [ァ-ンぁ-んー。、．，」)；：]+" plus one. Every alternative is a greedy run of one
// character class and the first alternative that fits the first character wins, so a
// scan by classes gives exactly the matches of that expression, without a regular
// expression per report line.
#include <array>
#include <cstdint>

#include "common/cp932.h"
#include "compare/line_functions.h"

namespace verko {
namespace {

enum CharClass { kOther = 0, kBlank = 1, kHiragana = 2, kKatakana = 4 };

// Membership of one double-byte character (as a 16-bit CP932 code) in the separator
// classes: kBlank, kHiragana (hiragana, "ー" and the punctuation) and kKatakana.
int ClassOfDoubleByte(unsigned code) {
  if (code < 0x8140 || code > 0x83FF) return kOther;  // kanji and the rest: no separator
  switch (code) {
    case 0x8140:  // 　
      return kBlank;
    case 0x815B:  // ー
    case 0x8142:  // 。
    case 0x8141:  // 、
    case 0x8144:  // ．
    case 0x8143:  // ，
    case 0x8176:  // 」
    case 0x8147:  // ；
    case 0x8146:  // ：
      return kHiragana;
    default:
      break;
  }
  if (code >= 0x829F && code <= 0x82F1) return kHiragana;  // ぁ-ん
  if (code >= 0x8340 && code <= 0x8393) return kKatakana;  // ァ-ン
  return kOther;
}

// The same for every code: single bytes by a table, since most characters of most lines
// are single bytes.
int ClassOf(unsigned code) {
  static constexpr auto kSingleByte = [] {
    std::array<unsigned char, 256> table{};
    table[' '] = table['\t'] = table['\n'] = table['\r'] = kBlank;
    table[')'] = kHiragana;
    return table;
  }();
  return code < 0x100 ? kSingleByte[code] : ClassOfDoubleByte(code);
}

unsigned CodeAt(std::string_view text, std::size_t pos, std::size_t len) {
  auto b = static_cast<unsigned char>(text[pos]);
  return len == 2 ? (b << 8) | static_cast<unsigned char>(text[pos + 1]) : b;
}

}  // namespace

int32_t WordCountTC(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  std::size_t last = text.find_last_not_of(' ');
  std::string_view t = text.substr(first, last - first + 1);

  int32_t runs = 0;
  int accept = 0;  // the classes the current separator run takes; 0 outside a run
  for (std::size_t pos = 0; pos < t.size();) {
    const std::size_t len = CharLengthAt(t, pos);
    const int cls = ClassOf(CodeAt(t, pos, len));
    pos += len;
    if ((cls & accept) != 0) continue;  // the run goes on
    // A new run starts at any separator that the current run does not take: blanks; or
    // hiragana and punctuation; or, starting at a katakana, katakana together with
    // hiragana and punctuation.
    accept = cls == kKatakana ? (kKatakana | kHiragana) : cls;
    if (cls != kOther) ++runs;
  }
  return runs + 1;
}

}  // namespace verko
