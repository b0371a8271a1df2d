// ICU's word break iterator, from the library loaded on first use (see system_library.h):
// only the marks of changed words need it, and a plain comparison should not pay for
// loading ICU and its data at start-up. The library's soname and its symbols carry ICU's
// major version (ubrk_open is ubrk_open_72): both are taken from the headers built against,
// as a link against ICU would bind them.
#pragma once

#include <unicode/ubrk.h>
#include <unicode/utext.h>

#include <string>

namespace verko {

// clang-format off
#define VERKO_ICU_FUNCTIONS(X) \
  X(ubrk_open) X(ubrk_close) X(ubrk_setUText) X(ubrk_first) X(ubrk_next) \
  X(utext_openUTF8) X(utext_close)
// clang-format on

// ubrk_open is ubrk_open, and so on.
struct IcuFunctions {
#define VERKO_ICU_MEMBER(name) decltype(&::name) name;
  VERKO_ICU_FUNCTIONS(VERKO_ICU_MEMBER)
#undef VERKO_ICU_MEMBER
};

// Loads ICU's common library on the first call (any thread); false with *failure when it
// cannot be.
bool LoadIcu(std::string* failure);
// The functions; only after LoadIcu succeeded.
const IcuFunctions& Icu();

}  // namespace verko
