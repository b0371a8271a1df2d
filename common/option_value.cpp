#include "common/option_value.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "common/leading_number.h"
#include "common/rounding.h"

namespace verko {

bool ParseOptionNumber(const std::string& text, int low, int high, int* value) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  double number = std::strtod(begin, &end);
  if (end == begin || errno == ERANGE || !std::isfinite(number)) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0') return false;
  // Hex and exponent forms that strtod takes are not numbers a user types into the field.
  for (const char* p = begin; p < end; ++p) {
    if (*p == 'x' || *p == 'X' || *p == 'e' || *p == 'E' || *p == 'n' || *p == 'N' || *p == 'i' ||
        *p == 'I') {
      return false;
    }
  }
  if (number < low - 1.0 || number > high + 1.0) return false;
  int rounded = RoundHalfEven(number);
  if (rounded < low || rounded > high) return false;
  *value = rounded;
  return true;
}

bool ReadFieldNumber(std::string_view text, int low, int high, int* value) {
  const std::string_view number = LeadingNumberText(text);
  return ParseOptionNumber(number.empty() ? std::string("0") : std::string(number), low, high,
                           value);
}

}  // namespace verko
