// A library of the system loaded when it is first needed, by its Debian soname, so that a
// comparison that never needs it does not load it at start-up (the record store's SQLite
// for batch lists, Oniguruma for split patterns, libxlsxwriter for workbooks, ICU for word
// marks). The program's package still depends on the packages that provide them.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace verko {

struct SystemLibrary {
  const char* soname;   // "libsqlite3.so.0"
  const char* package;  // the Debian package that provides it, named in the failure
};

// Loads `library` and sets addresses[i] to the symbol names[i]. True when all are found;
// otherwise false with *failure, a reason a user can read: which library (or which of its
// symbols) is missing, which package provides it, and the system's own reason (a library
// present whose own dependencies are missing is not "not installed").
bool LoadSystemLibrary(const SystemLibrary& library, std::span<const char* const> names,
                       void* addresses[], std::string* failure);

// The functions of one library, loaded on the first Load() that succeeds: a failed load is
// tried again on the next use, so a user who installs the named package need not restart.
// `Functions` is filled by `fill` from the symbols' addresses, in the order of `names`.
// Load() may be called from any thread; functions() only after a Load() returned true.
template <typename Functions>
class LibraryLoader {
 public:
  using Fill = void (*)(Functions& functions, void* const addresses[]);

  constexpr LibraryLoader(SystemLibrary library, std::span<const char* const> names, Fill fill)
      : library_(library), names_(names), fill_(fill) {}

  // True once the library is loaded; else false with *failure (when not null).
  bool Load(std::string* failure) {
    if (loaded_.load(std::memory_order_acquire)) return true;
    std::lock_guard<std::mutex> lock(mutex_);
    if (loaded_.load(std::memory_order_relaxed)) return true;
    std::vector<void*> addresses(names_.size());
    std::string reason;
    if (!LoadSystemLibrary(library_, names_, addresses.data(), &reason)) {
      if (failure != nullptr) *failure = reason;
      return false;
    }
    fill_(functions_, addresses.data());
    loaded_.store(true, std::memory_order_release);
    return true;
  }

  const Functions& functions() const { return functions_; }

 private:
  const SystemLibrary library_;
  const std::span<const char* const> names_;
  const Fill fill_;
  std::mutex mutex_;
  std::atomic<bool> loaded_{false};
  Functions functions_{};
};

}  // namespace verko
