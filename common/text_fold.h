// What a comparison folds when it decides whether two line texts are the same and how they
// order: letter case (folded unless asked otherwise), width (full-width ASCII and half-width
// katakana as their standard forms, when asked), and the twins of the wave-dash family that
// a run's working text gave codes of their own. One fold decides every order and equality
// of a run; the report keeps each side's own text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace verko {

struct TextFold {
  bool caseSensitive = false;  // letter case counts
  bool ignoreWidth = false;    // ＡＢＣ１２３ as ABC123, ｶﾞｷﾞ as ガギ
  // Working codes that stand for a character CP932 has in another form, each with the
  // CP932 code of that form (U+301C 〜 with 0x8160 ～ and so on), sorted by the first.
  std::vector<std::pair<uint16_t, uint16_t>> twins;

  // Only the default letter-case fold: the fast path of the collation.
  bool IsCaseFoldOnly() const { return !caseSensitive && !ignoreWidth && twins.empty(); }
  // No fold at all: texts compare by their bytes.
  bool IsIdentity() const { return caseSensitive && !ignoreWidth && twins.empty(); }
  // What of the fold also decides exact equality (run growth, gap filling): all
  // but the default letter-case fold, which only the text index applies.
  TextFold ExactPart() const {
    TextFold exact = *this;
    exact.caseSensitive = true;
    return exact;
  }
};

// Whether FoldText changes the text (most texts are left as they are).
bool FoldChangesText(std::string_view cp932, const TextFold& fold);

// The folded form of a CP932 text (its length may differ from the text's).
std::string FoldText(std::string_view cp932, const TextFold& fold);

// <0, 0, >0 as the folded texts compare bytewise (unsigned), a prefix first.
int CompareUnderFold(std::string_view a, std::string_view b, const TextFold& fold);

// The CP932 code of the standard form of a wave-dash twin (U+301C gives 0x8160, U+2016
// 0x8161, U+2212 0x817C, U+00A2 0x8191, U+00A3 0x8192, U+00AC 0x81CA, U+2014 0x815C); 0 for
// any other code point.
uint16_t TwinCodeOf(uint32_t codePoint);

}  // namespace verko
