// The width, in bytes, to which long lines are split: the range a user may choose and the
// width used when splitting is off (a record's text never exceeds it).
#pragma once

#include <string_view>

namespace verko {

inline constexpr int kMinSplitWidth = 20;
inline constexpr int kMaxSplitWidth = 250;

// The range as the help texts write it, held to the constants above.
#define VERKO_SPLIT_WIDTH_RANGE "20～250"

namespace split_width_check {
constexpr bool ReadsAs(std::string_view text, int first, int second) {
  int numbers[2] = {0, 0};
  int at = -1;
  bool inNumber = false;
  for (char c : text) {
    const bool digit = c >= '0' && c <= '9';
    if (digit && !inNumber && ++at > 1) return false;
    if (digit) numbers[at] = numbers[at] * 10 + (c - '0');
    inNumber = digit;
  }
  return at == 1 && numbers[0] == first && numbers[1] == second;
}
static_assert(ReadsAs(VERKO_SPLIT_WIDTH_RANGE, kMinSplitWidth, kMaxSplitWidth));
}  // namespace split_width_check

}  // namespace verko
