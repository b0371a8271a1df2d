#include "platform/zip_library.h"

#include <mutex>

#include "platform/system_library.h"

namespace verko {
namespace {

constexpr SystemLibrary kZipLibrary{"libzip.so.4", "libzip4"};

ZipFunctions functions;

}  // namespace

bool LoadZip(std::string* failure) {
  static std::once_flag once;
  static bool loaded = false;
  static std::string reason;
  std::call_once(once, [] {
    static const char* const names[] = {
#define VERKO_ZIP_NAME(name) #name,
        VERKO_ZIP_FUNCTIONS(VERKO_ZIP_NAME)
#undef VERKO_ZIP_NAME
    };
    constexpr std::size_t kCount = sizeof names / sizeof names[0];
    void* addresses[kCount] = {};
    loaded = LoadSystemLibrary(kZipLibrary, names, addresses, kCount, &reason);
    if (!loaded) return;
    std::size_t i = 0;
#define VERKO_ZIP_SET(name) \
  functions.name = reinterpret_cast<decltype(functions.name)>(addresses[i++]);
    VERKO_ZIP_FUNCTIONS(VERKO_ZIP_SET)
#undef VERKO_ZIP_SET
  });
  if (!loaded && failure != nullptr) *failure = reason;
  return loaded;
}

const ZipFunctions& Zip() {
  return functions;
}

}  // namespace verko
