// WordCountTC counts the separator runs of "[ 　\t\n\r]+|[ぁ-んー。、．，」)；：]+|
// [ァ-ンぁ-んー。、．，」)；：]+" plus one. Every alternative is a greedy run of one
// character class and the first alternative that fits the first character wins, so a
// scan by classes gives exactly the matches of that expression, without a regular
// expression per report line.
#include <cstdint>

#include "common/cp932.h"
#include "compare/line_functions.h"

namespace verko {
namespace {

enum CharClass { kOther = 0, kBlank = 1, kHiragana = 2, kKatakana = 4 };

// Membership of one character (as a 16-bit CP932 code) in the three separator classes:
// kBlank, kHiragana (hiragana, "ー" and the punctuation) and kKatakana.
int ClassOf(unsigned code) {
  switch (code) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case 0x8140:  // 　
      return kBlank;
    case 0x815B:  // ー
    case 0x8142:  // 。
    case 0x8141:  // 、
    case 0x8144:  // ．
    case 0x8143:  // ，
    case 0x8176:  // 」
    case ')':
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
  std::size_t pos = 0;
  while (pos < t.size()) {
    std::size_t len = CharLengthAt(t, pos);
    int cls = ClassOf(CodeAt(t, pos, len));
    if (cls == kOther) {
      pos += len;
      continue;
    }
    // The run's class: blanks; or hiragana and punctuation; or, starting at a katakana,
    // katakana together with hiragana and punctuation.
    int accept = cls == kKatakana ? (kKatakana | kHiragana) : cls;
    ++runs;
    while (pos < t.size()) {
      len = CharLengthAt(t, pos);
      if ((ClassOf(CodeAt(t, pos, len)) & accept) == 0) break;
      pos += len;
    }
  }
  return runs + 1;
}

}  // namespace verko
