// Numeric option values typed by the user ("80", " 9.4"): a decimal number, rounded to an
// integer with halves going to the even neighbour, accepted when the rounded value lies in
// the option's range.
#pragma once

#include <string>
#include <string_view>

namespace verko {

// Sets *value and returns true when `text` is a number whose rounded value lies in
// [low, high]; returns false for anything else ("", "abc", "12x", out of range).
bool ParseOptionNumber(const std::string& text, int low, int high, int* value);

// The rule of the windows' numeric fields: the number the text begins with (none reads as
// 0), rounded, accepted when it lies in [low, high] ("9.4x" -> 9, "abc" -> 0).
bool ReadFieldNumber(std::string_view text, int low, int high, int* value);

}  // namespace verko
