#include "platform/icu_library.h"

#include "platform/system_library.h"

namespace verko {
namespace {

// The names as the headers spell them, versioned: ubrk_open is a macro for ubrk_open_72.
#define VERKO_ICU_QUOTE(text) #text
#define VERKO_ICU_SYMBOL(name) VERKO_ICU_QUOTE(name)

const char* const kNames[] = {
#define VERKO_ICU_NAME(name) VERKO_ICU_SYMBOL(name),
    VERKO_ICU_FUNCTIONS(VERKO_ICU_NAME)
#undef VERKO_ICU_NAME
};

void Fill(IcuFunctions& functions, void* const addresses[]) {
  std::size_t i = 0;
#define VERKO_ICU_SET(name) \
  functions.name = reinterpret_cast<decltype(functions.name)>(addresses[i++]);
  VERKO_ICU_FUNCTIONS(VERKO_ICU_SET)
#undef VERKO_ICU_SET
}

LibraryLoader<IcuFunctions> loader({"libicuuc.so." U_ICU_VERSION_SHORT,
                                    "libicu" U_ICU_VERSION_SHORT},
                                   kNames, Fill);

}  // namespace

bool LoadIcu(std::string* failure) {
  return loader.Load(failure);
}

const IcuFunctions& Icu() {
  return loader.functions();
}

}  // namespace verko
