#include "platform/system_library.h"

#include <dlfcn.h>

namespace verko {

bool LoadSystemLibrary(const SystemLibrary& library, const char* const names[], void* addresses[],
                       std::size_t count, std::string* failure) {
  // Kept for the rest of the process, as a library linked at start-up would be; its symbols
  // stay local, so they resolve nothing else.
  void* handle = ::dlopen(library.soname, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    *failure = std::string("ライブラリ ") + library.soname + " を読み込めません（パッケージ " +
               library.package + " をインストールしてください）。";
    return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    addresses[i] = ::dlsym(handle, names[i]);
    if (addresses[i] == nullptr) {
      *failure = std::string("ライブラリ ") + library.soname + " に " + names[i] +
                 " がありません（パッケージ " + library.package +
                 " を新しい版に更新してください）。";
      ::dlclose(handle);
      return false;
    }
  }
  return true;
}

}  // namespace verko
