// SQLite's functions, from the library loaded on first use (see system_library.h): only the
// record store calls them, for batch lists and the tests' reading of work databases.
#pragma once

#include <sqlite3.h>

#include <string>

namespace verko {

// clang-format off
#define VERKO_SQLITE_FUNCTIONS(X) \
  X(bind_int64) X(bind_null) X(bind_text) X(close) X(close_v2) X(column_blob) \
  X(column_bytes) X(column_count) X(column_double) X(column_int64) X(column_type) \
  X(create_collation_v2) X(db_handle) X(errmsg) X(errstr) X(exec) \
  X(extended_result_codes) X(finalize) X(last_insert_rowid) X(open_v2) X(prepare_v2) \
  X(reset) X(step) X(system_errno)
// clang-format on

// sqlite3_step is step, and so on.
struct SqliteFunctions {
#define VERKO_SQLITE_MEMBER(name) decltype(&::sqlite3_##name) name;
  VERKO_SQLITE_FUNCTIONS(VERKO_SQLITE_MEMBER)
#undef VERKO_SQLITE_MEMBER
};

// Loads SQLite when first needed (any thread); false with *failure when it cannot be,
// and tried again on the next call.
bool LoadSqlite(std::string* failure);
// The functions; only after LoadSqlite succeeded (every connection was opened after it).
const SqliteFunctions& Sqlite();

}  // namespace verko
