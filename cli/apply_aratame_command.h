// verko-cli --apply-aratame AMENDMENT OLD RESULT: the 改め文 AMENDMENT applied to OLD,
// written to RESULT (UTF-8 texts).
#pragma once

#include <cstdio>
#include <string>

namespace verko {

// 0 when applied and written; 2 with the instruction that could not be applied and why
// (or the file that could not be read or written) on `err`. RESULT is written beside and
// put in place whole; it may not be AMENDMENT or OLD.
int RunApplyAratame(const std::string& amendment, const std::string& old, const std::string& result,
                    std::FILE* err);

}  // namespace verko
