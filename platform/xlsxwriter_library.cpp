#include "platform/xlsxwriter_library.h"

#include "platform/system_library.h"

namespace verko {
namespace {

const char* const kNames[] = {
#define VERKO_XLSXWRITER_NAME(name) #name,
    VERKO_XLSXWRITER_FUNCTIONS(VERKO_XLSXWRITER_NAME)
#undef VERKO_XLSXWRITER_NAME
};

void Fill(XlsxWriterFunctions& functions, void* const addresses[]) {
  std::size_t i = 0;
#define VERKO_XLSXWRITER_SET(name) \
  functions.name = reinterpret_cast<decltype(functions.name)>(addresses[i++]);
  VERKO_XLSXWRITER_FUNCTIONS(VERKO_XLSXWRITER_SET)
#undef VERKO_XLSXWRITER_SET
}

LibraryLoader<XlsxWriterFunctions> loader({"libxlsxwriter.so.4", "libxlsxwriter4"}, kNames, Fill);

}  // namespace

bool LoadXlsxWriter(std::string* failure) {
  return loader.Load(failure);
}

const XlsxWriterFunctions& XlsxWriter() {
  return loader.functions();
}

}  // namespace verko
