#include "report/aratame_numbers.h"

namespace verko {
namespace {

constexpr std::string_view kKanjiDigits[] = {"〇", "一", "二", "三", "四",
                                             "五", "六", "七", "八", "九"};
constexpr std::string_view kWideDigits[] = {"０", "１", "２", "３", "４",
                                            "５", "６", "７", "８", "９"};

// The value of the kanji digit or unit at `pos` (a unit as 10, 100, 1000), or -1.
int KanjiAt(std::string_view text, std::size_t pos) {
  std::string_view rest = text.substr(pos);
  for (int digit = 0; digit < 10; ++digit) {
    if (rest.starts_with(kKanjiDigits[digit])) return digit;
  }
  if (rest.starts_with("十")) return 10;
  if (rest.starts_with("百")) return 100;
  if (rest.starts_with("千")) return 1000;
  return -1;
}

bool ReadKanji(std::string_view text, std::size_t pos, int* value, std::size_t* length) {
  int total = 0;
  int digit = -1;
  std::size_t at = pos;
  for (int part; at < text.size() && (part = KanjiAt(text, at)) >= 0; at += 3) {
    if (part >= 10) {
      total += (digit < 0 ? 1 : digit) * part;
      digit = -1;
    } else {
      digit = digit < 0 ? part : digit * 10 + part;
    }
    if (total > 100000 || digit > 100000) return false;
  }
  if (at == pos) return false;
  *value = total + (digit < 0 ? 0 : digit);
  *length = at - pos;
  return *value > 0;
}

bool ReadDigits(std::string_view text, std::size_t pos, int* value, std::size_t* length,
                NumeralStyle* style) {
  int total = 0;
  std::size_t at = pos;
  bool wide = false;
  while (at < text.size() && total < 100000) {
    if (text[at] >= '0' && text[at] <= '9' && !wide) {
      total = total * 10 + (text[at] - '0');
      at += 1;
      continue;
    }
    int digit = 0;
    while (digit < 10 && !text.substr(at).starts_with(kWideDigits[digit])) ++digit;
    if (digit == 10 || (at > pos && !wide)) break;
    wide = true;
    total = total * 10 + digit;
    at += 3;
  }
  if (at == pos || total == 0) return false;
  *value = total;
  *length = at - pos;
  if (style != nullptr) *style = wide ? NumeralStyle::kWide : NumeralStyle::kAscii;
  return true;
}

}  // namespace

bool ReadNumeral(std::string_view text, std::size_t pos, int* value, std::size_t* length,
                 NumeralStyle* style) {
  if (ReadKanji(text, pos, value, length)) {
    if (style != nullptr) *style = NumeralStyle::kKanji;
    return true;
  }
  return ReadDigits(text, pos, value, length, style);
}

std::string WriteNumeral(int value, NumeralStyle style) {
  std::string digits = std::to_string(value);
  if (style == NumeralStyle::kAscii) return digits;
  std::string out;
  if (style == NumeralStyle::kWide) {
    for (char c : digits) out += kWideDigits[c - '0'];
    return out;
  }
  static constexpr std::string_view kUnits[] = {"", "十", "百", "千"};
  for (std::size_t i = 0; i < digits.size(); ++i) {
    int digit = digits[i] - '0';
    std::size_t place = digits.size() - 1 - i;
    if (digit == 0) continue;
    if (place >= 4) {
      out += kKanjiDigits[digit];  // beyond 千: digits as they stand
      continue;
    }
    if (digit != 1 || place == 0) out += kKanjiDigits[digit];
    out += kUnits[place];
  }
  return out;
}

bool ReadProvisionNumber(std::string_view text, std::size_t pos, ProvisionNumber* number,
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

std::string WriteProvisionNumber(const ProvisionNumber& number, NumeralStyle style) {
  std::string out;
  for (std::size_t i = 0; i < number.size(); ++i) {
    if (i > 0) out += "の";
    out += WriteNumeral(number[i], style);
  }
  return out;
}

}  // namespace verko
