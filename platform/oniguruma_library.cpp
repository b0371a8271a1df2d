#include "platform/oniguruma_library.h"

#include "platform/system_library.h"

namespace verko {
namespace {

const char* const kNames[] = {
#define VERKO_ONIGURUMA_NAME(name) "onig_" #name,
    VERKO_ONIGURUMA_FUNCTIONS(VERKO_ONIGURUMA_NAME)
#undef VERKO_ONIGURUMA_NAME
        "OnigEncodingSJIS",
    "OnigSyntaxRuby",
};

void Fill(OnigurumaFunctions& functions, void* const addresses[]) {
  std::size_t i = 0;
#define VERKO_ONIGURUMA_SET(name) \
  functions.name##_ = reinterpret_cast<decltype(functions.name##_)>(addresses[i++]);
  VERKO_ONIGURUMA_FUNCTIONS(VERKO_ONIGURUMA_SET)
#undef VERKO_ONIGURUMA_SET
  functions.encodingSjis = static_cast<OnigEncoding>(addresses[i++]);
  functions.syntaxRuby = static_cast<OnigSyntaxType*>(addresses[i++]);
}

LibraryLoader<OnigurumaFunctions> loader({"libonig.so.5", "libonig5"}, kNames, Fill);

}  // namespace

bool LoadOniguruma(std::string* failure) {
  return loader.Load(failure);
}

const OnigurumaFunctions& Oniguruma() {
  return loader.functions();
}

}  // namespace verko
