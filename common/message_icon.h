// The icon of a message box or question, as the windows and the batch logic name it. Shared
// by the core's host interfaces and the windows' dialog services, so both speak of one type.
#pragma once

namespace verko {

enum class MessageIcon { kExclamation, kCritical, kInformation, kQuestion };

}  // namespace verko
