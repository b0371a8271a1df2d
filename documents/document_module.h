// The document module (libverko_documents.so), which links the zip, XML and PDF libraries,
// loaded when the first document is read: a comparison of text files never loads it.
#pragma once

#include <string>

#include "documents/module_interface.h"

namespace verko {

struct DocumentModule {
  VerkoTakeDocumentText take = nullptr;
  VerkoFreeDocumentText free = nullptr;
  VerkoDocumentKindOf kind = nullptr;
};

// The module's path for a program in `programFolder`: beside the program (the build folder),
// else in the installed library folder relative to it (`../lib/verko/modules/` from `bin/`).
std::string DocumentModulePath(const std::string& programFolder);

// Loads the module on the first call (any thread); null with *failure when it cannot be.
const DocumentModule* LoadDocumentModule(std::string* failure);

}  // namespace verko
