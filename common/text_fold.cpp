#include "common/text_fold.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/code_tables.h"
#include "common/cp932.h"
#include "common/text_collation.h"

namespace verko {
namespace {

// The full-width katakana (and punctuation) of the half-width katakana U+FF61 to U+FF9F.
constexpr std::array<uint16_t, 63> kFullWidthKana = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

// The twins of the wave-dash family: the form beyond CP932's table and the form in it.
constexpr std::array<std::pair<uint32_t, uint32_t>, 7> kTwinForms = {{{0x301C, 0xFF5E},
                                                                      {0x2016, 0x2225},
                                                                      {0x2212, 0xFF0D},
                                                                      {0x00A2, 0xFFE0},
                                                                      {0x00A3, 0xFFE1},
                                                                      {0x00AC, 0xFFE2},
                                                                      {0x2014, 0x2015}}};

uint16_t Cp932CodeOf(uint32_t codePoint) {
  const auto& fromUnicode = Cp932Codes().fromUnicode;
  return codePoint < fromUnicode.size() ? fromUnicode[codePoint] : 0;
}

// What the width fold makes of each CP932 code: for a single byte (a half-width katakana)
// its full-width code; for a double-byte full-width ASCII character its ASCII byte; 0 for
// a code the fold leaves alone. Built once from the code table.
struct WidthTable {
  std::array<uint16_t, 256> single{};
  std::vector<uint8_t> ascii = std::vector<uint8_t>(0x10000, 0);

  WidthTable() {
    for (unsigned b = 0xA1; b <= 0xDF; ++b) single[b] = Cp932CodeOf(kFullWidthKana[b - 0xA1]);
    const auto& toUnicode = Cp932Codes().toUnicode;
    for (std::size_t code = 0x8100; code < toUnicode.size(); ++code) {
      const uint32_t cp = toUnicode[code];
      // U+FF5E is how CP932 reads its wave dash 〜, which is no tilde to Japanese readers.
      if (cp >= 0xFF01 && cp <= 0xFF5D) ascii[code] = static_cast<uint8_t>(cp - 0xFEE0);
      if (cp == 0x3000) ascii[code] = ' ';
    }
  }
};

const WidthTable& Widths() {
  static const WidthTable table;
  return table;
}

// The full-width code of half-width katakana `b` followed by `mark` (ﾞ 0xDE or ﾟ 0xDF)
// when the two make one voiced or semi-voiced katakana CP932 holds; 0 otherwise.
uint16_t VoicedCode(unsigned char b, unsigned char mark) {
  if (mark != 0xDE && mark != 0xDF) return 0;
  const uint32_t base = kFullWidthKana[b - 0xA1];
  uint32_t voiced = 0;
  if (mark == 0xDE) {
    if ((base >= 0x30AB && base <= 0x30C8 && base != 0x30C3) ||
        (base >= 0x30CF && base <= 0x30DB && (base - 0x30CF) % 3 == 0)) {
      voiced = base + 1;
    } else if (base == 0x30A6) {
      voiced = 0x30F4;  // ヴ
    }
  } else if (base >= 0x30CF && base <= 0x30DB && (base - 0x30CF) % 3 == 0) {
    voiced = base + 2;
  }
  return voiced == 0 ? 0 : Cp932CodeOf(voiced);
}

void AppendCode(uint16_t code, std::string& out) {
  if (code < 0x100) {
    out += static_cast<char>(code);
  } else {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
  }
}

uint16_t TwinTarget(uint16_t code, const TextFold& fold) {
  auto found =
      std::lower_bound(fold.twins.begin(), fold.twins.end(), std::make_pair(code, uint16_t{0}));
  return found != fold.twins.end() && found->first == code ? found->second : 0;
}

// The text with twins and widths folded (letter case as it is).
void FoldForms(std::string_view text, const TextFold& fold, std::string& out) {
  const WidthTable* widths = fold.ignoreWidth ? &Widths() : nullptr;
  out.clear();
  out.reserve(text.size() + 8);
  for (std::size_t pos = 0; pos < text.size();) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (CharLengthAt(text, pos) == 2) {
      uint16_t code = static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(text[pos + 1]));
      if (const uint16_t twin = TwinTarget(code, fold); twin != 0) code = twin;
      if (widths != nullptr && widths->ascii[code] != 0) code = widths->ascii[code];
      AppendCode(code, out);
      pos += 2;
      continue;
    }
    if (widths != nullptr && widths->single[b] != 0) {
      const auto mark = pos + 1 < text.size() ? static_cast<unsigned char>(text[pos + 1]) : 0;
      if (const uint16_t voiced = VoicedCode(b, mark); voiced != 0) {
        AppendCode(voiced, out);
        pos += 2;
        continue;
      }
      AppendCode(widths->single[b], out);
    } else {
      out += static_cast<char>(b);
    }
    ++pos;
  }
}

bool HasTwin(std::string_view text, const TextFold& fold) {
  if (fold.twins.empty()) return false;
  for (std::size_t pos = 0; pos < text.size();) {
    if (CharLengthAt(text, pos) == 1) {
      ++pos;
      continue;
    }
    const auto code = static_cast<uint16_t>(static_cast<unsigned char>(text[pos]) << 8 |
                                            static_cast<unsigned char>(text[pos + 1]));
    if (TwinTarget(code, fold) != 0) return true;
    pos += 2;
  }
  return false;
}

bool HasWidthForm(std::string_view text) {
  const WidthTable& widths = Widths();
  for (std::size_t pos = 0; pos < text.size();) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (CharLengthAt(text, pos) == 1) {
      if (widths.single[b] != 0) return true;
      ++pos;
      continue;
    }
    if (widths.ascii[b << 8 | static_cast<unsigned char>(text[pos + 1])] != 0) return true;
    pos += 2;
  }
  return false;
}

}  // namespace

bool FoldChangesText(std::string_view cp932, const TextFold& fold) {
  if (!fold.caseSensitive && HasFoldableCapital(cp932)) return true;
  if (fold.ignoreWidth && HasWidthForm(cp932)) return true;
  return HasTwin(cp932, fold);
}

std::string FoldText(std::string_view cp932, const TextFold& fold) {
  std::string out;
  if (fold.ignoreWidth || !fold.twins.empty()) {
    FoldForms(cp932, fold, out);
  } else {
    out.assign(cp932);
  }
  if (!fold.caseSensitive) {
    const std::string forms = out;
    FoldCapitals(forms, out.data());
  }
  return out;
}

int CompareUnderFold(std::string_view a, std::string_view b, const TextFold& fold) {
  if (fold.IsCaseFoldOnly()) return CompareFolded(a, b);
  // Bytes as unsigned values, as memcmp orders them (an empty text may have no data at all).
  if (fold.IsIdentity()) return a.compare(b);
  if (a == b) return 0;
  return FoldText(a, fold).compare(FoldText(b, fold));
}

uint16_t TwinCodeOf(uint32_t codePoint) {
  for (const auto& [other, standard] : kTwinForms) {
    if (other == codePoint) return Cp932CodeOf(standard);
  }
  return 0;
}

}  // namespace verko
