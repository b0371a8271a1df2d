// Rounding of option values and progress shares: to the nearest integer, a half going to
// the even neighbour (2.5 -> 2, 3.5 -> 4).
#pragma once

#include <cmath>

namespace verko {

inline int RoundHalfEven(double value) {
  double r = std::nearbyint(value);  // the default rounding mode rounds halves to even
  return static_cast<int>(r);
}

}  // namespace verko
