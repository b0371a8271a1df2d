// The reason of a failure that arrived as an exception, as a text a user can read: too
// little memory, a thread or another resource the system refused, or the exception's own
// text. Used where a run catches whatever went wrong inside it.
#pragma once

#include <string>

namespace verko {

// Must be called inside a catch block; never throws.
std::string CurrentFailureReason() noexcept;

}  // namespace verko
