#include "platform/icu_library.h"

#include <mutex>

#include "platform/system_library.h"

namespace verko {
namespace {

// The names as the headers spell them, versioned: ubrk_open is a macro for ubrk_open_72.
#define VERKO_ICU_QUOTE(text) #text
#define VERKO_ICU_SYMBOL(name) VERKO_ICU_QUOTE(name)

constexpr SystemLibrary kIcuLibrary{"libicuuc.so." U_ICU_VERSION_SHORT,
                                    "libicu" U_ICU_VERSION_SHORT};

IcuFunctions functions;

}  // namespace

bool LoadIcu(std::string* failure) {
  static std::once_flag once;
  static bool loaded = false;
  static std::string reason;
  std::call_once(once, [] {
    static const char* const names[] = {
#define VERKO_ICU_NAME(name) VERKO_ICU_SYMBOL(name),
        VERKO_ICU_FUNCTIONS(VERKO_ICU_NAME)
#undef VERKO_ICU_NAME
    };
    constexpr std::size_t kCount = sizeof names / sizeof names[0];
    void* addresses[kCount] = {};
    loaded = LoadSystemLibrary(kIcuLibrary, names, addresses, kCount, &reason);
    if (!loaded) return;
    std::size_t i = 0;
#define VERKO_ICU_SET(name) \
  functions.name = reinterpret_cast<decltype(functions.name)>(addresses[i++]);
    VERKO_ICU_FUNCTIONS(VERKO_ICU_SET)
#undef VERKO_ICU_SET
  });
  if (!loaded && failure != nullptr) *failure = reason;
  return loaded;
}

const IcuFunctions& Icu() {
  return functions;
}

}  // namespace verko
