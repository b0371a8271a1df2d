#include "platform/sqlite_library.h"

#include <mutex>

#include "platform/system_library.h"

namespace verko {
namespace {

constexpr SystemLibrary kSqliteLibrary{"libsqlite3.so.0", "libsqlite3-0"};

SqliteFunctions functions;

}  // namespace

bool LoadSqlite(std::string* failure) {
  static std::once_flag once;
  static bool loaded = false;
  static std::string reason;
  std::call_once(once, [] {
    static const char* const names[] = {
#define VERKO_SQLITE_NAME(name) "sqlite3_" #name,
        VERKO_SQLITE_FUNCTIONS(VERKO_SQLITE_NAME)
#undef VERKO_SQLITE_NAME
    };
    constexpr std::size_t kCount = sizeof names / sizeof names[0];
    void* addresses[kCount] = {};
    loaded = LoadSystemLibrary(kSqliteLibrary, names, addresses, kCount, &reason);
    if (!loaded) return;
    std::size_t i = 0;
#define VERKO_SQLITE_SET(name) \
  functions.name = reinterpret_cast<decltype(functions.name)>(addresses[i++]);
    VERKO_SQLITE_FUNCTIONS(VERKO_SQLITE_SET)
#undef VERKO_SQLITE_SET
  });
  if (!loaded && failure != nullptr) *failure = reason;
  return loaded;
}

const SqliteFunctions& Sqlite() {
  return functions;
}

}  // namespace verko
