// The width, in bytes, to which long lines are split: the range a user may choose and the
// width used when splitting is off (a record's text never exceeds it).
#pragma once

namespace verko {

inline constexpr int kMinSplitWidth = 20;
inline constexpr int kMaxSplitWidth = 250;

}  // namespace verko
