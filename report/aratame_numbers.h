// Numbers as laws and rules write them: kanji numerals (十三, 百六十三), full-width digits
// (１３) and ASCII digits, and the numbers of provisions with their branches (第十三条の二 is
// 13 with the branch 2). Used by the 改め文 applier and drafter to read and write provision
// numbers in the document's own style.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace verko {

// How a document writes its numbers.
enum class NumeralStyle { kKanji, kWide, kAscii };

// Reads a numeral of one style at `pos` of `text`; false when none starts there. Kanji
// numerals follow the positional reading of law texts (百六十三 = 163, 十 = 10).
bool ReadNumeral(std::string_view text, std::size_t pos, int* value, std::size_t* length,
                 NumeralStyle* style = nullptr);

// `value` (1 or more) in the style: 13 → 十三, １３ or 13.
std::string WriteNumeral(int value, NumeralStyle style);

// A provision number with its branches: 十三の二 → {13, 2}.
using CitedNumber = std::vector<int>;

// Reads a numeral followed by any branches (の二, の３) at `pos`; false when no numeral
// starts there.
bool ReadCitedNumber(std::string_view text, std::size_t pos, CitedNumber* number,
                     std::size_t* length, NumeralStyle* style = nullptr);
// 十三の二 (or １３の２) from {13, 2}.
std::string WriteCitedNumber(const CitedNumber& number, NumeralStyle style);

}  // namespace verko
