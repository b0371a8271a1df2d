#include "report/aratame_numbers.h"

#include "report/provisions.h"

namespace verko {
namespace {

constexpr std::string_view kNumeralCharacters[] = {"〇", "一", "二", "三", "四", "五", "六", "七",
                                                   "八", "九", "十", "百", "千", "万", "０", "１",
                                                   "２", "３", "４", "５", "６", "７", "８", "９"};

// The length of the character at `pos` when it may be part of a numeral, else 0.
std::size_t NumeralCharacterAt(std::string_view text, std::size_t pos) {
  if (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') return 1;
  for (std::string_view c : kNumeralCharacters) {
    if (text.substr(pos).starts_with(c)) return c.size();
  }
  return 0;
}

}  // namespace

bool ReadNumeral(std::string_view text, std::size_t pos, int* value, std::size_t* length,
                 NumeralStyle* style) {
  std::size_t end = pos;
  while (std::size_t step = NumeralCharacterAt(text, end)) end += step;
  if (end == pos) return false;
  // The run is read by the provisions' own numeral reader (one reading of law numbers).
  std::optional<int> read = ParseNumeral(text.substr(pos, end - pos));
  if (!read || *read <= 0) return false;
  *value = *read;
  *length = end - pos;
  if (style != nullptr) {
    unsigned char lead = static_cast<unsigned char>(text[pos]);
    *style = lead < 0x80                                ? NumeralStyle::kAscii
             : text.substr(pos).starts_with("\xEF\xBC") ? NumeralStyle::kWide
                                                        : NumeralStyle::kKanji;
  }
  return true;
}

std::string WriteNumeral(int value, NumeralStyle style) {
  switch (style) {
    case NumeralStyle::kKanji:
      return KanjiNumeral(value);
    case NumeralStyle::kWide:
      return FullWidthNumeral(value);
    case NumeralStyle::kAscii:
      break;
  }
  return std::to_string(value);
}
bool ReadCitedNumber(std::string_view text, std::size_t pos, CitedNumber* number,
                     std::size_t* length, NumeralStyle* style) {
  int value = 0;
  std::size_t used = 0;
  if (!ReadNumeral(text, pos, &value, &used, style)) return false;
  number->assign(1, value);
  std::size_t at = pos + used;
  while (text.substr(at).starts_with("の") && ReadNumeral(text, at + 3, &value, &used)) {
    number->push_back(value);
    at += 3 + used;
  }
  *length = at - pos;
  return true;
}

std::string WriteCitedNumber(const CitedNumber& number, NumeralStyle style) {
  std::string out;
  for (std::size_t i = 0; i < number.size(); ++i) {
    if (i > 0) out += "の";
    out += WriteNumeral(number[i], style);
  }
  return out;
}

}  // namespace verko
