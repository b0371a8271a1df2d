// The character classes of the separator patterns that split lines and count words: runs of
// blanks; of hiragana with "ー" and the punctuation "。、．，」)；："; and, starting at a
// katakana, of katakana together with those. Both patterns are alternatives of greedy
// runs of one class each, so a scan by class finds exactly their matches, without a
// regular expression per line.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/cp932.h"

namespace verko {

enum SeparatorClass { kNoSeparator = 0, kBlank = 1, kHiraganaOrMark = 2, kKatakana = 4 };

// Whether CR and LF count as blanks: the word-count pattern holds them, the split pattern
// does not (a stored line holds neither).
enum class LineBreaks { kNotBlank, kBlank };

// The class of a double-byte character given as its 16-bit CP932 code.
constexpr int SeparatorClassOfDoubleByte(unsigned code) {
  if (code < 0x8140 || code > 0x83FF) return kNoSeparator;  // kanji and the rest
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
      return kHiraganaOrMark;
    default:
      break;
  }
  if (code >= 0x829F && code <= 0x82F1) return kHiraganaOrMark;  // ぁ-ん
  if (code >= 0x8340 && code <= 0x8393) return kKatakana;        // ァ-ン
  return kNoSeparator;
}

// The class of the character of byte length `len` at `pos`.
inline int SeparatorClassAt(std::string_view text, std::size_t pos, std::size_t len,
                            LineBreaks lineBreaks) {
  const auto b = static_cast<unsigned char>(text[pos]);
  if (len == 2) {
    return SeparatorClassOfDoubleByte((b << 8) | static_cast<unsigned char>(text[pos + 1]));
  }
  if (b == ' ' || b == '\t') return kBlank;
  if (b == ')') return kHiraganaOrMark;
  if ((b == '\r' || b == '\n') && lineBreaks == LineBreaks::kBlank) return kBlank;
  return kNoSeparator;
}

// The classes a run that starts with a character of class `cls` takes.
inline int SeparatorRunClasses(int cls) {
  return cls == kKatakana ? (kKatakana | kHiraganaOrMark) : cls;
}

}  // namespace verko
