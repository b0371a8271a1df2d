#include "documents/document_module.h"

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

namespace {

const char* const kModuleNames[] = {VERKO_DOCUMENTS_TAKE_TEXT, VERKO_DOCUMENTS_FREE,
                                    VERKO_DOCUMENTS_KIND};

void FillModule(DocumentModule& module, void* const addresses[]) {
  module.take = reinterpret_cast<VerkoTakeDocumentText>(addresses[0]);
  module.free = reinterpret_cast<VerkoFreeDocumentText>(addresses[1]);
  module.kind = reinterpret_cast<VerkoDocumentKindOf>(addresses[2]);
}

}  // namespace

const DocumentModule* LoadDocumentModule(std::string* failure) {
  // The module lies beside the program; its own libraries come with it (libzip, pugixml and
  // poppler's C++ library). A failed load is tried again on the next document.
  static const std::string path = DocumentModulePath(ProgramFolder());
  static LibraryLoader<DocumentModule> loader(
      {path.c_str(), "libzip4, libpugixml1v5, libpoppler-cpp0v5"}, kModuleNames, FillModule);
  if (!loader.Load(failure)) return nullptr;
  return &loader.functions();
}

}  // namespace verko
