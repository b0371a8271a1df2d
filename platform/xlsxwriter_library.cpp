#include "platform/xlsxwriter_library.h"

#include <mutex>

#include "platform/system_library.h"

namespace verko {
namespace {

constexpr SystemLibrary kXlsxWriterLibrary{"libxlsxwriter.so.4", "libxlsxwriter4"};

XlsxWriterFunctions functions;

}  // namespace

bool LoadXlsxWriter(std::string* failure) {
  static std::once_flag once;
  static bool loaded = false;
  static std::string reason;
  std::call_once(once, [] {
    static const char* const names[] = {
#define VERKO_XLSXWRITER_NAME(name) #name,
        VERKO_XLSXWRITER_FUNCTIONS(VERKO_XLSXWRITER_NAME)
#undef VERKO_XLSXWRITER_NAME
    };
    constexpr std::size_t kCount = sizeof names / sizeof names[0];
    void* addresses[kCount] = {};
    loaded = LoadSystemLibrary(kXlsxWriterLibrary, names, addresses, kCount, &reason);
    if (!loaded) return;
    std::size_t i = 0;
#define VERKO_XLSXWRITER_SET(name) \
  functions.name = reinterpret_cast<decltype(functions.name)>(addresses[i++]);
    VERKO_XLSXWRITER_FUNCTIONS(VERKO_XLSXWRITER_SET)
#undef VERKO_XLSXWRITER_SET
  });
  if (!loaded && failure != nullptr) *failure = reason;
  return loaded;
}

const XlsxWriterFunctions& XlsxWriter() {
  return functions;
}

}  // namespace verko
