// Oniguruma's functions and the two tables the program uses, from the library loaded on
// first use (see system_library.h): only the regular-expression functions call them, when
// a pattern is first compiled.
#pragma once

#include <oniguruma.h>

#include <string>

namespace verko {

// clang-format off
#define VERKO_ONIGURUMA_FUNCTIONS(X) \
  X(initialize) X(set_retry_limit_in_match) X(set_retry_limit_in_search) X(free) \
  X(region_free) X(new) X(region_new) X(search) X(match) X(name_to_group_numbers)
// clang-format on

// onig_new is new_, and so on; encodingSjis and syntaxRuby are ONIG_ENCODING_SJIS and
// ONIG_SYNTAX_RUBY.
struct OnigurumaFunctions {
#define VERKO_ONIGURUMA_MEMBER(name) decltype(&::onig_##name) name##_;
  VERKO_ONIGURUMA_FUNCTIONS(VERKO_ONIGURUMA_MEMBER)
#undef VERKO_ONIGURUMA_MEMBER
  OnigEncoding encodingSjis;
  OnigSyntaxType* syntaxRuby;
};

// Loads Oniguruma when first needed (any thread); false with *failure when it cannot be,
// and tried again on the next call.
bool LoadOniguruma(std::string* failure);
// The functions; only after LoadOniguruma succeeded.
const OnigurumaFunctions& Oniguruma();

}  // namespace verko
