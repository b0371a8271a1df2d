#include "platform/sqlite_library.h"

#include "platform/system_library.h"

namespace verko {
namespace {

const char* const kNames[] = {
#define VERKO_SQLITE_NAME(name) "sqlite3_" #name,
    VERKO_SQLITE_FUNCTIONS(VERKO_SQLITE_NAME)
#undef VERKO_SQLITE_NAME
};

void Fill(SqliteFunctions& functions, void* const addresses[]) {
  std::size_t i = 0;
#define VERKO_SQLITE_SET(name) \
  functions.name = reinterpret_cast<decltype(functions.name)>(addresses[i++]);
  VERKO_SQLITE_FUNCTIONS(VERKO_SQLITE_SET)
#undef VERKO_SQLITE_SET
}

LibraryLoader<SqliteFunctions> loader({"libsqlite3.so.0", "libsqlite3-0"}, kNames, Fill);

}  // namespace

bool LoadSqlite(std::string* failure) {
  return loader.Load(failure);
}

const SqliteFunctions& Sqlite() {
  return loader.functions();
}

}  // namespace verko
