// The decimal number a typed text begins with: after blanks and tabs an optional sign,
// digits and a decimal part ("9.4x" begins with 9.4, " -15" with -15, "abc" with none).
// The numeric fields of the windows and the stored initial numbers of batch lists read
// their texts this way.
#pragma once

#include <string_view>

namespace verko {

// The text of the leading number (a part of `text`); empty when the text does not begin
// with one.
std::string_view LeadingNumberText(std::string_view text);

// The value of the leading number; 0 when the text does not begin with one, or when the
// number is too large to be finite.
double LeadingNumber(std::string_view text);

}  // namespace verko
