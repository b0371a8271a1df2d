// A library of the system loaded when it is first needed, by its Debian soname, so that a
// comparison that never needs it does not load it at start-up (the record store's SQLite
// for batch lists, Oniguruma for split patterns). The program's package still depends on
// the packages that provide them.
#pragma once

#include <cstddef>
#include <string>

namespace verko {

struct SystemLibrary {
  const char* soname;   // "libsqlite3.so.0"
  const char* package;  // the Debian package that provides it, named in the failure
};

// Loads `library` and sets addresses[i] to the symbol names[i], for `count` names. True when
// all are found; otherwise false with *failure, a reason a user can read, which says which
// library (or which of its symbols) is missing and which package provides it.
bool LoadSystemLibrary(const SystemLibrary& library, const char* const names[], void* addresses[],
                       std::size_t count, std::string* failure);

}  // namespace verko
