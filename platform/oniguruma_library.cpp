#include "platform/oniguruma_library.h"

#include <mutex>

#include "platform/system_library.h"

namespace verko {
namespace {

constexpr SystemLibrary kOnigurumaLibrary{"libonig.so.5", "libonig5"};

OnigurumaFunctions functions;

}  // namespace

bool LoadOniguruma(std::string* failure) {
  static std::once_flag once;
  static bool loaded = false;
  static std::string reason;
  std::call_once(once, [] {
    static const char* const names[] = {
#define VERKO_ONIGURUMA_NAME(name) "onig_" #name,
        VERKO_ONIGURUMA_FUNCTIONS(VERKO_ONIGURUMA_NAME)
#undef VERKO_ONIGURUMA_NAME
            "OnigEncodingSJIS",
        "OnigSyntaxRuby",
    };
    constexpr std::size_t kCount = sizeof names / sizeof names[0];
    void* addresses[kCount] = {};
    loaded = LoadSystemLibrary(kOnigurumaLibrary, names, addresses, kCount, &reason);
    if (!loaded) return;
    std::size_t i = 0;
#define VERKO_ONIGURUMA_SET(name) \
  functions.name##_ = reinterpret_cast<decltype(functions.name##_)>(addresses[i++]);
    VERKO_ONIGURUMA_FUNCTIONS(VERKO_ONIGURUMA_SET)
#undef VERKO_ONIGURUMA_SET
    functions.encodingSjis = static_cast<OnigEncoding>(addresses[i++]);
    functions.syntaxRuby = static_cast<OnigSyntaxType*>(addresses[i++]);
  });
  if (!loaded && failure != nullptr) *failure = reason;
  return loaded;
}

const OnigurumaFunctions& Oniguruma() {
  return functions;
}

}  // namespace verko
