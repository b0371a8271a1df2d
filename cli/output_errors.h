// Writes to standard output can fail (a full disk, a closed descriptor): the first failure's
// reason is kept, so that verko-cli ends saying it, whichever line failed.
#pragma once

#include <cstdio>

namespace verko {

// Flushes `stream`; when that fails on standard output, notes the reason (the first one).
void FlushOutput(std::FILE* stream);
// The errno of the first failed flush of standard output; 0 when none failed.
int FirstOutputError();

}  // namespace verko
