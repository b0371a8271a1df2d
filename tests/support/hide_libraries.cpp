// Loaded with LD_PRELOAD, makes a program behave as on a system without SQLite, Oniguruma
// libxlsxwriter and ICU: loading them by their sonames fails as for a missing file.
#include <dlfcn.h>

#include <cstring>

extern "C" __attribute__((visibility("default"))) void* dlopen(const char* name, int flags) {
  if (name != nullptr &&
      (std::strcmp(name, "libsqlite3.so.0") == 0 || std::strcmp(name, "libonig.so.5") == 0 ||
       std::strcmp(name, "libxlsxwriter.so.4") == 0 ||
       std::strncmp(name, "libicuuc.so.", 12) == 0)) {
    return nullptr;
  }
  using Open = void* (*)(const char*, int);
  static const Open next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "dlopen"));
  return next(name, flags);
}
