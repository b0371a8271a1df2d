#include "common/leading_number.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace verko {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string_view LeadingNumberText(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  std::size_t i = start;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false;
  while (i < text.size() && IsDigit(text[i])) ++i, digits = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, digits = true;
  }
  return digits ? text.substr(start, i - start) : std::string_view();
}

double LeadingNumber(std::string_view text) {
  const std::string_view number = LeadingNumberText(text);
  if (number.empty()) return 0;
  const double value = std::strtod(std::string(number).c_str(), nullptr);
  return std::isfinite(value) ? value : 0;
}

}  // namespace verko
