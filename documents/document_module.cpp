#include "documents/document_module.h"

#include <mutex>

#include "common/program_files.h"
#include "platform/system_library.h"

// The installed module's folder seen from the installed programs' folder; the build passes
// the one its install rules use.
#ifndef VERKO_MODULE_FROM_PROGRAM
#define VERKO_MODULE_FROM_PROGRAM "../lib/verko/modules/"
#endif

namespace verko {
namespace {

constexpr const char* kModuleName = "libverko_documents.so";

}  // namespace

std::string DocumentModulePath(const std::string& programFolder) {
  return ProgramFileIn(programFolder, kModuleName, VERKO_MODULE_FROM_PROGRAM);
}

const DocumentModule* LoadDocumentModule(std::string* failure) {
  static std::once_flag once;
  static DocumentModule module;
  static bool loaded = false;
  static std::string reason;
  std::call_once(once, [] {
    const std::string path = DocumentModulePath(ProgramFolder());
    // Its own libraries come with it: libzip, pugixml and poppler's C++ library.
    const SystemLibrary library{path.c_str(), "libzip4, libpugixml1v5, libpoppler-cpp0v5"};
    static const char* const names[] = {VERKO_DOCUMENTS_TAKE_TEXT, VERKO_DOCUMENTS_FREE,
                                        VERKO_DOCUMENTS_KIND};
    void* addresses[3] = {};
    loaded = LoadSystemLibrary(library, names, addresses, 3, &reason);
    if (!loaded) return;
    module.take = reinterpret_cast<VerkoTakeDocumentText>(addresses[0]);
    module.free = reinterpret_cast<VerkoFreeDocumentText>(addresses[1]);
    module.kind = reinterpret_cast<VerkoDocumentKindOf>(addresses[2]);
  });
  if (!loaded && failure != nullptr) *failure = reason;
  return loaded ? &module : nullptr;
}

}  // namespace verko
