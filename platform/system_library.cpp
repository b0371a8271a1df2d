#include "platform/system_library.h"

#include <dlfcn.h>

namespace verko {
namespace {

// The system's reason for the last failure of dlopen or dlsym, or empty.
std::string LoaderReason() {
  const char* reason = ::dlerror();
  return reason != nullptr ? std::string("\nシステムの説明： ") + reason : std::string();
}

}  // namespace

bool LoadSystemLibrary(const SystemLibrary& library, std::span<const char* const> names,
                       void* addresses[], std::string* failure) {
  ::dlerror();  // a reason left by an earlier call is none of this one's
  // Kept for the rest of the process, as a library linked at start-up would be; its symbols
  // stay local, so they resolve nothing else.
  void* handle = ::dlopen(library.soname, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    *failure = std::string("ライブラリ ") + library.soname + " を読み込めません（パッケージ " +
               library.package + " をインストールしてください）。" + LoaderReason();
    return false;
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    addresses[i] = ::dlsym(handle, names[i]);
    if (addresses[i] == nullptr) {
      *failure = std::string("ライブラリ ") + library.soname + " に " + names[i] +
                 " がありません（パッケージ " + library.package +
                 " を新しい版に更新してください）。" + LoaderReason();
      ::dlclose(handle);
      return false;
    }
  }
  return true;
}

}  // namespace verko
