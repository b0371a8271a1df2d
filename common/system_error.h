// The system's description of an error number, in Japanese for the causes users meet
// (missing file, no permission, a folder where a file is expected, a full disk ...),
// otherwise the C library's own text.
#pragma once

#include <string>

namespace verko {

std::string SystemErrorText(int errnum);

}  // namespace verko
