#include "platform/zip_library.h"

#include "platform/system_library.h"

namespace verko {
namespace {

const char* const kNames[] = {
#define VERKO_ZIP_NAME(name) #name,
    VERKO_ZIP_FUNCTIONS(VERKO_ZIP_NAME)
#undef VERKO_ZIP_NAME
};

void Fill(ZipFunctions& functions, void* const addresses[]) {
  std::size_t i = 0;
#define VERKO_ZIP_SET(name) \
  functions.name = reinterpret_cast<decltype(functions.name)>(addresses[i++]);
  VERKO_ZIP_FUNCTIONS(VERKO_ZIP_SET)
#undef VERKO_ZIP_SET
}

LibraryLoader<ZipFunctions> loader({"libzip.so.4", "libzip4"}, kNames, Fill);

}  // namespace

bool LoadZip(std::string* failure) {
  return loader.Load(failure);
}

const ZipFunctions& Zip() {
  return loader.functions();
}

}  // namespace verko
